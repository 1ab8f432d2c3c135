// Where our profile layer deliberately does better than Wine's: it keeps
// the lines a write does not touch, and it does not write read-only files.

#include "platform/Profile.h"

#include <gtest/gtest.h>

#include "tests/support/TestDrive.h"

namespace {

using platform::profile;

TEST(PosixProfile, KeepsEveryUntouchedLine) {
  TestDrive drive;
  const std::string before = "; settings\r\n\r\n[ Main ]\r\n  Key = old  \r\nodd line\r\n\r\n"
                             "[Lf]\nk=1\n[Last]\r\nz=2";
  drive.Write("k.ini", before);
  std::string file = drive.Win("k.ini");
  EXPECT_TRUE(profile().WritePrivateProfileStringA("main", "KEY", "new", file));
  EXPECT_TRUE(profile().WritePrivateProfileStringA("Main", "added", "a", file));
  EXPECT_TRUE(profile().WritePrivateProfileStringA("lf", "k2", "2", file));
  EXPECT_TRUE(profile().WritePrivateProfileStringA("New", "n", "1", file));
  EXPECT_EQ(drive.Read("k.ini"),
            "; settings\r\n\r\n[ Main ]\r\nKey=new\r\nodd line\r\nadded=a\r\n\r\n"
            "[Lf]\nk=1\nk2=2\r\n[Last]\r\nz=2\r\n[New]\r\nn=1\r\n");
}

TEST(PosixProfile, AReadOnlyFileIsNotWritten) {
  TestDrive drive;
  drive.Write("ro.ini", "[a]\r\nk=1\r\n");
  drive.SetReadOnly("ro.ini", true);
  EXPECT_FALSE(profile().WritePrivateProfileStringA("a", "k", "2", drive.Win("ro.ini")));
  EXPECT_EQ(drive.Read("ro.ini"), "[a]\r\nk=1\r\n");
}

} // namespace
