// One run of the backup and deletion of the found driver files.
//
// Each original is read four times in a run, and no more:
//  1. by the search, which finds the product word in it;
//  2. by the shell, which copies it into this run's copy folder;
//  3. when the copy is checked against it (PutInPlace): the shell's result
//     says nothing, a copy can come out short (a full disk) or hold other
//     bytes (the original written to while it was copied), and only a
//     checked copy may take the place of an older one;
//  4. right before it is deleted (Delete): it may have been written to since
//     its copy was checked, and the copy in Backup, a folder that others may
//     be able to write, may have changed; it goes only while both agree.
// Once the checked copy is renamed into Backup it is known by its
// fingerprint: checking that the rename put it there reads the copy only.

#include "app/DriverRemoval.h"

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/TextCase.h"
#include "sys/SystemRoutines.h"

namespace removal {

namespace {

// Every entry of the path's name, hidden and system ones and folders too.
std::string DirectoryQuery(const std::string& path) {
  return platform::fileSystem().FirstEntry(path, platform::EntryKinds::AnyEntry);
}

} // namespace

DriverRemoval::DriverRemoval(Trap trap) : trap_(std::move(trap)) {}

DriverRemoval::~DriverRemoval() {
  LetGo();
}

bool DriverRemoval::OpenBackup(const std::string& programFolder) {
  auto& fs = platform::fileSystem();
  // The folder as its path is written before "\Backup": a drive's root
  // without its backslash ("c:").
  std::string folder = programFolder;
  if (folder.size() > 1 && folder.back() == '\\') folder.pop_back();
  const std::string shown = folder + "\\Backup"; // as the log names it
  backupShown_ = shown;
  const std::string notCreated = "... Backup Folder not Created: " + shown;
  std::string s;
  trap_([&] { s = DirectoryQuery(folder); }, {});
  if (s.empty()) trap_([&] { SystemRoutines::MakePath(folder); }, notCreated);
  // The program's folder is opened once, as its path leads now, and held:
  // Backup is made and found in the folder that was opened, even if its
  // path is made to lead elsewhere meanwhile. Being there, making the path
  // of Backup comes down to making Backup in it.
  // It is opened by its own path: "c:" alone would name the current folder
  // of drive C:, not its root.
  trap_([&] { programFolder_ = fs.OpenFolder(programFolder); }, notCreated);
  if (!programFolder_) {
    Failed(notCreated);
    return false;
  }
  s = platform::JoinWindowsPath(programFolder_->Path(), "Backup");
  trap_(
      [&] {
        if (DirectoryQuery(s).empty()) fs.MakeDirectory(s);
      },
      notCreated);
  // A file named Backup is no folder to copy into; nor is a link, a
  // junction or another reparse point of that name, which leads to a folder
  // that may be anyone's.
  trap_(
      [&] {
        if (!DirectoryQuery(s).empty()) backup_ = fs.OpenSubfolder(*programFolder_, "Backup");
      },
      {});
  if (!backup_) {
    bool exists = false;
    try {
      exists = fs.Examine(shown).type != platform::EntryType::None;
    } catch (const RuntimeError&) {
    }
    Failed(exists ? "... Backup is not a Folder: " + shown : notCreated);
    return false;
  }
  RemoveStaleCopies(*backup_);
  try {
    for (std::string& name : fs.FolderNames(backup_->Path()))
      backupNames_[platform::ToUpper(name)].push_back(std::move(name));
  } catch (const RuntimeError&) {
    Failed("... Backup Folder not Readable: " + shown);
    return false; // where the copies would go is not known
  }
  staging_ = NewStaging(*backup_, stagingName_);
  if (!staging_) Failed("... Backup Folder not Writable: " + shown);
  return true;
}

std::string DriverRemoval::CopyFolder() const {
  return staging_ ? staging_->Path() : std::string();
}

DriverFile DriverRemoval::Plan(const std::string& inf, const std::string& found, bool companion) {
  Planned p{inf, found, companion, {}};
  DriverFile& entry = p.file;
  try {
    const std::string held = HeldInfFolder(FolderOf(inf));
    const FolderIndex& index = indexes_.Of(held);
    Claim claim = companion ? CompanionClaim(index, NameOf(inf), NameOf(found))
                            : InfClaim(index, NameOf(inf));
    if (claim.owner == Owner::Ours) {
      entry.own = InFolder(held, claim.name);
      entry.shown = InFolder(FolderOf(inf), claim.name);
    }
  } catch (const RuntimeError&) {
    allSafe_ = false; // whose the entries are is not known
    Failed("... INF Folder not Readable: " + FolderOf(inf));
  }
  // A link is never followed: neither copied nor deleted, it stays.
  bool plain = false;
  if (!entry.own.empty()) {
    try {
      platform::EntryFacts facts = platform::fileSystem().Examine(entry.own);
      plain = facts.type == platform::EntryType::File && !facts.link;
    } catch (const RuntimeError&) {
      allSafe_ = false;
      Failed("... File not Readable: " + entry.shown);
    }
  }
  if (plain) {
    entry.copy = MayCopy(entry);
    if (!entry.copy) allSafe_ = false;
  }
  planned_.push_back(p);
  return entry;
}

bool DriverRemoval::MayCopy(const DriverFile& file) {
  // One name in Backup holds the copy of one file: a second file of that
  // name in another letter case cannot be backed up beside it.
  auto earlier = copiedFrom_.find(platform::ToUpper(NameOf(file.own)));
  if (earlier != copiedFrom_.end() && earlier->second != file.own) {
    Failed("... Backup Name Taken by Another File: " + file.shown);
    return false;
  }
  if (!staging_) return false; // the reason is noted already
  try {
    // A Backup folder that leads back to the INF folder holds no copy.
    if (platform::fileSystem().SameFile(backup_->Path(), FolderOf(file.own))) {
      Failed("... Backup Folder is the INF Folder: " + backupShown_);
      return false;
    }
  } catch (const RuntimeError&) {
    Failed("... Copy Failed: " + file.shown);
    return false;
  }
  return true;
}

void DriverRemoval::PutInPlace(const DriverFile& file) {
  auto& fs = platform::fileSystem();
  const std::string& own = file.own;
  const std::string name = NameOf(own);
  const std::string key = platform::ToUpper(name);
  const std::string copyFailed = "... Copy Failed: " + file.shown;
  // No one else can put anything into this run's folder, and one name holds
  // the copy of one file: the copy is a name made new there, never written
  // through an entry that was there before.
  std::string copy = InFolder(staging_->Path(), name);
  try {
    platform::EntryFacts made = fs.Examine(copy);
    if (made.type == platform::EntryType::None) Failed(copyFailed);
    Fingerprint print;
    if (made.type == platform::EntryType::File && !made.link && made.name == name &&
        !fs.SameFile(own, copy) && SameBytes(own, copy, &print)) {
      // The older copy's own spelling, when there is one.
      std::vector<std::string>& spellings = backupNames_[key];
      std::string spelling = Contains(spellings, name) || spellings.empty() ? name : spellings[0];
      const std::string target = InFolder(backup_->Path(), spelling);
      // An older copy is replaced only by one that is on the disk: a power
      // cut right after the rename would otherwise leave neither.
      if (!spellings.empty()) fs.FlushToDisk(staging_->Path());
      fs.RenameOnto(copy, target);
      copy.clear();
      if (!Contains(spellings, spelling)) spellings.push_back(spelling);
      // What now stands under the copy's name in Backup is the checked copy.
      platform::EntryFacts placed = fs.Examine(target);
      if (placed.type == platform::EntryType::File && !placed.link && !fs.SameFile(own, target) &&
          FingerprintOf(target) == print) {
        backedUp_[own] = {target, print};
        copiedFrom_[key] = own;
        return;
      }
    }
    Failed("... Copy does not Match: " + file.shown);
  } catch (const RuntimeError&) {
    Failed(copyFailed);
  }
  if (!copy.empty()) RemovePlainFile(copy, name);
  allSafe_ = false;
}

bool DriverRemoval::CopiesOnDisk() {
  // Every copy is in place by now; the run's folder for them goes.
  if (staging_) RemoveStaging(*backup_, std::move(staging_), stagingName_);
  // The copies are written to disk, all at once, before the first original
  // goes: a crash or a power loss then cannot take both.
  try {
    platform::fileSystem().FlushToDisk(backup_->Path());
  } catch (const RuntimeError&) {
    Failed("... Copies not Written to Disk: " + backupShown_);
    return false;
  }
  outcome_.ending = Ending::Incomplete;
  return true;
}

std::string DriverRemoval::ToDelete(int i, bool companion) const {
  size_t at = 2 * static_cast<size_t>(i - 1) + (companion ? 1 : 0);
  if (i < 1 || at >= planned_.size()) return {};
  const std::string& own = planned_[at].file.own;
  return backedUp_.count(own) ? own : std::string();
}

void DriverRemoval::Delete(const std::string& own) {
  auto copy = backedUp_.find(own);
  // Never a file without its copy: compared once more right before the
  // delete, it is left when the two no longer agree.
  if (copy == backedUp_.end() || !StillBackedUp(own, copy->second.path)) return;
  try {
    platform::fileSystem().RemoveFile(own);
  } catch (const RuntimeError& e) {
    if (e.Number() != RuntimeError::FileNotFound) throw;
  }
}

std::string DriverRemoval::LeftOf(const Planned& p, FolderIndexes& indexes) {
  const FolderIndex& index = indexes.Of(HeldInfFolder(FolderOf(p.inf)));
  Claim claim = p.companion ? CompanionClaim(index, NameOf(p.inf), NameOf(p.found))
                            : InfClaim(index, NameOf(p.inf));
  if (claim.owner == Owner::Ours) return InFolder(FolderOf(p.inf), claim.name);
  if (claim.owner == Owner::Doubtful) return p.found;
  // What the folder's listing leaves out is looked at by its own name.
  if (!p.file.own.empty()) {
    platform::EntryFacts facts = platform::fileSystem().Examine(p.file.own);
    if (facts.type != platform::EntryType::None && facts.name == NameOf(p.file.own))
      return p.file.shown;
  }
  return {};
}

void DriverRemoval::Finish() {
  // Complete when nothing of ours is left of any found file or companion,
  // hidden ones included, whatever each delete said.
  FolderIndexes indexes; // the folders as they are now
  bool any = false;
  for (const Planned& p : planned_) {
    // A look that fails is made once more; what stays unknown counts as left.
    std::string where;
    bool known = false;
    for (int attempt = 0; attempt < 2 && !known; ++attempt) {
      try {
        where = LeftOf(p, indexes);
        known = true;
      } catch (const RuntimeError&) {
        indexes = FolderIndexes();
      }
    }
    if (!known) where = p.found;
    if (!where.empty()) {
      any = true;
      outcome_.left.push_back(where);
    }
  }
  if (!any && outcome_.ending == Ending::Incomplete) outcome_.ending = Ending::Complete;
  LetGo();
}

std::string DriverRemoval::HeldInfFolder(const std::string& folder) {
  std::unique_ptr<platform::Folder>& held = infFolders_[platform::ToUpper(folder)];
  if (!held) held = platform::fileSystem().OpenFolder(folder);
  return held->Path();
}

void DriverRemoval::LetGo() {
  if (staging_) RemoveStaging(*backup_, std::move(staging_), stagingName_);
  infFolders_.clear();
  staging_.reset();
  backup_.reset();
  programFolder_.reset();
}

} // namespace removal
