// Remove Drivers, the Test command and the uninstaller's INI file, on the
// headless window.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "ini/cINI.h"
#include "platform/RuntimeError.h"
#include "tests/app/RemovalScene.h"
#include "tests/support/FileSystemDecorator.h"

namespace {

namespace fs = std::filesystem;

const std::string Ask = "Ask User if Device Drivers removed from Device Manager";
const std::string Complete = "Removal Complete...Please Restart your Computer";
const std::string BackupFailed = "Backup Failed...No Driver Files were Deleted";
const std::string Incomplete = "Removal Incomplete...Some Driver Files were not Deleted";
const std::string Found = "Found Precompiled Device Driver Files";
const std::string Backing = "Backing up and Deleting";
const std::string VistaTitle = "Error - Windows Vista Security";

const std::string Talmirex = "[Version]\r\nProvider=%Mfg%\r\n[Strings]\r\nMfg=\"Talmirex\"\r\n";
const std::string Other = "[Version]\r\nProvider=%Mfg%\r\n[Strings]\r\nMfg=\"Norvale\"\r\n";
const std::string Pnf = std::string("PNF\x01\x02\0\0\xff", 8);

std::string Line(const std::string& name) {
  return "... File: " + std::string(RemovalScene::Inf) + "\\" + name;
}

// The line that names a file a removal left.
std::string Left(const std::string& name) {
  return "... Not Deleted: " + std::string(RemovalScene::Inf) + "\\" + name;
}

int VistaMessages(const HeadlessWindow& w) {
  int n = 0;
  for (auto& m : w.messages)
    n += m.title == VistaTitle;
  return n;
}

TEST(RemoveDrivers, AnythingButYesTouchesNothing) {
  for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Cancel}) {
    RemovalScene scene;
    scene.Put("oem1.inf", Talmirex);
    scene.Put("oem1.pnf", Pnf);
    auto before = scene.Snapshot();
    scene.Remove(answer);
    EXPECT_EQ(scene.Log(), (std::vector<std::string>{Ask, "..User has not Removed TALMIREX Device",
                                                     "Aborted Device Driver Removal"}));
    EXPECT_EQ(scene.Snapshot(), before);
    EXPECT_FALSE(fs::exists(scene.Backup()));
    EXPECT_FALSE((*scene.form)["cmdRemove"].Enabled());
    EXPECT_EQ(scene.window.focused, "cmdDone"); // the keyboard moves on from the disabled button
    EXPECT_TRUE(scene.window.pointers.empty());
    ASSERT_EQ(scene.window.messages.size(), 1u);
    const auto& box = scene.window.messages[0];
    EXPECT_EQ(box.text, "Have you already removed the Device Drivers from Windows Device Manager");
    EXPECT_EQ(box.title, "TALMIREX Low Level Device Driver Removal");
    EXPECT_EQ(box.buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(box.icon, MessageIcon::Information);
  }
}

// The question comes after the first line is painted; every later line is
// painted as it is written, and no other event gets in once the search is
// over.
TEST(RemoveDrivers, EveryLineIsPaintedAsItIsWritten) {
  for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
    RemovalScene scene;
    scene.Put("oem1.inf", Talmirex);
    scene.Put("oem1.pnf", Pnf);
    scene.Put("oem2.inf", Talmirex);
    const auto& j = scene.window.journal;
    size_t lastEvents = 0;
    scene.window.onPendingEvents = [&] { lastEvents = j.size(); };
    scene.Remove(answer);
    const auto clear = std::find(j.begin(), j.end(), "clear");
    ASSERT_GE(j.end() - clear, 4);
    std::vector<std::string> start(clear, clear + 4);
    EXPECT_EQ(start, (std::vector<std::string>{"clear", "line:" + Ask, "repaint",
                                               "box:TALMIREX Low Level Device Driver Removal"}));
    size_t lines = 0;
    for (size_t i = 0; i < j.size(); ++i) {
      if (j[i].rfind("line:", 0) != 0) continue;
      ++lines;
      EXPECT_TRUE(i + 1 < j.size() && j[i + 1] == "repaint") << j[i];
    }
    EXPECT_EQ(lines, answer == MessageAnswer::Yes ? 8u : 3u);
    if (answer == MessageAnswer::Yes) {
      const size_t backing = std::find(j.begin(), j.end(), "line:" + Backing) - j.begin();
      EXPECT_LT(lastEvents, backing);
    }
  }
}

TEST(RemoveDrivers, TheHourglassStaysWhileTheSecurityMessageIsOpen) {
  RemovalScene scene(Vista());
  scene.Put("oem1.inf", Talmirex);
  testhost::SetReadOnly(scene.InfHost("oem1.inf"), true);
  scene.Remove(MessageAnswer::Yes, {MessageAnswer::Ok});
  const auto& j = scene.window.journal;
  auto at = [&](const std::string& entry) {
    return std::find(j.begin(), j.end(), entry) - j.begin();
  };
  EXPECT_LT(at("pointer:11"), at("box:" + VistaTitle));
  EXPECT_LT(at("box:" + VistaTitle), at("pointer:0"));
  EXPECT_LT(at("pointer:0"), at("line:" + Incomplete));
}

TEST(RemoveDrivers, NothingFoundCreatesNothing) {
  RemovalScene scene;
  scene.Put("oem1.inf", Other);
  auto before = scene.Snapshot();
  scene.Remove();
  EXPECT_EQ(scene.Log(), (std::vector<std::string>{Ask, Complete}));
  EXPECT_EQ(scene.Snapshot(), before);
  EXPECT_FALSE(fs::exists(scene.Backup()));
  EXPECT_EQ(scene.window.pointers, (std::vector<int>{11, 0}));
  EXPECT_FALSE((*scene.form)["cmdRemove"].Enabled());
  EXPECT_EQ(scene.window.focused, "cmdDone");
}

TEST(RemoveDrivers, BacksUpThenDeletesEachFoundFileAndCompanion) {
  RemovalScene scene;
  scene.Put("oem0.inf", Other);
  scene.Put("oem0.pnf", Pnf + "0");
  scene.Put("oem3.inf", Talmirex + "3");
  scene.Put("oem3.pnf", Pnf + "3");
  scene.Put("oem5.inf", Talmirex + "5"); // no companion
  scene.Remove();
  EXPECT_EQ(scene.Log(),
            (std::vector<std::string>{Ask, Found, Backing, Line("oem3.inf"), Line("oem3.pnf"),
                                      Line("oem5.inf"), Line("oem5.pnf"), Complete}));
  EXPECT_EQ(ReadHost(scene.Backup("oem3.inf")), Talmirex + "3");
  EXPECT_EQ(ReadHost(scene.Backup("oem3.pnf")), Pnf + "3");
  EXPECT_EQ(ReadHost(scene.Backup("oem5.inf")), Talmirex + "5");
  EXPECT_FALSE(fs::exists(scene.Backup("oem5.pnf")));
  EXPECT_FALSE(scene.InInf("oem3.inf"));
  EXPECT_FALSE(scene.InInf("oem3.pnf"));
  EXPECT_FALSE(scene.InInf("oem5.inf"));
  EXPECT_TRUE(scene.InInf("oem0.inf")); // another vendor's
  EXPECT_TRUE(scene.InInf("oem0.pnf"));
  EXPECT_EQ(scene.window.pointers, (std::vector<int>{11, 0}));
  EXPECT_TRUE(scene.window.messages.size() == 1);
}

TEST(RemoveDrivers, UpperCaseNamesGetALowerCaseCompanionExtension) {
  RemovalScene scene;
  scene.Put("OEM7.INF", Talmirex);
  scene.Put("OEM7.PNF", Pnf);
  scene.Remove();
  EXPECT_EQ(scene.Log(), (std::vector<std::string>{Ask, Found, Backing, Line("OEM7.INF"),
                                                   Line("OEM7.pnf"), Complete}));
  EXPECT_FALSE(scene.InInf("OEM7.INF"));
  EXPECT_FALSE(scene.InInf("OEM7.PNF"));
  EXPECT_EQ(ReadHost(scene.Backup("OEM7.PNF")), Pnf);
}

TEST(RemoveDrivers, OlderCopiesInBackupAreReplacedOthersStay) {
  RemovalScene scene;
  scene.drive.MakeDir("app\\Backup");
  scene.drive.Write("app\\Backup\\oem1.inf", "old copy");
  scene.drive.Write("app\\Backup\\keep.txt", "mine");
  scene.Put("oem1.inf", Talmirex);
  scene.Remove();
  EXPECT_EQ(scene.Log().back(), Complete);
  EXPECT_EQ(ReadHost(scene.Backup("oem1.inf")), Talmirex);
  EXPECT_EQ(ReadHost(scene.Backup("keep.txt")), "mine");
}

TEST(RemoveDrivers, AFileNamedBackupStopsTheRemoval) {
  RemovalScene scene;
  scene.drive.Write("app\\Backup", "a file, not a folder");
  scene.Put("oem1.inf", Talmirex);
  scene.Remove();
  EXPECT_EQ(scene.Log(),
            (std::vector<std::string>{
                Ask, Found, Backing,
                "... Backup is not a Folder: " + scene.drive.Win("app\\Backup"), BackupFailed}));
  EXPECT_TRUE(scene.InInf("oem1.inf"));
  EXPECT_EQ(scene.drive.Read("app\\Backup"), "a file, not a folder");
}

// Refuses to make the Backup folder, with the given error.
class NoBackupFolder : public FileSystemDecorator {
public:
  explicit NoBackupFolder(int error) : error_(error) {}
  void MakeDirectory(const std::string& path) override {
    if (path.size() >= 6 && path.substr(path.size() - 6) == "Backup") throw RuntimeError(error_);
    inner_->MakeDirectory(path);
  }

private:
  int error_;
};

TEST(RemoveDrivers, BackupFolderThatCannotBeMade) {
  struct {
    FakeSystem system;
    int error;
    int vistaMessages;
  } cases[] = {{Vista(), RuntimeError::PathFileAccessError, 1},
               {WindowsXP(), RuntimeError::PathFileAccessError, 0},
               {Vista(), RuntimeError::PathNotFound, 0},
               {WindowsXP(), RuntimeError::DeviceIOError, 0}};
  for (auto& c : cases) {
    RemovalScene scene(c.system);
    ScopedService<platform::FileSystem> refuse(std::make_shared<NoBackupFolder>(c.error));
    scene.Put("oem1.inf", Talmirex);
    scene.Put("oem1.pnf", Pnf);
    scene.Remove(MessageAnswer::Yes, {MessageAnswer::Ok}); // OK to the security message, if any
    SCOPED_TRACE(c.error);
    EXPECT_EQ(scene.Log(), (std::vector<std::string>{Ask, Found, Backing,
                                                     "... Backup Folder not Created: " +
                                                         scene.drive.Win("app\\Backup"),
                                                     BackupFailed}));
    EXPECT_TRUE(scene.InInf("oem1.inf"));
    EXPECT_TRUE(scene.InInf("oem1.pnf"));
    EXPECT_EQ(VistaMessages(scene.window), c.vistaMessages);
    EXPECT_EQ(scene.window.pointers, (std::vector<int>{11, 0}));
  }
}

// Notes the order of flushes and deletes; a flush can be made to fail.
class FlushWatch : public FileSystemDecorator {
public:
  explicit FlushWatch(int error) : error_(error) {}
  void FlushToDisk(const std::string& folder) override {
    const std::string name = folder.substr(folder.find_last_of('\\') + 1);
    calls.push_back("flush " + (name.rfind(".talmirex-new-", 0) == 0 ? "staging" : name));
    if (error_) throw RuntimeError(error_);
    inner_->FlushToDisk(folder);
  }
  void RemoveFile(const std::string& path) override {
    if (path.find("\\Backup") == std::string::npos)
      calls.push_back("delete " + path.substr(path.find_last_of('\\') + 1));
    inner_->RemoveFile(path);
  }

  std::vector<std::string> calls;

private:
  int error_;
};

// The copies reach the disk, in one flush of the Backup folder's file
// system, before the first original is deleted; a copy that replaces an
// older one is flushed before it takes its place. A flush that fails
// deletes nothing and keeps the older copy.
TEST(RemoveDrivers, CopiesAreFlushedOnceBeforeTheFirstDelete) {
  const std::string unflushed = "... Copies not Written to Disk: ";
  const std::string uncopied = "... Copy Failed: " + std::string(RemovalScene::Inf) + "\\oem2.inf";
  struct {
    int error;
    bool older; // Backup holds an older copy of oem2.inf
    std::vector<std::string> calls;
    std::string last;
    std::string why; // how the line before the last begins
  } cases[] = {
      {0,
       false,
       {"flush Backup", "delete oem1.inf", "delete oem1.pnf", "delete oem2.inf"},
       Complete,
       "... File: "},
      {RuntimeError::DeviceIOError, false, {"flush Backup"}, BackupFailed, unflushed},
      {RuntimeError::PathFileAccessError, false, {"flush Backup"}, BackupFailed, unflushed},
      {0,
       true,
       {"flush staging", "flush Backup", "delete oem1.inf", "delete oem1.pnf", "delete oem2.inf"},
       Complete,
       "... File: "},
      {RuntimeError::DeviceIOError, true, {"flush staging"}, BackupFailed, uncopied},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.error);
    SCOPED_TRACE(c.older);
    RemovalScene scene(WindowsXP());
    auto watch = std::make_shared<FlushWatch>(c.error);
    ScopedService<platform::FileSystem> watched(watch);
    scene.Put("oem1.inf", Talmirex + "1");
    scene.Put("oem1.pnf", Pnf + "1");
    scene.Put("oem2.inf", Talmirex + "2");
    if (c.older) {
      scene.drive.MakeDir(scene.app + "\\Backup");
      scene.drive.Write(scene.app + "\\Backup\\oem2.inf", "older");
    }
    scene.Remove();
    EXPECT_EQ(watch->calls, c.calls);
    EXPECT_EQ(scene.Log().back(), c.last);
    const std::string why = scene.Log().at(scene.Log().size() - 2);
    EXPECT_EQ(why.substr(0, c.why.size()), c.why) << why;
    if (c.why == unflushed) {
      EXPECT_EQ(why, unflushed + scene.drive.Win(scene.app + "\\Backup"));
    }
    EXPECT_EQ(ReadHost(scene.Backup("oem2.inf")),
              c.older && c.error ? std::string("older") : Talmirex + "2");
    EXPECT_EQ(scene.InInf("oem1.inf"), c.error != 0);
  }
}

TEST(RemoveDrivers, VistaSecurityMessageText) {
  RemovalScene scene(Vista());
  ScopedService<platform::FileSystem> refuse(
      std::make_shared<NoBackupFolder>(RuntimeError::PathFileAccessError));
  scene.Put("oem1.inf", Talmirex);
  scene.Remove();
  ASSERT_EQ(scene.window.messages.size(), 2u);
  const auto& box = scene.window.messages[1];
  EXPECT_EQ(box.title, VistaTitle);
  EXPECT_EQ(box.text,
            "Because of Vista Security, you must run this program as an Administrator or\r\n"
            "Set the exe compatibility to 'WindowsXP/SP2' and 'Run As Administrator' ");
  EXPECT_EQ(box.buttons, MessageButtons::OkOnly);
  EXPECT_EQ(box.icon, MessageIcon::Plain);
}

TEST(RemoveDrivers, RefusedDeletionAfterACompleteBackup) {
  for (FakeSystem system : {Vista(), WindowsXP()}) {
    RemovalScene scene(system);
    scene.Put("oem1.inf", Talmirex + "1");
    scene.Put("oem1.pnf", Pnf + "1");
    scene.Put("oem2.inf", Talmirex + "2");
    testhost::SetReadOnly(scene.InfHost("oem1.inf"), true);
    scene.Remove();
    EXPECT_EQ(scene.Log(),
              (std::vector<std::string>{Ask, Found, Backing, Line("oem1.inf"), Line("oem1.pnf"),
                                        Line("oem2.inf"), Line("oem2.pnf"), Left("oem1.inf"),
                                        Left("oem1.pnf"), Left("oem2.inf"), Incomplete}));
    // Everything was backed up; the refusal ended the deletions at once.
    EXPECT_EQ(ReadHost(scene.Backup("oem1.inf")), Talmirex + "1");
    EXPECT_EQ(ReadHost(scene.Backup("oem1.pnf")), Pnf + "1");
    EXPECT_EQ(ReadHost(scene.Backup("oem2.inf")), Talmirex + "2");
    EXPECT_TRUE(scene.InInf("oem1.inf"));
    EXPECT_TRUE(scene.InInf("oem1.pnf"));
    EXPECT_TRUE(scene.InInf("oem2.inf"));
    EXPECT_EQ(VistaMessages(scene.window), system.major == 6 ? 1 : 0);
  }
}

// Shows the companions as hidden files: the ordinary file query passes them over.
class HiddenCompanions : public FileSystemDecorator {
public:
  std::string FirstEntry(const std::string& path, platform::EntryKinds kinds) override {
    bool pnf = path.size() > 4 && path.substr(path.size() - 4) == ".pnf";
    if (pnf && kinds != platform::EntryKinds::AnyFile) return "";
    return inner_->FirstEntry(path, kinds);
  }
};

TEST(RemoveDrivers, AHiddenCompanionLeftBehindIsReported) {
  RemovalScene scene;
  ScopedService<platform::FileSystem> hide(std::make_shared<HiddenCompanions>());
  scene.Put("oem1.inf", Talmirex);
  scene.Put("oem1.pnf", Pnf);
  scene.Remove();
  EXPECT_EQ(scene.Log(),
            (std::vector<std::string>{Ask, Found, Backing, Line("oem1.inf"), Line("oem1.pnf"),
                                      Left("oem1.pnf"), Incomplete}));
  EXPECT_FALSE(scene.InInf("oem1.inf"));
  EXPECT_TRUE(scene.InInf("oem1.pnf"));               // not deleted: the query does not see it
  EXPECT_EQ(ReadHost(scene.Backup("oem1.pnf")), Pnf); // but it was backed up all the same
}

TEST(RemoveDrivers, ABackupFolderLeadingBackToTheInfFolderIsNoBackup) {
  RemovalScene scene;
  scene.Put("oem1.inf", Talmirex);
  scene.Put("oem1.pnf", Pnf);
  std::error_code error;
  fs::create_directory_symlink(scene.InfHost(), scene.drive.Host("app\\Backup"), error);
  if (error) GTEST_SKIP() << "no folder links here: " << error.message();
  scene.Remove();
  EXPECT_EQ(scene.Log().back(), BackupFailed);
  EXPECT_EQ(ReadHost(scene.InfHost("oem1.inf")), Talmirex);
  EXPECT_EQ(ReadHost(scene.InfHost("oem1.pnf")), Pnf);
}

// A program in the root of a drive ("c:\\"): Backup is made there, whatever
// folder of that drive is the current one ("c:" alone would name that one).
TEST(RemoveDrivers, AProgramInTheRootOfADriveBacksUpThere) {
  RemovalScene scene;
  const fs::path backup = testhost::ToHost("c:\\Backup");
  if (fs::exists(backup)) GTEST_SKIP() << "the drive has a Backup folder of its own";
  scene.Put("oem1.inf", Talmirex);
  ScopedService<platform::Program> inRoot(std::make_shared<ProgramIn>("c:\\"));
  scene.drive.MakeDir("elsewhere");
  const fs::path current = fs::current_path();
  fs::current_path(scene.drive.Host("elsewhere"));
  scene.Remove();
  fs::current_path(current);
  const bool there = fs::exists(backup / "oem1.inf");
  std::error_code ignored;
  fs::remove_all(backup, ignored);
  EXPECT_TRUE(there);
  EXPECT_FALSE(scene.drive.Exists("elsewhere\\Backup"));
  EXPECT_EQ(scene.Log().back(), Complete);
}

TEST(RemoveDrivers, ASecondClickDuringTheSearchIsIgnored) {
  RemovalScene scene;
  scene.Put("oem1.inf", Talmirex);
  scene.Put("oem2.inf", Other);
  int clicks = 0;
  scene.window.onPendingEvents = [&] {
    if (clicks++ == 0) scene.window.Click("cmdRemove");
  };
  scene.Remove(MessageAnswer::Yes,
               {MessageAnswer::Yes}); // the second Yes would answer a second question
  EXPECT_EQ(scene.window.messages.size(), 1u);
  EXPECT_EQ(scene.Log(), (std::vector<std::string>{Ask, Found, Backing, Line("oem1.inf"),
                                                   Line("oem1.pnf"), Complete}));
}

TEST(TestCommand, ListsTheFoundPathsOrSaysNothingWasFound) {
  RemovalScene scene;
  scene.window.Start(*scene.form);
  scene.window.Click("cmdTest");
  EXPECT_EQ(scene.Log(), std::vector<std::string>{"Search String Not Found"});
  scene.Put("oem1.inf", Talmirex);
  scene.Put("oem2.inf", Other);
  scene.Put("oem3.inf", Talmirex);
  scene.Put("oem4.inf", "talmirex");
  auto before = scene.Snapshot();
  for (int run = 0; run < 2; ++run) {
    scene.window.Click("cmdTest");
    EXPECT_EQ(scene.Log(),
              (std::vector<std::string>{std::string(RemovalScene::Inf) + "\\oem1.inf",
                                        std::string(RemovalScene::Inf) + "\\oem3.inf",
                                        std::string(RemovalScene::Inf) + "\\oem4.inf"}));
  }
  EXPECT_EQ(scene.Snapshot(), before);
  EXPECT_FALSE(fs::exists(scene.Backup()));
  EXPECT_EQ(scene.window.pointers, (std::vector<int>{11, 0, 11, 0, 11, 0}));
  EXPECT_TRUE((*scene.form)["cmdRemove"].Enabled());
  EXPECT_TRUE(scene.window.messages.empty());
}

TEST(UninstallerIni, WritesTheSectionAndItsThreeItems) {
  const std::string expected = "[uninstall]\r\n"
                               "Device=VID_0403&PID_DCB8,VID_0403&PID_8372,VID_0403&PID_6876,VID_"
                               "0403&PID_DCB9,VID_0403&PID_DCBA\r\n"
                               "InfFiles=FTDIBUS,FTDIPORT,FTSERMOU\r\n"
                               "Key=FTDICOMM\r\n";
  RemovalScene scene;
  scene.window.Start(*scene.form);
  scene.form->CreateFTDIIniFile();
  EXPECT_EQ(scene.drive.Read("app\\FTDIunin.ini"), expected);
  scene.form->CreateFTDIIniFile();
  EXPECT_EQ(scene.drive.Read("app\\FTDIunin.ini"), expected); // twice is once
}

TEST(UninstallerIni, KeepsOtherSectionsAndItems) {
  RemovalScene scene;
  scene.drive.Write("app\\FTDIunin.ini", "[other]\r\na=1\r\n[uninstall]\r\nKey=OLD\r\nMine=2\r\n");
  scene.window.Start(*scene.form);
  scene.form->CreateFTDIIniFile();
  EXPECT_EQ(scene.drive.Read("app\\FTDIunin.ini"),
            "[other]\r\na=1\r\n[uninstall]\r\nKey=FTDICOMM\r\nMine=2\r\n"
            "Device=VID_0403&PID_DCB8,VID_0403&PID_8372,VID_0403&PID_6876,VID_0403&PID_DCB9,VID_"
            "0403&PID_DCBA\r\n"
            "InfFiles=FTDIBUS,FTDIPORT,FTSERMOU\r\n");
}

} // namespace

namespace {

// An INF folder of 32767 files that all name the device, without a disk.
class FullInfFolder : public FileSystemDecorator {
public:
  std::unique_ptr<platform::FileEnumeration> EnumerateFiles(const std::string&) override {
    struct Names : platform::FileEnumeration {
      int next = 0;
      std::string Next() override {
        return next < 32767 ? "oem" + std::to_string(next++) + ".inf" : "";
      }
    };
    return std::make_unique<Names>();
  }
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string&) override {
    struct Word : platform::InputFile {
      uint64_t Length() const override { return 8; }
      size_t Read(unsigned char* buffer, size_t) override {
        std::memcpy(buffer, "TALMIREX", 8);
        return 8;
      }
    };
    return std::make_unique<Word>();
  }
};

TEST(TestCommand, ItsSixteenBitCounterOverflowsAfterTheLastOf32767Files) {
  RemovalScene scene;
  scene.window.Start(*scene.form);
  ScopedService<platform::FileSystem> full(std::make_shared<FullInfFolder>());
  scene.window.Click("cmdTest");
  ASSERT_EQ(scene.Log().size(), 32767u); // every path listed, then the counter ran out
  EXPECT_EQ(scene.Log().back(), std::string(RemovalScene::Inf) + "\\oem32766.inf");
  ASSERT_EQ(scene.window.messages.size(), 1u);
  EXPECT_EQ(scene.window.messages[0].text, "Run-time error '6':\n\nOverflow");
  EXPECT_EQ(scene.window.exitCode, 1);
}

} // namespace
