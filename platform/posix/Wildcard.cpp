#include "platform/posix/Wildcard.h"

#include "platform/posix/Ansi.h"

namespace platform::posix {

Wildcard::Wildcard(const std::string& utf8Pattern) : pattern_(UpperCharacters(utf8Pattern)) {
  while (!pattern_.empty() && (pattern_.back() == U'.' || pattern_.back() == U' '))
    pattern_.pop_back();
  if (pattern_.empty() && !utf8Pattern.empty()) pattern_.assign(1, U'*'); // "*." and the like
  if (pattern_.size() >= 2 && pattern_.ends_with(U".*"))
    withoutDotStar_ = pattern_.substr(0, pattern_.size() - 2);
}

bool Wildcard::Matches(const std::string& utf8Name) const {
  std::u32string name = UpperCharacters(utf8Name);
  if (MatchesExactly(pattern_, name)) return true;
  return !withoutDotStar_.empty() && name.find(U'.') == std::u32string::npos &&
         MatchesExactly(withoutDotStar_, name);
}

bool Wildcard::MatchesExactly(const std::u32string& pattern, const std::u32string& name) const {
  // Greedy matching with one back-tracking point: the last `*` seen.
  size_t p = 0, n = 0, star = std::u32string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == U'*') {
      star = p++;
      resume = n;
    } else if (star != std::u32string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == U'*')
    ++p;
  return p == pattern.size();
}

} // namespace platform::posix
