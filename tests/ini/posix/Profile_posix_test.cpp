// Where our profile layer deliberately does better than Wine's: it does not
// write read-only files. And what only Linux shows: a write keeps the file
// itself.

#include "platform/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/TestDrive.h"

namespace {

using platform::profile;

TEST(PosixProfile, AReadOnlyFileIsNotWritten) {
  TestDrive drive;
  drive.Write("ro.ini", "[a]\r\nk=1\r\n");
  drive.SetReadOnly("ro.ini", true);
  EXPECT_FALSE(profile().WritePrivateProfileStringA("a", "k", "2", drive.Win("ro.ini")));
  EXPECT_EQ(drive.Read("ro.ini"), "[a]\r\nk=1\r\n");
}

TEST(PosixProfile, AWriteKeepsTheFileItsOwnerModeAndLinks) {
  TestDrive drive;
  drive.Write("own.ini", "[a]\r\nk=1\r\n");
  std::string host = drive.Host("own.ini");
  ASSERT_EQ(::chmod(host.c_str(), 0640), 0);
  ASSERT_EQ(::link(host.c_str(), drive.Host("link.ini").c_str()), 0);
  bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(host.c_str(), 4321, 4321), 0);
  }
  struct stat before, after;
  ASSERT_EQ(::stat(host.c_str(), &before), 0);
  EXPECT_TRUE(profile().WritePrivateProfileStringA("a", "k", "22", drive.Win("own.ini")));
  EXPECT_TRUE(profile().WritePrivateProfileStringA("a", "k", "3", drive.Win("own.ini")));
  ASSERT_EQ(::stat(host.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_nlink, 2u);
  if (root) {
    EXPECT_EQ(after.st_uid, 4321u);
  }
  EXPECT_EQ(drive.Read("link.ini"), "[a]\r\nk=3\r\n"); // shorter again: cut to length
}

} // namespace
