// The window's commands: Remove Drivers with its backup and deletion of the
// driver files, the hidden Test command, and the uninstaller's INI file.

#include <cstring>

#include "app/frmTop.h"
#include "ini/cINI.h"
#include "platform/FileSystem.h"
#include "platform/Program.h"
#include "platform/RuntimeError.h"
#include "platform/Shell.h"
#include "platform/TextCase.h"
#include "search/clsSearchForText.h"
#include "sys/SystemRoutines.h"
#include "winver/clsWindowsVersion.h"

namespace {

const char* const InfPattern = "c:\\windows\\inf\\oem*.inf";
const char* const ProductWord = "TALMIREX";

constexpr int32_t CopyFlags = platform::FOF_NOCONFIRMATION | platform::FOF_FILESONLY; // 0x90

// Thrown by a step that met the access error: it ends the routine.
struct RoutineEnded {};

// The precompiled companion: the path without its last three characters,
// followed by "pnf".
std::string Companion(const std::string& f) {
  if (f.size() < 3) throw RuntimeError(RuntimeError::InvalidProcedureCall);
  return f.substr(0, f.size() - 3) + "pnf";
}

std::string FileQuery(const std::string& path) {
  return platform::fileSystem().FirstEntry(path, platform::EntryKinds::FilesOnly);
}

// Whether a file is there at all, hidden and system files included.
bool FileIsThere(const std::string& path) {
  return !platform::fileSystem().FirstEntry(path, platform::EntryKinds::AnyFile).empty();
}

// The next value of a signed 16-bit loop counter; past 32767 it overflows (6).
int16_t Next(int16_t i) {
  return ToInt16(i + 1);
}

std::string DirectoryQuery(const std::string& path) {
  return platform::fileSystem().FirstEntry(path, platform::EntryKinds::FilesAndDirectories);
}

std::string ProgramFolder() {
  std::string folder = platform::program().Folder();
  // A drive's root folder comes with its backslash; "\Backup" adds one.
  if (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool SameBytes(const std::string& a, const std::string& b) {
  auto& fs = platform::fileSystem();
  auto left = fs.OpenForReading(a);
  auto right = fs.OpenForReading(b);
  if (left->Length() != right->Length()) return false;
  unsigned char x[4096], y[4096];
  for (;;) {
    size_t n = left->Read(x, sizeof x);
    if (right->Read(y, sizeof y) != n || std::memcmp(x, y, n) != 0) return false;
    if (n < sizeof x) return true;
  }
}

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
  AppendLog("Ask User if Device Drivers removed from Device Manager");
  RepaintLog();
  MessageAnswer answer =
      MsgBox("Have you already removed the Device Drivers from Windows Device Manager",
             MessageButtons::YesNoCancel, MessageIcon::Information,
             "TALMIREX Low Level Device Driver Removal");
  if (answer == MessageAnswer::Yes) {
    oSearch_->path(InfPattern);
    oSearch_->SearchText(ProductWord);
    MousePointer(11);
    int16_t n = oSearch_->Search();
    removal_ = Removal::Complete;
    if (n > 0) {
      AppendLog("Found Precompiled Device Driver Files");
      AppendLog("Backing up and Deleting");
      DeleteDriverFiles();
    }
    MousePointer(0);
    switch (removal_) {
    case Removal::Complete:
      AppendLog("Removal Complete...Please Restart your Computer");
      break;
    case Removal::BackupFailed:
      AppendLog("Backup Failed...No Driver Files were Deleted");
      break;
    case Removal::Incomplete:
      AppendLog("Removal Incomplete...Some Driver Files were not Deleted");
      break;
    }
  } else {
    AppendLog("..User has not Removed TALMIREX Device");
    AppendLog("Aborted Device Driver Removal");
  }
  EnableButton("cmdRemove", false);
}

void frmTop::Step(const std::function<void()>& step) {
  try {
    step();
  } catch (const RuntimeError& e) {
    if (e.Number() != RuntimeError::PathFileAccessError) return; // dropped: on to the next step
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

bool frmTop::BackupIsSafe(const std::string& original, const std::string& folder) {
  try {
    if (!FileIsThere(original)) return true; // nothing there to lose
    const std::string copy = folder + "\\" + original.substr(original.find_last_of('\\') + 1);
    // A Backup folder that leads back to the INF folder holds no copy.
    if (platform::fileSystem().SameFile(original, copy) || !SameBytes(original, copy)) return false;
    backedUp_.push_back(platform::ToUpper(original));
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

// Copies every found INF file and its companion into the Backup folder
// beside the program. True only when each of them that exists has a
// byte-identical copy there: only then may they be deleted.
bool frmTop::BackupDriverFiles() {
  bool result = false;
  std::string s, f;
  backedUp_.clear();
  try {
    const std::string folder = ProgramFolder();
    Step([&] { s = DirectoryQuery(folder); });
    if (s.empty()) Step([&] { SystemRoutines::MakePath(folder); });
    s = folder + "\\Backup";
    Step([&] { SystemRoutines::MakePath(s); });
    // A file named Backup is no folder to copy into.
    bool isFolder = true;
    Step([&] { isFolder = !DirectoryQuery(s).empty() && FileQuery(s).empty(); });
    if (!isFolder) return result;

    bool allSafe = true;
    int16_t count = 0;
    Step([&] { count = oSearch_->FileFoundCount(); });
    const auto owner = static_cast<int32_t>(static_cast<uint32_t>(hWnd()));
    for (int16_t i = 1; i <= count;) {
      Step([&] { f = oSearch_->FileFoundName(i); });
      for (int file = 0; file < 2; ++file) { // the INF file, then its companion
        if (file == 1) Step([&] { f = Companion(f); });
        Step([&] { AppendLog("... File: " + f); });
        Step(
            [&] { SystemRoutines::ShellFileOperation(owner, platform::FO_COPY, CopyFlags, f, s); });
        if (!BackupIsSafe(f, s)) allSafe = false;
      }
      if (!Advance(i)) break;
    }
    result = allSafe;
  } catch (const RoutineEnded&) {
    return false;
  }
  return result;
}

// Backs the found files up and, only when that succeeded, deletes them.
void frmTop::DeleteDriverFiles() {
  removal_ = Removal::BackupFailed;
  if (!BackupDriverFiles()) return;
  removal_ = Removal::Incomplete;
  auto listed = [](const std::vector<std::string>& paths, const std::string& path) {
    const std::string upper = platform::ToUpper(path);
    for (const std::string& p : paths)
      if (p == upper) return true;
    return false;
  };
  std::vector<std::string> gone; // upper-cased paths this pass deleted
  std::string f, q;
  int16_t count = 0;
  try {
    Step([&] { count = oSearch_->FileFoundCount(); });
    for (int16_t i = 1; i <= count;) {
      Step([&] { f = oSearch_->FileFoundName(i); });
      for (int file = 0; file < 2; ++file) { // the INF file, then its companion
        if (file == 1) Step([&] { f = Companion(f); });
        Step([&] { q = FileQuery(f); });
        // Never a file without its copy, whatever the query said.
        if (!q.empty() && listed(backedUp_, f)) {
          Step([&] {
            try {
              platform::fileSystem().RemoveFile(f);
            } catch (const RuntimeError& e) {
              if (e.Number() != RuntimeError::FileNotFound) throw;
            }
            gone.push_back(platform::ToUpper(f));
          });
        }
      }
      if (!Advance(i)) break;
    }
  } catch (const RoutineEnded&) {
    // Nothing more is deleted; what is left shows below.
  }
  // Complete when no found file or companion is left, hidden ones included
  // (the query above does not see those, so they were not deleted). A look
  // that fails is made once more; what stays unknown is not reported as done.
  auto left = [&](const std::string& path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      try {
        return FileIsThere(path);
      } catch (const RuntimeError&) {
      }
    }
    return true;
  };
  for (int i = 1; i <= count; ++i) {
    try {
      f = oSearch_->FileFoundName(static_cast<int16_t>(i));
    } catch (const RuntimeError&) {
      return;
    }
    for (const std::string& path : {f, Companion(f)})
      if (!listed(gone, path) && left(path)) return;
  }
  removal_ = Removal::Complete;
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
