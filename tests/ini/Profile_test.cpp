// The profile functions; natively our own, under Wine the kernel's.

#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/TestDrive.h"

namespace {

using platform::profile;

std::string Read(const std::string& file, const std::string& section, const std::string& key,
                 uint32_t size = 50) {
  std::string buffer(size, ' ');
  uint32_t n = profile().GetPrivateProfileStringA(section, key, "", buffer.data(), size, file);
  EXPECT_EQ(buffer[n], '\0');
  return buffer.substr(0, n);
}

TEST(Profile, SystemFolder) {
  char buffer[50];
  uint32_t n = profile().GetSystemDirectoryA(buffer, sizeof buffer);
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, 50u);
  std::string folder(buffer, n);
  std::transform(folder.begin(), folder.end(), folder.begin(), ::tolower);
  EXPECT_EQ(folder, "c:\\windows\\system32");
  char tiny[4] = "abc";
  EXPECT_EQ(profile().GetSystemDirectoryA(tiny, sizeof tiny), n + 1);
}

TEST(Profile, ReadsAreCutToTheBufferAndIgnoreCaseBlanksAndQuotes) {
  TestDrive drive;
  drive.Write("r.ini",
              "[Main]\r\n  Long = " + std::string(89, 'x') + "  \r\nq=\"in quotes\"\r\nKey=v\r\n");
  std::string file = drive.Win("r.ini");
  EXPECT_EQ(Read(file, "main", "long"), std::string(49, 'x'));
  EXPECT_EQ(Read(file, "MAIN", "Long", 200), std::string(89, 'x'));
  EXPECT_EQ(Read(file, "Main", "q"), "in quotes");
  EXPECT_EQ(Read(file, "main", "KEY"), "v");
  EXPECT_EQ(Read(file, "main", "none"), "");
  EXPECT_EQ(Read(file, "none", "Key"), "");
  EXPECT_EQ(Read(drive.Win("missing.ini"), "main", "key"), "");
}

TEST(Profile, WritesInTheFunctionsOwnLayout) {
  TestDrive drive;
  std::string file = drive.Win("w.ini");
  EXPECT_TRUE(profile().WritePrivateProfileStringA("One", "a", "1", file));
  EXPECT_TRUE(profile().WritePrivateProfileStringA("Two", "b", "2", file));
  EXPECT_TRUE(profile().WritePrivateProfileStringA("one", "C", "3", file));
  EXPECT_TRUE(profile().WritePrivateProfileStringA("ONE", "A", "x y", file));
  EXPECT_EQ(drive.Read("w.ini"), "[One]\r\na=x y\r\nC=3\r\n[Two]\r\nb=2\r\n");
  EXPECT_FALSE(profile().WritePrivateProfileStringA("s", "k", "v", drive.Win("no\\w.ini")));
}

TEST(Profile, ABareNameLivesInTheWindowsFolder) {
  TestDrive drive; // makes drive C: for the native build
  std::filesystem::create_directories(testhost::ToHost("c:\\windows"));
  std::string name = "h3" + drive.Win().substr(3) + ".ini";
  std::string host = testhost::ToHost("c:\\windows\\" + name);
  EXPECT_TRUE(profile().WritePrivateProfileStringA("s", "k", "v", name));
  EXPECT_EQ(Read(name, "s", "k"), "v");
  EXPECT_TRUE(std::filesystem::exists(host));
  std::filesystem::remove(host);
}

} // namespace
