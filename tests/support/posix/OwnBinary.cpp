#include "tests/support/posix/OwnBinary.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testhost {

std::tm OwnBinaryModified() {
  std::tm tm{};
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) {
    ADD_FAILURE() << "no /proc/self/exe";
    return tm;
  }
  self[n] = 0;
  struct stat st;
  if (::stat(self, &st) != 0) {
    ADD_FAILURE() << "cannot stat " << self;
    return tm;
  }
  ::localtime_r(&st.st_mtime, &tm);
  return tm;
}

} // namespace testhost
