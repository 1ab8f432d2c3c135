#include "platform/posix/HostFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::posix {

std::string HostName(const std::string& host) {
  return host.substr(host.find_last_of('/') + 1);
}

std::string HostParent(const std::string& host) {
  const size_t cut = host.find_last_of('/');
  return cut == 0 ? "/" : host.substr(0, cut);
}

std::string HostJoin(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

HostEntry LookAt(const std::string& host, bool followLinks) {
  struct stat st;
  if ((followLinks ? ::stat(host.c_str(), &st) : ::lstat(host.c_str(), &st)) != 0) return {};
  HostEntry entry;
  entry.type = S_ISREG(st.st_mode)   ? HostType::File
               : S_ISDIR(st.st_mode) ? HostType::Directory
                                     : HostType::Other;
  entry.device = static_cast<uint64_t>(st.st_dev);
  entry.inode = static_cast<uint64_t>(st.st_ino);
  return entry;
}

bool SameEntry(const HostEntry& a, const HostEntry& b) {
  return a.device == b.device && a.inode == b.inode;
}

bool MakeFolder(const std::string& host) {
  return ::mkdir(host.c_str(), 0777) == 0;
}

bool RemoveEntry(const std::string& host) {
  return ::unlink(host.c_str()) == 0;
}

bool RemoveEmptyFolder(const std::string& host) {
  return ::rmdir(host.c_str()) == 0;
}

bool RenameEntry(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

int CopyKeepingHoles(const std::string& source, const std::string& target,
                     std::string tempPattern) {
  struct stat from;
  // Opened without waiting for a writer, and read only when it is a file.
  int in = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return errno;
  if (::fstat(in, &from) != 0 || !S_ISREG(from.st_mode)) {
    ::close(in);
    return kNotAPlainFile;
  }
  int out = ::mkostemp(tempPattern.data(), O_CLOEXEC);
  if (out < 0) {
    int error = errno;
    ::close(in);
    return error;
  }
  int result = 0;
  std::vector<char> buffer(1 << 16);
  // As cp --sparse=auto does. Where the file system tells no holes, all is
  // data.
  const off_t size = from.st_size;
  off_t length = size;
  for (off_t at = 0; at < size && result == 0;) {
    off_t data = ::lseek(in, at, SEEK_DATA);
    if (data < 0 && errno == ENXIO) break; // a hole up to the end
    if (data < 0) data = at;
    off_t hole = ::lseek(in, data, SEEK_HOLE);
    if (hole < 0 || hole > size) hole = size;
    for (at = data; at < hole;) {
      const size_t want = static_cast<size_t>(std::min<off_t>(hole - at, buffer.size()));
      ssize_t got = ::pread(in, buffer.data(), want, at);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        if (got < 0) result = errno;
        length = at; // ended early: the file became shorter
        at = hole = size;
        break;
      }
      for (ssize_t done = 0; done < got;) {
        ssize_t put =
            ::pwrite(out, buffer.data() + done, static_cast<size_t>(got - done), at + done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) {
          result = errno;
          break;
        }
        done += put;
      }
      if (result != 0) break;
      at += got;
    }
  }
  // A hole at the end is kept by the length alone.
  if (result == 0 && ::lseek(out, 0, SEEK_END) != length && ::ftruncate(out, length) != 0)
    result = errno;
  ::close(in);
  if (result == 0) {
    struct timespec times[2] = {from.st_atim, from.st_mtim};
    ::futimens(out, times);
    // The original's rights, never wider: no set-user-ID or set-group-ID
    // bit on a copy that belongs to whoever runs the program.
    ::fchmod(out, from.st_mode & 0777);
  }
  if (::close(out) != 0 && result == 0) result = errno;
  if (result == 0 && ::rename(tempPattern.c_str(), target.c_str()) != 0) result = errno;
  if (result != 0) ::unlink(tempPattern.c_str());
  return result;
}

std::optional<std::string> ReadWholeFile(const std::string& host) {
  int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char chunk[8192];
  for (;;) {
    ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return bytes;
}

bool WriteWholeFileInPlace(const std::string& host, const std::string& bytes) {
  int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < bytes.size();) {
    ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0)
      ok = false;
    else
      done += static_cast<size_t>(put);
  }
  ok = ok && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
  return ::close(fd) == 0 && ok;
}

bool WritableByMode(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

} // namespace platform::posix
