// The file-system service on Linux, with the semantics of Wine's kernel32.

#include "platform/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/Program.h"
#include "platform/RuntimeError.h"
#include "platform/posix/Ansi.h"
#include "platform/posix/Errors.h"
#include "platform/posix/Wildcard.h"
#include "platform/posix/WinePath.h"

namespace platform {
namespace {

using posix::HostPath;

class PosixInputFile final : public InputFile {
public:
  PosixInputFile(int fd, uint64_t length) : fd_(fd), length_(length) {}
  ~PosixInputFile() override { ::close(fd_); }
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  uint64_t Length() const override { return length_; }

  size_t Read(unsigned char* buffer, size_t count) override {
    size_t done = 0;
    while (done < count) {
      ssize_t n = ::read(fd_, buffer + done, count - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw RuntimeError(RuntimeError::DeviceIOError);
      }
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

private:
  int fd_;
  uint64_t length_;
};

// Splits a pattern into its folder part and its last component.
std::pair<std::string, std::string> SplitPattern(const std::string& pattern) {
  size_t cut = pattern.find_last_of("\\/");
  if (cut != std::string::npos) {
    std::string folder = pattern.substr(0, cut);
    if (folder.empty() || (folder.size() == 2 && folder[1] == ':')) folder += '\\';
    return {folder, pattern.substr(cut + 1)};
  }
  if (pattern.size() >= 2 && pattern[1] == ':') return {pattern.substr(0, 2), pattern.substr(2)};
  return {"", pattern};
}

// The ANSI file functions take at most 260 characters.
void RequireShortEnough(const std::string& path) {
  if (path.size() > 260) throw RuntimeError(RuntimeError::BadFileName);
}

bool IsNetworkPath(const std::string& path) {
  return path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
         (path[1] == '\\' || path[1] == '/');
}

bool IsBareDrive(const std::string& path) {
  return path.size() == 2 && path[1] == ':';
}

// The entries of a pattern's folder that match its last component, in
// listing order; hidden (dot) entries match only as AnyFile. Entries are examined one
// at a time, as they are asked for.
class Listing final : public FileEnumeration {
public:
  Listing(const std::string& pattern, EntryKinds kinds) : kinds_(kinds) {
    RequireShortEnough(pattern);
    auto [folder, mask] = SplitPattern(pattern);
    HostPath where = posix::Resolve(folder);
    if (!where.driveFound) throw RuntimeError(RuntimeError::DeviceUnavailable);
    if (!where.exists || !where.isDirectory || mask.empty()) return;
    // The folder's own path, links resolved once rather than at every look.
    char real[PATH_MAX];
    folder_ = ::realpath(where.path.c_str(), real) ? real : where.path;
    std::string name = posix::AnsiToUtf8(mask);
    wildcard_.emplace(name);
    // A plain name that is there in exactly this spelling is that entry, as
    // Wine finds it, without reading the whole folder.
    struct stat st;
    if (name.find_first_of("*?<>\"") == std::string::npos && name.back() != '.' &&
        name.back() != ' ' && ::lstat((folder_ + "/" + name).c_str(), &st) == 0) {
      entries_.push_back({name, DT_UNKNOWN});
      return;
    }
    entries_ = posix::ListFolder(folder_);
  }

  std::string Next() override {
    while (next_ < entries_.size()) {
      const posix::FolderEntry& entry = entries_[next_++];
      if (!wildcard_->Matches(entry.name) || !Wanted(entry)) continue;
      if (kinds_ != EntryKinds::AnyFile && kinds_ != EntryKinds::AnyEntry &&
          HiddenOrSystem(entry.name))
        continue;
      return posix::Utf8ToAnsi(entry.name);
    }
    return {};
  }

private:
  // As Wine shows them: dot files are hidden, and so is what carries the
  // hidden or system bit in the DOS attributes Wine keeps beside a file.
  bool HiddenOrSystem(const std::string& name) const {
    if (name[0] == '.') return true;
    char value[32];
    ssize_t n =
        ::getxattr((folder_ + "/" + name).c_str(), "user.DOSATTRIB", value, sizeof value - 1);
    if (n <= 0) return false;
    value[n] = 0;
    unsigned long attributes = std::strtoul(value, nullptr, 0);
    return (attributes & (0x2 | 0x4)) != 0; // FILE_ATTRIBUTE_HIDDEN, _SYSTEM
  }

  bool Wanted(const posix::FolderEntry& entry) const {
    bool directoriesToo =
        kinds_ == EntryKinds::FilesAndDirectories || kinds_ == EntryKinds::AnyEntry;
    if (entry.type == DT_REG) return true;
    if (entry.type == DT_DIR) return directoriesToo;
    struct stat st; // a link, or a file system that does not tell the type
    if (::stat((folder_ + "/" + entry.name).c_str(), &st) != 0) return false;
    return S_ISREG(st.st_mode) || (directoriesToo && S_ISDIR(st.st_mode));
  }

  EntryKinds kinds_;
  std::string folder_;
  std::optional<posix::Wildcard> wildcard_;
  std::vector<posix::FolderEntry> entries_;
  size_t next_ = 0;
};

// The resolved path of a file that an operation is about to touch; raises
// the error Windows gives when its folder or drive is missing.
HostPath ResolveInExistingFolder(const std::string& path) {
  HostPath where = posix::Resolve(path);
  if (!where.driveFound || !where.parentExists) throw RuntimeError(RuntimeError::PathNotFound);
  return where;
}

// OpenFile keeps the full path in a record of 128 characters: a longer
// one fails. The file is opened for reading to see that it is there.
bool ExistsForOpenFile(const std::string& path) {
  if (posix::FullPath(path).size() >= 128) return false;
  HostPath where = posix::Resolve(path);
  return where.exists && !where.isDirectory && ::access(where.path.c_str(), R_OK) == 0;
}

class PosixFileSystem final : public FileSystem {
public:
  std::unique_ptr<FileEnumeration> EnumerateFiles(const std::string& pattern) override {
    return std::make_unique<Listing>(pattern, EntryKinds::FilesOnly);
  }

  std::string FirstEntry(const std::string& path, EntryKinds kinds) override {
    if (path.empty()) return ".";
    if (IsBareDrive(path)) {
      if (!posix::Resolve(path + "\\").driveFound)
        throw RuntimeError(RuntimeError::DeviceUnavailable);
      return {};
    }
    return Listing(path, kinds).Next();
  }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
    // The path as written first: one system call in the common case.
    RequireShortEnough(path);
    int fd = -1;
    if (!IsNetworkPath(path)) {
      fd = ::open(posix::DirectPath(path).c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0 && errno != ENOENT && errno != ENOTDIR) throw posix::ErrorFromErrno(errno);
    }
    if (fd < 0) {
      HostPath where = ResolveInExistingFolder(path);
      if (!where.exists) throw RuntimeError(RuntimeError::FileNotFound);
      fd = ::open(where.path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) throw posix::ErrorFromErrno(errno);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
      ::close(fd);
      throw posix::ErrorFromErrno(error); // a folder cannot be read as a file: 75
    }
    return std::make_unique<PosixInputFile>(fd, static_cast<uint64_t>(st.st_size));
  }

  int OpenFileExist(const std::string& path) override {
    try {
      RequireShortEnough(path);
      if (path.find_first_of("\\/:") == std::string::npos && !path.empty()) {
        // A bare name: where OpenFile looks for it.
        for (std::string folder :
             {program().Folder(), posix::FullPath("."), std::string("C:\\windows\\system32"),
              std::string("C:\\windows\\system"), std::string("C:\\windows")}) {
          if (folder.back() != '\\') folder += '\\';
          if (ExistsForOpenFile(folder + path)) return 1;
        }
        return -1;
      }
      return ExistsForOpenFile(path) ? 1 : -1;
    } catch (const RuntimeError&) {
      return -1;
    }
  }

  void MakeDirectory(const std::string& path) override {
    RequireShortEnough(path);
    HostPath where = ResolveInExistingFolder(path);
    if (where.exists) throw RuntimeError(RuntimeError::PathFileAccessError);
    if (::mkdir(where.path.c_str(), 0777) != 0) throw posix::ErrorFromErrno(errno);
  }

  void CreateNewFile(const std::string& path) override {
    RequireShortEnough(path);
    HostPath where = ResolveInExistingFolder(path);
    if (where.exists) throw RuntimeError(RuntimeError::PathFileAccessError);
    int fd = ::open(where.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) throw posix::ErrorFromErrno(errno);
    ::close(fd);
  }

  void RemoveFile(const std::string& path) override {
    RequireShortEnough(path);
    HostPath where = ResolveInExistingFolder(path);
    if (!where.exists) throw RuntimeError(RuntimeError::FileNotFound);
    struct stat st;
    if (where.isDirectory || ::stat(where.path.c_str(), &st) != 0 || !(st.st_mode & S_IWUSR))
      throw RuntimeError(RuntimeError::PathFileAccessError); // folders and read-only files
    if (::unlink(where.path.c_str()) != 0) throw posix::ErrorFromErrno(errno);
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    try {
      HostPath x = posix::Resolve(a), y = posix::Resolve(b);
      struct stat sx, sy;
      if (!x.exists || !y.exists || ::stat(x.path.c_str(), &sx) != 0 ||
          ::stat(y.path.c_str(), &sy) != 0)
        return false;
      return sx.st_dev == sy.st_dev && sx.st_ino == sy.st_ino;
    } catch (const RuntimeError&) {
      return false;
    }
  }

  LocalTime LastModified(const std::string& path) override {
    RequireShortEnough(path);
    HostPath where = ResolveInExistingFolder(path);
    struct stat st;
    if (!where.exists || ::stat(where.path.c_str(), &st) != 0)
      throw RuntimeError(RuntimeError::FileNotFound);
    std::tm tm{};
    ::localtime_r(&st.st_mtime, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday,
                     tm.tm_hour,        tm.tm_min,     tm.tm_sec};
  }

  EntryFacts Examine(const std::string& path) override {
    RequireShortEnough(path);
    EntryFacts facts;
    HostPath where = posix::Resolve(path);
    struct stat st;
    if (!where.driveFound || !where.parentExists || ::lstat(where.path.c_str(), &st) != 0)
      return facts;
    facts.name = posix::Utf8ToAnsi(where.path.substr(where.path.find_last_of('/') + 1));
    facts.link = S_ISLNK(st.st_mode);
    if (facts.link && ::stat(where.path.c_str(), &st) != 0) {
      facts.type = EntryType::Other; // a link that leads nowhere
      return facts;
    }
    facts.type = S_ISREG(st.st_mode)   ? EntryType::File
                 : S_ISDIR(st.st_mode) ? EntryType::Directory
                                       : EntryType::Other;
    return facts;
  }

  std::vector<std::string> FolderNames(const std::string& folder) override {
    RequireShortEnough(folder);
    std::vector<std::string> names;
    HostPath where = posix::Resolve(folder);
    if (!where.exists || !where.isDirectory) return names;
    for (const posix::FolderEntry& entry : posix::ListFolder(where.path))
      names.push_back(posix::Utf8ToAnsi(entry.name));
    return names;
  }

  void RenameOnto(const std::string& from, const std::string& to) override {
    RequireShortEnough(from);
    RequireShortEnough(to);
    HostPath source = ResolveInExistingFolder(from);
    auto [folder, name] = SplitPattern(to);
    HostPath parent = posix::Resolve(folder);
    if (!parent.exists || !parent.isDirectory || name.empty())
      throw RuntimeError(RuntimeError::PathNotFound);
    const std::string target = parent.path + "/" + posix::AnsiToUtf8(name);
    struct stat st;
    if (::lstat(source.path.c_str(), &st) != 0) throw RuntimeError(RuntimeError::FileNotFound);
    if (::lstat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      throw RuntimeError(RuntimeError::PathFileAccessError);
    if (::rename(source.path.c_str(), target.c_str()) != 0) throw posix::ErrorFromErrno(errno);
  }

  void RemoveFolder(const std::string& path) override {
    RequireShortEnough(path);
    HostPath where = ResolveInExistingFolder(path);
    if (!where.exists || !where.isDirectory) throw RuntimeError(RuntimeError::PathNotFound);
    if (::rmdir(where.path.c_str()) != 0) throw posix::ErrorFromErrno(errno);
  }
};

} // namespace

std::shared_ptr<FileSystem> FileSystem::Native() {
  return std::make_shared<PosixFileSystem>();
}

} // namespace platform
