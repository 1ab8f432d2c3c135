#include "sys/SystemRoutines.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/RuntimeError.h"
#include "platform/Shell.h"
#include "tests/support/FileSystemDecorator.h"
#include "tests/support/ScopedService.h"
#include "tests/support/TestDrive.h"

namespace {

using platform::FileSystem;

// Records the directory queries and creations, and can refuse one creation
// or fail one query.
class WatchedFileSystem : public FileSystemDecorator {
public:
  std::vector<std::string> queried, made;
  std::string refuse; // MakeDirectory of this path raises `refuseWith`
  int refuseWith = RuntimeError::PathFileAccessError;
  std::string failQuery; // FirstEntry of this path raises 68
  int exist = 0;         // when not 0, what OpenFileExist answers

  std::string FirstEntry(const std::string& path, platform::EntryKinds kinds) override {
    queried.push_back(path);
    EXPECT_EQ(kinds, platform::EntryKinds::AnyEntry); // hidden and system folders too
    if (path == failQuery) throw RuntimeError(RuntimeError::DeviceUnavailable);
    return inner_->FirstEntry(path, kinds);
  }
  void MakeDirectory(const std::string& path) override {
    made.push_back(path);
    if (path == refuse) throw RuntimeError(refuseWith);
    inner_->MakeDirectory(path);
  }
  int OpenFileExist(const std::string& path) override {
    return exist ? exist : inner_->OpenFileExist(path);
  }
};

class SystemRoutinesTest : public ::testing::Test {
protected:
  TestDrive drive;
  std::shared_ptr<WatchedFileSystem> watched = std::make_shared<WatchedFileSystem>();
  ScopedService<FileSystem> useWatched{watched};

  // The queries MakePath makes for the drive's own folder ("c:", "c:\tt...").
  std::vector<std::string> Queried(std::vector<std::string> inside) {
    std::vector<std::string> all{"c:", drive.Win()};
    for (auto& relative : inside)
      all.push_back(drive.Win(relative));
    return all;
  }
  std::vector<std::string> Paths(std::vector<std::string> relatives) {
    for (auto& relative : relatives)
      relative = drive.Win(relative);
    return relatives;
  }
};

TEST_F(SystemRoutinesTest, MakePathCreatesEachMissingFolderShortestFirst) {
  SystemRoutines::MakePath(drive.Win("x\\y\\z"));
  EXPECT_EQ(watched->queried, Queried({"x", "x\\y", "x\\y\\z"}));
  EXPECT_EQ(watched->made, Paths({"x", "x\\y", "x\\y\\z"}));
  EXPECT_TRUE(drive.IsDirectory("x\\y\\z"));
}

TEST_F(SystemRoutinesTest, MakePathOnExistingFoldersCreatesNothing) {
  drive.MakeDir("a\\b");
  SystemRoutines::MakePath(drive.Win("a\\b"));
  EXPECT_EQ(watched->queried, Queried({"a", "a\\b"}));
  EXPECT_TRUE(watched->made.empty());
}

TEST_F(SystemRoutinesTest, MakePathTrailingBackslashAddsNoPrefixAndADriveIsNeverMade) {
  SystemRoutines::MakePath(drive.Win("t\\"));
  EXPECT_EQ(watched->queried, Queried({"t"}));
  EXPECT_EQ(watched->made, Paths({"t"}));

  watched->queried.clear();
  watched->made.clear();
  SystemRoutines::MakePath("c:");
  EXPECT_EQ(watched->queried, std::vector<std::string>{"c:"});
  EXPECT_TRUE(watched->made.empty());
}

TEST_F(SystemRoutinesTest, MakePathRaisesARefusedCreationAtOnce) {
  watched->refuse = drive.Win("r\\s");
  try {
    SystemRoutines::MakePath(drive.Win("r\\s\\t"));
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), RuntimeError::PathFileAccessError);
  }
  // The longer prefix is not attempted; what was made stays.
  EXPECT_EQ(watched->made, Paths({"r", "r\\s"}));
  EXPECT_TRUE(drive.IsDirectory("r"));
  EXPECT_FALSE(drive.Exists("r\\s"));
}

TEST_F(SystemRoutinesTest, MakePathRaisesAFailedQuery) {
  watched->failQuery = drive.Win("q");
  try {
    SystemRoutines::MakePath(drive.Win("q\\w"));
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), RuntimeError::DeviceUnavailable);
  }
  EXPECT_TRUE(watched->made.empty());
}

TEST_F(SystemRoutinesTest, AFileOnAPrefixCountsAsPresentAndTheNextLevelFails) {
  drive.Write("f", "x");
  try {
    SystemRoutines::MakePath(drive.Win("f\\under"));
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Number(), RuntimeError::PathNotFound);
  }
  EXPECT_EQ(watched->made, Paths({"f\\under"}));
  EXPECT_EQ(drive.Read("f"), "x");
}

TEST_F(SystemRoutinesTest, FileExistsOnlyForAnExistingFile) {
  drive.Write("here.txt", "1");
  drive.MakeDir("folder");
  EXPECT_TRUE(SystemRoutines::FileExists(drive.Win("here.txt")));
  EXPECT_TRUE(SystemRoutines::FileExists(drive.Win("HERE.TXT")));
  EXPECT_FALSE(SystemRoutines::FileExists(drive.Win("missing.txt")));
  EXPECT_FALSE(SystemRoutines::FileExists(drive.Win("nofolder\\here.txt")));
  EXPECT_FALSE(SystemRoutines::FileExists(drive.Win("folder")));
  // Only the answer 1 means yes.
  for (int answer : {2, -1, 0x7fff}) {
    watched->exist = answer;
    EXPECT_FALSE(SystemRoutines::FileExists(drive.Win("here.txt"))) << answer;
  }
}

// Keeps the request it is handed and answers a chosen value.
class RecordingShell : public platform::Shell {
public:
  std::vector<platform::SHFILEOPSTRUCTA> requests;
  int32_t answer = 0;
  int32_t SHFileOperationA(platform::SHFILEOPSTRUCTA& request) override {
    requests.push_back(request);
    return answer;
  }
};

TEST(ShellFileOperation, FillsTheRecordWithOnePathPerList) {
  auto recorder = std::make_shared<RecordingShell>();
  ScopedService<platform::Shell> useRecorder{recorder};
  recorder->answer = 1234;
  EXPECT_EQ(SystemRoutines::ShellFileOperation(0x00120034, platform::FO_COPY, 0x90,
                                               "c:\\a\\oem1.inf", "c:\\Backup"),
            1234);
  ASSERT_EQ(recorder->requests.size(), 1u);
  const auto& r = recorder->requests[0];
  EXPECT_EQ(r.hwnd, 0x00120034u);
  EXPECT_EQ(r.wFunc, platform::FO_COPY);
  // The text, its NUL, and the terminator: a list of exactly one path.
  EXPECT_EQ(r.pFrom, std::string("c:\\a\\oem1.inf\0", 14));
  EXPECT_EQ(r.pTo, std::string("c:\\Backup\0", 10));
  EXPECT_EQ(r.fFlags, platform::FOF_NOCONFIRMATION | platform::FOF_FILESONLY);
  EXPECT_FALSE(r.fAnyOperationsAborted);
  EXPECT_EQ(r.hNameMappings, nullptr);
  EXPECT_EQ(r.lpszProgressTitle, nullptr);
}

TEST(ShellFileOperation, NarrowsTheFlagsToSixteenBitsOrRaisesOverflow) {
  auto recorder = std::make_shared<RecordingShell>();
  ScopedService<platform::Shell> useRecorder{recorder};
  struct {
    int32_t flags;
    uint16_t passed;
  } fine[] = {{32767, 0x7fff}, {-1, 0xffff}, {-32768, 0x8000}, {0, 0}};
  for (auto& c : fine) {
    SystemRoutines::ShellFileOperation(0, platform::FO_COPY, c.flags, "a", "b");
    EXPECT_EQ(recorder->requests.back().fFlags, c.passed) << c.flags;
  }
  size_t calls = recorder->requests.size();
  for (int32_t flags : {32768, -32769, 0x10090}) {
    try {
      SystemRoutines::ShellFileOperation(0, platform::FO_COPY, flags, "a", "b");
      ADD_FAILURE() << flags << " accepted";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.Number(), RuntimeError::Overflow);
    }
  }
  EXPECT_EQ(recorder->requests.size(), calls); // nothing handed to the shell
}

TEST(ShellFileOperation, CopiesAFileIntoAFolderUnderItsName) {
  TestDrive drive;
  drive.Write("oem3.inf", "driver text");
  drive.MakeDir("Backup");
  EXPECT_EQ(SystemRoutines::ShellFileOperation(0, platform::FO_COPY, 0x90, drive.Win("oem3.inf"),
                                               drive.Win("Backup")),
            0);
  EXPECT_EQ(drive.Read("Backup\\oem3.inf"), "driver text");
  EXPECT_NE(SystemRoutines::ShellFileOperation(0, platform::FO_COPY, 0x90, drive.Win("oem4.inf"),
                                               drive.Win("Backup")),
            0);
}

} // namespace
