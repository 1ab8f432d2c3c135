// The file-system service on Windows: the ANSI file API.

#include "platform/FileSystem.h"

#include <windows.h>

#include "platform/RuntimeError.h"
#include "platform/win32/Errors.h"

namespace platform {
namespace {

constexpr DWORD kNeverListed = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// A drive letter that names no drive: FindFirstFile would only say "path
// not found", so it is asked separately.
bool DriveMissing(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return false;
  char root[4] = {path[0], ':', '\\', 0};
  return GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR;
}

// Whether the folder part of a pattern names a file (Wine then calls the
// pattern an invalid name, Windows a missing folder).
bool FolderIsAFile(const std::string& pattern) {
  size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string::npos) return false;
  DWORD attributes = GetFileAttributesA(pattern.substr(0, cut).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Wanted(const WIN32_FIND_DATAA& data, EntryKinds kinds) {
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    return !IsDotEntry(data.cFileName) &&
           (kinds == EntryKinds::AnyEntry ||
            (kinds == EntryKinds::FilesAndDirectories && !(data.dwFileAttributes & kNeverListed)));
  return kinds == EntryKinds::AnyFile || kinds == EntryKinds::AnyEntry ||
         !(data.dwFileAttributes & kNeverListed);
}

// The volume and file index that tell a file apart, or false.
bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE handle =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  return ok;
}

class FindEnumeration final : public FileEnumeration {
public:
  FindEnumeration(const std::string& pattern, EntryKinds kinds) : kinds_(kinds) {
    if (DriveMissing(pattern)) throw RuntimeError(RuntimeError::DeviceUnavailable);
    handle_ = FindFirstFileA(pattern.c_str(), &data_);
    if (handle_ == INVALID_HANDLE_VALUE) {
      DWORD code = GetLastError();
      // A missing folder, or a file where a folder should be, lists nothing.
      if (code == ERROR_INVALID_NAME && FolderIsAFile(pattern)) code = ERROR_DIRECTORY;
      if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND &&
          code != ERROR_NO_MORE_FILES && code != ERROR_DIRECTORY)
        throw win32::ErrorFromCode(code);
    }
    pending_ = handle_ != INVALID_HANDLE_VALUE;
  }
  ~FindEnumeration() override {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  FindEnumeration(const FindEnumeration&) = delete;
  FindEnumeration& operator=(const FindEnumeration&) = delete;

  std::string Next() override {
    while (pending_) {
      std::string name;
      if (Wanted(data_, kinds_)) name = data_.cFileName;
      pending_ = FindNextFileA(handle_, &data_) != 0;
      if (!name.empty()) return name;
    }
    return {};
  }

private:
  EntryKinds kinds_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data_{};
  bool pending_ = false;
};

class Win32InputFile final : public InputFile {
public:
  Win32InputFile(HANDLE handle, uint64_t length) : handle_(handle), length_(length) {}
  ~Win32InputFile() override { CloseHandle(handle_); }
  Win32InputFile(const Win32InputFile&) = delete;
  Win32InputFile& operator=(const Win32InputFile&) = delete;

  uint64_t Length() const override { return length_; }

  size_t Read(unsigned char* buffer, size_t count) override {
    size_t done = 0;
    while (done < count) {
      DWORD got = 0;
      if (!ReadFile(handle_, buffer + done, static_cast<DWORD>(count - done), &got, nullptr))
        throw RuntimeError(RuntimeError::DeviceIOError);
      if (got == 0) break;
      done += got;
    }
    return done;
  }

private:
  HANDLE handle_;
  uint64_t length_;
};

// Raises "path not found" for a path on a drive that does not exist, which
// not every version of the file API says in the same way.
void RequireDrive(const std::string& path) {
  if (DriveMissing(path)) throw RuntimeError(RuntimeError::PathNotFound);
}

class Win32FileSystem final : public FileSystem {
public:
  std::unique_ptr<FileEnumeration> EnumerateFiles(const std::string& pattern) override {
    return std::make_unique<FindEnumeration>(pattern, EntryKinds::FilesOnly);
  }

  std::string FirstEntry(const std::string& path, EntryKinds kinds) override {
    if (path.empty()) return ".";
    if (path.size() == 2 && path[1] == ':') {
      if (DriveMissing(path)) throw RuntimeError(RuntimeError::DeviceUnavailable);
      return {};
    }
    return FindEnumeration(path, kinds).Next();
  }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path) override {
    RequireDrive(path);
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw win32::LastError();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle, &size)) {
      RuntimeError error = win32::LastError();
      CloseHandle(handle);
      throw error;
    }
    return std::make_unique<Win32InputFile>(handle, static_cast<uint64_t>(size.QuadPart));
  }

  int OpenFileExist(const std::string& path) override {
    OFSTRUCT scratch{};
    return static_cast<int>(OpenFile(path.c_str(), &scratch, OF_EXIST));
  }

  void MakeDirectory(const std::string& path) override {
    RequireDrive(path);
    if (!CreateDirectoryA(path.c_str(), nullptr)) throw win32::LastError();
  }

  void CreateNewFile(const std::string& path) override {
    RequireDrive(path);
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw win32::LastError();
    CloseHandle(handle);
  }

  void RemoveFile(const std::string& path) override {
    RequireDrive(path);
    if (!DeleteFileA(path.c_str())) throw win32::LastError();
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    BY_HANDLE_FILE_INFORMATION x, y;
    if (!IdentityOf(a, x) || !IdentityOf(b, y)) return false;
    return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
  }

  LocalTime LastModified(const std::string& path) override {
    RequireDrive(path);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) throw win32::LastError();
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToSystemTime(&local, &st))
      throw win32::LastError();
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
  }

  EntryFacts Examine(const std::string& path) override {
    EntryFacts facts;
    if (path.find_first_of("*?") != std::string::npos || DriveMissing(path)) return facts;
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(path.c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) return facts;
    FindClose(handle);
    facts.name = data.cFileName;
    facts.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                 data.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
    size_t cut = path.find_last_of("\\/");
    std::string found =
        cut == std::string::npos ? facts.name : path.substr(0, cut + 1) + facts.name;
    // Listed, but without attributes of its own: a device or a pipe, as
    // Wine shows them.
    DWORD attributes = GetFileAttributesA(found.c_str());
    facts.type = attributes == INVALID_FILE_ATTRIBUTES     ? EntryType::Other
                 : (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryType::Directory
                                                           : EntryType::File;
    return facts;
  }

  std::vector<std::string> FolderNames(const std::string& folder) override {
    std::vector<std::string> names;
    if (DriveMissing(folder)) return names;
    std::string pattern = folder;
    if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/')) pattern += '\\';
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA((pattern + "*").c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) return names;
    do {
      if (!IsDotEntry(data.cFileName)) names.push_back(data.cFileName);
    } while (FindNextFileA(handle, &data));
    FindClose(handle);
    return names;
  }

  void RenameOnto(const std::string& from, const std::string& to) override {
    RequireDrive(from);
    RequireDrive(to);
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) throw win32::LastError();
  }

  void RemoveFolder(const std::string& path) override {
    RequireDrive(path);
    if (!RemoveDirectoryA(path.c_str())) throw win32::LastError();
  }
};

} // namespace

std::shared_ptr<FileSystem> FileSystem::Native() {
  return std::make_shared<Win32FileSystem>();
}

} // namespace platform
