#include "platform/posix/WinePath.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <limits.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/posix/Ansi.h"
#include "platform/posix/HostFiles.h"

namespace platform::posix {

WinePrefix PrefixInUse() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return {prefix, true};
  const char* home = std::getenv("HOME");
  return {std::string(home ? home : "") + "/.wine", false};
}

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

std::string PrefixFolder() {
  return PrefixInUse().folder;
}

bool StatPath(const std::string& path, struct stat& st) {
  return ::stat(path.c_str(), &st) == 0;
}

// The prefix's link for a drive letter (lower case): dosdevices/x:.
std::string DosDevice(char letter) {
  return HostJoin(HostJoin(PrefixFolder(), "dosdevices"), {letter, ':'});
}

// The Linux folder of a drive letter (lower case), or empty when none. The
// letter 0 stands for Wine's "\\?\unix\" paths, which lead from the root.
std::string DriveFolder(char letter) {
  if (letter == 0) return "/";
  struct stat st;
  std::string device = DosDevice(letter);
  if (StatPath(device, st) && S_ISDIR(st.st_mode)) return device;
  if (letter == 'c') {
    std::string drive = HostJoin(PrefixFolder(), "drive_c");
    if (StatPath(drive, st) && S_ISDIR(st.st_mode)) return drive;
  }
  if (letter == 'z') return "/";
  return {};
}

std::vector<std::string> SplitComponents(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (IsSeparator(c)) {
      parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  parts.push_back(current);
  return parts;
}

// Folds "." and ".." away and trims names as Windows normalises a full
// path: a single trailing dot goes from every name, and all trailing dots
// and blanks from the last one (unless the path ends in a separator).
// Checks each name for forbidden characters.
void Normalise(std::vector<std::string>& components, const std::vector<std::string>& added) {
  for (size_t k = 0; k < added.size(); ++k) {
    std::string part = added[k];
    if (part == "." || part.empty()) continue;
    if (part == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    if (k + 1 == added.size()) {
      while (!part.empty() && (part.back() == '.' || part.back() == ' '))
        part.pop_back();
    } else if (part.size() >= 2 && part.back() == '.' && part[part.size() - 2] != '.') {
      part.pop_back();
    }
    if (part.empty()) continue;
    for (char c : part) {
      auto u = static_cast<unsigned char>(c);
      if (u < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '*' ||
          c == '?')
        throw RuntimeError(RuntimeError::BadFileName);
    }
    components.push_back(part);
  }
}

struct WindowsAbsolute {
  char drive = 0; // lower case; 0 for a "\\?\unix\" path
  std::vector<std::string> components;
};

// Wine's name for a Linux path, "\\?\unix\proc\self": what follows the
// prefix is the Linux path, no drive mapping (and no link of the user's
// prefix) between.
bool IsUnixForm(std::string_view path, std::string_view& rest) {
  if (path.size() < 8 || !IsSeparator(path[0]) || !IsSeparator(path[1]) || path[2] != '?' ||
      !IsSeparator(path[3]))
    return false;
  std::string_view word = path.substr(4, 4);
  for (size_t i = 0; i < 4; ++i)
    if (std::tolower(static_cast<unsigned char>(word[i])) != "unix"[i]) return false;
  if (path.size() > 8 && !IsSeparator(path[8])) return false;
  rest = path.substr(8);
  return true;
}

WindowsAbsolute CurrentFolder() {
  char buffer[PATH_MAX];
  std::string cwd = ::getcwd(buffer, sizeof buffer) ? buffer : "/";
  std::string windows = AnsiToUtf8(WindowsPathOf(cwd));
  WindowsAbsolute result;
  result.drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windows[0])));
  auto parts = SplitComponents(std::string_view(windows).substr(2));
  for (auto& p : parts)
    if (!p.empty()) result.components.push_back(p);
  return result;
}

WindowsAbsolute MakeAbsolute(const std::string& utf8) {
  std::string_view rest = utf8;
  WindowsAbsolute result;
  if (std::string_view unix; IsUnixForm(rest, unix)) {
    Normalise(result.components, SplitComponents(unix));
    return result;
  }
  bool hasDrive =
      rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0]));
  if (hasDrive) {
    result.drive = static_cast<char>(std::tolower(static_cast<unsigned char>(rest[0])));
    rest.remove_prefix(2);
    if (rest.empty() || !IsSeparator(rest[0])) {
      // Drive-relative: the current folder when it is on that drive, else the root.
      WindowsAbsolute current = CurrentFolder();
      if (current.drive == result.drive) result.components = current.components;
    }
  } else {
    WindowsAbsolute current = CurrentFolder();
    result.drive = current.drive;
    if (rest.empty() || !IsSeparator(rest[0])) result.components = current.components;
  }
  Normalise(result.components, SplitComponents(rest));
  return result;
}

// The entry of `folder` whose name equals `name` without regard to case.
std::string FindNoCase(const std::string& folder, const std::string& name) {
  std::string found;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (dirent* entry = ::readdir(dir)) {
      if (EqualNoCase(entry->d_name, name)) {
        found = entry->d_name;
        break;
      }
    }
    ::closedir(dir);
  }
  return found;
}

// Splits an absolute Linux path into its components: only '/' separates
// them there ("a\\b" is one name).
std::vector<std::string> LinuxComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::vector<std::string> names;
  for (size_t start = 0;;) {
    size_t cut = path.find('/', start);
    names.push_back(path.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
    if (cut == std::string::npos) break;
    start = cut + 1;
  }
  for (auto& p : names)
    if (!p.empty() && p != ".") {
      if (p == "..") {
        if (!parts.empty()) parts.pop_back();
      } else {
        parts.push_back(p);
      }
    }
  return parts;
}

std::string RealPath(const std::string& path) {
  char buffer[PATH_MAX];
  if (::realpath(path.c_str(), buffer)) return buffer;
  return path;
}

// "\\?\c:\x" and "\\.\c:\x" name what "c:\x" names.
std::string StripDevicePrefix(std::string path) {
  if (path.size() >= 6 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
      (path[2] == '?' || path[2] == '.') && IsSeparator(path[3]) && path[5] == ':')
    path.erase(0, 4);
  return path;
}

std::string Direct(const WindowsAbsolute& absolute) {
  std::string direct = absolute.drive == 0 ? std::string("/") : DosDevice(absolute.drive);
  for (const std::string& name : absolute.components)
    direct = HostJoin(direct, name);
  return direct;
}

} // namespace

std::string FullPath(const std::string& windowsPath) {
  WindowsAbsolute absolute = MakeAbsolute(StripDevicePrefix(AnsiToUtf8(windowsPath)));
  std::string full;
  if (absolute.drive == 0) {
    full = "\\\\?\\unix";
    for (const std::string& name : absolute.components)
      full += "\\" + name;
    return Utf8ToAnsi(full);
  }
  full += static_cast<char>(std::toupper(static_cast<unsigned char>(absolute.drive)));
  full += ":";
  for (const std::string& name : absolute.components)
    full += "\\" + name;
  if (absolute.components.empty()) full += "\\";
  return Utf8ToAnsi(full);
}

std::string DirectPath(const std::string& windowsPath) {
  return Direct(MakeAbsolute(StripDevicePrefix(AnsiToUtf8(windowsPath))));
}

HostPath Resolve(const std::string& windowsPath) {
  HostPath result;
  std::string utf8 = StripDevicePrefix(AnsiToUtf8(windowsPath));
  std::string_view unix;
  if (utf8.size() >= 2 && IsSeparator(utf8[0]) && IsSeparator(utf8[1]) && !IsUnixForm(utf8, unix)) {
    // A network path leads nowhere here: nothing is there.
    result.path = "/nonexistent-unc-path";
    result.driveFound = true;
    return result;
  }
  WindowsAbsolute absolute = MakeAbsolute(utf8);

  // Most paths are written in their real case: try them as they stand,
  // through the drive's link, with a single look-up.
  std::string direct = Direct(absolute);
  if (struct stat st; StatPath(direct, st)) {
    result.path = direct;
    result.driveFound = result.parentExists = result.exists = true;
    result.isDirectory = S_ISDIR(st.st_mode);
    return result;
  }

  std::string folder = DriveFolder(absolute.drive);
  if (folder.empty()) return result;
  result.driveFound = true;

  std::string current = folder;
  size_t n = absolute.components.size();
  result.parentExists = true;
  result.exists = true;
  for (size_t i = 0; i < n; ++i) {
    const std::string& name = absolute.components[i];
    struct stat st;
    bool folderOk = i == 0 || (result.exists && result.isDirectory);
    std::string next = HostJoin(current, name);
    if (folderOk && !StatPath(next, st)) {
      std::string real = FindNoCase(current, name);
      if (!real.empty()) next = HostJoin(current, real);
    }
    current = next;
    if (!folderOk) {
      result.exists = false;
      result.parentExists = false;
      continue;
    }
    if (StatPath(current, st)) {
      result.isDirectory = S_ISDIR(st.st_mode);
    } else {
      result.exists = false;
      result.isDirectory = false;
      if (i + 1 < n) result.parentExists = false;
    }
    if (i + 1 < n && result.exists && !result.isDirectory) {
      result.exists = false;
      result.parentExists = false;
    }
  }
  if (n == 0) {
    result.isDirectory = true;
  }
  result.path = current;
  return result;
}

namespace {

// A Linux path as Wine shows it: the drive whose folder holds it most
// closely (Z: for anything else), and the names below that folder.
struct ShownPath {
  char drive = 'z';
  std::vector<std::string> names;
};

ShownPath ShowPath(const std::string& linuxPath) {
  std::string real = RealPath(linuxPath);
  std::vector<std::string> target = LinuxComponents(real);
  ShownPath shown;
  size_t bestLength = 0;
  bool found = false;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    std::string folder = DriveFolder(letter);
    if (folder.empty()) continue;
    std::vector<std::string> root = LinuxComponents(RealPath(folder));
    if (root.size() > target.size()) continue;
    if (!std::equal(root.begin(), root.end(), target.begin())) continue;
    if (!found || root.size() > bestLength) {
      shown.drive = letter;
      bestLength = root.size();
      found = true;
    }
  }
  shown.names.assign(target.begin() + static_cast<std::ptrdiff_t>(bestLength), target.end());
  return shown;
}

std::string Written(const ShownPath& shown) {
  std::string windows;
  windows += static_cast<char>(std::toupper(static_cast<unsigned char>(shown.drive)));
  windows += ":\\";
  for (size_t i = 0; i < shown.names.size(); ++i) {
    if (i > 0) windows += '\\';
    windows += shown.names[i];
  }
  return Utf8ToAnsi(windows);
}

} // namespace

std::string WindowsPathOf(const std::string& linuxPath) {
  return Written(ShowPath(linuxPath));
}

std::string ExactWindowsPathOf(const std::string& linuxPath) {
  ShownPath shown = ShowPath(linuxPath);
  for (const std::string& name : shown.names) {
    const std::string ansi = Utf8ToAnsi(name);
    if (AnsiToUtf8(ansi) != name || !IsWindowsName(ansi))
      throw RuntimeError(RuntimeError::BadFileName,
                         "Bad file name or number: the folder " + Utf8ToAnsi(linuxPath) +
                             " has a name that a Windows path cannot hold (\"" + Utf8ToAnsi(name) +
                             "\")");
  }
  return Written(shown);
}

std::vector<FolderEntry> ListFolder(const std::string& linuxFolder) {
  struct Keyed {
    std::u32string key;
    FolderEntry entry;
  };
  std::vector<Keyed> keyed;
  DIR* dir = ::opendir(linuxFolder.c_str());
  if (!dir && errno == EACCES) throw RuntimeError(RuntimeError::PathFileAccessError);
  if (dir) {
    while (dirent* entry = ::readdir(dir)) {
      std::string_view name = entry->d_name;
      if (name != "." && name != "..")
        keyed.push_back({UpperCharacters(name), {std::string(name), entry->d_type}});
    }
    ::closedir(dir);
  }
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    return a.key != b.key ? a.key < b.key : a.entry.name < b.entry.name;
  });
  std::vector<FolderEntry> entries;
  entries.reserve(keyed.size());
  for (auto& k : keyed)
    entries.push_back(std::move(k.entry));
  return entries;
}

} // namespace platform::posix
