// A removal run without a window: the found files planned, copied by the
// shell, checked, put in place and deleted, as the window's routines drive it.

#include "app/DriverRemoval.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/RuntimeError.h"
#include "platform/Shell.h"
#include "sys/SystemRoutines.h"
#include "tests/support/FileSystemDecorator.h"
#include "tests/support/ScopedService.h"
#include "tests/support/TestDrive.h"

namespace {

// Counts how often each path is opened for reading.
class CountedReads : public FileSystemDecorator {
public:
  std::map<std::string, int> opened;
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string& path) override {
    ++opened[path];
    return inner_->OpenForReading(path);
  }
  std::unique_ptr<platform::InputFile> OpenPlainFile(const std::string& path) override {
    ++opened[path];
    return inner_->OpenPlainFile(path);
  }
};

TEST(DriverRemoval, EachOriginalIsReadToCheckItsCopyAndBeforeItGoesOnly) {
  TestDrive drive;
  drive.MakeDir("app");
  drive.MakeDir("app\\Backup");
  drive.Write("app\\Backup\\oem1.inf", "an older copy, replaced");
  drive.MakeDir("inf");
  drive.Write("inf\\oem1.inf", "[Version]\r\n; TALMIREX one\r\n");
  drive.Write("inf\\oem1.pnf", std::string(9000, 'p'));
  drive.Write("inf\\oem2.inf", "[Version]\r\n; TALMIREX two\r\n"); // no companion
  auto reads = std::make_shared<CountedReads>();
  ScopedService<platform::FileSystem> counted(reads);
  std::vector<int> trapped;
  removal::DriverRemoval run([&](const std::function<void()>& step, const std::string&) {
    try {
      step();
    } catch (const RuntimeError& e) {
      trapped.push_back(e.Number());
    }
  });

  ASSERT_TRUE(run.OpenBackup(drive.Win("app")));
  std::vector<std::string> originals;
  for (const std::string& inf : {drive.Win("inf\\oem1.inf"), drive.Win("inf\\oem2.inf")}) {
    for (bool companion : {false, true}) {
      const removal::DriverFile file =
          run.Plan(inf, companion ? removal::Companion(inf) : inf, companion);
      if (!file.copy) continue;
      originals.push_back(file.own);
      SystemRoutines::ShellFileOperation(0, platform::FO_COPY, 0x90, file.own, run.CopyFolder());
      run.PutInPlace(file);
    }
  }
  EXPECT_TRUE(run.AllBackedUp());
  ASSERT_TRUE(run.CopiesOnDisk());
  for (int i = 1; i <= 2; ++i)
    for (bool companion : {false, true})
      if (std::string own = run.ToDelete(i, companion); !own.empty()) run.Delete(own);
  run.Finish();

  EXPECT_EQ(run.HowItEnded().ending, removal::Ending::Complete) << run.HowItEnded().reason;
  EXPECT_TRUE(run.HowItEnded().left.empty());
  EXPECT_TRUE(trapped.empty());
  ASSERT_EQ(originals.size(), 3u);
  for (const std::string& own : originals)
    EXPECT_EQ(reads->opened[own], 2) << own << ": the check of its copy, the look before it goes";
  EXPECT_EQ(drive.Read("app\\Backup\\oem1.inf"), "[Version]\r\n; TALMIREX one\r\n");
  EXPECT_EQ(drive.Read("app\\Backup\\oem1.pnf"), std::string(9000, 'p'));
  EXPECT_FALSE(drive.Exists("inf\\oem1.inf") || drive.Exists("inf\\oem1.pnf") ||
               drive.Exists("inf\\oem2.inf"));
}

TEST(DriverRemoval, ASecondRunMeanwhileLeavesThisRunsCopiesAlone) {
  TestDrive drive;
  drive.MakeDir("app");
  drive.MakeDir("inf");
  drive.Write("inf\\oem1.inf", "[Version]\r\n; TALMIREX\r\n");
  auto trap = [](const std::function<void()>& step, const std::string&) { step(); };
  removal::DriverRemoval first(trap), second(trap);
  ASSERT_TRUE(first.OpenBackup(drive.Win("app")));
  const std::string inf = drive.Win("inf\\oem1.inf");
  const removal::DriverFile file = first.Plan(inf, inf, false);
  ASSERT_TRUE(file.copy);
  SystemRoutines::ShellFileOperation(0, platform::FO_COPY, 0x90, file.own, first.CopyFolder());
  // The second run clears what runs that were cut off left in Backup.
  ASSERT_TRUE(second.OpenBackup(drive.Win("app")));
  first.PutInPlace(file);
  EXPECT_TRUE(first.AllBackedUp()) << first.HowItEnded().reason;
  EXPECT_EQ(drive.Read("app\\Backup\\oem1.inf"), "[Version]\r\n; TALMIREX\r\n");
}

} // namespace
