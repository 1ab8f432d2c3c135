// The file-system service answers alike on Linux and under Wine.

#include "platform/FileNames.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#include "platform/Program.h"
#include "platform/RuntimeError.h"
#include "tests/support/TestDrive.h"

namespace {

using platform::EntryKinds;
using platform::fileSystem;

int ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

std::vector<std::string> List(const std::string& pattern) {
  std::vector<std::string> names;
  auto e = fileSystem().EnumerateFiles(pattern);
  for (std::string n = e->Next(); !n.empty(); n = e->Next())
    names.push_back(n);
  return names;
}

// What the removal takes for a file it may copy and delete: a plain file
// that is no link.
bool IsPlainFile(platform::FileSystem& fs, const std::string& path) {
  platform::EntryFacts facts = fs.Examine(path);
  return facts.type == platform::EntryType::File && !facts.link;
}

TEST(FileNames, WildcardsMatchAsWindowsReadsAPattern) {
  struct {
    const char *pattern, *name;
    bool match;
  } cases[] = {
      {"oem*.inf", "OEM12.INF", true},
      {"oem*.inf", "oem.inf", true},
      {"oem*.inf", "oem1.inf.bak", false},
      {"oem*.inf", "oem1.inf_old", false}, // Windows' short names match, long ones decide
      {"oem*.inf", "oem12.information", false},
      {"oem*.inf", "oem1.inff", false},
      {"oem*.inf", "oem1.inf~", false},
      {"oem?.inf", "oem12.inf", false},
      {"oem?.inf", "oem.inf", false},
      {"ab?.c", "ab.c", false},
      {"*", "", true},
      {"*.*", "noextension", true},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"*1", "oem1.inf", false},
      {"\xe9*", "\xc9t\xe9", true}, // é, É
      {"?", "\xe9", true},
      {"\x9a", "\x8a", true}, // š, Š
      {"noext.*", "noext", true},
      {"noext.*", "noext.txt", true},
      {"noext.*.*", "noext", true},
      {"oem1.inf.*", "oem1.inf", true},
      {"oem1.inf.*", "oem1.inf.bak", true},
      {"oem1.*", "oem1.inf.bak", true},
      {"oem1.*x", "oem1", false},
      {"a.*", "ab", false},
      {"oem*.inf.", "oem1.inf", true},
      {"oem*.inf ", "oem1.inf", true},
      {"oem1.inf. .", "oem1.inf", true},
      {"*.", "any.thing", true},
      {".", "x", false},
      {"..", "x", false},
      {"...", "x", false},
      {" ", "x", false},
  };
  for (auto& c : cases)
    EXPECT_EQ(platform::Wildcard(c.pattern).Matches(c.name), c.match) << c.pattern << " " << c.name;
}

TEST(FileNames, NamesThatWindowsCannotOpenAndDevices) {
  struct {
    const char* name;
    bool windows;
    const char* device;
  } cases[] = {
      {"oem1.inf", true, ""},    {"oem4.inf.", false, ""},    {"oem1.inf ", false, ""},
      {"a:b.inf", false, ""},    {"a*b", false, ""},          {"a?b", false, ""},
      {"a\\b", false, ""},       {"a\x01b", false, ""},       {"a<b", false, ""},
      {".", false, ""},          {"..", false, ""},           {".hidden", true, ""},
      {"nul", false, "nul"},     {"NUL.inf", false, "NUL"},   {"nul .txt", false, "nul"},
      {"Con.ini", false, "Con"}, {"aux", false, "aux"},       {"prn.x.y", false, "prn"},
      {"com1", false, "com1"},   {"LPT9.log", false, "LPT9"}, {"conin$", false, "conin$"},
      {"com0", true, ""},        {"lpt10", true, ""},         {"nul1", true, ""},
      {"xnul", true, ""},        {"console", true, ""},
  };
  for (auto& c : cases) {
    EXPECT_EQ(platform::IsWindowsName(c.name), c.windows) << c.name;
    EXPECT_EQ(platform::DosDeviceName(std::string("c:\\x\\") + c.name), c.device) << c.name;
  }
  EXPECT_EQ(platform::FoldDotComponents("c:\\x\\y\\.."), "c:\\x");
  EXPECT_EQ(platform::FoldDotComponents("c:\\x\\.\\."), "c:\\x");
  EXPECT_EQ(platform::FoldDotComponents("c:\\x\\.."), "c:\\");
  EXPECT_EQ(platform::FoldDotComponents("c:\\x\\..."), "c:\\x\\...");
}

// One split for every Windows path: the ini file's folder and name, the
// search pattern's folder, a listing's folder and mask.
TEST(FileNames, PathsSplitAtTheirLastSeparator) {
  struct {
    const char* path;
    const char* folder;
    const char* name;
  } cases[] = {
      {"C:\\dir\\x.ini", "C:\\dir", "x.ini"},
      {"C:\\x.ini", "C:", "x.ini"},
      {"\\x.ini", "", "x.ini"},
      {"name.ini", "", "name.ini"},
      {"C:name.ini", "C:", "name.ini"},
      {"C:", "C:", ""},
      {"C:\\dir\\", "C:\\dir", ""},
      {"", "", ""},
      {"a:b\\c", "a:b", "c"},
      {"c:\\windows\\inf\\oem*.inf", "c:\\windows\\inf", "oem*.inf"},
      {"c:\\oem*.inf", "c:", "oem*.inf"},
      {"\\\\srv\\share\\x*.inf", "\\\\srv\\share", "x*.inf"},
      {"c:oem*.inf", "c:", "oem*.inf"},
      {"oem*.inf", "", "oem*.inf"},
      {"c:\\windows/inf/oem*.inf", "c:\\windows/inf", "oem*.inf"},
  };
  for (auto& c : cases) {
    const platform::PathParts parts = platform::SplitWindowsPath(c.path);
    EXPECT_EQ(parts.folder, c.folder) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
  }
  EXPECT_EQ(platform::JoinWindowsPath("c:\\windows\\inf", "oem1.inf"),
            "c:\\windows\\inf\\oem1.inf");
  EXPECT_EQ(platform::JoinWindowsPath("C:", "x.ini"), "C:\\x.ini");
  EXPECT_EQ(platform::JoinWindowsPath("", "x.ini"), "\\x.ini");
  EXPECT_EQ(platform::JoinWindowsPath("c:\\", "Backup"), "c:\\Backup");
}

TEST(FileSystem, EnumerationMatchesWildcardsWithoutRegardToCase) {
  TestDrive d;
  for (const char* name : {"oem1.inf", "OEM2.INF", "oem10.inf", "oem3.pnf", "xoem4.inf", "oem.inf"})
    d.Write(name, "x");
  d.MakeDir("oem5.inf");
  d.Write(".oem6.inf", "hidden");
  struct {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"oem*.inf", {"oem.inf", "oem1.inf", "oem10.inf", "OEM2.INF"}},
      {"OEM?.INF", {"oem1.inf", "OEM2.INF"}},
      {"oem??.inf", {"oem10.inf"}},
      {"*.pnf", {"oem3.pnf"}},
      {"*.*", {"oem.inf", "oem1.inf", "oem10.inf", "OEM2.INF", "oem3.pnf", "xoem4.inf"}},
      {"oem2.inf", {"OEM2.INF"}},
      {"oem5.inf", {}},
      {"nothing*", {}},
  };
  for (auto& c : cases)
    EXPECT_EQ(List(d.Win(c.pattern)), c.names) << c.pattern;
  EXPECT_EQ(List(d.Win("missing\\*.inf")), std::vector<std::string>{});
  EXPECT_EQ(List(d.Win("oem1.inf\\*.inf")), std::vector<std::string>{});
}

TEST(FileSystem, FoldersInThePathAreFoundWithoutRegardToCase) {
  TestDrive d;
  d.MakeDir("Windows\\Inf");
  d.Write("Windows\\Inf\\oem1.inf", "abc");
  EXPECT_EQ(List(d.Win("WINDOWS\\inf\\OEM*.INF")), std::vector<std::string>{"oem1.inf"});
  EXPECT_EQ(List(d.Win("windows/inf/oem*.inf")), std::vector<std::string>{"oem1.inf"});
  EXPECT_EQ(List(d.Win("windows\\.\\x\\..\\inf\\oem*.inf")), std::vector<std::string>{"oem1.inf"});
  EXPECT_EQ(fileSystem().OpenFileExist(d.Win("WINDOWS\\INF\\OEM1.INF")), 1);
}

TEST(FileSystem, FirstEntry) {
  TestDrive d;
  d.MakeDir("Backup");
  d.Write("b.txt", "x");
  d.Write(".h", "x");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("backup"), EntryKinds::FilesAndDirectories), "Backup");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("backup"), EntryKinds::FilesOnly), "");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("B.TXT"), EntryKinds::FilesOnly), "b.txt");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("b.txt"), EntryKinds::FilesAndDirectories), "b.txt");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win(".h"), EntryKinds::FilesOnly), "");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("none"), EntryKinds::FilesAndDirectories), "");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("none\\x"), EntryKinds::FilesAndDirectories), "");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win(), EntryKinds::FilesAndDirectories), d.Win().substr(3));
  EXPECT_EQ(fileSystem().FirstEntry("c:", EntryKinds::FilesAndDirectories), "");
  EXPECT_EQ(ErrorOf([] { fileSystem().FirstEntry("q:", EntryKinds::FilesAndDirectories); }),
            RuntimeError::DeviceUnavailable);
  EXPECT_EQ(ErrorOf([] { fileSystem().FirstEntry("q:\\x", EntryKinds::FilesAndDirectories); }),
            RuntimeError::DeviceUnavailable);
}

TEST(FileSystem, ReadingAFile) {
  TestDrive d;
  std::string content(10000, 'a');
  content[9999] = 'z';
  d.Write("f.bin", content);
  auto file = fileSystem().OpenForReading(d.Win("F.BIN"));
  EXPECT_EQ(file->Length(), 10000u);
  std::vector<unsigned char> buffer(4096);
  EXPECT_EQ(file->Read(buffer.data(), 4096), 4096u);
  EXPECT_EQ(file->Read(buffer.data(), 4096), 4096u);
  EXPECT_EQ(file->Read(buffer.data(), 4096), 1808u);
  EXPECT_EQ(buffer[1807], 'z');
  EXPECT_EQ(file->Read(buffer.data(), 4096), 0u);

  // Reads of every size, small and larger than any read-ahead, give the
  // file's bytes in order.
  std::string big(300000, '\0');
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
  d.Write("big.bin", big);
  auto whole = fileSystem().OpenForReading(d.Win("big.bin"));
  std::string back;
  std::vector<unsigned char> chunk(200000);
  for (size_t want : {4096u, 1u, 70000u, 4096u, 200000u, 4096u, 4096u, 50000u}) {
    size_t got = whole->Read(chunk.data(), want);
    EXPECT_EQ(got, std::min(want, big.size() - back.size())) << back.size();
    back.append(reinterpret_cast<const char*>(chunk.data()), got);
  }
  EXPECT_EQ(back.size(), big.size());
  EXPECT_TRUE(back == big);

  // ReadOn gives each run right behind the bytes asked to be kept of the run
  // before, across read-ahead boundaries, with long keeps and Read between.
  auto viewed = fileSystem().OpenForReading(d.Win("big.bin"));
  size_t at = 0, run = 0;
  struct Step {
    size_t count, behind;
  } steps[] = {{4096, 0}, {4096, 8},   {1, 4104},      {70000, 3}, {4096, 9000}, {4096, 4096},
               {4096, 0}, {131072, 5}, {4096, 131077}, {100, 0},   {4096, 7},    {200000, 64}};
  for (const Step& step : steps) {
    size_t got = 0;
    const unsigned char* bytes = viewed->ReadOn(step.count, std::min(step.behind, run), got);
    const size_t behind = std::min(step.behind, run);
    ASSERT_EQ(got, std::min(step.count, big.size() - at)) << at;
    EXPECT_TRUE(std::equal(bytes - behind, bytes + got, big.begin() + (at - behind))) << at;
    at += got;
    run = behind + got;
    if (step.count == 100) { // Read between two runs: the next run keeps nothing
      size_t read = viewed->Read(chunk.data(), 5000);
      EXPECT_TRUE(std::equal(chunk.begin(), chunk.begin() + read, big.begin() + at)) << at;
      at += read;
      run = 0;
    }
  }
  EXPECT_EQ(at, big.size());
  size_t none = 1;
  viewed->ReadOn(4096, 0, none);
  EXPECT_EQ(none, 0u);
}

TEST(FileSystem, ErrorsAreNumberedAsWindowsNumbersThem) {
  TestDrive d;
  d.MakeDir("dir");
  d.Write("file", "x");
  d.Write("ro", "x");
  d.SetReadOnly("ro", true);
  auto& fs = fileSystem();
  struct {
    const char* what;
    std::function<void()> action;
    int error;
  } cases[] = {
      {"open missing file", [&] { fs.OpenForReading(d.Win("none")); }, RuntimeError::FileNotFound},
      {"open in missing folder", [&] { fs.OpenForReading(d.Win("no\\f")); },
       RuntimeError::PathNotFound},
      {"open a folder", [&] { fs.OpenForReading(d.Win("dir")); },
       RuntimeError::PathFileAccessError},
      {"open with wildcard", [&] { fs.OpenForReading(d.Win("*.x")); }, RuntimeError::BadFileName},
      {"open on missing drive", [&] { fs.OpenForReading("q:\\f"); }, RuntimeError::PathNotFound},
      {"enumerate missing drive", [&] { fs.EnumerateFiles("q:\\*.inf"); },
       RuntimeError::DeviceUnavailable},
      {"make existing folder", [&] { fs.MakeDirectory(d.Win("dir")); },
       RuntimeError::PathFileAccessError},
      {"make folder over file", [&] { fs.MakeDirectory(d.Win("file")); },
       RuntimeError::PathFileAccessError},
      {"make folder in missing", [&] { fs.MakeDirectory(d.Win("no\\x")); },
       RuntimeError::PathNotFound},
      {"make folder below file", [&] { fs.MakeDirectory(d.Win("file\\x")); },
       RuntimeError::PathNotFound},
      {"delete missing", [&] { fs.RemoveFile(d.Win("none")); }, RuntimeError::FileNotFound},
      {"delete in missing folder", [&] { fs.RemoveFile(d.Win("no\\f")); },
       RuntimeError::PathNotFound},
      {"delete read-only", [&] { fs.RemoveFile(d.Win("ro")); }, RuntimeError::PathFileAccessError},
      {"delete a folder", [&] { fs.RemoveFile(d.Win("dir")); }, RuntimeError::PathFileAccessError},
      {"create file in missing", [&] { fs.CreateNewFile(d.Win("no\\f")); },
       RuntimeError::PathNotFound},
      {"create file over folder", [&] { fs.CreateNewFile(d.Win("dir")); },
       RuntimeError::PathFileAccessError},
      {"date of missing", [&] { fs.LastModified(d.Win("none")); }, RuntimeError::FileNotFound},
  };
  for (auto& c : cases)
    EXPECT_EQ(ErrorOf(c.action), c.error) << c.what;
  EXPECT_TRUE(d.Exists("ro"));
  d.SetReadOnly("ro", false);
  EXPECT_NO_THROW(fs.RemoveFile(d.Win("RO")));
  EXPECT_FALSE(d.Exists("ro"));
}

TEST(FileSystem, CreatingAndDeleting) {
  TestDrive d;
  auto& fs = fileSystem();
  fs.MakeDirectory(d.Win("New"));
  EXPECT_TRUE(d.IsDirectory("New"));
  d.Write("New\\f.ini", "old");
  EXPECT_EQ(ErrorOf([&] { fs.CreateNewFile(d.Win("new\\F.INI")); }),
            RuntimeError::PathFileAccessError);
  EXPECT_EQ(d.Read("New\\f.ini"), "old"); // an existing file is never emptied
  fs.CreateNewFile(d.Win("new\\g.ini"));
  EXPECT_EQ(d.Read("New\\g.ini"), "");
  EXPECT_TRUE(d.Exists("New\\g.ini"));
  fs.RemoveFile(d.Win("NEW\\G.ini"));
  EXPECT_FALSE(d.Exists("New\\g.ini"));
}

TEST(FileSystem, OpenFileExistAnswersOneOnlyForFiles) {
  TestDrive d;
  d.MakeDir("dir");
  d.Write("file", "");
  auto& fs = fileSystem();
  EXPECT_EQ(fs.OpenFileExist(d.Win("file")), 1);
  EXPECT_EQ(fs.OpenFileExist(d.Win("FILE")), 1);
  EXPECT_EQ(fs.OpenFileExist(d.Win("dir")), -1);
  EXPECT_EQ(fs.OpenFileExist(d.Win("none")), -1);
  EXPECT_EQ(fs.OpenFileExist(d.Win("no\\file")), -1);
  EXPECT_EQ(fs.OpenFileExist("q:\\file"), -1);
  EXPECT_EQ(fs.OpenFileExist(""), -1);
}

TEST(FileSystem, OpenFileExistFailsForFullPathsOf128CharactersOrMore) {
  TestDrive d;
  // c:\ttN_M\<folder>\f: the folder's name sets the full path's length.
  for (size_t length : {127u, 128u, 140u}) {
    std::string folder(length - d.Win().size() - 3, 'a');
    d.MakeDir(folder);
    d.Write(folder + "\\f", "x");
    std::string path = d.Win(folder + "\\f");
    ASSERT_EQ(path.size(), length);
    EXPECT_EQ(fileSystem().OpenFileExist(path), length < 128 ? 1 : -1) << length;
  }
}

TEST(FileSystem, OpenFileExistLooksForABareNameInTheWindowsFolder) {
  TestDrive d; // on Linux, makes drive C:
  std::filesystem::create_directories(testhost::ToHost("c:\\windows"));
  const std::string name = "bare" + d.Win().substr(3) + ".ini";
  EXPECT_EQ(fileSystem().OpenFileExist(name), -1);
  std::ofstream(testhost::ToHost("c:\\windows\\" + name)) << "[s]\r\n";
  EXPECT_EQ(fileSystem().OpenFileExist(name), 1);
  EXPECT_EQ(fileSystem().OpenFileExist(name.substr(1)), -1);
  std::filesystem::remove(testhost::ToHost("c:\\windows\\" + name));
}

TEST(FileSystem, PathsLongerThan260CharactersAreBadNames) {
  TestDrive d;
  std::string folder(255 - d.Win().size(), 'a'); // c:\ttN\aaa...: 256 characters
  d.MakeDir(folder);
  d.Write(folder + "\\abcd", "x"); // 261 characters
  d.Write(folder + "\\abc", "x");  // 260
  auto& fs = fileSystem();
  EXPECT_NO_THROW(fs.OpenForReading(d.Win(folder + "\\abc")));
  EXPECT_EQ(ErrorOf([&] { fs.OpenForReading(d.Win(folder + "\\abcd")); }),
            RuntimeError::BadFileName);
  EXPECT_EQ(ErrorOf([&] { fs.EnumerateFiles(d.Win(folder + "\\abc*")); }),
            RuntimeError::BadFileName);
  EXPECT_EQ(List(d.Win(folder + "\\ab*")), std::vector<std::string>({"abc", "abcd"}));
}

TEST(FileSystem, DevicePathsNameTheSameFiles) {
  TestDrive d;
  d.Write("oem1.inf", "x");
  EXPECT_EQ(List("\\\\?\\" + d.Win("oem*.inf")), std::vector<std::string>{"oem1.inf"});
  EXPECT_EQ(fileSystem().OpenForReading("\\\\?\\" + d.Win("oem1.inf"))->Length(), 1u);
  EXPECT_EQ(List("\\\\nowhere\\share\\oem*.inf"), std::vector<std::string>{});
}

TEST(FileSystem, HiddenAndSystemFilesAreNotListed) {
  TestDrive d;
  for (const char* name : {"oem1.inf", "oem2.inf", "oem3.inf"})
    d.Write(name, "x");
  if (!testhost::SetHiddenOrSystem(d.Host("oem1.inf"), true, false) ||
      !testhost::SetHiddenOrSystem(d.Host("oem2.inf"), false, true))
    GTEST_SKIP() << "this file system keeps no DOS attributes";
  EXPECT_EQ(List(d.Win("oem*.inf")), std::vector<std::string>{"oem3.inf"});
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("oem1.inf"), EntryKinds::FilesOnly), "");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("oem1.inf"), EntryKinds::AnyFile), "oem1.inf");
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("oem2.inf"), EntryKinds::AnyFile), "oem2.inf");
}

TEST(FileSystem, LastModifiedIsALocalDate) {
  TestDrive d;
  d.Write("f", "x");
  platform::LocalTime t = fileSystem().LastModified(d.Win("f"));
  EXPECT_GE(t.year, 2020);
  EXPECT_GE(t.month, 1);
  EXPECT_LE(t.month, 12);
  EXPECT_GE(t.day, 1);
  EXPECT_LE(t.day, 31);
  EXPECT_GE(t.dayOfWeek, 0);
  EXPECT_LE(t.dayOfWeek, 6);
}

TEST(Program, FolderAndNameOfTheRunningProgram) {
  std::string folder = platform::program().Folder();
  ASSERT_GE(folder.size(), 3u);
  EXPECT_EQ(folder[1], ':');
  EXPECT_EQ(folder[2], '\\');
  EXPECT_TRUE(folder.size() == 3 || folder.back() != '\\') << folder;
  EXPECT_EQ(platform::program().ExeName(), "platform_tests");
  // The folder really holds the program.
  EXPECT_NE(platform::fileSystem().FirstEntry(folder + (folder.size() == 3 ? "" : "\\") +
                                                  "platform_tests*",
                                              EntryKinds::FilesOnly),
            "");
}

// Names that only Linux can make, or that Windows' short names would match.
TEST(FileSystem, ANameMatchesOnlyByItsOwnLongName) {
  TestDrive d;
  for (const char* name :
       {"oem1.inf", "oem1.inf_old", "oem12.information", "oem1.inff", "oem1.inf~", "oem2.inf"})
    d.Write(name, "x");
  EXPECT_EQ(List(d.Win("oem*.inf")), std::vector<std::string>({"oem1.inf", "oem2.inf"}));
  EXPECT_EQ(List(d.Win("oem1.inf*")),
            std::vector<std::string>({"oem1.inf", "oem1.inff", "oem1.inf_old", "oem1.inf~"}));
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("oem1.inf"), EntryKinds::FilesOnly), "oem1.inf");
  if (!d.OnLinux("echo a > 'oem4.inf.'; echo b > 'oem1.inf '; echo c > 'a:b.inf';"
                 "echo d > nul; echo e > NUL.inf; echo f > lpt1; printf 'g' > \"$(printf "
                 "'caf\\351.inf')\";"
                 "echo h > \"$(printf '\\316\\261.inf')\""))
    GTEST_SKIP() << "no Linux side to make names that Windows cannot make";
  // Windows cannot open these by their names: no build lists them.
  EXPECT_EQ(List(d.Win("oem*.inf")), std::vector<std::string>({"oem1.inf", "oem2.inf"}));
  EXPECT_EQ(List(d.Win("*.inf")), std::vector<std::string>({"oem1.inf", "oem2.inf"}));
  EXPECT_EQ(List(d.Win("oem4*")), std::vector<std::string>{});
  EXPECT_EQ(List(d.Win("n*")), std::vector<std::string>{});
  EXPECT_EQ(List(d.Win("l*")), std::vector<std::string>{});
  EXPECT_EQ(fileSystem().FirstEntry(d.Win("*.inf"), EntryKinds::AnyFile), "oem1.inf");
}

// Entries that differ in letter case only: a name finds the entry of
// exactly its spelling when there is one.
TEST(FileSystem, CaseTwinsAreTwoFiles) {
  TestDrive d;
  d.MakeDir("Inf");
  if (!d.OnLinux("cd Inf && printf upper > OEM1.INF && printf lower! > oem1.inf &&"
                 "touch -d 2001-06-15T12:00:00 OEM1.INF && touch -d 2002-06-15T12:00:00 oem1.inf"))
    GTEST_SKIP() << "no Linux side to make case twins";
  auto& fs = fileSystem();
  const std::string folder = d.Win("inf"); // not spelt as on disk
  EXPECT_EQ(List(folder + "\\oem*.inf"), std::vector<std::string>({"OEM1.INF", "oem1.inf"}));
  EXPECT_EQ(fs.FirstEntry(folder + "\\OEM1.INF", EntryKinds::FilesOnly), "OEM1.INF");
  EXPECT_EQ(fs.FirstEntry(folder + "\\oem1.inf", EntryKinds::FilesOnly), "oem1.inf");
  EXPECT_EQ(fs.FirstEntry(folder + "\\oem1.inf", EntryKinds::AnyFile), "oem1.inf");
  EXPECT_EQ(fs.FirstEntry(folder + "\\oem1.inf", EntryKinds::FilesAndDirectories), "oem1.inf");
  auto length = [&](const std::string& name) {
    return fs.OpenForReading(folder + "\\" + name)->Length();
  };
  EXPECT_EQ(length("OEM1.INF"), 5u);
  EXPECT_EQ(length("oem1.inf"), 6u);
  { // files of a running enumeration, opened relative to its folder
    auto names = fs.EnumerateFiles(folder + "\\oem*.inf");
    EXPECT_EQ(length(names->Next()), 5u);
    EXPECT_EQ(length(names->Next()), 6u);
    EXPECT_EQ(length("OEM1.INF"), 5u);
  }
  { // and as the listing hands them over
    auto names = fs.EnumerateFiles(folder + "\\oem*.inf");
    for (size_t expected : {5u, 6u}) {
      const std::string name = names->Next();
      EXPECT_EQ(fs.OpenListed(*names, folder + "\\" + name)->Length(), expected) << name;
    }
  }
  EXPECT_FALSE(fs.SameFile(folder + "\\OEM1.INF", folder + "\\oem1.inf"));
  EXPECT_TRUE(fs.SameFile(folder + "\\oem1.inf", d.Win("Inf\\oem1.inf")));
  EXPECT_EQ(fs.LastModified(folder + "\\OEM1.INF").year, 2001);
  EXPECT_EQ(fs.LastModified(folder + "\\oem1.inf").year, 2002);
  fs.RemoveFile(folder + "\\oem1.inf");
  EXPECT_EQ(d.Read("Inf\\OEM1.INF"), "upper");
  EXPECT_FALSE(d.OnLinux("test -e Inf/oem1.inf"));
}

// Paths that name no file on Windows: a trailing separator after a file,
// "." and "..", and the DOS devices, which no call makes on disk.
TEST(FileSystem, TrailingSeparatorsDotsAndDevicesNameNoFile) {
  TestDrive d;
  d.Write("a.ini", "x");
  d.Write("name", "x");
  d.Write("oem1.inf", "x");
  d.MakeDir("sub");
  auto& fs = fileSystem();
  EXPECT_EQ(fs.OpenFileExist(d.Win("a.ini\\")), -1);
  EXPECT_EQ(fs.OpenFileExist(d.Win("a.ini")), 1);
  EXPECT_EQ(fs.FirstEntry(d.Win("a.ini\\"), EntryKinds::AnyFile), "");
  EXPECT_EQ(ErrorOf([&] { fs.OpenForReading(d.Win("a.ini\\")); }), RuntimeError::BadFileName);
  EXPECT_EQ(ErrorOf([&] { fs.RemoveFile(d.Win("a.ini\\")); }), RuntimeError::BadFileName);
  EXPECT_EQ(ErrorOf([&] { fs.CreateNewFile(d.Win("b.ini\\")); }), RuntimeError::BadFileName);
  EXPECT_TRUE(d.Exists("a.ini"));
  EXPECT_FALSE(d.Exists("b.ini"));

  const std::string here = d.Win().substr(3);
  EXPECT_EQ(fs.FirstEntry(d.Win("."), EntryKinds::FilesOnly), "");
  EXPECT_EQ(fs.FirstEntry(d.Win("."), EntryKinds::FilesAndDirectories), here);
  EXPECT_EQ(fs.FirstEntry(d.Win("sub\\.."), EntryKinds::FilesAndDirectories), here);
  EXPECT_EQ(fs.FirstEntry(d.Win(".."), EntryKinds::FilesAndDirectories), "");
  EXPECT_EQ(fs.FirstEntry(d.Win("..."), EntryKinds::AnyFile), "");
  EXPECT_EQ(List(d.Win(".")), std::vector<std::string>{});
  EXPECT_EQ(List(d.Win("..")), std::vector<std::string>{});
  EXPECT_EQ(List(d.Win("name.*")), std::vector<std::string>{"name"});
  EXPECT_EQ(List(d.Win("oem1.inf.*")), std::vector<std::string>{"oem1.inf"});

  struct {
    const char* path;
    const char* listed; // what a query of the path finds: the device
    int open, create, remove;
  } devices[] = {
      {"nul", "nul", RuntimeError::PathFileAccessError, 0, RuntimeError::InvalidProcedureCall},
      {"NUL.txt", "NUL", RuntimeError::PathFileAccessError, 0, RuntimeError::InvalidProcedureCall},
      {"sub\\Nul .ini", "Nul", RuntimeError::PathFileAccessError, 0,
       RuntimeError::InvalidProcedureCall},
      {"con", "con", RuntimeError::DeviceIOError, RuntimeError::DeviceIOError,
       RuntimeError::DeviceIOError},
      {"CON.ini", "CON", RuntimeError::DeviceIOError, RuntimeError::DeviceIOError,
       RuntimeError::DeviceIOError},
      {"prn", "prn", RuntimeError::FileNotFound, RuntimeError::FileNotFound,
       RuntimeError::FileNotFound},
      {"sub\\lpt9.log", "lpt9", RuntimeError::FileNotFound, RuntimeError::FileNotFound,
       RuntimeError::FileNotFound},
  };
  for (auto& c : devices) {
    const std::string path = d.Win(c.path);
    EXPECT_EQ(fs.OpenFileExist(path), -1) << c.path;
    EXPECT_EQ(fs.FirstEntry(path, EntryKinds::FilesOnly), c.listed) << c.path;
    EXPECT_EQ(List(path), std::vector<std::string>{c.listed}) << c.path;
    EXPECT_EQ(ErrorOf([&] { fs.OpenForReading(path); }), c.open) << c.path;
    EXPECT_EQ(ErrorOf([&] { fs.CreateNewFile(path); }), c.create) << c.path;
    EXPECT_EQ(ErrorOf([&] { fs.MakeDirectory(path); }), c.create) << c.path;
    EXPECT_EQ(ErrorOf([&] { fs.RemoveFile(path); }), c.remove) << c.path;
    EXPECT_FALSE(IsPlainFile(fs, path)) << c.path;
  }
  EXPECT_EQ(List(d.Win("*")), std::vector<std::string>({"a.ini", "name", "oem1.inf"}));
  EXPECT_EQ(List(d.Win("sub\\*")), std::vector<std::string>{});
  EXPECT_EQ(fs.FirstEntry(d.Win("missing\\nul"), EntryKinds::AnyFile), "");
}

// Pipes, devices and links as Wine shows them: a pipe or device is there
// but is no ordinary file; a link to a file counts as the file, but goes
// only as a link or not at all.
TEST(FileSystem, PipesDevicesAndLinks) {
  TestDrive d;
  d.Write("target", "the user's file");
  d.Write("plain.inf", "x");
  if (!d.OnLinux("mkfifo pipe.inf && ln -s /dev/zero zero.inf && ln -s target link.inf &&"
                 "mkdir sub && ln -s sub dirlink.inf && ln -s missing dangling.inf"))
    GTEST_SKIP() << "no Linux side to make pipes and links";
  auto& fs = fileSystem();
  EXPECT_EQ(List(d.Win("*.inf")), std::vector<std::string>({"link.inf", "plain.inf"}));
  struct {
    const char* name;
    const char* files; // FirstEntry of each kind
    const char* any;
    const char* all;
    int exist;
    int open;
    bool plain;
  } cases[] = {
      {"pipe.inf", "", "pipe.inf", "pipe.inf", -1, RuntimeError::PathFileAccessError, false},
      {"zero.inf", "", "zero.inf", "zero.inf", -1, RuntimeError::PathFileAccessError, false},
      {"link.inf", "link.inf", "link.inf", "link.inf", 1, 0, false},
      {"plain.inf", "plain.inf", "plain.inf", "plain.inf", 1, 0, true},
      {"dirlink.inf", "", "", "dirlink.inf", -1, RuntimeError::PathFileAccessError, false},
      {"dangling.inf", "", "", "", -1, RuntimeError::FileNotFound, false},
  };
  for (auto& c : cases) {
    const std::string path = d.Win(c.name);
    EXPECT_EQ(fs.FirstEntry(path, EntryKinds::FilesOnly), c.files) << c.name;
    EXPECT_EQ(fs.FirstEntry(path, EntryKinds::AnyFile), c.any) << c.name;
    EXPECT_EQ(fs.FirstEntry(path, EntryKinds::FilesAndDirectories), c.all) << c.name;
    EXPECT_EQ(fs.OpenFileExist(path), c.exist) << c.name;
    EXPECT_EQ(ErrorOf([&] { fs.OpenForReading(path); }), c.open) << c.name;
    EXPECT_EQ(IsPlainFile(fs, path), c.plain) << c.name;
  }
  EXPECT_EQ(ErrorOf([&] { fs.RemoveFile(d.Win("pipe.inf")); }), RuntimeError::InvalidProcedureCall);
  EXPECT_EQ(ErrorOf([&] { fs.RemoveFile(d.Win("zero.inf")); }), RuntimeError::PathFileAccessError);
  EXPECT_EQ(ErrorOf([&] { fs.RemoveFile(d.Win("dirlink.inf")); }),
            RuntimeError::PathFileAccessError);
  EXPECT_TRUE(d.OnLinux("test -p pipe.inf && test -L zero.inf && test -L dirlink.inf"));
  // Linux deletes the link itself; the Windows build under Wine, which
  // would delete the file it points to, refuses it.
  int error = ErrorOf([&] { fs.RemoveFile(d.Win("link.inf")); });
  EXPECT_TRUE(error == 0 || error == RuntimeError::PermissionDenied) << error;
  EXPECT_EQ(d.Read("target"), "the user's file");
  EXPECT_EQ(d.OnLinux("test -L link.inf"), error != 0);
}

} // namespace

namespace {

TEST(FileSystem, SameFileKnowsLinksFromCopies) {
  TestDrive d;
  d.Write("a", "same bytes");
  d.Write("copy", "same bytes");
  std::filesystem::create_hard_link(d.Host("a"), d.Host("link"));
  auto& fs = platform::fileSystem();
  EXPECT_TRUE(fs.SameFile(d.Win("a"), d.Win("A")));
  EXPECT_TRUE(fs.SameFile(d.Win("a"), d.Win("link")));
  EXPECT_FALSE(fs.SameFile(d.Win("a"), d.Win("copy")));
  EXPECT_FALSE(fs.SameFile(d.Win("a"), d.Win("missing")));
}

TEST(FileSystem, AnyFileSeesHiddenFilesButNoFolders) {
  TestDrive d;
  d.Write(".hidden", "x");
  d.MakeDir("dir");
  auto& fs = platform::fileSystem();
  EXPECT_EQ(fs.FirstEntry(d.Win(".hidden"), EntryKinds::FilesOnly), "");
  EXPECT_EQ(fs.FirstEntry(d.Win(".hidden"), EntryKinds::AnyFile), ".hidden");
  EXPECT_EQ(fs.FirstEntry(d.Win("dir"), EntryKinds::AnyFile), "");
  EXPECT_EQ(fs.FirstEntry(d.Win("dir"), EntryKinds::FilesAndDirectories), "dir");
}

} // namespace

namespace {

// A held folder: what is done through its path is done in the folder that
// was opened, whatever happens to its name meanwhile (Windows refuses to
// rename it; Linux renames it, and the path follows it); a subfolder that
// is a link, or no folder, is never opened as one; a private folder is made
// new, for its owner alone. A file is read only when it is no link.
TEST(FileSystem, HeldFolders) {
  TestDrive d;
  d.MakeDir("app");
  d.MakeDir("app\\Backup");
  d.MakeDir("elsewhere");
  d.Write("app\\notes.txt", "a file");
  const bool links = d.OnLinux("ln -s ../elsewhere app/Linked && ln -s notes.txt app/link.txt");
  auto& fs = fileSystem();
  auto app = fs.OpenFolder(d.Win("app"));
  struct {
    const char* name;
    int error;
  } subfolders[] = {
      {"Backup", 0},
      {"BACKUP", 0},
      {"missing", RuntimeError::PathNotFound},
      {"notes.txt", RuntimeError::PermissionDenied},
      {"Linked", links ? RuntimeError::PermissionDenied : RuntimeError::PathNotFound}};
  for (auto& c : subfolders)
    EXPECT_EQ(ErrorOf([&] { fs.OpenSubfolder(*app, c.name); }), c.error) << c.name;
  EXPECT_EQ(ErrorOf([&] { fs.OpenPlainFile(app->Path() + "\\notes.txt"); }), 0);
  if (links) {
    EXPECT_EQ(ErrorOf([&] { fs.OpenPlainFile(app->Path() + "\\link.txt"); }),
              RuntimeError::PathFileAccessError);
  }

  auto backup = fs.OpenSubfolder(*app, "Backup");
  std::error_code refused;
  std::filesystem::rename(d.Host("app\\Backup"), d.Host("app\\Moved"), refused);
  std::printf("renaming a held folder: %s\n", refused ? "refused" : "done; its path follows it");
  if (!refused) d.MakeDir("app\\Backup"); // another folder where it was
  fs.CreateNewFile(backup->Path() + "\\made.txt");
  EXPECT_EQ(d.Exists("app\\Backup\\made.txt"), bool(refused));
  EXPECT_EQ(d.Exists("app\\Moved\\made.txt"), !refused);

  auto own = fs.MakePrivateFolder(*app, "private");
  EXPECT_TRUE(testhost::OnlyOwnerMayUse(d.Host("app\\private")));
  EXPECT_EQ(ErrorOf([&] { fs.MakePrivateFolder(*app, "private"); }),
            RuntimeError::PathFileAccessError);
}

} // namespace
