#include "ini/cINI.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/Profile.h"
#include "platform/Program.h"
#include "platform/RuntimeError.h"
#include "tests/support/FileSystemDecorator.h"
#include "tests/support/ScopedService.h"
#include "tests/support/TestDrive.h"

struct cINIInternals {
  static std::string TrimAtNull(const std::string& t) { return cINI::TrimAtNull(t); }
};

namespace {

using platform::FileSystem;

// Counts every call that would touch the disk; can refuse file creations.
class WatchedFileSystem : public FileSystemDecorator {
public:
  int calls = 0;
  std::vector<std::string> created, made;
  bool refuseCreation = false;

  std::string FirstEntry(const std::string& p, platform::EntryKinds k) override {
    ++calls;
    return inner_->FirstEntry(p, k);
  }
  int OpenFileExist(const std::string& p) override {
    ++calls;
    return inner_->OpenFileExist(p);
  }
  void MakeDirectory(const std::string& p) override {
    ++calls;
    made.push_back(p);
    inner_->MakeDirectory(p);
  }
  void CreateNewFile(const std::string& p) override {
    ++calls;
    created.push_back(p);
    if (refuseCreation) throw RuntimeError(RuntimeError::PathFileAccessError);
    inner_->CreateNewFile(p);
  }
  void RemoveFile(const std::string& p) override {
    ++calls;
    inner_->RemoveFile(p);
  }
};

class FakeProgram : public platform::Program {
public:
  std::string folder;
  std::string Folder() override { return folder; }
  std::string ExeName() override { return "TALMIREXRemove"; }
};

// The real profile functions, with a chosen answer for the system folder
// and a log of the writes.
class FakeProfile : public platform::Profile {
public:
  std::shared_ptr<Profile> inner = Native();
  std::string systemFolder;
  uint32_t reported = 0; // the length reported; 0 means the folder's own
  std::vector<std::string> writes;

  uint32_t GetPrivateProfileStringA(const std::string& s, const std::string& k,
                                    const std::string& d, char* b, uint32_t n,
                                    const std::string& f) override {
    return inner->GetPrivateProfileStringA(s, k, d, b, n, f);
  }
  bool WritePrivateProfileStringA(const std::string& s, const std::string& k, const std::string& v,
                                  const std::string& f) override {
    writes.push_back(s + "|" + k + "|" + v);
    return inner->WritePrivateProfileStringA(s, k, v, f);
  }
  uint32_t GetSystemDirectoryA(char* b, uint32_t n) override {
    if (systemFolder.size() < n) std::memcpy(b, systemFolder.c_str(), systemFolder.size() + 1);
    return reported ? reported : static_cast<uint32_t>(systemFolder.size());
  }
};

class IniTest : public ::testing::Test {
protected:
  TestDrive drive;
  std::shared_ptr<WatchedFileSystem> files = std::make_shared<WatchedFileSystem>();
  std::shared_ptr<FakeProgram> program = std::make_shared<FakeProgram>();
  std::shared_ptr<FakeProfile> profile = std::make_shared<FakeProfile>();
  ScopedService<FileSystem> useFiles{files};
  ScopedService<platform::Program> useProgram{program};
  ScopedService<platform::Profile> useProfile{profile};
  cINI ini;

  // A file in the root folder of drive C:, removed at the end.
  std::string RootFile(const std::string& name) {
    rootFiles.push_back(testhost::ToHost("c:\\" + name));
    return "c:\\" + name;
  }
  void TearDown() override {
    std::error_code ignored;
    for (auto& f : rootFiles)
      std::filesystem::remove(f, ignored);
  }
  std::vector<std::string> rootFiles;
};

TEST(cINIText, TextUpToTheFirstNull) {
  EXPECT_EQ(cINIInternals::TrimAtNull(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(cINIInternals::TrimAtNull("  "), "  ");
  EXPECT_EQ(cINIInternals::TrimAtNull(std::string(1, '\0')), "");
}

TEST_F(IniTest, NewObjectAndModeZeroLocateNothing) {
  EXPECT_EQ(ini.Command(), 0);
  ini.FileName("x.ini");
  EXPECT_EQ(ini.FullPath(), "");
  ini.Section("s");
  ini.Item("i");
  ini.Data("value");
  EXPECT_FALSE(ini.DataSave("i", "v"));
  EXPECT_EQ(ini.Data(), "");
  EXPECT_TRUE(files->created.empty());
  EXPECT_TRUE(profile->writes.empty());
}

TEST_F(IniTest, EmptyFullPathTouchesNoDisk) {
  EXPECT_FALSE(ini.Exists());
  EXPECT_FALSE(ini.Delete());
  EXPECT_EQ(ini.Data(), "");
  EXPECT_EQ(files->calls, 0);
}

TEST_F(IniTest, CommandOutsideSixteenBitsIsRefused) {
  ini.Command(3);
  for (int32_t bad : {32768, -32769, 1 << 20}) {
    try {
      ini.Command(bad);
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.Number(), RuntimeError::Overflow);
    }
    EXPECT_EQ(ini.Command(), 3);
  }
  ini.Command(-32768);
  EXPECT_EQ(ini.Command(), -32768);
}

TEST_F(IniTest, ModeOneUsesTheProgramFolder) {
  drive.MakeDir("prog");
  program->folder = drive.Win("prog");
  ini.Command(1);
  ini.FileName("FTDIunin.ini");
  EXPECT_EQ(ini.FilePath(), drive.Win("prog"));
  EXPECT_EQ(ini.FullPath(), drive.Win("prog\\FTDIunin.ini"));
  EXPECT_EQ(drive.Read("prog\\FTDIunin.ini"), "");
}

TEST_F(IniTest, ModeOneInADrivesRootFolder) {
  program->folder = "c:\\";
  std::string name = "h3root" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                     drive.Win().substr(3) + ".ini";
  RootFile(name);
  ini.Command(1);
  ini.FileName(name);
  EXPECT_EQ(ini.FilePath(), "c:");
  EXPECT_EQ(ini.FullPath(), "c:\\" + name);
  EXPECT_TRUE(ini.Exists());
}

TEST_F(IniTest, ModeOneCreatesOnlyTheLastFolderLevel) {
  program->folder = drive.Win("one");
  ini.Command(1);
  ini.FileName("a.ini");
  EXPECT_EQ(ini.FullPath(), drive.Win("one\\a.ini"));
  program->folder = drive.Win("two\\levels");
  try {
    ini.FileName("b.ini");
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), RuntimeError::PathNotFound);
  }
  EXPECT_FALSE(drive.Exists("two"));
}

TEST_F(IniTest, ModeTwoUsesTheSystemFolderWhileItFits) {
  drive.MakeDir("sys32");
  profile->systemFolder = drive.Win("sys32");
  ini.Command(2);
  ini.FileName("s.ini");
  EXPECT_EQ(ini.FilePath(), drive.Win("sys32"));
  EXPECT_EQ(ini.FullPath(), drive.Win("sys32\\s.ini"));

  profile->reported = 0;
  profile->systemFolder = "";
  ini.FileName("t.ini");
  EXPECT_EQ(ini.FilePath(), "");
  EXPECT_EQ(ini.FullPath(), "");

  // A name longer than the buffer leaves nothing usable in it.
  profile->systemFolder = "c:\\" + std::string(60, 'x');
  ini.FileName("u.ini");
  EXPECT_EQ(ini.FullPath(), "");
  EXPECT_EQ(ini.FilePath(), "");
}

TEST_F(IniTest, ModeThreeUsesFilePathAsAssigned) {
  ini.Command(3);
  ini.FilePath(drive.Win("cfg"));
  EXPECT_EQ(ini.FullPath(), "");
  ini.FileName("c.ini");
  EXPECT_EQ(ini.FullPath(), drive.Win("cfg\\c.ini"));
  EXPECT_TRUE(drive.Exists("cfg\\c.ini"));

  // An existing file: nothing created.
  files->created.clear();
  ini.FilePath(drive.Win("cfg"));
  EXPECT_TRUE(files->created.empty());
  EXPECT_EQ(ini.FullPath(), drive.Win("cfg\\c.ini"));

  // A trailing backslash stays: two in a row in the joined path.
  ini.FilePath(drive.Win("cfg") + "\\");
  EXPECT_EQ(ini.FullPath(), drive.Win("cfg") + "\\\\c.ini");
  EXPECT_TRUE(ini.Exists());
}

TEST_F(IniTest, ModeThreeWithAnEmptyFolderUsesTheCurrentDrivesRoot) {
  std::string name = "h3cur" + drive.Win().substr(3) + ".ini";
  RootFile(name);
  auto before = std::filesystem::current_path();
  std::filesystem::current_path(drive.Host());
  ini.Command(3);
  ini.FileName(name);
  std::filesystem::current_path(before);
  EXPECT_EQ(ini.FullPath(), "\\" + name);
  EXPECT_EQ(ini.FilePath(), "");
  EXPECT_TRUE(std::filesystem::exists(testhost::ToHost("c:\\" + name)));
}

TEST_F(IniTest, AFileTooLongForOpenFileIsNeverEmptied) {
  // OpenFile cannot see a file whose full path has 128 characters or more:
  // the object then finds no file, but the one there keeps its content.
  std::string folder(130 - drive.Win().size(), 'd');
  drive.MakeDir(folder);
  drive.Write(folder + "\\long.ini", "[s]\r\nk=precious\r\n");
  ini.Command(3);
  ini.FilePath(drive.Win(folder));
  ini.FileName("long.ini");
  EXPECT_EQ(ini.FullPath(), "");
  EXPECT_EQ(drive.Read(folder + "\\long.ini"), "[s]\r\nk=precious\r\n");
}

TEST_F(IniTest, ARefusedCreationIsSilent) {
  files->refuseCreation = true;
  ini.Command(3);
  ini.FilePath(drive.Win());
  ini.FileName("r.ini");
  EXPECT_EQ(ini.FullPath(), "");
  EXPECT_EQ(ini.FilePath(), drive.Win());
}

TEST_F(IniTest, FullPathSetsTheFieldsFromTheText) {
  ini.FullPath("name.ini");
  EXPECT_EQ(ini.FilePath(), "");
  EXPECT_EQ(ini.FileName(), "name.ini");
  EXPECT_EQ(ini.FullPath(), "name.ini");
  ini.FullPath("C:name.ini");
  EXPECT_EQ(ini.FilePath(), "C:");
  EXPECT_EQ(ini.FileName(), "name.ini");

  // An existing file: the mode is ignored.
  drive.Write("e.ini", "");
  ini.Command(1);
  program->folder = drive.Win("elsewhere");
  ini.FullPath(drive.Win("e.ini"));
  EXPECT_EQ(ini.FullPath(), drive.Win("e.ini"));
  EXPECT_EQ(ini.FilePath(), drive.Win());
  EXPECT_FALSE(drive.Exists("elsewhere"));

  // A text ending in a backslash names no file, in every mode.
  for (int mode : {0, 1, 2, 3}) {
    ini.Command(mode);
    ini.FullPath(drive.Win() + "\\");
    EXPECT_EQ(ini.FullPath(), "") << mode;
    EXPECT_EQ(ini.FileName(), "") << mode;
  }
  ini.FullPath("");
  EXPECT_EQ(ini.FilePath(), "");
  EXPECT_EQ(ini.FileName(), "");
}

TEST_F(IniTest, DataWritesReadsAndKeepsValues) {
  ini.Command(3);
  ini.FilePath(drive.Win());
  ini.FileName("FTDIunin.ini");
  ini.Section("uninstall");
  ini.Item("Device");
  ini.Data("USB\\VID_0403&PID_6001");
  EXPECT_EQ(ini.Data(), "USB\\VID_0403&PID_6001");
  ini.Data(""); // never written: the value stays
  EXPECT_EQ(ini.Data(), "USB\\VID_0403&PID_6001");
  EXPECT_EQ(profile->writes.size(), 1u);
  EXPECT_TRUE(ini.DataSave("InfFiles", std::string(89, 'v')));
  EXPECT_EQ(ini.Item(), "InfFiles");
  EXPECT_EQ(ini.Data(), std::string(49, 'v'));
  EXPECT_EQ(drive.Read("FTDIunin.ini"),
            "[uninstall]\r\nDevice=USB\\VID_0403&PID_6001\r\nInfFiles=" + std::string(89, 'v') +
                "\r\n");

  EXPECT_EQ(ini.DataRetrieve("Key", "default"), "default");
  EXPECT_EQ(ini.Item(), "Key");
  EXPECT_EQ(ini.DataRetrieve("Key", 42), "42");
  EXPECT_EQ(ini.DataRetrieve("Key", true), "True");
  EXPECT_EQ(ini.DataRetrieve("Key", false), "False");
  EXPECT_EQ(ini.DataRetrieve("Key", int16_t{-32768}), "-32768");
  EXPECT_EQ(ini.DataRetrieve("Key", int64_t{-9007199254740993}), "-9007199254740993");
  // Fractions as the language's Double and Single show them.
  struct Number {
    double value;
    const char* asDouble;
    const char* asSingle;
  };
  for (const Number& n : {
           Number{0.3, "0.3", "0.3"},
           Number{1E+20, "1E+20", "1E+20"},
           Number{1E-07, "1E-07", "1E-07"},
           Number{123456789012345, "123456789012345", "1.234568E+14"},
           Number{1234567890123456, "1.23456789012346E+15", "1.234568E+15"},
           Number{999999999999999.9, "1E+15", "1E+15"},
           Number{-0.5, "-0.5", "-0.5"},
           Number{100, "100", "100"},
           Number{1.5E-5, "1.5E-05", "1.5E-05"},
           Number{0.0001, "0.0001", "0.0001"},
           Number{0.00012345678901234567, "0.000123456789012346", "0.0001234568"},
           Number{1234567, "1234567", "1234567"},
           Number{12345678, "12345678", "1.234568E+07"},
           Number{9999999.5, "9999999.5", "1E+07"},
           Number{1.0 / 3, "0.333333333333333", "0.3333333"},
           Number{-2.0 / 3, "-0.666666666666667", "-0.6666667"},
           Number{3.14159265358979, "3.14159265358979", "3.141593"},
           Number{1E+100, "1E+100", nullptr},
           Number{-1.7976931348623157E+308, "-1.79769313486232E+308", nullptr},
           Number{4.9406564584124654E-324, "4.94065645841247E-324", "0"},
           Number{0, "0", "0"},
           Number{-0.0, "0", "0"},
       }) {
    SCOPED_TRACE(n.asDouble);
    EXPECT_EQ(ini.DataRetrieve("Key", n.value), n.asDouble);
    if (n.asSingle) { // no Single holds the others
      EXPECT_EQ(ini.DataRetrieve("Key", static_cast<float>(n.value)), n.asSingle);
    }
    EXPECT_EQ(ini.DataRetrieve("Key", static_cast<long double>(n.value)), n.asDouble);
  }
  EXPECT_EQ(ini.DataRetrieve("Key", std::numeric_limits<float>::infinity()), "1.#INF");
  EXPECT_EQ(ini.DataRetrieve("Key", -std::numeric_limits<double>::infinity()), "-1.#INF");
  EXPECT_EQ(ini.DataRetrieve("Key", std::numeric_limits<double>::quiet_NaN()), "-1.#IND");
  EXPECT_EQ(ini.DataRetrieve("Key"), "");
  EXPECT_EQ(ini.DataRetrieve("device", "x"), "USB\\VID_0403&PID_6001");

  EXPECT_FALSE(ini.INIWrite(ini.FullPath(), "uninstall", "Key", ""));
  EXPECT_EQ(profile->writes.size(), 2u);
  ini.Section("");
  EXPECT_EQ(ini.Data(), "");
  EXPECT_FALSE(ini.DataSave("Key", "v"));
}

TEST_F(IniTest, DeleteRemovesTheFileAndPassesARefusalUp) {
  drive.Write("d.ini", "[a]\r\n");
  ini.FullPath(drive.Win("d.ini"));
  EXPECT_TRUE(ini.Delete());
  EXPECT_FALSE(drive.Exists("d.ini"));
  EXPECT_FALSE(ini.Delete());
  EXPECT_EQ(ini.FullPath(), drive.Win("d.ini"));

  drive.Write("ro.ini", "");
  drive.SetReadOnly("ro.ini", true);
  ini.FullPath(drive.Win("ro.ini"));
  try {
    ini.Delete();
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), RuntimeError::PathFileAccessError);
  }
  EXPECT_TRUE(drive.Exists("ro.ini"));
}

} // namespace
