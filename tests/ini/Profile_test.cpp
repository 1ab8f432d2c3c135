// The profile functions; natively our own, under Wine the kernel's.

#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

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

// One write into a file as it was before: the whole file comes back in the
// functions' layout; a written name or value keeps its trailing blanks; the
// empty section is the keys before the first header; a UTF-16 file's odd
// last byte is one more character; bytes of a UTF-8 file that are no UTF-8
// come back as U+FFFD.
TEST(Profile, OneWriteRewritesTheFileInTheFunctionsLayout) {
  struct Case {
    std::string before, section, key, value, after;
  };
  const std::string le = "\xFF\xFE", be = "\xFE\xFF";
  auto utf16 = [](const std::string& ascii, bool bigEndian) {
    std::string bytes;
    for (char c : ascii)
      bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
  };
  // Windows takes the byte after the end of a UTF-16 file as the high byte
  // of its odd last one; only a file large enough for a block of its own
  // has zeros there for sure.
  const std::string pad = "pad=" + std::string(300000, 'p') + "\r\n";
  const std::vector<Case> cases = {
      {"", "S", " key ", " val ", "[S]\r\nkey =val \r\n"},
      {"", "\tSec ", "k", "v", "[Sec ]\r\nk=v\r\n"},
      {"[S]\r\nkey =val \r\n", "S", "other", "x", "[S]\r\nkey=val\r\nother=x\r\n"},
      {"[S]\r\nkey=old\r\n", "s", " KEY ", "  new\t", "[S]\r\nkey=new\t\r\n"},
      {"[S]\r\nkey=v  \r\n", "S", "key", " v", "[S]\r\nkey=v  \r\n"},
      {"[S]\r\nkey=v\r\n", "S", "key", "v ", "[S]\r\nkey=v \r\n"},
      {"a=1\r\n[S]\r\nk=v\r\n", "", "b", "2", "a=1\r\nb=2\r\n[S]\r\nk=v\r\n"},
      {"a=1\r\n[S]\r\nk=v\r\n", "  ", "A", "2", "a=2\r\n[S]\r\nk=v\r\n"},
      {"[S]\r\nk=v\r\n", "", "x", "1", "x=1\r\n[S]\r\nk=v\r\n"},
      {"[]\r\nz=1\r\n[S]\r\nk=v\r\n", "", "x", "1", "x=1\r\nz=1\r\n[S]\r\nk=v\r\n"},
      {"", "", "x", "1", "x=1\r\n"},
      {"; c\r\n\r\n  [ A ] x\r\n a = 1 \r\n\r\nnoeq\r\n=v\r\n==\r\n", "a", "b", "2",
       "; c\r\n[A]\r\na=1\r\nnoeq\r\n=v\r\nb=2\r\n"},
      {le + utf16("[S]\r\nk=v\r\n" + pad, false) + "A", "S", "k2", "w",
       le + utf16("[S]\r\nk=v\r\n" + pad + "A\r\nk2=w\r\n", false)},
      {be + utf16("[S]\r\nk=v\r\n" + pad, true) + "A", "S", "k2", "w",
       be + utf16("[S]\r\nk=v\r\n" + pad + "A\r\nk2=w\r\n", true)},
      {"\xEF\xBB\xBF[S]\r\nk=\xFF|\xE2\x82x|\xED\xA0\x80|\xC3\xA9\r\nz\xE2\x41", "S", "b", "2",
       "\xEF\xBB\xBF[S]\r\nk=\xEF\xBF\xBD|\xEF\xBF\xBDx|\xEF\xBF\xBD\xEF\xBF\xBD|\xC3\xA9\r\n"
       "z\xEF\xBF\xBD\r\nb=2\r\n"},
  };
  TestDrive drive;
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE("case " + std::to_string(i));
    std::string name = "layout" + std::to_string(i) + ".ini";
    if (!c.before.empty()) drive.Write(name, c.before);
    EXPECT_TRUE(profile().WritePrivateProfileStringA(c.section, c.key, c.value, drive.Win(name)));
    EXPECT_EQ(drive.Read(name), c.after);
  }
  // Reads take the file without the written blanks, and the empty section
  // reads the keys before the first header.
  EXPECT_EQ(Read(drive.Win("layout0.ini"), "s", "KEY"), "val");
  EXPECT_EQ(Read(drive.Win("layout6.ini"), "", "b"), "2");
  EXPECT_EQ(Read(drive.Win("layout6.ini"), "", "k"), "");
  EXPECT_EQ(Read(drive.Win("layout9.ini"), "", "z"), "1");
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
