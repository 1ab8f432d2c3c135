#include "platform/FileNames.h"

#include <array>

namespace platform {
namespace {

// Unicode code points of Windows-1252 bytes 0x80..0x9F (where the code page
// defines none, Windows maps the byte to the C1 control of the same value).
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u32string Upper(std::string_view ansi) {
  std::u32string out;
  out.reserve(ansi.size());
  for (char c : ansi)
    out += UpperCharacter(AnsiCharacter(static_cast<unsigned char>(c)));
  return out;
}

bool DotsAndStarsOnly(std::u32string_view rest) {
  return rest.find_first_not_of(U".*") == std::u32string_view::npos;
}

} // namespace

char32_t AnsiCharacter(unsigned char c) {
  return c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c;
}

char32_t UpperCharacter(char32_t u) {
  if (u >= 'a' && u <= 'z') return u - 32;
  if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return u - 32;
  switch (u) {
  case 0xFF:
    return 0x178;
  case 0x161:
    return 0x160;
  case 0x153:
    return 0x152;
  case 0x17E:
    return 0x17D;
  default:
    return u;
  }
}

Wildcard::Wildcard(std::string_view ansiPattern) : pattern_(Upper(ansiPattern)) {
  while (!pattern_.empty() && (pattern_.back() == U'.' || pattern_.back() == U' '))
    pattern_.pop_back();
}

bool Wildcard::Matches(std::string_view ansiName) const {
  if (pattern_.empty()) return false;
  const std::u32string name = Upper(ansiName);
  const std::u32string& pattern = pattern_;
  // Greedy matching that goes back to the last `*` seen on a mismatch.
  size_t p = 0, n = 0, star = std::u32string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == U'*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
      ++p;
      ++n;
    } else if (star != std::u32string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  return DotsAndStarsOnly(std::u32string_view(pattern).substr(p));
}

bool HasWildcards(std::string_view ansiComponent) {
  return ansiComponent.find_first_of("*?") != std::string_view::npos;
}

bool IsWindowsName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.back() == '.' || name.back() == ' ') return false;
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
  }
  return DosDeviceName(name).empty();
}

std::string DosDeviceName(std::string_view path) {
  size_t cut = path.find_last_of("\\/:");
  std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ')
    name.remove_suffix(1);
  std::string upper;
  for (char c : name)
    upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  static const std::array<std::string_view, 6> kNamed = {"CON", "PRN",    "AUX",
                                                         "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kNamed)
    if (upper == device) return std::string(name);
  if (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
      upper[3] >= '1' && upper[3] <= '9')
    return std::string(name);
  return {};
}

PathParts SplitWindowsPath(std::string_view path) {
  PathParts parts;
  if (size_t cut = path.find_last_of("\\/"); cut != std::string_view::npos) {
    parts.folder = path.substr(0, cut);
    parts.name = path.substr(cut + 1);
    parts.separated = true;
  } else if (path.size() >= 2 && path[1] == ':') {
    parts.folder = path.substr(0, 2);
    parts.name = path.substr(2);
  } else {
    parts.name = path;
  }
  return parts;
}

std::string JoinWindowsPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  path += name;
  return path;
}

std::string FoldDotComponents(std::string_view path) {
  std::string folded(path);
  for (;;) {
    size_t cut = folded.find_last_of("\\/");
    if (cut == std::string::npos) return folded;
    std::string_view last = std::string_view(folded).substr(cut + 1);
    if (last != "." && last != "..") return folded;
    bool up = last == "..";
    folded.erase(cut);
    if (up) {
      size_t before = folded.find_last_of("\\/");
      bool root = folded.empty() || (folded.size() == 2 && folded[1] == ':');
      if (!root) folded.erase(before == std::string::npos ? 0 : before);
    }
    if (folded.empty() || (folded.size() == 2 && folded[1] == ':')) return folded + "\\";
  }
}

} // namespace platform
