#pragma once
// Windows' rules for file names, written once for every backend: how a
// wildcard pattern matches a name, which names a Windows program can open at
// all, and which names are DOS devices. Names are ANSI (Windows-1252) text
// and are compared without regard to case, character by character.

#include <string>
#include <string_view>

namespace platform {

// A file-name pattern with `*` (any run of characters) and `?` (exactly one
// character). As Windows reads a pattern, its trailing dots and blanks do
// not count ("oem*.inf." is "oem*.inf"), and once the name is used up, what
// is left of the pattern may be dots and stars only ("name.*" and
// "name.*.*" match "name", "oem1.inf.*" matches "oem1.inf"). A pattern of
// nothing but dots and blanks matches nothing.
class Wildcard {
public:
  explicit Wildcard(std::string_view ansiPattern);
  bool Matches(std::string_view ansiName) const;

private:
  std::u32string pattern_;
};

// Whether a pattern's last component holds `*` or `?`.
bool HasWildcards(std::string_view ansiComponent);

// Whether a name read from a folder is one that Windows can open by that
// name: not "." or "..", no trailing dot or blank (Windows cuts them off and
// so names another file), none of the characters <>:"/\|?* or a control
// character ('?' also stands for a character that the code page cannot
// hold), and no DOS device name. Only Linux can make the other names.
bool IsWindowsName(std::string_view ansiName);

// The DOS device that the last component of a path names (CON, PRN, AUX, NUL,
// COM1..COM9, LPT1..LPT9, CONIN$, CONOUT$: before the first dot, trailing
// blanks cut, any letter case, with or without an extension, in any
// folder), as it is spelt there ("nul" for "c:\x\nul.txt"); empty otherwise.
std::string DosDeviceName(std::string_view ansiPath);

// A path whose last component is "." or ".." as Windows reads it: that
// component folded away with the one before it for "..", repeatedly
// ("c:\x\y\.." is "c:\x", "c:\x\." is "c:\x", "c:\x\.." is "c:\").
std::string FoldDotComponents(std::string_view ansiPath);

// A Windows path divided at its last separator (`\` or `/`): the folder
// before it and the name after it ("c:\x\oem1.inf": "c:\x" and "oem1.inf",
// "c:\oem1.inf": "c:" and "oem1.inf"). Without a separator a leading drive
// is the folder ("c:oem1.inf": "c:" and "oem1.inf"), else the whole path is
// the name. Either part may be empty.
struct PathParts {
  std::string folder;
  std::string name;
  bool separated = false; // a separator stood between them
};
PathParts SplitWindowsPath(std::string_view path);

// The file `name` in `folder`: the folder as written, `\` unless it ends in
// a separator already ("c:\"), the name.
std::string JoinWindowsPath(std::string_view folder, std::string_view name);

// The Unicode character of a Windows-1252 byte, and the upper-case form of
// a character as Windows folds file names.
char32_t AnsiCharacter(unsigned char c);
char32_t UpperCharacter(char32_t c);

} // namespace platform
