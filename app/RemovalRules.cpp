#include "app/RemovalRules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"

namespace removal {

// The precompiled companion: the path without its last three characters,
// followed by "pnf".
std::string Companion(const std::string& f) {
  if (f.size() < 3) throw RuntimeError(RuntimeError::InvalidProcedureCall);
  return f.substr(0, f.size() - 3) + "pnf";
}

// The paths here are full ones, a folder and a name.
std::string NameOf(const std::string& path) {
  return platform::SplitWindowsPath(path).name;
}

std::string FolderOf(const std::string& path) {
  return platform::SplitWindowsPath(path).folder;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return platform::JoinWindowsPath(folder, name);
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The name without its last three characters (the extension's letters).
std::string Base(const std::string& name) {
  return name.size() < 3 ? std::string() : name.substr(0, name.size() - 3);
}

void Fingerprint::Add(const unsigned char* bytes, size_t count) {
  length += count;
  for (size_t i = 0; i < count; ++i)
    sum = (sum ^ bytes[i]) * 0x100000001b3u;
}

// Compares two plain files, neither read through a link.
bool SameBytes(const std::string& a, const std::string& b, Fingerprint* ofB) {
  auto& fs = platform::fileSystem();
  auto left = fs.OpenPlainFile(a);
  auto right = fs.OpenPlainFile(b);
  if (left->Length() != right->Length()) return false;
  unsigned char x[4096], y[4096];
  for (;;) {
    size_t n = left->Read(x, sizeof x);
    if (right->Read(y, sizeof y) != n || std::memcmp(x, y, n) != 0) return false;
    if (ofB) ofB->Add(y, n);
    if (n < sizeof x) return true;
  }
}

Fingerprint FingerprintOf(const std::string& path) {
  auto file = platform::fileSystem().OpenPlainFile(path);
  Fingerprint print;
  unsigned char bytes[4096];
  for (size_t n; (n = file->Read(bytes, sizeof bytes)) > 0;)
    print.Add(bytes, n);
  return print;
}

// Whether `own` is a plain file that still has a byte-identical copy in
// `copy`.
bool StillBackedUp(const std::string& own, const std::string& copy) {
  auto& fs = platform::fileSystem();
  try {
    platform::EntryFacts original = fs.Examine(own), backup = fs.Examine(copy);
    return original.type == platform::EntryType::File && original.name == NameOf(own) &&
           backup.type == platform::EntryType::File && !fs.SameFile(own, copy) &&
           SameBytes(own, copy);
  } catch (const RuntimeError&) {
    return false;
  }
}

// Names of our own making in the Backup folder: the folder where a run
// makes its copies, and the temporary copies of the Linux shell. Nothing
// else is ever taken for one.
const std::string StagingPrefix = ".talmirex-new-";
const std::string ShellCopyPrefix = ".talmirex-copy-";

bool IsOurTemporary(const std::string& name) {
  auto all = [](const std::string& text, const char* letters) {
    return text.find_first_not_of(letters) == std::string::npos;
  };
  if (name.size() == StagingPrefix.size() + 8 && name.rfind(StagingPrefix, 0) == 0)
    return all(name.substr(StagingPrefix.size()), "0123456789abcdef");
  if (name.size() == ShellCopyPrefix.size() + 6 && name.rfind(ShellCopyPrefix, 0) == 0)
    return all(name.substr(ShellCopyPrefix.size()),
               "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return false;
}

// Removes a plain file that is no link, or does nothing.
void RemovePlainFile(const std::string& path, const std::string& name) {
  auto& fs = platform::fileSystem();
  try {
    platform::EntryFacts facts = fs.Examine(path);
    if (facts.type == platform::EntryType::File && !facts.link && facts.name == name)
      fs.RemoveFile(path);
  } catch (const RuntimeError&) {
  }
}

// Removes the folder `name` of `parent` where copies were made, held as
// `held`, with the copies in it: they are found and deleted in the folder
// that was opened, whatever its name leads to by now.
void RemoveStaging(platform::Folder& parent, std::unique_ptr<platform::Folder> held,
                   const std::string& name) {
  auto& fs = platform::fileSystem();
  try {
    for (const std::string& copy : fs.FolderNames(held->Path()))
      RemovePlainFile(InFolder(held->Path(), copy), copy);
    // Let go first: a held folder cannot be removed. Only an empty folder
    // goes, never a link, so the name meeting something else by now does no
    // harm.
    held.reset();
    fs.RemoveFolder(InFolder(parent.Path(), name));
  } catch (const RuntimeError&) {
  }
}

// Removes what a run which was cut off left behind of its copies. A folder
// of such a name that is a link is left where it is, and so is what it
// leads to; so is the copy folder of a run that is still going on (another
// instance of the program), which holds it until it ends.
void RemoveStaleCopies(platform::Folder& folder) {
  auto& fs = platform::fileSystem();
  std::vector<std::string> names;
  try {
    names = fs.FolderNames(folder.Path());
  } catch (const RuntimeError&) {
    return;
  }
  for (const std::string& name : names) {
    if (!IsOurTemporary(name)) continue;
    const std::string path = InFolder(folder.Path(), name);
    try {
      platform::EntryFacts facts = fs.Examine(path);
      if (facts.type == platform::EntryType::Directory && !facts.link && facts.name == name)
        RemoveStaging(folder, fs.ClaimSubfolder(folder, name), name);
      else
        RemovePlainFile(path, name);
    } catch (const RuntimeError&) {
    }
  }
}

// A new folder of this run in `folder`, made now, that only this program's
// account may use: no one else can put anything into it, so every copy is
// written under a name made new there. Null when none could be made.
std::unique_ptr<platform::Folder> NewStaging(platform::Folder& folder, std::string& made) {
  static std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 8; ++attempt) {
    char name[16];
    std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(random()));
    try {
      auto staging = platform::fileSystem().MakePrivateFolder(folder, StagingPrefix + name);
      made = StagingPrefix + name;
      return staging;
    } catch (const RuntimeError&) {
    }
  }
  return nullptr;
}

Claim InfClaim(const FolderIndex& index, const std::string& inf) {
  if (Contains(index.Spellings(inf), inf)) return {Owner::Ours, inf};
  return {};
}

// The companion of exactly its spelling; else an entry of its name in
// another case that belongs to this INF file alone: to the INF file of
// exactly its base name when there is one, else to every INF file of that
// name in any case.
Claim CompanionClaim(const FolderIndex& index, const std::string& inf,
                     const std::string& companion) {
  const std::vector<std::string>& candidates = index.Spellings(companion);
  if (Contains(candidates, companion)) return {Owner::Ours, companion};
  std::vector<std::string> infs = index.Spellings(inf);
  if (!Contains(infs, inf)) infs.push_back(inf);
  Claim claim;
  int ours = 0;
  bool doubtful = false;
  for (const std::string& candidate : candidates) {
    std::vector<std::string> owners;
    for (const std::string& owner : infs)
      if (Base(owner) == Base(candidate)) owners.push_back(owner);
    if (owners.empty()) owners = infs;
    if (!Contains(owners, inf)) continue; // another file's
    if (owners.size() == 1) {
      ++ours;
      claim.name = candidate;
    } else {
      doubtful = true;
    }
  }
  if (ours == 1 && !doubtful) return {Owner::Ours, claim.name};
  if (ours > 0 || doubtful) return {Owner::Doubtful, ""};
  return {};
}

} // namespace removal
