// The shell's file operations on Linux, with the Windows shell's rules for the
// requests this program makes: the first path of each list is used; the last
// component of the source may hold wildcards; a copy or move into an existing
// folder keeps the source's name, onto any other path takes that path as the
// new name (its missing folders are made first), and the sources of a copy
// that found several go into the folder the target names; an existing target is
// replaced only with FOF_NOCONFIRMATION, read-only or not, as the shell does
// after clearing the attribute. A copy is written under a temporary name in
// the target folder and renamed into place once complete, so the real name
// never shows a partial file; like the Windows shell's, the copy is not
// flushed to disk on its own (a caller that needs it there flushes the file
// system once, after all its copies). Only files and folders are sources: a pipe or
// a device (or a link to one) is none, and is never opened for reading.

#include "platform/Shell.h"

#include <cerrno>
#include <string_view>
#include <vector>

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/posix/Ansi.h"
#include "platform/posix/HostFiles.h"
#include "platform/posix/WinePath.h"

namespace platform {
namespace {

// Result codes, as the Windows shell reports them.
constexpr int32_t kDone = 0;
constexpr int32_t kAccessDenied = 0x0005;
constexpr int32_t kSameFile = 0x0071;      // DE_SAMEFILE
constexpr int32_t kInvalidFiles = 0x007C;  // DE_INVALIDFILES
constexpr int32_t kAlreadyExists = 0x00B7; // ERROR_ALREADY_EXISTS
constexpr int32_t kNoSource = 0x0402;      // the source does not exist
constexpr int32_t kCancelled = 0x04C7;     // ERROR_CANCELLED
constexpr int32_t kInvalidParameter = 0x0057;

struct Source {
  std::string host; // Linux path
  std::string name; // last component (UTF-8)
  bool isDirectory;
};

bool HasWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string::npos;
}

// The first path of a NUL-separated list.
std::string FirstPath(const std::string& list) {
  return list.substr(0, list.find('\0'));
}

// The path of `name` in a folder: an entry that has the name in another
// letter case is the one meant, as on Windows.
std::string ChildOf(const std::string& folder, const std::string& name) {
  if (posix::LookAt(posix::HostJoin(folder, name), false).type != posix::HostType::None)
    return posix::HostJoin(folder, name);
  for (const auto& entry : posix::ListFolder(folder))
    if (posix::EqualNoCase(entry.name, name)) return posix::HostJoin(folder, entry.name);
  return posix::HostJoin(folder, name);
}

bool IsDirectory(const std::string& host) {
  return posix::LookAt(host).type == posix::HostType::Directory;
}

// Only files and folders are sources: a device or a pipe (a link to one
// too) is, as on Windows, no source at all.
bool FileOrFolder(const posix::HostEntry& entry) {
  return entry.type == posix::HostType::File || entry.type == posix::HostType::Directory;
}

int32_t CodeOf(int error) {
  switch (error) {
  case ENOENT:
  case ENOTDIR:
    return kNoSource;
  case EACCES:
  case EPERM:
  case EROFS:
    return kAccessDenied;
  default:
    return kInvalidFiles;
  }
}

// Makes a folder and its missing parents (the shell makes a target's folders).
bool MakeFolders(const std::string& host) {
  if (IsDirectory(host)) return true;
  std::string parent = posix::HostParent(host);
  if (parent != host && !MakeFolders(parent)) return false;
  return posix::MakeFolder(host) || (errno == EEXIST && IsDirectory(host));
}

// The sources named by a path whose last component may hold wildcards.
// `ok` is false when a path without wildcards names nothing.
std::vector<Source> FindSources(const std::string& from, uint16_t flags, bool& ok) {
  std::vector<Source> sources;
  ok = true;
  size_t cut = from.find_last_of("\\/");
  std::string mask = cut == std::string::npos ? from : from.substr(cut + 1);
  if (cut == std::string::npos && mask.size() >= 2 && mask[1] == ':') mask = mask.substr(2);
  if (!HasWildcard(mask)) {
    posix::HostPath where = posix::Resolve(from);
    if (!where.exists || !FileOrFolder(posix::LookAt(where.path))) {
      ok = false;
      return sources;
    }
    sources.push_back({where.path, posix::HostName(where.path), where.isDirectory});
    return sources;
  }
  std::string folder = from.substr(0, from.size() - mask.size());
  posix::HostPath where = posix::Resolve(folder.empty() ? std::string(".") : folder);
  if (!where.exists || !where.isDirectory) {
    ok = false;
    return sources;
  }
  Wildcard wildcard(mask);
  for (const auto& entry : posix::ListFolder(where.path)) {
    const std::string& name = entry.name;
    if (!wildcard.Matches(posix::Utf8ToAnsi(name))) continue;
    std::string host = posix::HostJoin(where.path, name);
    const posix::HostEntry found = posix::LookAt(host);
    if (!FileOrFolder(found)) continue;
    bool directory = found.type == posix::HostType::Directory;
    if (directory && (flags & FOF_FILESONLY)) continue;
    sources.push_back({host, name, directory});
  }
  return sources;
}

// Copies one file's bytes, mode and modification time to a temporary file
// beside `target`, then renames it to `target`.
int32_t CopyFile(const std::string& source, const std::string& target) {
  const int error = posix::CopyKeepingHoles(
      source, target, posix::HostJoin(posix::HostParent(target), ".talmirex-copy-XXXXXX"));
  if (error == posix::kNotAPlainFile) return kNoSource;
  return error == 0 ? kDone : CodeOf(error);
}

int32_t CopyTree(const std::string& source, const std::string& target) {
  if (!MakeFolders(target)) return CodeOf(errno);
  for (const auto& entry : posix::ListFolder(source)) {
    const std::string& name = entry.name;
    std::string from = posix::HostJoin(source, name);
    const posix::HostEntry found = posix::LookAt(from);
    if (!FileOrFolder(found)) continue;
    int32_t result = found.type == posix::HostType::Directory
                         ? CopyTree(from, ChildOf(target, name))
                         : CopyFile(from, ChildOf(target, name));
    if (result != kDone) return result;
  }
  return kDone;
}

int32_t RemoveTree(const std::string& host) {
  if (!IsDirectory(host)) return posix::RemoveEntry(host) ? kDone : CodeOf(errno);
  for (const auto& entry : posix::ListFolder(host))
    if (int32_t result = RemoveTree(posix::HostJoin(host, entry.name)); result != kDone)
      return result;
  return posix::RemoveEmptyFolder(host) ? kDone : CodeOf(errno);
}

// One source to one target path, copied or moved.
int32_t Transfer(const Source& source, const std::string& target, bool move, uint16_t flags,
                 bool& aborted) {
  const posix::HostEntry from = posix::LookAt(source.host);
  if (from.type == posix::HostType::None) return CodeOf(errno);
  const posix::HostEntry to = posix::LookAt(target, false);
  const bool targetExists = to.type != posix::HostType::None;
  if (targetExists && posix::SameEntry(from, to)) return kSameFile;
  if (targetExists && !(flags & FOF_NOCONFIRMATION)) {
    // Nobody can be asked here: the replacement counts as declined.
    aborted = true;
    return kCancelled;
  }
  if (targetExists && (to.type == posix::HostType::Directory) != source.isDirectory)
    return kAccessDenied;
  if (move && !(targetExists && source.isDirectory)) {
    if (posix::RenameEntry(source.host, target)) return kDone;
    if (errno != EXDEV) return CodeOf(errno); // across file systems: copy, then remove
  }
  // A folder named as the source of a copy of files only: the shell makes
  // the folder in the target and copies the files it holds, no folder in it.
  if (!move && source.isDirectory && (flags & FOF_FILESONLY)) {
    if (!MakeFolders(target)) return CodeOf(errno);
    for (const auto& entry : posix::ListFolder(source.host)) {
      std::string inner = posix::HostJoin(source.host, entry.name);
      if (posix::LookAt(inner).type != posix::HostType::File) continue;
      if (int32_t result = CopyFile(inner, ChildOf(target, entry.name)); result != kDone)
        return result;
    }
    return kDone;
  }
  int32_t result =
      source.isDirectory ? CopyTree(source.host, target) : CopyFile(source.host, target);
  if (result == kDone && move) result = RemoveTree(source.host);
  return result;
}

int32_t CopyOrMove(const SHFILEOPSTRUCTA& request, bool move, bool& aborted) {
  std::string from = FirstPath(request.pFrom);
  std::string to = FirstPath(request.pTo);
  if (from.empty()) return kInvalidFiles;
  bool ok = false;
  std::vector<Source> sources = FindSources(from, request.fFlags, ok);
  if (!ok) return kNoSource;
  if (sources.empty()) return kDone;
  posix::HostPath target = posix::Resolve(to.empty() ? std::string(".") : to);
  if (!target.driveFound) return kInvalidFiles;
  bool folderTarget = target.exists && target.isDirectory;
  // A copy to a target ending in a separator that is no folder yet: the
  // shell makes the folder, then fails to copy a single source onto the name
  // with the separator, and declares the request aborted.
  if (!move && !to.empty() && (to.back() == '\\' || to.back() == '/') && !folderTarget) {
    if (!target.exists && !MakeFolders(target.path)) return CodeOf(errno);
    if (sources.size() == 1 || target.exists) {
      aborted = true;
      return kCancelled;
    }
    folderTarget = true;
  }
  // Copies of several sources go into the folder the target names, made
  // when missing; a single one, even the only match of a wildcard, onto the
  // target's own name unless that is a folder. A move from a wildcard always
  // goes into a folder.
  bool intoFolder = folderTarget || (move ? HasWildcard(from) : sources.size() > 1);
  if (!move && intoFolder && target.exists && !target.isDirectory) {
    aborted = true;
    return kCancelled;
  }
  if (intoFolder && !MakeFolders(target.path)) return CodeOf(errno);
  if (!intoFolder && !MakeFolders(posix::HostParent(target.path))) return CodeOf(errno);
  for (const Source& source : sources) {
    std::string destination = intoFolder ? ChildOf(target.path, source.name) : target.path;
    // A file meets a folder of its name in the target folder: the shell
    // leaves both alone and goes on without an error.
    if (!move && intoFolder && !source.isDirectory && IsDirectory(destination)) {
      if (!(request.fFlags & FOF_NOCONFIRMATION)) aborted = true;
      continue;
    }
    int32_t result = Transfer(source, destination, move, request.fFlags, aborted);
    if (result != kDone) return result;
  }
  return kDone;
}

int32_t Delete(const SHFILEOPSTRUCTA& request) {
  std::string from = FirstPath(request.pFrom);
  if (from.empty()) return kInvalidFiles;
  bool ok = false;
  std::vector<Source> sources = FindSources(from, request.fFlags, ok);
  if (!ok) return kNoSource;
  for (const Source& source : sources)
    if (int32_t result = RemoveTree(source.host); result != kDone) return result;
  return kDone;
}

int32_t Rename(const SHFILEOPSTRUCTA& request) {
  std::string from = FirstPath(request.pFrom);
  std::string to = FirstPath(request.pTo);
  if (from.empty() || to.empty() || HasWildcard(from) || HasWildcard(to)) return kInvalidFiles;
  posix::HostPath source = posix::Resolve(from);
  if (!source.exists) return kNoSource;
  // A bare new name stays in the source's folder.
  std::string target;
  if (to.find_first_of("\\/:") == std::string::npos) {
    target = posix::HostJoin(posix::HostParent(source.path), posix::AnsiToUtf8(to));
  } else {
    posix::HostPath where = posix::Resolve(to);
    if (!where.parentExists) return kInvalidFiles;
    target = where.path;
  }
  const posix::HostEntry existing = posix::LookAt(target, false);
  if (existing.type != posix::HostType::None) {
    const posix::HostEntry named = posix::LookAt(source.path);
    if (named.type != posix::HostType::None && !posix::SameEntry(named, existing))
      return kAlreadyExists;
  }
  return posix::RenameEntry(source.path, target) ? kDone : CodeOf(errno);
}

class PosixShell final : public Shell {
public:
  int32_t SHFileOperationA(SHFILEOPSTRUCTA& request) override {
    request.fAnyOperationsAborted = false;
    try {
      switch (request.wFunc) {
      case FO_COPY:
        return CopyOrMove(request, false, request.fAnyOperationsAborted);
      case FO_MOVE:
        return CopyOrMove(request, true, request.fAnyOperationsAborted);
      case FO_DELETE:
        return Delete(request);
      case FO_RENAME:
        return Rename(request);
      default:
        return kInvalidParameter;
      }
    } catch (const RuntimeError&) {
      return kInvalidFiles; // a name Windows forbids
    }
  }
};

} // namespace

std::shared_ptr<Shell> Shell::Native() {
  return std::make_shared<PosixShell>();
}

} // namespace platform
