#include "platform/posix/Wildcard.h"

#include "platform/posix/Ansi.h"

namespace platform::posix {

Wildcard::Wildcard(const std::string& utf8Pattern)
    : pattern_(UpperCharacters(utf8Pattern == "*.*" ? "*" : utf8Pattern)) {}

bool Wildcard::Matches(const std::string& utf8Name) const {
  std::u32string name = UpperCharacters(utf8Name);
  // Greedy matching with one back-tracking point: the last `*` seen.
  size_t p = 0, n = 0, star = std::u32string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern_.size() && (pattern_[p] == U'?' || pattern_[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern_.size() && pattern_[p] == U'*') {
      star = p++;
      resume = n;
    } else if (star != std::u32string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern_.size() && pattern_[p] == U'*')
    ++p;
  return p == pattern_.size();
}

} // namespace platform::posix
