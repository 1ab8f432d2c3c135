// The window's commands: Remove Drivers with its backup and deletion of the
// driver files, the hidden Test command, and the uninstaller's INI file. The
// rules that keep the files safe meanwhile are in app/RemovalRules.

#include <algorithm>
#include <unordered_map>

#include "app/RemovalRules.h"
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

std::string FileQuery(const std::string& path) {
  return platform::fileSystem().FirstEntry(path, platform::EntryKinds::FilesOnly);
}

// The next value of a signed 16-bit loop counter; past 32767 it overflows (6).
int16_t Next(int16_t i) {
  return ToInt16(i + 1);
}

// Every entry of the path's name, hidden and system ones and folders too.
std::string DirectoryQuery(const std::string& path) {
  return platform::fileSystem().FirstEntry(path, platform::EntryKinds::AnyEntry);
}

std::string ProgramFolder() {
  std::string folder = platform::program().Folder();
  // A drive's root folder comes with its backslash; "\Backup" adds one.
  if (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  return folder;
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
    removal_ = Removal::Complete;
    failure_.clear();
    left_.clear();
    if (n > 0) {
      Log("Found Precompiled Device Driver Files");
      Log("Backing up and Deleting");
      DeleteDriverFiles();
    }
    MousePointer(0);
    // Why it ended so comes before the last line, which stays last.
    switch (removal_) {
    case Removal::Complete:
      Log("Removal Complete...Please Restart your Computer");
      break;
    case Removal::BackupFailed:
      Log(failure_.empty() ? "... Backup not Complete" : failure_);
      Log("Backup Failed...No Driver Files were Deleted");
      break;
    case Removal::Incomplete:
      for (const std::string& path : left_)
        Log("... Not Deleted: " + path);
      Log("Removal Incomplete...Some Driver Files were not Deleted");
      break;
    }
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

void frmTop::Failed(const std::string& reason) {
  if (failure_.empty()) failure_ = reason;
}

void frmTop::Step(const std::function<void()>& step, const std::string& failure) {
  try {
    step();
  } catch (const RuntimeError& e) {
    if (e.Number() != RuntimeError::PathFileAccessError) return; // dropped: on to the next step
    if (!failure.empty()) Failed(failure);
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

bool frmTop::BackUp(const DriverFile& entry, const std::string& folder, int32_t owner) {
  auto& fs = platform::fileSystem();
  const std::string& own = entry.own;
  const std::string name = NameOf(own);
  const std::string key = platform::ToUpper(name);
  // One name in Backup holds the copy of one file: a second file of that
  // name in another letter case cannot be backed up beside it.
  auto earlier = copiedFrom_.find(key);
  if (earlier != copiedFrom_.end() && earlier->second != own) {
    Failed("... Backup Name Taken by Another File: " + entry.shown);
    return false;
  }
  if (!staging_) return false; // the reason is noted already
  const std::string staging = staging_->Path();
  const std::string copyFailed = "... Copy Failed: " + entry.shown;
  std::string copy;
  try {
    // A Backup folder that leads back to the INF folder holds no copy.
    if (fs.SameFile(folder, FolderOf(own))) {
      Failed("... Backup Folder is the INF Folder: " + backupShown_);
      return false;
    }
    // The new copy is made in a folder of its own; the older copy is
    // replaced only by a checked one.
    // No one else can put anything into this run's folder, and one name
    // holds the copy of one file: the copy is a name made new there, never
    // written through an entry that was there before.
    copy = InFolder(staging, name);
    Step(
        [&] {
          SystemRoutines::ShellFileOperation(owner, platform::FO_COPY, CopyFlags, own, staging);
        },
        copyFailed);
    platform::EntryFacts made = fs.Examine(copy);
    if (made.type == platform::EntryType::None) Failed(copyFailed);
    if (made.type == platform::EntryType::File && !made.link && made.name == name &&
        !fs.SameFile(own, copy) && SameBytes(own, copy)) {
      // The older copy's own spelling, when there is one.
      std::vector<std::string>& spellings = backupNames_[key];
      std::string spelling = Contains(spellings, name) || spellings.empty() ? name : spellings[0];
      const std::string target = InFolder(folder, spelling);
      // An older copy is replaced only by one that is on the disk: a power
      // cut right after the rename would otherwise leave neither.
      if (!spellings.empty()) fs.FlushToDisk(staging);
      fs.RenameOnto(copy, target);
      copy.clear();
      if (!Contains(spellings, spelling)) spellings.push_back(spelling);
      if (StillBackedUp(own, target)) {
        backedUp_[own] = target;
        copiedFrom_[key] = own;
        return true;
      }
    }
    Failed("... Copy does not Match: " + entry.shown);
  } catch (const RuntimeError&) {
    Failed(copyFailed);
  }
  if (!copy.empty()) RemovePlainFile(copy, name);
  return false;
}

// Copies every found INF file and its companion into the Backup folder
// beside the program. True only when each of them that is ours has a
// byte-identical copy there: only then may they be deleted. Entries that are
// no plain file are neither copied nor deleted.
bool frmTop::BackupDriverFiles() {
  bool result = false;
  std::string s, f;
  files_.clear();
  backedUp_.clear();
  copiedFrom_.clear();
  backupNames_.clear();
  struct Staging {
    std::unique_ptr<platform::Folder>& held;
    std::unique_ptr<platform::Folder>& parent;
    const std::string& name;
    ~Staging() {
      if (held) RemoveStaging(*parent, std::move(held), name);
    }
  } staging{staging_, backup_, stagingName_};
  auto& fs = platform::fileSystem();
  try {
    const std::string folder = ProgramFolder();
    const std::string shown = folder + "\\Backup"; // as the log names it
    backupShown_ = shown;
    const std::string notCreated = "... Backup Folder not Created: " + shown;
    Step([&] { s = DirectoryQuery(folder); });
    if (s.empty()) Step([&] { SystemRoutines::MakePath(folder); }, notCreated);
    // The program's folder is opened once, as its path leads now, and
    // held: Backup is made and found in the folder that was opened, even if
    // its path is made to lead elsewhere meanwhile. Being there, making the
    // path of Backup comes down to making Backup in it.
    Step([&] { programFolder_ = fs.OpenFolder(folder); }, notCreated);
    if (!programFolder_) {
      Failed(notCreated);
      return result;
    }
    s = programFolder_->Path() + "\\Backup";
    Step(
        [&] {
          if (DirectoryQuery(s).empty()) fs.MakeDirectory(s);
        },
        notCreated);
    // A file named Backup is no folder to copy into; nor is a link, a
    // junction or another reparse point of that name, which leads to a
    // folder that may be anyone's.
    Step([&] {
      if (!DirectoryQuery(s).empty()) backup_ = fs.OpenSubfolder(*programFolder_, "Backup");
    });
    if (!backup_) {
      bool exists = false;
      try {
        exists = fs.Examine(shown).type != platform::EntryType::None;
      } catch (const RuntimeError&) {
      }
      Failed(exists ? "... Backup is not a Folder: " + shown : notCreated);
      return result;
    }
    s = backup_->Path();
    RemoveStaleCopies(*backup_);
    try {
      for (std::string& name : platform::fileSystem().FolderNames(s))
        backupNames_[platform::ToUpper(name)].push_back(std::move(name));
    } catch (const RuntimeError&) {
      Failed("... Backup Folder not Readable: " + shown);
      return result; // where the copies would go is not known
    }
    staging_ = NewStaging(*backup_, stagingName_);
    if (!staging_) Failed("... Backup Folder not Writable: " + shown);

    bool allSafe = true;
    int16_t count = 0;
    FolderIndexes indexes;
    Step([&] { count = oSearch_->FileFoundCount(); });
    const auto owner = static_cast<int32_t>(static_cast<uint32_t>(hWnd()));
    for (int16_t i = 1; i <= count;) {
      Step([&] { f = oSearch_->FileFoundName(i); });
      const std::string inf = f;
      for (int file = 0; file < 2; ++file) { // the INF file, then its companion
        if (file == 1) Step([&] { f = Companion(f); });
        Step([&] { Log("... File: " + f); });
        DriverFile entry;
        try {
          const std::string held = HeldInfFolder(FolderOf(inf));
          const FolderIndex& index = indexes.Of(held);
          Claim claim = file == 0 ? InfClaim(index, NameOf(inf))
                                  : CompanionClaim(index, NameOf(inf), NameOf(f));
          if (claim.owner == Owner::Ours) {
            entry.own = InFolder(held, claim.name);
            entry.shown = InFolder(FolderOf(inf), claim.name);
          }
        } catch (const RuntimeError&) {
          allSafe = false; // whose the entries are is not known
          Failed("... INF Folder not Readable: " + FolderOf(inf));
        }
        // A link is never followed: neither copied nor deleted, it stays.
        bool plain = false;
        if (!entry.own.empty()) {
          try {
            platform::EntryFacts facts = platform::fileSystem().Examine(entry.own);
            plain = facts.type == platform::EntryType::File && !facts.link;
          } catch (const RuntimeError&) {
            allSafe = false;
            Failed("... File not Readable: " + entry.shown);
          }
        }
        if (plain && !BackUp(entry, s, owner)) allSafe = false;
        files_.push_back(entry);
      }
      if (!Advance(i)) break;
    }
    result = allSafe;
  } catch (const RoutineEnded&) {
    Failed("... Access Denied");
    return false;
  }
  return result;
}

bool frmTop::AnythingLeft(int count, std::vector<std::string>& left) {
  auto& fs = platform::fileSystem();
  FolderIndexes indexes;
  bool any = false;
  for (int i = 1; i <= count; ++i) {
    std::string inf;
    try {
      inf = oSearch_->FileFoundName(static_cast<int16_t>(i));
    } catch (const RuntimeError&) {
      any = true; // not even its name is known
      continue;
    }
    for (int file = 0; file < 2; ++file) {
      std::string found = inf;
      if (file == 1) {
        try {
          found = Companion(inf);
        } catch (const RuntimeError&) {
        }
      }
      // A look that fails is made once more; what stays unknown counts as left.
      std::string where; // what is left of this entry, by its path
      bool known = false;
      for (int attempt = 0; attempt < 2 && !known; ++attempt) {
        try {
          const FolderIndex& index = indexes.Of(HeldInfFolder(FolderOf(inf)));
          Claim claim = file == 0 ? InfClaim(index, NameOf(inf))
                                  : CompanionClaim(index, NameOf(inf), NameOf(Companion(inf)));
          if (claim.owner == Owner::Ours) {
            where = InFolder(FolderOf(inf), claim.name);
          } else if (claim.owner == Owner::Doubtful) {
            where = found;
          } else {
            // What the folder's listing leaves out is looked at by its own name.
            size_t at = static_cast<size_t>(2 * (i - 1) + file);
            if (at < files_.size() && !files_[at].own.empty()) {
              platform::EntryFacts facts = fs.Examine(files_[at].own);
              if (facts.type != platform::EntryType::None && facts.name == NameOf(files_[at].own))
                where = files_[at].shown;
            }
          }
          known = true;
        } catch (const RuntimeError&) {
          where.clear();
          indexes = FolderIndexes();
        }
      }
      if (!known) where = found;
      if (!where.empty()) {
        any = true;
        left.push_back(where);
      }
    }
  }
  return any;
}

std::string frmTop::HeldInfFolder(const std::string& folder) {
  std::unique_ptr<platform::Folder>& held = infFolders_[platform::ToUpper(folder)];
  if (!held) held = platform::fileSystem().OpenFolder(folder);
  return held->Path();
}

// Backs the found files up and, only when that succeeded, deletes them.
void frmTop::DeleteDriverFiles() {
  removal_ = Removal::BackupFailed;
  // The folders are held for this removal only.
  struct Release {
    frmTop& form;
    ~Release() {
      form.infFolders_.clear();
      form.backup_.reset();
      form.programFolder_.reset();
    }
  } release{*this};
  if (!BackupDriverFiles()) return;
  // The copies are written to disk, all at once, before the first original
  // goes: a crash or a power loss then cannot take both.
  try {
    platform::fileSystem().FlushToDisk(backup_->Path());
  } catch (const RuntimeError&) {
    Failed("... Copies not Written to Disk: " + backupShown_);
    return;
  }
  removal_ = Removal::Incomplete;
  std::string q;
  int16_t count = 0;
  try {
    Step([&] { count = oSearch_->FileFoundCount(); });
    for (int16_t i = 1; i <= count;) {
      for (size_t file = 0; file < 2; ++file) { // the INF file, then its companion
        size_t at = 2 * static_cast<size_t>(i - 1) + file;
        if (at >= files_.size() || files_[at].own.empty()) continue; // nothing of ours
        const std::string f = files_[at].own;
        q.clear();
        Step([&] { q = FileQuery(f); });
        // Never a file without its copy: compared once more right before
        // the delete, it is left when the two no longer agree.
        auto copy = backedUp_.find(f);
        if (!q.empty() && copy != backedUp_.end()) {
          Step([&] {
            if (!StillBackedUp(f, copy->second)) return;
            try {
              platform::fileSystem().RemoveFile(f);
            } catch (const RuntimeError& e) {
              if (e.Number() != RuntimeError::FileNotFound) throw;
            }
          });
        }
      }
      if (!Advance(i)) break;
    }
  } catch (const RoutineEnded&) {
    // Nothing more is deleted; what is left shows below.
  }
  // Complete when nothing of ours is left of any found file or companion,
  // hidden ones included, whatever each delete said.
  if (!AnythingLeft(std::max<int>(count, static_cast<int>(files_.size() / 2)), left_))
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
