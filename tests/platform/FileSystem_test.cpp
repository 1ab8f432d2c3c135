// The file-system service answers alike on Linux and under Wine.

#include "platform/FileSystem.h"

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
