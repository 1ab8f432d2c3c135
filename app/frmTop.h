#pragma once
// The program's only window: its layout, start-up, Done and unload, and the
// services its commands use (the log, the pointer, message boxes, the three
// objects it owns). Written once against FormView; the toolkits only draw it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/Form.h"
#include "app/FormView.h"

class clsSearchForText;
class cINI;
class clsWindowsVersion;
namespace removal {
class DriverRemoval;
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
  bool BackupDriverFiles();
  void DeleteDriverFiles();
  // Appends a line of Remove Drivers and paints the log at once, so that
  // the user sees the work go on.
  void Log(const std::string& line);
  // The routines' error trap: runs one step; the access error ends the
  // routine (after the Vista message, and noting `failure` as the reason),
  // any other error is dropped.
  void Step(const std::function<void()>& step, const std::string& failure = {});
  void AccessRefused();
  // Counts a loop's 16-bit counter on under the trap; false when it overflowed.
  bool Advance(int16_t& i);

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
  // The backup and deletion of a run of Remove Drivers.
  std::unique_ptr<removal::DriverRemoval> removal_;
};
