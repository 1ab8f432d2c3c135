// On Linux drive C: is a temporary folder behind a throwaway Wine prefix,
// made once per test program and removed when it ends.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "tests/support/TestDrive.h"

namespace fs = std::filesystem;

namespace {

struct Prefix {
  fs::path root;
  Prefix() {
    char pattern[] = "/tmp/talmirex-test-XXXXXX";
    root = ::mkdtemp(pattern);
    fs::create_directories(root / "prefix" / "dosdevices");
    fs::create_directories(root / "drive");
    fs::create_symlink("../../drive", root / "prefix" / "dosdevices" / "c:");
    ::setenv("WINEPREFIX", (root / "prefix").c_str(), 1);
  }
  ~Prefix() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

const Prefix& ThePrefix() {
  static Prefix prefix;
  return prefix;
}

} // namespace

namespace testhost {

std::string DriveRootHost() {
  return (ThePrefix().root / "drive").string();
}

std::string ToHost(const std::string& windowsPath) {
  // Paths on C: ("c:\name\..."), or a Linux path as Wine writes one
  // ("\\?\unix\proc\self\fd\...": how a held folder is named).
  const std::string unix = "\\\\?\\unix";
  const bool linux = windowsPath.rfind(unix, 0) == 0;
  std::string host = linux ? std::string() : DriveRootHost();
  for (char c : windowsPath.substr(linux ? unix.size() : 2))
    host += c == '\\' ? '/' : c;
  return host;
}

void SetReadOnly(const std::string& hostPath, bool readOnly) {
  // Wine shows a file without write permission as read-only.
  auto writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if (readOnly)
    fs::permissions(hostPath, writable, fs::perm_options::remove);
  else
    fs::permissions(hostPath, fs::perms::owner_write, fs::perm_options::add);
}

bool SetHiddenOrSystem(const std::string& hostPath, bool hidden, bool system) {
  // Wine keeps the DOS attributes in an extended attribute beside the file.
  std::string value = "0x" + std::to_string((hidden ? 2 : 0) | (system ? 4 : 0));
  return ::setxattr(hostPath.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
}

bool OnlyOwnerMayUse(const std::string& hostPath) {
  struct stat st;
  return ::lstat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

bool RunOnLinux(const std::string& hostFolder, const std::string& script) {
  std::string path = hostFolder + "/.linux-script";
  {
    std::ofstream out(path);
    out << "cd '" << hostFolder << "' || exit 1\n" << script << "\n";
  }
  int status = std::system(("/bin/sh '" + path + "'").c_str());
  std::error_code ignored;
  fs::remove(path, ignored);
  return status == 0;
}

} // namespace testhost
