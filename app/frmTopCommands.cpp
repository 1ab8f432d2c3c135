// The window's commands: Remove Drivers with its backup and deletion of the
// driver files, the hidden Test command, and the uninstaller's INI file. What
// keeps the files safe meanwhile is decided by removal::DriverRemoval.

#include "app/DriverRemoval.h"
#include "app/frmTop.h"
#include "ini/cINI.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "platform/RuntimeError.h"
#include "platform/Shell.h"
#include "search/clsSearchForText.h"
#include "sys/SystemRoutines.h"
#include "winver/clsWindowsVersion.h"

namespace {

const char* const InfPattern = "c:\\windows\\inf\\oem*.inf";
const char* const ProductWord = "TALMIREX";

constexpr int32_t CopyFlags = platform::FOF_NOCONFIRMATION | platform::FOF_FILESONLY; // 0x90

// Thrown by a step that met the access error: it ends the routine.
struct RoutineEnded {};

std::string FileQuery(const std::string& path) {
  return platform::fileSystem().FirstEntry(path, platform::EntryKinds::FilesOnly);
}

// The next value of a signed 16-bit loop counter; past 32767 it overflows (6).
int16_t Next(int16_t i) {
  return ToInt16(i + 1);
}

using namespace removal;

} // namespace

void frmTop::cmdRemove_Click() {
  // A click that arrives while the search lets events through is ignored.
  if (removing_) return;
  removing_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{removing_};
  securityMessageShown_ = false;

  ClearLog();
  Log("Ask User if Device Drivers removed from Device Manager");
  MessageAnswer answer =
      MsgBox("Have you already removed the Device Drivers from Windows Device Manager",
             MessageButtons::YesNoCancel, MessageIcon::Information,
             "TALMIREX Low Level Device Driver Removal");
  if (answer == MessageAnswer::Yes) {
    oSearch_->path(InfPattern);
    oSearch_->SearchText(ProductWord);
    MousePointer(11);
    int16_t n = oSearch_->Search();
    Outcome outcome; // with nothing found, nothing is left to remove
    outcome.ending = Ending::Complete;
    if (n > 0) {
      Log("Found Precompiled Device Driver Files");
      Log("Backing up and Deleting");
      DeleteDriverFiles();
      outcome = removal_->HowItEnded();
    }
    MousePointer(0);
    // Why it ended so comes before the last line, which stays last.
    switch (outcome.ending) {
    case Ending::Complete:
      Log("Removal Complete...Please Restart your Computer");
      break;
    case Ending::BackupFailed:
      Log(outcome.reason.empty() ? "... Backup not Complete" : outcome.reason);
      Log("Backup Failed...No Driver Files were Deleted");
      break;
    case Ending::Incomplete:
      for (const std::string& path : outcome.left)
        Log("... Not Deleted: " + path);
      Log("Removal Incomplete...Some Driver Files were not Deleted");
      break;
    }
    removal_.reset();
  } else {
    Log("..User has not Removed TALMIREX Device");
    Log("Aborted Device Driver Removal");
  }
  EnableButton("cmdRemove", false);
  // The keyboard goes on to what is left to do.
  form_["cmdDone"].SetFocus();
}

void frmTop::Log(const std::string& line) {
  AppendLog(line);
  RepaintLog();
}

void frmTop::Step(const std::function<void()>& step, const std::string& failure) {
  try {
    step();
  } catch (const RuntimeError& e) {
    if (e.Number() != RuntimeError::PathFileAccessError) return; // dropped: on to the next step
    if (!failure.empty() && removal_) removal_->Failed(failure);
    AccessRefused();
    throw RoutineEnded{};
  }
}

bool frmTop::Advance(int16_t& i) {
  // Past 32767 the counter overflows; the error is dropped and ends the loop.
  bool advanced = false;
  Step([&] {
    i = Next(i);
    advanced = true;
  });
  return advanced;
}

void frmTop::AccessRefused() {
  if (securityMessageShown_ || !oWinVersion_->IsWinVista()) return;
  securityMessageShown_ = true;
  MsgBox("Because of Vista Security, you must run this program as an Administrator or\r\n"
         "Set the exe compatibility to 'WindowsXP/SP2' and 'Run As Administrator' ",
         MessageButtons::OkOnly, MessageIcon::Plain, "Error - Windows Vista Security");
}

// Copies every found INF file and its companion into the Backup folder
// beside the program. True only when each of them that is ours has a
// byte-identical copy there: only then may they be deleted.
bool frmTop::BackupDriverFiles() {
  bool result = false;
  std::string f;
  try {
    // The program's folder, made when missing, and Backup in it.
    if (!removal_->OpenBackup(platform::program().Folder())) return result;
    int16_t count = 0;
    Step([&] { count = oSearch_->FileFoundCount(); });
    const auto owner = static_cast<int32_t>(static_cast<uint32_t>(hWnd()));
    for (int16_t i = 1; i <= count;) {
      Step([&] { f = oSearch_->FileFoundName(i); });
      const std::string inf = f;
      for (bool companion : {false, true}) { // the INF file, then its companion
        if (companion) Step([&] { f = Companion(f); });
        Step([&] { Log("... File: " + f); });
        const DriverFile entry = removal_->Plan(inf, f, companion);
        if (!entry.copy) continue; // not ours, or no place for its copy
        Step(
            [&] {
              SystemRoutines::ShellFileOperation(owner, platform::FO_COPY, CopyFlags, entry.own,
                                                 removal_->CopyFolder());
            },
            "... Copy Failed: " + entry.shown);
        removal_->PutInPlace(entry);
      }
      if (!Advance(i)) break;
    }
    result = removal_->AllBackedUp();
  } catch (const RoutineEnded&) {
    removal_->Failed("... Access Denied");
    return false;
  }
  return result;
}

// Backs the found files up and, only when that succeeded, deletes them.
void frmTop::DeleteDriverFiles() {
  removal_ =
      std::make_unique<DriverRemoval>([this](const std::function<void()>& step,
                                             const std::string& failure) { Step(step, failure); });
  if (!BackupDriverFiles() || !removal_->CopiesOnDisk()) {
    removal_->LetGo(); // nothing was deleted
    return;
  }
  std::string q;
  int16_t count = 0;
  try {
    Step([&] { count = oSearch_->FileFoundCount(); });
    for (int16_t i = 1; i <= count;) {
      for (bool companion : {false, true}) { // the INF file, then its companion
        const std::string f = removal_->ToDelete(i, companion);
        if (f.empty()) continue; // nothing of ours
        q.clear();
        Step([&] { q = FileQuery(f); });
        if (!q.empty()) Step([&] { removal_->Delete(f); });
      }
      if (!Advance(i)) break;
    }
  } catch (const RoutineEnded&) {
    // Nothing more is deleted; what is left shows below.
  }
  removal_->Finish();
}

void frmTop::cmdTest_Click() {
  oSearch_->path(InfPattern);
  oSearch_->SearchText(ProductWord);
  MousePointer(11);
  ClearLog();
  int16_t n = oSearch_->Search();
  if (n <= 0) {
    AppendLog("Search String Not Found");
  } else {
    int16_t c = oSearch_->FileFoundCount();
    for (int16_t i = 1; i <= c; i = Next(i))
      AppendLog(oSearch_->FileFoundName(i));
  }
  MousePointer(0);
}

void frmTop::CreateFTDIIniFile() {
  oINI_->Command(1);
  oINI_->FileName("FTDIunin.ini");
  oINI_->Section("uninstall");
  oINI_->Item("Device");
  oINI_->Data("VID_0403&PID_DCB8,VID_0403&PID_8372,VID_0403&PID_6876,VID_0403&PID_DCB9,VID_0403&"
              "PID_DCBA");
  oINI_->Item("InfFiles");
  oINI_->Data("FTDIBUS,FTDIPORT,FTSERMOU");
  oINI_->Item("Key");
  oINI_->Data("FTDICOMM");
}
