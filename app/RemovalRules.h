#pragma once
// The rules that keep the driver files safe while Remove Drivers backs them
// up and deletes them, apart from the window: whose an entry is among
// names that differ in letter case only, the run's private folder for its
// copies and what a cut-off run left of it, and whether a file still has a
// byte-identical copy. Paths are Windows paths through platform::fileSystem.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/TextCase.h"

namespace removal {

// The precompiled companion: the path without its last three characters,
// followed by "pnf".
std::string Companion(const std::string& f);

// The paths here are full ones, a folder and a name.
std::string NameOf(const std::string& path);
std::string FolderOf(const std::string& path);
std::string InFolder(const std::string& folder, const std::string& name);

bool Contains(const std::vector<std::string>& names, const std::string& name);

// A file's length and a checksum of its bytes (64-bit FNV-1a): enough to
// know a checked copy again after a rename, never to prove two files equal.
struct Fingerprint {
  uint64_t length = 0;
  uint64_t sum = 0xcbf29ce484222325u;
  void Add(const unsigned char* bytes, size_t count);
  bool operator==(const Fingerprint&) const = default;
};

// Compares two plain files, neither read through a link; `ofB`, when given,
// gets the fingerprint of `b`'s bytes as they were read.
bool SameBytes(const std::string& a, const std::string& b, Fingerprint* ofB = nullptr);

// The fingerprint of the plain file `path`, not read through a link.
Fingerprint FingerprintOf(const std::string& path);

// Whether `own` is a plain file that still has a byte-identical copy in
// `copy`.
bool StillBackedUp(const std::string& own, const std::string& copy);

// Names of our own making in the Backup folder: the folder where a run
// makes its copies, and the temporary copies of the Linux shell.
bool IsOurTemporary(const std::string& name);

// Removes a plain file that is no link, or does nothing.
void RemovePlainFile(const std::string& path, const std::string& name);

// Removes what a run which was cut off left behind of its copies.
void RemoveStaleCopies(platform::Folder& folder);

// A new folder of this run in `folder`, made now, that only this program's
// account may use; its name in `made`. Null when none could be made.
std::unique_ptr<platform::Folder> NewStaging(platform::Folder& folder, std::string& made);

// Removes the folder `name` of `parent` where copies were made, held as
// `held`, with the copies in it.
void RemoveStaging(platform::Folder& parent, std::unique_ptr<platform::Folder> held,
                   const std::string& name);

// The names of one folder's entries, by their names in upper case.
class FolderIndex {
public:
  explicit FolderIndex(const std::string& folder) {
    for (std::string& name : platform::fileSystem().FolderNames(folder))
      spellings_[platform::ToUpper(name)].push_back(std::move(name));
  }

  // The entries whose names equal `name` without regard to case.
  const std::vector<std::string>& Spellings(const std::string& name) const {
    static const std::vector<std::string> none;
    auto found = spellings_.find(platform::ToUpper(name));
    return found == spellings_.end() ? none : found->second;
  }

private:
  std::unordered_map<std::string, std::vector<std::string>> spellings_;
};

// The found files' folders, each read once.
class FolderIndexes {
public:
  // Raises what reading the folder raises.
  const FolderIndex& Of(const std::string& folder) {
    std::string key = platform::ToUpper(folder);
    auto found = indexes_.find(key);
    if (found == indexes_.end()) found = indexes_.emplace(key, FolderIndex(folder)).first;
    return found->second;
  }

private:
  std::unordered_map<std::string, FolderIndex> indexes_;
};

// Whose an entry is. A folder can hold names that differ only in letter
// case (OEM1.INF beside oem1.inf): a found file is only the entry of exactly
// its spelling, and a companion is only an entry that belongs to its INF
// file and to no other.
enum class Owner { None, Ours, Doubtful };
struct Claim {
  Owner owner = Owner::None;
  std::string name;
};

// The found INF file of exactly its spelling.
Claim InfClaim(const FolderIndex& index, const std::string& inf);

// The companion of exactly its spelling; else an entry of its name in
// another case that belongs to this INF file alone.
Claim CompanionClaim(const FolderIndex& index, const std::string& inf,
                     const std::string& companion);

} // namespace removal
