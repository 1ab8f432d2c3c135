#include "platform/Program.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/RuntimeError.h"
#include "platform/posix/Ansi.h"
#include "platform/posix/HostFiles.h"
#include "platform/posix/WinePath.h"

namespace platform {
namespace {

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("/");
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The program's own file on Linux is the binary itself, which has no
// extension. The version line dates the file folder\name + ".exe", as on
// Windows; so that this finds the binary, the build and the Linux archive
// place beside it the link "<name>.exe" that points to it (the date of a
// link is the date of its target). The binary is reported as Wine shows any
// Linux file: its folder as a Windows path, its name as it is. Started as a
// copy under another name, without that link, the program shows the design
// version line, as the Windows program does under another extension.
class PosixProgram final : public Program {
public:
  std::string Folder() override {
    std::string exe = ExecutablePath();
    // A folder whose Windows path would name another place stops the
    // program before anything is made, copied or deleted.
    std::string windows = posix::ExactWindowsPathOf(posix::HostParent(exe));
    // "Z:\" for a drive's root, no trailing backslash otherwise.
    return windows;
  }

  std::string ExeName() override {
    std::string name = posix::HostName(ExecutablePath());
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
  }

  // Drive C: is the folder drive_c of the Wine prefix (or the prefix's link
  // dosdevices/c:), the prefix being $WINEPREFIX or ~/.wine, as for Wine.
  std::string AboutError(int number) override {
    if (number != RuntimeError::DeviceUnavailable) return {};
    const auto [prefix, fromVariable] = posix::PrefixInUse();
    if (IsFolder(posix::HostJoin(posix::HostJoin(prefix, "dosdevices"), "c:")) ||
        IsFolder(posix::HostJoin(prefix, "drive_c")))
      return {};
    const std::string shown = posix::Utf8ToAnsi(prefix);
    return "Drive C: was looked for in the Wine prefix " + shown +
           (fromVariable ? " (named by WINEPREFIX)" : " (~/.wine, as WINEPREFIX is not set)") +
           ". Drive C: is that prefix's drive_c folder, " + shown +
           "/drive_c, and it does not exist.";
  }
};

} // namespace

std::shared_ptr<Program> Program::Native() {
  return std::make_shared<PosixProgram>();
}

} // namespace platform
