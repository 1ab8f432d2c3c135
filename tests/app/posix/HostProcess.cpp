#include "tests/app/HostProcess.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <sys/prctl.h>
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

OtherUser::OtherUser(std::function<void()> step) {
  if (::geteuid() != 0) return;
  int ready[2];
  if (::pipe(ready) != 0) return;
  pid_t child = ::fork();
  if (child == 0) {
    ::close(ready[0]);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::setgroups(0, nullptr) != 0 || ::setresgid(Id, Id, Id) != 0 ||
        ::setresuid(Id, Id, Id) != 0 || ::geteuid() != Id)
      ::_exit(1);
    char yes = 1;
    if (::write(ready[1], &yes, 1) != 1) ::_exit(1);
    ::close(ready[1]);
    for (;;)
      step();
  }
  ::close(ready[1]);
  char yes = 0;
  if (child > 0 && ::read(ready[0], &yes, 1) == 1) {
    process_ = child;
  } else if (child > 0) {
    ::waitpid(child, nullptr, 0);
  }
  ::close(ready[0]);
}

OtherUser::~OtherUser() {
  if (process_ <= 0) return;
  ::kill(static_cast<pid_t>(process_), SIGKILL);
  ::waitpid(static_cast<pid_t>(process_), nullptr, 0);
}

} // namespace hostprocess
