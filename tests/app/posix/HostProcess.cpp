#include "tests/app/HostProcess.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace hostprocess {

bool UnixShellAvailable() {
  return true;
}

void UnixShell(const std::string& command) {
  [[maybe_unused]] int status = std::system(command.c_str());
}

std::string UnixPath(const std::string& hostPath) {
  return hostPath;
}

int RunSelf(const std::string& arguments, const std::string& variable, const std::string& value) {
  char self[4096];
  ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = 0;
  pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    ::setenv(variable.c_str(), value.c_str(), 1);
    // Its own report is not wanted here; errors still show.
    if (int null = ::open("/dev/null", O_WRONLY); null >= 0) ::dup2(null, 1);
    ::execl(self, self, arguments.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}

} // namespace hostprocess
