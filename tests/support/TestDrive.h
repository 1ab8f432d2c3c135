#pragma once
// A throwaway folder on drive C: for tests that touch files. On Linux drive
// C: is a temporary folder behind a throwaway Wine prefix (WINEPREFIX points
// at it); under Wine it is the test prefix's own drive C:.

#include <string>

class TestDrive {
public:
  TestDrive();
  ~TestDrive();
  TestDrive(const TestDrive&) = delete;
  TestDrive& operator=(const TestDrive&) = delete;

  // The Windows path of `relative` (components separated by '\') inside the
  // folder; the folder itself for an empty text.
  std::string Win(const std::string& relative = "") const;
  // The same place as a path of the machine's own file system.
  std::string Host(const std::string& relative = "") const;

  void Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  bool IsDirectory(const std::string& relative) const;
  void MakeDir(const std::string& relative) const;
  void SetReadOnly(const std::string& relative, bool readOnly) const;
  // Runs a shell script on the Linux side, in this folder, to make what only
  // Linux can make: names with a trailing dot or blank, names that differ in
  // letter case only, pipes, symbolic links. False when it could not run
  // (on Windows itself, where there is no Linux side) or failed.
  bool OnLinux(const std::string& script) const;

private:
  std::string name_;           // the folder's name in the root of C:
  mutable bool linux_ = false; // something was made on the Linux side
};

// Host side of the drive, one file per platform.
namespace testhost {
// Windows path prefix of drive C:'s root ("c:") and its host path.
std::string DriveRootHost();
std::string ToHost(const std::string& windowsPath);
void SetReadOnly(const std::string& hostPath, bool readOnly);
// Marks a file hidden or system as Windows (or Wine) keeps it; false where
// the file system cannot hold the mark.
bool SetHiddenOrSystem(const std::string& hostPath, bool hidden, bool system);
// Whether only the account this process runs as (the administrators when
// it runs elevated) and the system may use the folder: Linux mode 0700 and
// this user's; Windows a DACL of its own, inherited from nowhere, that
// grants no one else anything.
bool OnlyOwnerMayUse(const std::string& hostPath);
// Runs `script` with /bin/sh on Linux, in the folder `hostFolder`.
bool RunOnLinux(const std::string& hostFolder, const std::string& script);
} // namespace testhost
