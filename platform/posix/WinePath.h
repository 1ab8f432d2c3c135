#pragma once
// Maps Windows paths onto the Linux file system the way Wine lays out a
// prefix: drive x: is the folder $WINEPREFIX/dosdevices/x: (WINEPREFIX
// defaulting to ~/.wine), c: falling back to $WINEPREFIX/drive_c and z: to
// the root folder; `\` and `/` both separate components; each component is
// found without regard to case, an exact match first.

#include <string>
#include <vector>

namespace platform::posix {

// The Wine prefix that the drives are found in, as Wine finds it.
struct WinePrefix {
  std::string folder;        // $WINEPREFIX, else ~/.wine
  bool fromVariable = false; // named by WINEPREFIX
};
WinePrefix PrefixInUse();

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

// The full Windows path (ANSI) of a path: absolute, normalised as Resolve
// does, "C:\\dir\\name"; raises 52 as Resolve.
std::string FullPath(const std::string& windowsPath);

// The Linux path of a Windows path taken as written, through the drive's
// link in dosdevices, with no look-up; it may not exist. Raises 52 as Resolve.
std::string DirectPath(const std::string& windowsPath);

// The Windows path (ANSI) under which Wine shows an absolute Linux path: the
// drive whose folder holds it most closely, Z: for anything else.
std::string WindowsPathOf(const std::string& linuxPath);

// The same, when every name on the way below the drive's folder can be
// written in a Windows path as it is: each is a Windows name (IsWindowsName:
// none of \\ / : * ? " < > |, no control character, no dot or blank at the
// end, no DOS device) and keeps its spelling in the ANSI code page.
// Otherwise the Windows path would name another place ("a\\..\\..\\x"
// climbs two folders, "x." is "x"): raises 52, naming the Linux path.
std::string ExactWindowsPathOf(const std::string& linuxPath);

struct FolderEntry {
  std::string name;   // UTF-8, as on disk
  unsigned char type; // d_type: DT_REG, DT_DIR, DT_LNK, DT_UNKNOWN, ...
};

// The entries of a Linux folder in the order Wine lists them: without "."
// and "..", sorted without regard to case. A folder that may not be read
// raises 75.
std::vector<FolderEntry> ListFolder(const std::string& linuxFolder);

} // namespace platform::posix
