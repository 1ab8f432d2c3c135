// The shell's file operations on one path each, as the program asks for
// them; natively these run our own shell, under Wine the Windows one.

#include "platform/Shell.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TestDrive.h"

namespace {

using namespace platform;

class ShellTest : public ::testing::Test {
protected:
  TestDrive drive;

  int32_t Run(uint32_t operation, uint16_t flags, const std::string& from, const std::string& to) {
    SHFILEOPSTRUCTA request;
    request.wFunc = operation;
    request.fFlags = flags;
    request.pFrom = from + '\0';
    request.pTo = to + '\0';
    return shell().SHFileOperationA(request);
  }
  int32_t Copy(const std::string& from, const std::string& to,
               uint16_t flags = FOF_NOCONFIRMATION | FOF_FILESONLY) {
    return Run(FO_COPY, flags, drive.Win(from), drive.Win(to));
  }
  // The names in a folder of the drive.
  std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (auto& entry : std::filesystem::directory_iterator(drive.Host(folder)))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(ShellTest, CopyIntoAFolderOntoANameAndOverAnOlderFile) {
  drive.MakeDir("src");
  drive.MakeDir("dst");
  drive.Write("src\\a.inf", "new");
  drive.Write("dst\\A.INF", "older and longer content");
  EXPECT_EQ(Copy("src\\a.inf", "dst"), 0);
  EXPECT_EQ(drive.Read("dst\\A.INF"), "new"); // replaced in its own name, no second file
  EXPECT_EQ(Copy("src\\a.inf", "dst\\b.txt"), 0);
  EXPECT_EQ(drive.Read("dst\\b.txt"), "new");
  EXPECT_EQ(Names("dst"), (std::vector<std::string>{"A.INF", "b.txt"})); // no leftovers
  EXPECT_EQ(drive.Read("src\\a.inf"), "new");
}

TEST_F(ShellTest, ReplacesAReadOnlyTarget) {
  drive.Write("a.inf", "fresh");
  drive.MakeDir("dst");
  drive.Write("dst\\a.inf", "stale");
  drive.SetReadOnly("dst\\a.inf", true);
  EXPECT_EQ(Copy("a.inf", "dst"), 0);
  EXPECT_EQ(drive.Read("dst\\a.inf"), "fresh");
}

TEST_F(ShellTest, FailuresAreReportedAndLeaveNothingBehind) {
  drive.Write("a.inf", "x");
  drive.MakeDir("dst");
  EXPECT_NE(Copy("missing.inf", "dst"), 0);
  EXPECT_NE(Copy("a.inf", "a.inf"), 0); // onto itself
  EXPECT_EQ(drive.Read("a.inf"), "x");
  EXPECT_TRUE(Names("dst").empty());
}

TEST_F(ShellTest, CopyMakesTheMissingFoldersOfItsTarget) {
  drive.Write("a.inf", "x");
  EXPECT_EQ(Copy("a.inf", "deep\\er\\c.inf"), 0);
  EXPECT_EQ(drive.Read("deep\\er\\c.inf"), "x");
}

TEST_F(ShellTest, WildcardsCopyEveryMatchAndFilesOnlySkipsFolders) {
  drive.MakeDir("src\\sub.inf");
  drive.Write("src\\one.inf", "1");
  drive.Write("src\\two.INF", "2");
  drive.Write("src\\other.txt", "3");
  drive.Write("src\\sub.inf\\inner.txt", "4");
  EXPECT_EQ(Copy("src\\*.inf", "files"), 0);
  EXPECT_EQ(Names("files"), (std::vector<std::string>{"one.inf", "two.INF"}));
  EXPECT_EQ(Copy("src\\*.inf", "all", FOF_NOCONFIRMATION), 0);
  EXPECT_EQ(Names("all"), (std::vector<std::string>{"one.inf", "sub.inf", "two.INF"}));
  EXPECT_EQ(drive.Read("all\\sub.inf\\inner.txt"), "4");
  EXPECT_EQ(Copy("src\\*.zzz", "files"), 0); // nothing matched, nothing to do
}

// What the shell does where the target does not name what the copy needs:
// the result, the aborted flag and what ends up on disk.
TEST_F(ShellTest, CopyTargetsThatAreNoPlainFolder) {
  drive.Write("a.inf", "a");
  SHFILEOPSTRUCTA request;
  request.wFunc = FO_COPY;
  request.fFlags = FOF_NOCONFIRMATION | FOF_FILESONLY;
  request.pFrom = drive.Win("a.inf") + '\0';
  request.pTo = drive.Win("new\\") + '\0';
  EXPECT_NE(shell().SHFileOperationA(request), 0); // the folder is made, the copy fails
  EXPECT_TRUE(request.fAnyOperationsAborted);
  EXPECT_TRUE(drive.IsDirectory("new"));
  EXPECT_TRUE(Names("new").empty());

  drive.MakeDir("clash\\a.inf"); // a folder of the file's name is left alone
  request.pTo = drive.Win("clash") + '\0';
  EXPECT_EQ(shell().SHFileOperationA(request), 0);
  EXPECT_FALSE(request.fAnyOperationsAborted);
  EXPECT_TRUE(drive.IsDirectory("clash\\a.inf"));
  EXPECT_TRUE(Names("clash\\a.inf").empty());

  drive.MakeDir("src");
  drive.Write("src\\x1.inf", "1");
  drive.Write("src\\x12.inf", "12");
  EXPECT_EQ(Copy("src\\x?.inf", "single"), 0); // the only match goes onto the name
  EXPECT_EQ(drive.Read("single"), "1");
  EXPECT_NE(Copy("src\\x*.inf", "single"), 0); // several cannot go into a file
  EXPECT_EQ(drive.Read("single"), "1");
}

// A folder named as the source of a copy of files only: the shell makes a
// folder of its name in the target and copies the files in it, no folder.
TEST_F(ShellTest, AFolderAsTheSourceOfACopyOfFilesOnly) {
  drive.MakeDir("src\\oem1.pnf\\deeper");
  drive.Write("src\\oem1.pnf\\inner.txt", "inner");
  drive.Write("src\\oem1.pnf\\deeper\\more.txt", "more");
  drive.MakeDir("dst");
  EXPECT_EQ(Copy("src\\oem1.pnf", "dst"), 0);
  EXPECT_TRUE(drive.IsDirectory("dst\\oem1.pnf"));
  EXPECT_EQ(Names("dst\\oem1.pnf"), std::vector<std::string>{"inner.txt"});
  EXPECT_EQ(drive.Read("dst\\oem1.pnf\\inner.txt"), "inner");
}

TEST_F(ShellTest, MoveDeleteAndRenameOneFile) {
  drive.Write("a.inf", "a");
  drive.MakeDir("dst");
  EXPECT_EQ(Run(FO_MOVE, FOF_NOCONFIRMATION, drive.Win("a.inf"), drive.Win("dst")), 0);
  EXPECT_FALSE(drive.Exists("a.inf"));
  EXPECT_EQ(drive.Read("dst\\a.inf"), "a");

  EXPECT_EQ(Run(FO_RENAME, FOF_NOCONFIRMATION, drive.Win("dst\\a.inf"), drive.Win("dst\\b.inf")),
            0);
  EXPECT_EQ(drive.Read("dst\\b.inf"), "a");
  drive.Write("dst\\c.inf", "c");
  EXPECT_NE(Run(FO_RENAME, FOF_NOCONFIRMATION, drive.Win("dst\\b.inf"), drive.Win("dst\\c.inf")),
            0);
  EXPECT_EQ(drive.Read("dst\\c.inf"), "c");

  EXPECT_EQ(Run(FO_DELETE, FOF_NOCONFIRMATION, drive.Win("dst\\b.inf"), ""), 0);
  EXPECT_FALSE(drive.Exists("dst\\b.inf"));
  EXPECT_NE(Run(FO_DELETE, FOF_NOCONFIRMATION, drive.Win("dst\\b.inf"), ""), 0);
  EXPECT_EQ(Names("dst"), std::vector<std::string>{"c.inf"});
}

} // namespace
