#pragma once
// What the removal tests need of the machine beneath the drive: entries that
// only the Linux file system can hold (links, pipes), made with its own
// shell, and a second run of this test program. One file per platform.

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

} // namespace hostprocess
