#include "platform/Program.h"

#include <limits.h>
#include <unistd.h>

#include "platform/posix/WinePath.h"

namespace platform {
namespace {

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("/");
}

class PosixProgram final : public Program {
public:
  std::string Folder() override {
    std::string exe = ExecutablePath();
    std::string folder = exe.substr(0, exe.find_last_of('/'));
    std::string windows = posix::WindowsPathOf(folder.empty() ? "/" : folder);
    // "Z:\" for a drive's root, no trailing backslash otherwise.
    return windows;
  }

  std::string ExeName() override {
    std::string exe = ExecutablePath();
    std::string name = exe.substr(exe.find_last_of('/') + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
  }
};

} // namespace

std::shared_ptr<Program> Program::Native() {
  return std::make_shared<PosixProgram>();
}

} // namespace platform
