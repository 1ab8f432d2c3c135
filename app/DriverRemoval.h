#pragma once
// One run of Remove Drivers' backup and deletion, apart from the window. The
// window's two routines walk the found files, log them and ask the shell for
// the copies; this unit decides, file by file, what is safe: which entry of
// the INF folder is ours, where the copy goes and whether it is good, whether
// the original may go, and at the end what is left. It works inside folders
// it opened once and holds until the run ends (app/RemovalRules has the rules
// it stands on).

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/RemovalRules.h"
#include "platform/FileSystem.h"

namespace removal {

// How a removal ended, for the log's last lines.
enum class Ending { Complete, BackupFailed, Incomplete };
struct Outcome {
  Ending ending = Ending::BackupFailed;
  std::string reason;            // why the backup failed: the first reason noted
  std::vector<std::string> left; // what is left of the found files, by the paths the log shows
};

// A found INF file or companion, as planned.
struct DriverFile {
  std::string own;   // the entry in its held folder, when it is ours
  std::string shown; // the same entry as the log names it
  bool copy = false; // ours, a plain file, with a place in Backup: to be copied
};

class DriverRemoval {
public:
  // Runs one file-system step under the error trap of the routine that
  // drives the removal: the access error ends that routine (after noting
  // `failure`, when given, as the reason), any other error is dropped.
  using Trap = std::function<void(const std::function<void()>& step, const std::string& failure)>;

  explicit DriverRemoval(Trap trap);
  ~DriverRemoval();
  DriverRemoval(const DriverRemoval&) = delete;
  DriverRemoval& operator=(const DriverRemoval&) = delete;

  // The backup pass.
  //
  // Makes the program's folder (its path as the platform reports it: "c:\\"
  // for a drive's root) when it is missing, and Backup in it, and opens and
  // holds both; clears what a run that was cut off left in Backup
  // and makes this run's own folder for the copies there. False when there
  // is no Backup folder to copy into.
  bool OpenBackup(const std::string& programFolder);
  // Where the shell copies a planned file: this run's own folder in Backup.
  std::string CopyFolder() const;
  // Plans the found file `found` (`inf` itself, or its companion): whose
  // the entry is, and whether it may be copied now. Entries are planned in
  // the order of the found list, the INF file before its companion.
  DriverFile Plan(const std::string& inf, const std::string& found, bool companion);
  // After the shell's copy of `file` into CopyFolder(): checks the copy and
  // puts it in place of the older one in Backup.
  void PutInPlace(const DriverFile& file);
  // Whether every planned entry of ours has a checked copy in Backup, so
  // that the originals may go.
  bool AllBackedUp() const { return allSafe_; }

  // The deletion.
  //
  // Writes the copies to disk, before the first original goes; the run's
  // copy folder goes first. False when they could not be written.
  bool CopiesOnDisk();
  // The entry of the i-th found file (`companion` or the INF file itself)
  // that is ours to delete: one with a checked copy. Empty when none.
  std::string ToDelete(int i, bool companion) const;
  // Deletes `own` when it still matches its copy; a file gone meanwhile is
  // no failure. Raises what the delete raises.
  void Delete(const std::string& own);
  // Looks afresh at every planned entry, and lets go of the folders: the
  // removal is complete when nothing of ours is left.
  void Finish();
  // Lets go of every folder of this run; the run's copy folder goes.
  void LetGo();

  // Notes why the removal failed; the first reason counts.
  void Failed(const std::string& reason) {
    if (outcome_.reason.empty()) outcome_.reason = reason;
  }
  const Outcome& HowItEnded() const { return outcome_; }

private:
  // What the loop planned of one found file.
  struct Planned {
    std::string inf;   // the found INF file
    std::string found; // the path planned: the INF file or its companion
    bool companion = false;
    DriverFile file;
  };
  // A copy whose bytes were checked against the original, and their
  // fingerprint, so that the copy can be known again without reading the
  // original once more.
  struct Checked {
    std::string path; // the copy in Backup
    Fingerprint print;
  };

  bool MayCopy(const DriverFile& file);
  // What is left of one planned entry now, by the path the log shows; empty
  // when nothing of ours is. Raises what looking at it raises.
  std::string LeftOf(const Planned& p, FolderIndexes& indexes);
  // The found files' folder `folder` as held for this removal: opened at its
  // first use, as its path leads then, and looked up no more.
  std::string HeldInfFolder(const std::string& folder);

  Trap trap_;
  Outcome outcome_;
  bool allSafe_ = true;
  std::vector<Planned> planned_;
  FolderIndexes indexes_;
  std::string backupShown_; // the Backup folder as the log names it
  // The folders this removal works in: the program's folder, its Backup,
  // this run's copy folder in Backup (and its name), the found files'
  // folders (by their paths in upper case).
  std::unique_ptr<platform::Folder> programFolder_, backup_, staging_;
  std::string stagingName_;
  std::map<std::string, std::unique_ptr<platform::Folder>> infFolders_;
  std::map<std::string, std::vector<std::string>> backupNames_; // upper-cased -> spellings
  std::map<std::string, Checked> backedUp_;                     // own path -> its checked copy
  std::map<std::string, std::string> copiedFrom_; // upper-cased Backup name -> own path
};

} // namespace removal
