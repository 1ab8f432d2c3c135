#pragma once
// File-name patterns with `*` (any run of characters) and `?` (one
// character), matched without regard to case; "*.*" matches every name.

#include <string>

namespace platform::posix {

class Wildcard {
public:
  explicit Wildcard(const std::string& utf8Pattern);
  bool Matches(const std::string& utf8Name) const;

private:
  std::u32string pattern_;
};

} // namespace platform::posix
