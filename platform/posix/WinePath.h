#pragma once
// Maps Windows paths onto the Linux file system the way Wine lays out a
// prefix: drive x: is the folder $WINEPREFIX/dosdevices/x: (WINEPREFIX
// defaulting to ~/.wine), c: falling back to $WINEPREFIX/drive_c and z: to
// the root folder; `\` and `/` both separate components; each component is
// found without regard to case, an exact match first.

#include <string>
#include <vector>

namespace platform::posix {

struct HostPath {
  std::string path;          // the Linux path (found components in their real case)
  bool driveFound = false;   // the drive letter maps to a folder
  bool parentExists = false; // every component but the last exists as a folder
  bool exists = false;       // the whole path exists
  bool isDirectory = false;  // it exists and is a folder (links followed)
};

// Resolves a Windows path in the ANSI code page. Components are normalised
// as Windows does ("." and ".." folded away, trailing dots and blanks cut);
// a name holding characters Windows forbids raises 52 (bad file name).
HostPath Resolve(const std::string& windowsPath);

// The Windows path (ANSI) under which Wine shows an absolute Linux path: the
// drive whose folder holds it most closely, Z: for anything else.
std::string WindowsPathOf(const std::string& linuxPath);

// The names in a Linux folder, UTF-8, in the order Wine lists them: without
// "." and "..", sorted without regard to case.
std::vector<std::string> ListFolder(const std::string& linuxFolder);

} // namespace platform::posix
