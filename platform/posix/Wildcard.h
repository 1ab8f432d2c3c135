#pragma once
// File-name patterns with `*` (any run of characters) and `?` (one
// character), matched without regard to case, with Windows' rules for dots:
// trailing dots and blanks of the pattern do not count, and a pattern ending
// in ".*" also matches a name without a dot ("*.*" matches every name).

#include <string>

namespace platform::posix {

class Wildcard {
public:
  explicit Wildcard(const std::string& utf8Pattern);
  bool Matches(const std::string& utf8Name) const;

private:
  bool MatchesExactly(const std::u32string& pattern, const std::u32string& name) const;

  std::u32string pattern_;
  std::u32string withoutDotStar_; // the pattern before a final ".*", if any
};

} // namespace platform::posix
