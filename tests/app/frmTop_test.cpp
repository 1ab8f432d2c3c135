#include "app/frmTop.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "ini/cINI.h"
#include "platform/Locale.h"
#include "platform/Program.h"
#include "platform/Screen.h"
#include "search/clsSearchForText.h"
#include "tests/support/FileSystemDecorator.h"
#include "tests/support/HeadlessWindow.h"
#include "tests/support/ScopedService.h"
#include "tests/support/TestDrive.h"
#include "winver/clsWindowsVersion.h"

namespace {

class FakeProgram : public platform::Program {
public:
  std::string folder, name;
  std::map<int, std::string> about; // what the platform adds to an error's report
  std::string Folder() override { return folder; }
  std::string ExeName() override { return name; }
  std::string AboutError(int number) override {
    auto it = about.find(number);
    return it == about.end() ? std::string() : it->second;
  }
};

// A machine without drive C:: every path on it raises 68, as the platform
// layers do; it counts the calls that would change a file or a folder.
class NoDriveC : public FileSystemDecorator {
public:
  int changes = 0;
  std::unique_ptr<platform::FileEnumeration> EnumerateFiles(const std::string& pattern) override {
    Check(pattern);
    return inner_->EnumerateFiles(pattern);
  }
  std::string FirstEntry(const std::string& path, platform::EntryKinds kinds) override {
    Check(path);
    return inner_->FirstEntry(path, kinds);
  }
  std::unique_ptr<platform::InputFile> OpenForReading(const std::string& path) override {
    Check(path);
    return inner_->OpenForReading(path);
  }
  void MakeDirectory(const std::string& path) override { Change(path); }
  void CreateNewFile(const std::string& path) override { Change(path); }
  void RemoveFile(const std::string& path) override { Change(path); }

private:
  static void Check(const std::string& path) {
    if (path.size() >= 2 && (path[0] == 'c' || path[0] == 'C') && path[1] == ':')
      throw RuntimeError(RuntimeError::DeviceUnavailable);
  }
  void Change(const std::string& path) {
    ++changes;
    Check(path);
  }
};

class EnglishNames : public platform::Locale {
public:
  std::string DayName(int d) override {
    static const char* names[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
    return names[d];
  }
  std::string AbbreviatedMonthName(int m) override {
    static const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return names[m - 1];
  }
};

// The real file system, except that every file was last changed on Friday,
// 6 March 2009; it remembers the paths whose existence was asked.
class DatedFiles : public FileSystemDecorator {
public:
  std::vector<std::string> asked;
  int OpenFileExist(const std::string& path) override {
    asked.push_back(path);
    return inner_->OpenFileExist(path);
  }
  platform::LocalTime LastModified(const std::string&) override {
    platform::LocalTime t;
    t.year = 2009;
    t.month = 3;
    t.day = 6;
    t.dayOfWeek = 5;
    return t;
  }
};

const char* const DesignVersion = "Version 0.1 - August 5, 2008 (Alpha)";

class frmTopTest : public ::testing::Test {
protected:
  TestDrive drive;
  std::shared_ptr<FakeProgram> program = std::make_shared<FakeProgram>();
  std::shared_ptr<DatedFiles> files = std::make_shared<DatedFiles>();
  ScopedService<platform::Program> programService{program};
  ScopedService<platform::FileSystem> fileService{files};
  ScopedService<platform::Locale> localeService{std::make_shared<EnglishNames>()};
  std::unique_ptr<ScopedService<platform::Screen>> screen;
  HeadlessWindow window;
  std::vector<std::string> lifecycle;

  void SetUp() override {
    drive.MakeDir("app");
    program->folder = drive.Win("app");
    program->name = "TALMIREXRemove";
    ScreenOf(15);
  }

  void ScreenOf(float twipsPerPixel) {
    screen.reset();
    screen = std::make_unique<ScopedService<platform::Screen>>(
        platform::Screen::Fixed(twipsPerPixel, twipsPerPixel));
  }

  // Objects made the ordinary way, whose creation and release are logged.
  template <class T> std::function<std::shared_ptr<T>()> Logged(const std::string& name) {
    return [this, name] {
      lifecycle.push_back("new " + name);
      T* object = new T();
      return std::shared_ptr<T>(object, [this, name](T* p) {
        lifecycle.push_back("release " + name);
        delete p;
      });
    };
  }

  frmTop::Factories Watched() {
    return {Logged<clsSearchForText>("oSearch"), Logged<cINI>("oINI"),
            Logged<clsWindowsVersion>("oWinVersion")};
  }
};

struct Geometry {
  float left, top, width, height;
};

void ExpectGeometry(Control& c, Geometry g) {
  SCOPED_TRACE(c.Name());
  EXPECT_EQ(c.Left(), g.left);
  EXPECT_EQ(c.Top(), g.top);
  EXPECT_EQ(c.Width(), g.width);
  EXPECT_EQ(c.Height(), g.height);
}

TEST_F(frmTopTest, TheDesignHasTheControlsOfTheLayout) {
  const FormDesign d = frmTop::Design();
  EXPECT_EQ(d.Caption, "TALMIREX Device Driver Remover");
  EXPECT_EQ(d.ClientWidth, 6708);
  EXPECT_EQ(d.ClientHeight, 5424);
  struct Row {
    const char* name;
    ControlKind kind;
    const char* caption;
    Geometry g;
    int tab;
  };
  using K = ControlKind;
  const Row rows[] = {
      {"Image2", K::Picture, "", {0, 0, 6780, 1716}, -1},
      {"Image1", K::Picture, "", {120, 1812, 384, 384}, -1},
      {"lblTitle", K::Label, "TALMIREX Device Driver Remover", {732, 1800, 3888, 240}, 1},
      {"lblCopyright", K::Label, nullptr, {726, 2057, 3883, 242}, 2},
      {"lblVersion", K::Label, DesignVersion, {732, 2280, 3960, 228}, 0},
      {"lstFiles", K::ListBox, "", {240, 2640, 6252, 1776}, 3},
      {"cmdRemove", K::CommandButton, "Remove Drivers", {3120, 4680, 1572, 492}, 4},
      {"cmdTest", K::CommandButton, "Test", {240, 4680, 1332, 492}, 5},
      {"cmdDone", K::CommandButton, "Done", {4920, 4680, 1572, 492}, 6},
  };
  ASSERT_EQ(d.Controls.size(), std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    const auto& c = d.Controls[i];
    SCOPED_TRACE(rows[i].name);
    EXPECT_EQ(c.Name, rows[i].name);
    EXPECT_EQ(c.Kind, rows[i].kind);
    if (rows[i].caption) {
      EXPECT_EQ(c.Caption, rows[i].caption);
    }
    EXPECT_EQ(c.Left, rows[i].g.left);
    EXPECT_EQ(c.Top, rows[i].g.top);
    EXPECT_EQ(c.Width, rows[i].g.width);
    EXPECT_EQ(c.Height, rows[i].g.height);
    EXPECT_EQ(c.TabIndex, rows[i].tab);
  }
  EXPECT_NE(d.Controls[3].Caption.find("Copyright (c)"), std::string::npos);
  EXPECT_NE(d.Controls[3].Caption.find("Talmirex Devices Ltd."), std::string::npos);
}

TEST_F(frmTopTest, At12TwipsPerPixelOnlyTheRowsMove) {
  ScreenOf(12);
  window.frameWidth = 6;
  window.frameHeight = 25;
  frmTop form(window);
  ASSERT_TRUE(window.Start(form));
  ExpectGeometry(form["Image2"], {0, 0, 6780, 1716});
  ExpectGeometry(form["Image1"], {120, 1816, 384, 384});
  ExpectGeometry(form["lblTitle"], {732, 1816, 3888, 240});
  ExpectGeometry(form["lblCopyright"], {726, 2016, 3883, 242});
  ExpectGeometry(form["lblVersion"], {732, 2216, 3960, 228});
  ExpectGeometry(form["lstFiles"], {240, 2640, 6252, 1776});
  ExpectGeometry(form["cmdDone"], {4920, 4680, 1572, 492});
  EXPECT_EQ(form.Window().Width(), 6780);
  EXPECT_EQ(form.Window().Height(), 5424 + 25 * 12); // client area and frame, unscaled
}

TEST_F(frmTopTest, At15TwipsPerPixelTheLayoutGrowsThenTheRowsFollowTheBanner) {
  window.frameWidth = 6;
  window.frameHeight = 25;
  frmTop form(window);
  ASSERT_TRUE(window.Start(form));
  ExpectGeometry(form["Image2"], {0, 0, 8475, 2145});
  EXPECT_EQ(form.Window().Width(), 8475);
  EXPECT_EQ(form.Window().Height(), (5424 + 25 * 12) * 1.25f);
  ExpectGeometry(form["Image1"], {150, 2245, 480, 480});
  ExpectGeometry(form["lblTitle"], {915, 2245, 4860, 300});
  ExpectGeometry(form["lblCopyright"], {907.5f, 2445, 4853.75f, 302.5f});
  ExpectGeometry(form["lblVersion"], {915, 2645, 4950, 285});
  ExpectGeometry(form["lstFiles"], {300, 3300, 7815, 2220});
  ExpectGeometry(form["cmdRemove"], {3900, 5850, 1965, 615});
  ExpectGeometry(form["cmdDone"], {6150, 5850, 1965, 615});
}

TEST_F(frmTopTest, TheVersionLineCarriesTheDateOfTheProgramsExeFile) {
  drive.Write("app\\TALMIREXRemove.exe", "MZ");
  for (std::string folder : {drive.Win("app"), drive.Win("app") + "\\"}) {
    SCOPED_TRACE(folder);
    program->folder = folder;
    files->asked.clear();
    HeadlessWindow w;
    frmTop form(w);
    ASSERT_TRUE(w.Start(form));
    EXPECT_EQ(form["lblVersion"].Caption(), "Version 1.2.0 - Friday Mar 6, 2009");
    ASSERT_FALSE(files->asked.empty());
    EXPECT_EQ(files->asked.front(), drive.Win("app\\TALMIREXRemove.exe"));
  }
}

TEST_F(frmTopTest, WithoutAnExeFileOfItsNameTheVersionLineKeepsItsDesignText) {
  drive.Write("app\\TALMIREXRemove", "\x7f"
                                     "ELF"); // started under a name without ".exe"
  drive.Write("app\\Other.exe", "MZ");
  frmTop form(window);
  ASSERT_TRUE(window.Start(form));
  EXPECT_EQ(form["lblVersion"].Caption(), DesignVersion);
  EXPECT_EQ(form.Window().Caption(), "TALMIREX Device Driver Remover Ver: 1.2.0");
}

TEST_F(frmTopTest, TheTitleIsExtendedOnceAndTheTestButtonNeverShows) {
  frmTop form(window);
  ASSERT_TRUE(window.Start(form));
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(window.focused, "cmdRemove"); // the keyboard starts on the command
  EXPECT_EQ(form.Window().Caption(), "TALMIREX Device Driver Remover Ver: 1.2.0");
  EXPECT_FALSE(form["cmdTest"].Visible());
  for (const char* other : {"cmdRemove", "cmdTest", "lstFiles", "lblTitle"})
    EXPECT_TRUE(window.Click(other)) << other;
  EXPECT_EQ(form.Window().Caption(), "TALMIREX Device Driver Remover Ver: 1.2.0");
  EXPECT_FALSE(form["cmdTest"].Visible());
  for (const char* shown : {"Image1", "Image2", "lblTitle", "lblCopyright", "lblVersion",
                            "lstFiles", "cmdRemove", "cmdDone"})
    EXPECT_TRUE(form[shown].Visible()) << shown;
}

TEST_F(frmTopTest, DoneAndTheCloseBoxReleaseTheObjectsInOrderAndEndTheProgram) {
  const std::vector<std::string> expected = {"new oSearch",     "new oINI",
                                             "new oWinVersion", "release oSearch",
                                             "release oINI",    "release oWinVersion"};
  for (bool viaDone : {true, false}) {
    SCOPED_TRACE(viaDone ? "Done" : "close box");
    lifecycle.clear();
    HeadlessWindow w;
    frmTop form(w, Watched());
    ASSERT_TRUE(w.Start(form));
    ASSERT_TRUE(form.oSearch() && form.oINI() && form.oWinVersion());
    EXPECT_FALSE(viaDone ? w.Click("cmdDone") : w.Close());
    EXPECT_EQ(lifecycle, expected);
    EXPECT_EQ(w.exitCode, 0);
    EXPECT_FALSE(form.oSearch() || form.oINI() || form.oWinVersion());
    EXPECT_FALSE(w.Click("cmdDone")); // nothing runs after the end
    EXPECT_TRUE(w.messages.empty());
  }
}

TEST_F(frmTopTest, DoneInTheMiddleOfASearchEndsTheProgramAtOnce) {
  for (int i = 1; i <= 3; ++i)
    drive.Write("oem" + std::to_string(i) + ".inf", "TALMIREX");
  frmTop form(window, Watched());
  ASSERT_TRUE(window.Start(form));
  int pumps = 0;
  window.onPendingEvents = [&] {
    ++pumps;
    window.Click("cmdDone");
  };
  bool searchReturned = false;
  EXPECT_FALSE(window.RunEvent([&] {
    clsSearchForText* search = form.oSearch().get(); // as a command of the window uses it
    search->path(drive.Win("oem*.inf"));
    search->SearchText("TALMIREX");
    search->Search();
    searchReturned = true;
  }));
  EXPECT_FALSE(searchReturned);
  EXPECT_EQ(pumps, 1);
  EXPECT_EQ(window.exitCode, 0);
  ASSERT_EQ(lifecycle.size(), 6u);
  EXPECT_EQ(lifecycle[3], "release oSearch");
}

TEST_F(frmTopTest, AFailureReachingTheTopIsReportedAndEndsTheProgram) {
  auto factories = Watched();
  factories.NewINI = []() -> std::shared_ptr<cINI> {
    throw RuntimeError(RuntimeError::PathFileAccessError);
  };
  frmTop form(window, factories);
  EXPECT_FALSE(window.Start(form));
  EXPECT_FALSE(window.shown);
  EXPECT_EQ(window.exitCode, 1);
  ASSERT_EQ(window.messages.size(), 1u);
  const auto& box = window.messages[0];
  EXPECT_NE(box.text.find("75"), std::string::npos) << box.text;
  EXPECT_NE(box.text.find("Path/File access error"), std::string::npos) << box.text;
  EXPECT_EQ(box.buttons, MessageButtons::OkOnly);
}

TEST_F(frmTopTest, TheReportOfAFailureAddsWhatThePlatformKnowsAboutIt) {
  program->about[68] = "Drive C: was looked for in the Wine prefix /nowhere.";
  struct Case {
    int number;
    std::string expected;
  };
  const Case cases[] = {
      {68, "Run-time error '68':\n\nDevice unavailable\n\n"
           "Drive C: was looked for in the Wine prefix /nowhere."},
      {75, "Run-time error '75':\n\nPath/File access error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    auto factories = Watched();
    factories.NewWinVersion = [&]() -> std::shared_ptr<clsWindowsVersion> {
      throw RuntimeError(c.number);
    };
    HeadlessWindow w;
    frmTop form(w, factories);
    EXPECT_FALSE(w.Start(form));
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, c.expected);
    EXPECT_EQ(w.messages[0].title, "TALMIREXRemove");
    EXPECT_EQ(w.exitCode, 1);
  }
}

TEST_F(frmTopTest, RemoveDriversWithoutDriveCSaysWhereItLookedAndTouchesNothing) {
  auto noDrive = std::make_shared<NoDriveC>();
  ScopedService<platform::FileSystem> withoutC{noDrive};
  program->folder = "Z:\\opt\\talmirex";
  program->about[68] = "Drive C: is the drive_c folder of /nowhere.";
  frmTop form(window);
  ASSERT_TRUE(window.Start(form));
  window.answers = {MessageAnswer::Yes};
  EXPECT_FALSE(window.Click("cmdRemove")); // the program ends
  EXPECT_EQ(window.exitCode, 1);
  ASSERT_EQ(window.messages.size(), 2u); // the question, then the report
  EXPECT_EQ(window.messages[1].text, "Run-time error '68':\n\nDevice unavailable\n\n"
                                     "Drive C: is the drive_c folder of /nowhere.");
  EXPECT_EQ(noDrive->changes, 0);
  for (const auto& line : window.appended)
    EXPECT_EQ(line.find("File: "), std::string::npos) << line; // nothing backed up or deleted
}

TEST_F(frmTopTest, TheServicesReachTheView) {
  frmTop form(window);
  ASSERT_TRUE(window.Start(form));
  form.AppendLog("old");
  form.ClearLog();
  form.AppendLog("first");
  form.RepaintLog();
  form.AppendLog("second");
  EXPECT_EQ(form["lstFiles"].Lines(), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(window.appended, (std::vector<std::string>{"old", "first", "second"}));
  EXPECT_EQ(window.listClears, 1);
  EXPECT_EQ(window.repaints, 1);

  form.MousePointer(11);
  form.MousePointer(0);
  EXPECT_EQ(window.pointers, (std::vector<int>{11, 0}));

  form.EnableButton("cmdRemove", false);
  EXPECT_FALSE(form["cmdRemove"].Enabled());
  EXPECT_EQ(form.hWnd(), 0x1234u);

  window.answers = {MessageAnswer::Yes};
  EXPECT_EQ(form.MsgBox("Question", MessageButtons::YesNoCancel, MessageIcon::Information, "Title"),
            MessageAnswer::Yes);
  EXPECT_EQ(form.MsgBox("Again", MessageButtons::YesNoCancel, MessageIcon::Information, "Title"),
            MessageAnswer::Cancel);
  ASSERT_EQ(window.messages.size(), 2u);
  EXPECT_EQ(window.messages[0].text, "Question");
  EXPECT_EQ(window.messages[0].title, "Title");
  EXPECT_EQ(window.messages[0].icon, MessageIcon::Information);
}

TEST_F(frmTopTest, TheDateFollowsTheLocalesNames) {
  EXPECT_EQ(frmTop::FormatVersionDate(2009, 3, 6, 5), "Friday Mar 6, 2009");
  EXPECT_EQ(frmTop::FormatVersionDate(2010, 12, 25, 6), "Saturday Dec 25, 2010");
}

} // namespace
