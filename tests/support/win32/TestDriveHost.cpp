// Under Windows (Wine) drive C: is the prefix's own drive.

#include <windows.h>

#include "tests/support/TestDrive.h"

namespace testhost {

std::string DriveRootHost() {
  return "c:\\";
}

std::string ToHost(const std::string& windowsPath) {
  return windowsPath;
}

void SetReadOnly(const std::string& hostPath, bool readOnly) {
  DWORD attributes = GetFileAttributesA(hostPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  attributes =
      readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(hostPath.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

bool SetHiddenOrSystem(const std::string& hostPath, bool hidden, bool system) {
  DWORD attributes = GetFileAttributesA(hostPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  attributes &= ~(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NORMAL);
  if (hidden) attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (system) attributes |= FILE_ATTRIBUTE_SYSTEM;
  return SetFileAttributesA(hostPath.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != 0;
}

} // namespace testhost
