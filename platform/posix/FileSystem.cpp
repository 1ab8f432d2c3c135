// The file-system service on Linux, with the semantics of Wine's kernel32.

#include "platform/FileSystem.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <new>
#include <optional>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/FileNames.h"
#include "platform/Program.h"
#include "platform/RuntimeError.h"
#include "platform/posix/Ansi.h"
#include "platform/posix/Errors.h"
#include "platform/posix/HostFiles.h"
#include "platform/posix/WinePath.h"

namespace platform {
namespace {

using posix::HostPath;

// Reads ahead in large blocks: the search asks for 4096 bytes at a time,
// and one system call per 4096 bytes would cost more than the search itself.
// ReadOn hands out the blocks where they were read, behind the bytes the
// caller keeps, so nothing is copied again. The buffer holds one read ahead
// (kAhead) and what is kept of the read before: the caller's `behind` bytes
// and those not yet taken, rounded up to 64 bytes, which for the search is a
// few KiB; whatever the file's size, no more than that is held.
class PosixInputFile final : public InputFile {
public:
  // `sparse`: the file takes fewer blocks on the disk than its length needs,
  // so it may have holes.
  PosixInputFile(int fd, uint64_t length, bool sparse)
      : fd_(fd), length_(length), sparse_(sparse) {}
  ~PosixInputFile() override {
    ::close(fd_);
    // The buffer of the usual size waits for the next file: a fresh one of
    // this size would come as new pages from the system, zeroed each time.
    if (capacity_ == kUsual) std::free(spare_.exchange(buffer_.release()));
  }
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  uint64_t Length() const override { return length_; }

  size_t Read(unsigned char* buffer, size_t count) override {
    size_t done = 0;
    while (done < count) {
      if (next_ == filled_) {
        if (ended_) break;
        if (count - done >= kAhead) { // large requests go straight to the caller's buffer
          size_t got = Fill(buffer + done, count - done);
          if (got == 0) break;
          done += got;
          continue;
        }
        Refill(0, 1);
        if (next_ == filled_) break;
      }
      size_t n = std::min(count - done, filled_ - next_);
      std::memcpy(buffer + done, buffer_.get() + next_, n);
      next_ += n;
      done += n;
    }
    return done;
  }

  const unsigned char* ReadOn(size_t count, size_t behind, size_t& got) override {
    if (filled_ - next_ < count && !ended_) Refill(behind, count);
    got = std::min(count, filled_ - next_);
    const unsigned char* at = buffer_.get() + next_;
    next_ += got;
    return at;
  }

  uint64_t SkipHole() override {
    if (!sparse_ || next_ != filled_ || ended_) return 0; // what was read ahead comes first
    const off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) return 0;
    off_t data = ::lseek(fd_, at, SEEK_DATA);
    if (data < 0 && errno == ENXIO) data = ::lseek(fd_, 0, SEEK_END); // a hole up to the end
    if (data < 0) {
      ::lseek(fd_, at, SEEK_SET); // no holes known here
      return 0;
    }
    return static_cast<uint64_t>(data - at);
  }

private:
  static constexpr size_t kAhead = 128 * 1024;
  static constexpr size_t kAlign = 64;
  static constexpr size_t kUsual = kAhead + 4096; // a read ahead, what the search keeps
  static inline std::atomic<unsigned char*> spare_{nullptr};

  struct Free {
    void operator()(unsigned char* p) const { std::free(p); }
  };

  // Moves the `behind` bytes before the next one and those not yet taken to
  // the front, then reads on behind them until `count` bytes are there or
  // the file ends. Reads land at an aligned address.
  void Refill(size_t behind, size_t count) {
    behind = std::min(behind, next_);
    const size_t from = next_ - behind, keep = filled_ - from;
    const size_t front = (keep + kAlign - 1) / kAlign * kAlign;
    const size_t ahead = std::max(kAhead, count);
    if (front + ahead > capacity_) {
      size_t capacity = std::max(kUsual, (front + ahead + 4095) / 4096 * 4096);
      std::unique_ptr<unsigned char[], Free> grown(capacity == kUsual ? spare_.exchange(nullptr)
                                                                      : nullptr);
      if (!grown) grown.reset(static_cast<unsigned char*>(std::aligned_alloc(4096, capacity)));
      if (!grown) throw std::bad_alloc();
      if (keep > 0) std::memcpy(grown.get() + front - keep, buffer_.get() + from, keep);
      buffer_ = std::move(grown);
      capacity_ = capacity;
    } else if (keep > 0) {
      std::memmove(buffer_.get() + front - keep, buffer_.get() + from, keep);
    }
    next_ = front - keep + behind;
    filled_ = front;
    while (filled_ - next_ < count && !ended_)
      filled_ += Fill(buffer_.get() + filled_, front + ahead - filled_);
  }

  // One read, or until the end; 0 only at the end of the file.
  size_t Fill(unsigned char* into, size_t count) {
    for (;;) {
      ssize_t n = ::read(fd_, into, count);
      if (n < 0) {
        if (errno == EINTR) continue;
        throw RuntimeError(RuntimeError::DeviceIOError);
      }
      if (n == 0) ended_ = true;
      return static_cast<size_t>(n);
    }
  }

  int fd_;
  uint64_t length_;
  bool sparse_;
  std::unique_ptr<unsigned char[], Free> buffer_;
  size_t capacity_ = 0;
  size_t next_ = 0, filled_ = 0;
  bool ended_ = false;
};

// Splits a pattern into the folder to look in and its last component,
// after folding a last component "." or ".." away as Windows does.
struct SplitPath {
  std::string folder; // the folder to look in
  std::string mask;   // the last component
};

SplitPath SplitPattern(const std::string& pattern) {
  PathParts parts = SplitWindowsPath(FoldDotComponents(pattern));
  SplitPath split{std::move(parts.folder), std::move(parts.name)};
  // "\oem*.inf" and "c:\oem*.inf" look in a root folder.
  if (parts.separated &&
      (split.folder.empty() || (split.folder.size() == 2 && split.folder[1] == ':')))
    split.folder += '\\';
  return split;
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

bool EndsInSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

bool IsConsole(const std::string& device) {
  std::string upper = AsciiUpper(device);
  return upper == "CON" || upper == "CONIN$" || upper == "CONOUT$";
}

// What Wine answers for a DOS device that a file operation meets where it
// expected a file: the console cannot be used so (57), a port or printer
// without a device behind it is not found (53).
RuntimeError DeviceError(const std::string& device) {
  return RuntimeError(IsConsole(device) ? RuntimeError::DeviceIOError : RuntimeError::FileNotFound);
}

bool IsNul(const std::string& device) {
  return AsciiUpper(device) == "NUL";
}

// As Wine shows them: dot files are hidden, and so is what carries the
// hidden or system bit in the DOS attributes Wine keeps beside a file.
bool MarkedHiddenOrSystem(const char* value, ssize_t n) {
  if (n <= 0) return false;
  std::string text(value, static_cast<size_t>(n));
  unsigned long attributes = std::strtoul(text.c_str(), nullptr, 0);
  return (attributes & (0x2 | 0x4)) != 0; // FILE_ATTRIBUTE_HIDDEN, _SYSTEM
}

bool HiddenOrSystem(const std::string& folder, const std::string& name) {
  if (name[0] == '.') return true;
  char value[32];
  std::string path = posix::HostJoin(folder, name);
  return MarkedHiddenOrSystem(value,
                              ::getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value));
}

// The same for a file already open.
bool HiddenOrSystem(int fd) {
  char value[32];
  return MarkedHiddenOrSystem(value, ::fgetxattr(fd, "user.DOSATTRIB", value, sizeof value));
}

// Whether an entry is of the kinds asked for. Links are followed, as Wine
// follows them; a dangling link is nothing.
bool Wanted(int folderFd, const std::string& name, unsigned char type, EntryKinds kinds) {
  bool directoriesToo = kinds == EntryKinds::FilesAndDirectories || kinds == EntryKinds::AnyEntry;
  if (type == DT_REG) return true;
  if (type == DT_DIR) return directoriesToo;
  struct stat st;
  if (::fstatat(folderFd, name.c_str(), &st, 0) != 0) return false;
  if (S_ISREG(st.st_mode)) return true;
  if (S_ISDIR(st.st_mode)) return directoriesToo;
  // A pipe, socket or device: no ordinary file, but something is there.
  return kinds != EntryKinds::FilesOnly;
}

constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// Opens a file for reading from its descriptor (below).
std::unique_ptr<InputFile> ReadableFile(int fd);

// Whether a listing opens the files it names, for a caller that reads each.
enum class OpenListed { No, Yes };

// The entries of a pattern's folder that match its last component, in
// listing order; hidden (dot) entries match only as AnyFile. Entries are
// examined one at a time, as they are asked for.
class Listing final : public FileEnumeration {
public:
  Listing(const std::string& pattern, EntryKinds kinds, OpenListed open = OpenListed::No)
      : kinds_(kinds), open_(open == OpenListed::Yes) {
    RequireShortEnough(pattern);
    SplitPath split = SplitPattern(pattern);
    HostPath where = posix::Resolve(split.folder);
    if (!where.driveFound) throw RuntimeError(RuntimeError::DeviceUnavailable);
    if (!where.exists || !where.isDirectory || split.mask.empty()) return;
    // The folder's own path, links resolved once rather than at every look.
    // A held folder is named through its descriptor, which its real path
    // would bypass.
    char real[PATH_MAX];
    folder_ = where.path.rfind("/proc/self/fd/", 0) != 0 && ::realpath(where.path.c_str(), real)
                  ? real
                  : where.path;
    fd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
      if (errno == EACCES) throw RuntimeError(RuntimeError::PathFileAccessError);
      return;
    }
    if (std::string device = DosDeviceName(split.mask); !device.empty()) {
      device_ = device; // the device itself, whatever the folder holds
    } else if (!HasWildcards(split.mask)) {
      Single(split.mask);
    } else {
      wildcard_.emplace(split.mask);
      entries_ = posix::ListFolder(folder_);
    }
  }
  ~Listing() override {
    if (fd_ >= 0) ::close(fd_);
    DropOpened();
  }
  Listing(const Listing&) = delete;
  Listing& operator=(const Listing&) = delete;

  // The file opened as it was listed, relative to the listing's folder: its
  // attributes came without a second look-up of its name, and a folder
  // spelt in another case than on disk is looked up once, not per file.
  std::unique_ptr<InputFile> TakeOpened() override {
    if (opened_ < 0) return nullptr;
    return ReadableFile(std::exchange(opened_, -1));
  }

  std::string Next() override {
    if (!device_.empty()) return std::exchange(device_, {});
    DropOpened();
    while (next_ < entries_.size()) {
      const posix::FolderEntry& entry = entries_[next_++];
      std::string name = posix::Utf8ToAnsi(entry.name);
      if (wildcard_ && !wildcard_->Matches(name)) continue;
      if (!IsWindowsName(name) || !Wanted(fd_, entry.name, entry.type, kinds_)) continue;
      if (kinds_ == EntryKinds::AnyFile || kinds_ == EntryKinds::AnyEntry) return name;
      if (entry.name[0] == '.') continue;
      // A file listed for the search is about to be read: opened now, its
      // attributes come without a second look-up of its name.
      int fd = open_ ? ::openat(fd_, entry.name.c_str(), kReadFlags) : -1;
      if (fd < 0) {
        if (HiddenOrSystem(folder_, entry.name)) continue;
        return name;
      }
      if (HiddenOrSystem(fd)) {
        ::close(fd);
        continue;
      }
      opened_ = fd;
      return name;
    }
    return {};
  }

private:
  void DropOpened() {
    if (opened_ >= 0) ::close(opened_);
    opened_ = -1;
  }

  // A name without wildcards: the entry of exactly that spelling when there
  // is one, else the first that differs from it in letter case only.
  void Single(const std::string& mask) {
    std::string name = mask;
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
      name.pop_back();
    if (!IsWindowsName(name)) return;
    std::string utf8 = posix::AnsiToUtf8(name);
    struct stat st;
    if (::fstatat(fd_, utf8.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
      entries_.push_back({utf8, DT_UNKNOWN});
      return;
    }
    for (auto& entry : posix::ListFolder(folder_))
      if (posix::EqualNoCase(entry.name, utf8)) {
        entries_.push_back(entry);
        return;
      }
  }

  EntryKinds kinds_;
  bool open_;
  int opened_ = -1; // the file last named, opened as it was listed
  std::string folder_;
  int fd_ = -1;
  std::string device_;
  std::optional<Wildcard> wildcard_;
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
// one fails. The file is opened for reading to see that it is there; only
// an ordinary file (through a link or not) is.
bool ExistsForOpenFile(const std::string& path) {
  if (EndsInSeparator(path) || !DosDeviceName(path).empty()) return false;
  if (posix::FullPath(path).size() >= 128) return false;
  HostPath where = posix::Resolve(path);
  struct stat st;
  return where.exists && ::stat(where.path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         ::access(where.path.c_str(), R_OK) == 0;
}

// Opens what a path names for reading, without waiting on a pipe or device,
// and keeps it only when it is an ordinary file.
std::unique_ptr<InputFile> ReadableFile(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    int error = errno;
    bool statted = ::fstat(fd, &st) == 0;
    ::close(fd);
    // A folder, pipe, socket or device cannot be read as a file: 75.
    throw statted ? RuntimeError(RuntimeError::PathFileAccessError) : posix::ErrorFromErrno(error);
  }
  return std::make_unique<PosixInputFile>(fd, static_cast<uint64_t>(st.st_size),
                                          st.st_blocks * 512 < st.st_size);
}

// A name for the private place that names a held folder: the folder's own
// name when it is a plain one, else a stand-in.
std::string PlainName(const std::string& name) {
  bool plain = !name.empty() && name.back() != '.' && name.back() != ' ' &&
               name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                      "0123456789._- ") == std::string::npos;
  return plain ? name : "folder";
}

// Removes the entry `name` of `folder` with what it holds, never through a
// link: the leftovers of a held folder's place, at most `depth` deep.
void RemoveTreeAt(int folder, const char* name, int depth) {
  int fd = ::openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    if (DIR* dir = depth > 0 ? ::fdopendir(::dup(fd)) : nullptr) {
      while (dirent* entry = ::readdir(dir))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
          RemoveTreeAt(fd, entry->d_name, depth - 1);
      ::closedir(dir);
    }
    ::close(fd);
    ::unlinkat(folder, name, AT_REMOVEDIR);
  } else {
    ::unlinkat(folder, name, 0);
  }
}

// The private place that names this process's held folders: one folder in
// /tmp, made at the first held folder and removed with the last, that only
// this process's user may use (mode 0700) and that is itself reached only
// through its descriptor. For each held folder it holds <n>/<label>/<name>,
// a link to /proc/self/fd/<descriptor>. What a process that was ended
// before it could remove its place left there goes when the next one makes
// its own.
class HeldPlace {
public:
  static HeldPlace& Get() {
    static HeldPlace place;
    return place;
  }

  // A Windows path that leads to `fd` and ends in <label>\<name>; `slot`
  // gets what Remove takes.
  std::string Add(int fd, const std::string& label, const std::string& name, std::string& slot) {
    if (fd_ < 0) Make();
    slot = std::to_string(++made_);
    const std::string target = "/proc/self/fd/" + std::to_string(fd);
    if (::mkdirat(fd_, slot.c_str(), 0700) != 0 ||
        ::mkdirat(fd_, posix::HostJoin(slot, label).c_str(), 0700) != 0 ||
        ::symlinkat(target.c_str(), fd_,
                    posix::HostJoin(posix::HostJoin(slot, label), name).c_str()) != 0) {
      int error = errno;
      Remove(slot);
      throw posix::ErrorFromErrno(error);
    }
    ++users_;
    return "\\\\?\\unix\\proc\\self\\fd\\" + std::to_string(fd_) + "\\" + slot + "\\" +
           posix::Utf8ToAnsi(label) + "\\" + posix::Utf8ToAnsi(name);
  }

  void Remove(const std::string& slot) {
    if (fd_ < 0) return;
    RemoveTreeAt(fd_, slot.c_str(), 2);
    if (users_ > 0 && --users_ == 0) {
      ::close(fd_);
      fd_ = -1;
      ::rmdir(root_.c_str());
    }
  }

private:
  static constexpr const char* kStem = ".talmirex-held-";

  void Make() {
    SweepLeftovers();
    std::string root = "/tmp/" + std::string(kStem) + std::to_string(::getpid()) + "-XXXXXX";
    if (!::mkdtemp(root.data())) throw posix::ErrorFromErrno(errno);
    fd_ = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) {
      int error = errno;
      ::rmdir(root.c_str());
      throw posix::ErrorFromErrno(error);
    }
    root_ = root;
  }

  // The places of this user's processes that are no more.
  static void SweepLeftovers() {
    int tmp = ::open("/tmp", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (tmp < 0) return;
    if (DIR* dir = ::fdopendir(::dup(tmp))) {
      const size_t stem = std::strlen(kStem);
      while (dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, kStem, stem) != 0) continue;
        long pid = std::strtol(entry->d_name + stem, nullptr, 10);
        struct stat st;
        if (pid <= 0 || pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 ||
            errno != ESRCH || ::fstatat(tmp, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
          continue;
        RemoveTreeAt(tmp, entry->d_name, 3);
      }
      ::closedir(dir);
    }
    ::close(tmp);
  }

  int fd_ = -1;
  std::string root_;
  unsigned made_ = 0;
  int users_ = 0;
};

// A held folder, named through the place above. So Path() ends in the
// folder's own name, as a path through the folder above it would, but no
// name that anyone else can change lies on the way.
class PosixFolder final : public Folder {
public:
  PosixFolder(int fd, const std::string& label, const std::string& name)
      : fd_(fd), name_(PlainName(name)) {
    try {
      path_ = HeldPlace::Get().Add(fd_, PlainName(label), name_, slot_);
    } catch (...) {
      ::close(fd_);
      throw;
    }
  }
  ~PosixFolder() override {
    HeldPlace::Get().Remove(slot_);
    ::close(fd_);
  }
  PosixFolder(const PosixFolder&) = delete;
  PosixFolder& operator=(const PosixFolder&) = delete;

  const std::string& Path() const override { return path_; }
  int Descriptor() const { return fd_; }
  const std::string& Name() const { return name_; }

private:
  int fd_;
  std::string name_;
  std::string slot_;
  std::string path_;
};

// Opens the entry `utf8` of a held folder as a folder, never through a
// link; a name of another letter case is taken when there is no exact one.
int OpenChildFolder(const PosixFolder& parent, const std::string& utf8) {
  constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::openat(parent.Descriptor(), utf8.c_str(), flags);
  int error = fd < 0 ? errno : 0;
  if (error == ENOENT) {
    for (const posix::FolderEntry& entry :
         posix::ListFolder("/proc/self/fd/" + std::to_string(parent.Descriptor())))
      if (posix::EqualNoCase(entry.name, utf8)) {
        fd = ::openat(parent.Descriptor(), entry.name.c_str(), flags);
        error = fd < 0 ? errno : 0;
        break;
      }
  }
  if (fd >= 0) return fd;
  if (error == ELOOP || error == ENOTDIR) throw RuntimeError(RuntimeError::PermissionDenied);
  if (error == ENOENT) throw RuntimeError(RuntimeError::PathNotFound);
  throw posix::ErrorFromErrno(error);
}

class PosixFileSystem final : public FileSystem {
public:
  std::unique_ptr<FileEnumeration> EnumerateFiles(const std::string& pattern) override {
    // Whoever lists files reads them: each is opened as it is looked at.
    return std::make_unique<Listing>(pattern, EntryKinds::FilesOnly, OpenListed::Yes);
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
    RequireShortEnough(path);
    if (std::string device = DosDeviceName(path); !device.empty()) {
      if (IsNul(device)) throw RuntimeError(RuntimeError::PathFileAccessError);
      throw DeviceError(device);
    }
    if (EndsInSeparator(path)) throw RuntimeError(RuntimeError::BadFileName);
    int fd = -1;
    // The path as written: one system call in the common case.
    if (!IsNetworkPath(path)) {
      fd = ::open(posix::DirectPath(path).c_str(), kReadFlags);
      if (fd < 0 && errno != ENOENT && errno != ENOTDIR) throw posix::ErrorFromErrno(errno);
    }
    if (fd < 0) {
      HostPath where = ResolveInExistingFolder(path);
      if (!where.exists) throw RuntimeError(RuntimeError::FileNotFound);
      fd = ::open(where.path.c_str(), kReadFlags);
      if (fd < 0) throw posix::ErrorFromErrno(errno);
    }
    return ReadableFile(fd);
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
    if (std::string device = DosDeviceName(path); !device.empty()) {
      if (IsNul(device)) return; // Wine says yes and makes nothing
      throw DeviceError(device);
    }
    if (where.exists) throw RuntimeError(RuntimeError::PathFileAccessError);
    if (::mkdir(where.path.c_str(), 0777) != 0) throw posix::ErrorFromErrno(errno);
  }

  void CreateNewFile(const std::string& path) override {
    RequireShortEnough(path);
    HostPath where = ResolveInExistingFolder(path);
    if (std::string device = DosDeviceName(path); !device.empty()) {
      if (IsNul(device)) return; // the device opens; no file is made
      throw DeviceError(device);
    }
    if (EndsInSeparator(path)) throw RuntimeError(RuntimeError::BadFileName);
    if (where.exists) throw RuntimeError(RuntimeError::PathFileAccessError);
    int fd = ::open(where.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) throw posix::ErrorFromErrno(errno);
    ::close(fd);
  }

  void RemoveFile(const std::string& path) override {
    RequireShortEnough(path);
    HostPath where = ResolveInExistingFolder(path);
    if (std::string device = DosDeviceName(path); !device.empty()) {
      if (IsNul(device)) throw RuntimeError(RuntimeError::InvalidProcedureCall);
      throw DeviceError(device);
    }
    if (!where.exists) throw RuntimeError(RuntimeError::FileNotFound);
    if (EndsInSeparator(path) && !where.isDirectory) throw RuntimeError(RuntimeError::BadFileName);
    struct stat own, target;
    if (where.isDirectory || ::lstat(where.path.c_str(), &own) != 0 ||
        ::stat(where.path.c_str(), &target) != 0)
      throw RuntimeError(RuntimeError::PathFileAccessError); // folders, links to folders too
    if (S_ISLNK(own.st_mode)) {
      // A link goes as a link: what it points to stays. A link to a pipe or
      // device is refused as the Windows build refuses every link.
      if (!S_ISREG(target.st_mode)) throw RuntimeError(RuntimeError::PathFileAccessError);
      if (::unlink(where.path.c_str()) != 0) throw posix::ErrorFromErrno(errno);
      return;
    }
    if (!S_ISREG(target.st_mode)) // a pipe, socket or device: Wine refuses it so
      throw RuntimeError(RuntimeError::InvalidProcedureCall);
    if (!(target.st_mode & S_IWUSR))
      throw RuntimeError(RuntimeError::PathFileAccessError); // read-only files
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
    if (EndsInSeparator(path)) return facts; // names no file
    if (std::string device = DosDeviceName(path); !device.empty()) {
      facts.name = device; // the device, whatever the folder holds
      facts.type = EntryType::Other;
      return facts;
    }
    HostPath where = posix::Resolve(path);
    struct stat st;
    if (!where.driveFound || !where.parentExists || ::lstat(where.path.c_str(), &st) != 0)
      return facts;
    facts.name = posix::Utf8ToAnsi(posix::HostName(where.path));
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
    // As FindFirstFileA lists them: look-alikes for what the code page lacks.
    for (const posix::FolderEntry& entry : posix::ListFolder(where.path))
      names.push_back(posix::Utf8ToAnsiBestFit(entry.name));
    return names;
  }

  void RenameOnto(const std::string& from, const std::string& to) override {
    RequireShortEnough(from);
    RequireShortEnough(to);
    HostPath source = ResolveInExistingFolder(from);
    SplitPath split = SplitPattern(to);
    HostPath parent = posix::Resolve(split.folder);
    if (!parent.exists || !parent.isDirectory || split.mask.empty())
      throw RuntimeError(RuntimeError::PathNotFound);
    const std::string target = posix::HostJoin(parent.path, posix::AnsiToUtf8(split.mask));
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
  void FlushToDisk(const std::string& folder) override {
    RequireShortEnough(folder);
    HostPath where = ResolveInExistingFolder(folder);
    if (!where.exists || !where.isDirectory) throw RuntimeError(RuntimeError::PathNotFound);
    int fd = ::open(where.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw posix::ErrorFromErrno(errno);
    int result = ::syncfs(fd);
    ::close(fd);
    if (result != 0) throw RuntimeError(RuntimeError::DeviceIOError);
  }

  std::unique_ptr<Folder> OpenFolder(const std::string& path) override {
    RequireShortEnough(path);
    HostPath where = posix::Resolve(path);
    if (!where.exists || !where.isDirectory) throw RuntimeError(RuntimeError::PathNotFound);
    int fd = ::open(where.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw posix::ErrorFromErrno(errno);
    return std::make_unique<PosixFolder>(fd, "held", posix::HostName(where.path));
  }

  std::unique_ptr<Folder> OpenSubfolder(Folder& parent, const std::string& name) override {
    auto& held = static_cast<PosixFolder&>(parent);
    if (!IsWindowsName(name)) throw RuntimeError(RuntimeError::BadFileName);
    return std::make_unique<PosixFolder>(OpenChildFolder(held, posix::AnsiToUtf8(name)),
                                         held.Name(), name);
  }

  std::unique_ptr<Folder> ClaimSubfolder(Folder& parent, const std::string& name) override {
    auto& held = static_cast<PosixFolder&>(parent);
    if (!IsWindowsName(name)) throw RuntimeError(RuntimeError::BadFileName);
    int fd = OpenChildFolder(held, posix::AnsiToUtf8(name));
    // A claim is an exclusive lock on the folder's own open description:
    // another claim of it, in this process or another, fails while it lasts.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      throw RuntimeError(RuntimeError::PermissionDenied);
    }
    return std::make_unique<PosixFolder>(fd, held.Name(), name);
  }

  std::unique_ptr<Folder> MakePrivateFolder(Folder& parent, const std::string& name) override {
    auto& held = static_cast<PosixFolder&>(parent);
    if (!IsWindowsName(name)) throw RuntimeError(RuntimeError::BadFileName);
    const std::string utf8 = posix::AnsiToUtf8(name);
    if (::mkdirat(held.Descriptor(), utf8.c_str(), 0700) != 0) {
      if (errno == EEXIST) throw RuntimeError(RuntimeError::PathFileAccessError);
      throw posix::ErrorFromErrno(errno);
    }
    int fd =
        ::openat(held.Descriptor(), utf8.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) throw RuntimeError(RuntimeError::PathFileAccessError);
    // What was opened is the folder made just now only when it is this
    // user's and no one else's: no other user can make such a folder, so
    // one put in its place between the two calls is refused.
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid() || ::fchmod(fd, 0700) != 0 ||
        ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      throw RuntimeError(RuntimeError::PathFileAccessError);
    }
    return std::make_unique<PosixFolder>(fd, held.Name(), name);
  }

  std::unique_ptr<InputFile> OpenPlainFile(const std::string& path) override {
    RequireShortEnough(path);
    if (!DosDeviceName(path).empty() || EndsInSeparator(path))
      throw RuntimeError(RuntimeError::PathFileAccessError);
    // The path as written first: one system call in the common case.
    int fd = -1, error = ENOENT;
    if (!IsNetworkPath(path) || path.rfind("\\\\?\\unix", 0) == 0) {
      fd = ::open(posix::DirectPath(path).c_str(), kReadFlags | O_NOFOLLOW);
      error = fd < 0 ? errno : 0;
    }
    if (fd < 0 && (error == ENOENT || error == ENOTDIR)) {
      HostPath where = ResolveInExistingFolder(path);
      fd = ::open(where.path.c_str(), kReadFlags | O_NOFOLLOW);
    }
    if (fd < 0) {
      if (errno == ELOOP) throw RuntimeError(RuntimeError::PathFileAccessError);
      if (errno == ENOENT) throw RuntimeError(RuntimeError::FileNotFound);
      throw posix::ErrorFromErrno(errno);
    }
    return ReadableFile(fd);
  }
};

} // namespace

std::shared_ptr<FileSystem> FileSystem::Native() {
  return std::make_shared<PosixFileSystem>();
}

} // namespace platform
