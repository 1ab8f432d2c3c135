#pragma once
// What the removal tests need of the machine beneath the drive: entries that
// only the Linux file system can hold (links, pipes), made with its own
// shell, and a second run of this test program. One file per platform.

#include <functional>
#include <string>

namespace hostprocess {

// Whether UnixShell can be used here: not in the Windows build, where Wine
// starts a Linux program without waiting for it.
bool UnixShellAvailable();
// Runs `command` with the Linux shell (/bin/sh -c). Its outcome is for the
// caller to check on disk.
void UnixShell(const std::string& command);
// The Linux path of a path on the test drive, as TestDrive::Host gives it.
std::string UnixPath(const std::string& hostPath);
// Runs this test program again with `arguments` and an extra environment
// variable; returns its exit code.
int RunSelf(const std::string& arguments, const std::string& variable, const std::string& value);

// A second process of an unprivileged user (user and group 65534, "nobody")
// that runs `step` over and over until the object goes: another user racing
// the program for real. It runs only where this process may become that
// user (as root, on Linux); Running() says whether it does.
class OtherUser {
public:
  explicit OtherUser(std::function<void()> step);
  ~OtherUser();
  OtherUser(const OtherUser&) = delete;
  OtherUser& operator=(const OtherUser&) = delete;
  bool Running() const { return process_ > 0; }
  static constexpr unsigned Id = 65534;

private:
  long process_ = -1;
};

} // namespace hostprocess
