#pragma once
// The program's only window: its layout, start-up, Done and unload, and the
// services its commands use (the log, the pointer, message boxes, the three
// objects it owns). Written once against FormView; the toolkits only draw it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/Form.h"
#include "app/FormView.h"

class clsSearchForText;
class cINI;
class clsWindowsVersion;
namespace platform {
class Folder;
}

class frmTop final : public FormEvents {
public:
  // How the three owned objects come into being; empty members make them
  // the ordinary way (tests watch creation and release through these).
  struct Factories {
    std::function<std::shared_ptr<clsSearchForText>()> NewSearch;
    std::function<std::shared_ptr<cINI>()> NewINI;
    std::function<std::shared_ptr<clsWindowsVersion>()> NewWinVersion;
  };

  // The window as drawn: caption, client area and the controls in twips at
  // 12 twips per pixel.
  static FormDesign Design();

  explicit frmTop(FormView& view, Factories factories = {});
  ~frmTop() override;
  frmTop(const frmTop&) = delete;
  frmTop& operator=(const frmTop&) = delete;

  // Creates the view's window, loads it, shows it and runs the event loop.
  // Returns the exit code; a failure of the load is reported and gives 1.
  static int Run(FormView& view, Factories factories = {});

  // Handlers.
  void Form_Load();
  void cmdDone_Click();
  void Form_Unload(bool& Cancel);
  void cmdRemove_Click();
  void cmdTest_Click();

  // Writes FTDIunin.ini, the configuration of FTDI's own driver uninstaller,
  // into the program's folder. No control invokes it.
  void CreateFTDIIniFile();

  // Events from the view, each run under the top-level trap.
  void Click(const std::string& control) override;
  void CloseRequested() override;

  // Services for the commands.
  Form& Window() { return form_; }
  Control& operator[](const std::string& name) { return form_[name]; }
  void ClearLog();
  void AppendLog(const std::string& line);
  void RepaintLog();
  // 11 hourglass, 0 default.
  void MousePointer(int style);
  std::uintptr_t hWnd();
  void EnableButton(const std::string& name, bool enabled);
  MessageAnswer MsgBox(const std::string& prompt, MessageButtons buttons, MessageIcon icon,
                       const std::string& title);

  std::shared_ptr<clsSearchForText> oSearch() const { return oSearch_; }
  std::shared_ptr<cINI> oINI() const { return oINI_; }
  std::shared_ptr<clsWindowsVersion> oWinVersion() const { return oWinVersion_; }

  // Runs `handler`; a failure that leaves it is reported in a message box
  // naming its number and description, and the program ends with exit code 1.
  void RunTrapped(const std::function<void()>& handler);

  // "Friday Mar 6, 2009": "dddd mmm d, yyyy" in the user's language.
  static std::string FormatVersionDate(int year, int month, int day, int dayOfWeek);

private:
  // How the last removal ended, for the log's last line.
  enum class Removal { Complete, BackupFailed, Incomplete };

  bool BackupDriverFiles();
  void DeleteDriverFiles();
  // Appends a line of Remove Drivers and paints the log at once, so that
  // the user sees the work go on.
  void Log(const std::string& line);
  // Notes why the backup failed, for the line before "Backup Failed...";
  // the first reason of a run is the one that counts.
  void Failed(const std::string& reason);
  // The routines' error trap: runs one step; the access error ends the
  // routine (after the Vista message, and noting `failure` as the reason),
  // any other error is dropped.
  void Step(const std::function<void()>& step, const std::string& failure = {});
  void AccessRefused();
  // Counts a loop's 16-bit counter on under the trap; false when it overflowed.
  bool Advance(int16_t& i);
  // A found INF file or companion.
  struct DriverFile {
    std::string own;   // the entry in its held folder, when it is ours
    std::string shown; // the same entry as the log names it
  };
  // Copies one entry of ours into the Backup folder under its own name and
  // checks the copy; the older copy of that name stays until the new one is
  // checked. False when no checked copy came of it.
  bool BackUp(const DriverFile& entry, const std::string& folder, int32_t owner);
  // Whether anything of ours is left of the found files at the end; what is
  // left goes into `left` by its path.
  bool AnythingLeft(int count, std::vector<std::string>& left);
  // The path of the found files' folder `folder` as held for this removal:
  // opened at its first use, as its path leads then, and looked up no more.
  std::string HeldInfFolder(const std::string& folder);

  using Handler = void (frmTop::*)();
  static const std::map<std::string, Handler>& ClickHandlers();
  [[noreturn]] void ReportAndEnd(int number, const std::string& description);

  FormView& view_;
  Factories factories_;
  Form form_;
  std::shared_ptr<clsSearchForText> oSearch_;
  std::shared_ptr<cINI> oINI_;
  std::shared_ptr<clsWindowsVersion> oWinVersion_;

  bool removing_ = false;             // Remove Drivers is running
  bool securityMessageShown_ = false; // in this run of the command
  Removal removal_ = Removal::Complete;
  std::string failure_;           // why the backup failed
  std::vector<std::string> left_; // the files a removal left
  // One path of the found list as the removal sees it, INF file then
  // companion: the entry that is ours to back up and delete (empty when
  // none).
  std::vector<DriverFile> files_;
  std::string backupShown_; // the Backup folder as the log names it
  // The folders this removal works in, each opened once and held until it
  // ends: the program's folder, its Backup, the folder in Backup where this
  // run's copies are made (and that folder's name), the found files' folders
  // (by their paths in upper case).
  std::unique_ptr<platform::Folder> programFolder_, backup_, staging_;
  std::string stagingName_;
  std::map<std::string, std::unique_ptr<platform::Folder>> infFolders_;
  std::map<std::string, std::vector<std::string>> backupNames_; // upper-cased -> spellings
  std::map<std::string, std::string> backedUp_;                 // own path -> its checked copy
  std::map<std::string, std::string> copiedFrom_; // upper-cased Backup name -> own path
};
