// The file-system service on Windows: the ANSI file API.

#include "platform/FileSystem.h"

#include <windows.h>

#include <sddl.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/win32/Errors.h"

namespace platform {
namespace {

constexpr DWORD kNeverListed = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

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

std::wstring Wide(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

// A name in the ANSI code page, or false when it holds a character that the
// code page cannot hold: the "A" functions would hand out a look-alike
// ("a.inf" for "α.inf"), which names another file.
bool Narrow(const wchar_t* wide, std::string& ansi) {
  bool utf8 = GetACP() == CP_UTF8;
  BOOL usedDefault = FALSE;
  char buffer[MAX_PATH * 4];
  int n = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, buffer,
                              sizeof buffer, nullptr, utf8 ? nullptr : &usedDefault);
  if (n <= 0 || usedDefault) return false;
  ansi.assign(buffer, static_cast<size_t>(n - 1));
  return true;
}

// The pattern's folder as a prefix for the names found in it ("c:\x\",
// "c:", or nothing).
std::string FolderPrefix(const std::string& pattern) {
  return pattern.substr(0, pattern.size() - SplitWindowsPath(pattern).name.size());
}

// Wine lists a pipe, a socket or a device reached through a link as a file
// of no bytes, but will not tell its attributes.
bool IsOrdinaryFile(const std::wstring& path, const WIN32_FIND_DATAW& data) {
  if (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0) return true;
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool Wanted(const std::wstring& folder, const WIN32_FIND_DATAW& data, EntryKinds kinds) {
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    return !IsDotEntry(data.cFileName) &&
           (kinds == EntryKinds::AnyEntry ||
            (kinds == EntryKinds::FilesAndDirectories && !(data.dwFileAttributes & kNeverListed)));
  if (kinds != EntryKinds::AnyFile && kinds != EntryKinds::AnyEntry &&
      (data.dwFileAttributes & kNeverListed))
    return false;
  return kinds != EntryKinds::FilesOnly || IsOrdinaryFile(folder + data.cFileName, data);
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

// Where opening a path really leads ("\\?\C:\x\name"), or empty text.
std::wstring FinalPath(const std::wstring& path) {
  HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = GetFinalPathNameByHandleW(handle, buffer, MAX_PATH * 2, FILE_NAME_NORMALIZED);
  CloseHandle(handle);
  return n > 0 && n < MAX_PATH * 2 ? std::wstring(buffer, n) : std::wstring();
}

// Whether the last component of a path is a symbolic link. Wine marks only
// links to folders as reparse points; a link to a file shows the file's
// own attributes. But the file that opening the path reaches then lies
// somewhere else than in the path's folder under the name listed there.
bool IsLink(const std::string& path) {
  std::wstring wide = Wide(path);
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(wide.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  wchar_t full[MAX_PATH * 2];
  wchar_t* name = nullptr;
  DWORD n = GetFullPathNameW(wide.c_str(), MAX_PATH * 2, full, &name);
  if (n == 0 || n >= MAX_PATH * 2 || !name) return false;
  std::wstring folder(full, static_cast<size_t>(name - full));
  std::wstring reached = FinalPath(wide), folderReached = FinalPath(folder);
  if (reached.empty() || folderReached.empty()) return false;
  if (folderReached.back() != L'\\') folderReached += L'\\';
  std::wstring expected = folderReached + data.cFileName;
  return CompareStringOrdinal(reached.c_str(), -1, expected.c_str(), -1, TRUE) != CSTR_EQUAL;
}

// Whether a handle reached something else than the entry `name` of the
// folder `folder` (a full path): a link, which Wine shows with the
// attributes of what it leads to, leads elsewhere.
bool LeadsElsewhere(HANDLE handle, const std::wstring& folder, const std::wstring& name) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD n = GetFinalPathNameByHandleW(handle, buffer, MAX_PATH * 2, FILE_NAME_NORMALIZED);
  std::wstring folderReached = FinalPath(folder);
  if (n == 0 || n >= MAX_PATH * 2 || folderReached.empty()) return true;
  if (folderReached.back() != L'\\') folderReached += L'\\';
  std::wstring expected = folderReached + name;
  return CompareStringOrdinal(buffer, static_cast<int>(n), expected.c_str(), -1, TRUE) !=
         CSTR_EQUAL;
}

// A held folder: open without FILE_SHARE_DELETE, so that it can be neither
// renamed nor deleted while it is held, and its path leads to it.
class Win32Folder final : public Folder {
public:
  Win32Folder(HANDLE handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  ~Win32Folder() override { CloseHandle(handle_); }
  Win32Folder(const Win32Folder&) = delete;
  Win32Folder& operator=(const Win32Folder&) = delete;

  const std::string& Path() const override { return path_; }

private:
  HANDLE handle_;
  std::string path_;
};

constexpr DWORD kHeldAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kHeldSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// The entry `name` of `parent`, opened and held when it is a folder itself,
// never through a link or junction. Opened `exclusively`, it shares
// nothing: the opening fails while anyone else has the folder open.
std::unique_ptr<Folder> HoldSubfolder(const Folder& parent, const std::string& name,
                                      bool exclusively = false) {
  const std::string path = JoinWindowsPath(parent.Path(), name);
  HANDLE handle = CreateFileW(Wide(path).c_str(), kHeldAccess, exclusively ? 0 : kHeldSharing,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
      throw RuntimeError(RuntimeError::PathNotFound);
    if (code == ERROR_SHARING_VIOLATION) throw RuntimeError(RuntimeError::PermissionDenied);
    throw win32::ErrorFromCode(code);
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      LeadsElsewhere(handle, Wide(parent.Path()), Wide(name))) {
    CloseHandle(handle);
    throw RuntimeError(RuntimeError::PermissionDenied);
  }
  return std::make_unique<Win32Folder>(handle, path);
}

// Who may use a private folder besides the system: the administrators when
// the program runs elevated (what it makes belongs to them then), else the
// user's own account, as a SID string ("BA", "S-1-5-21-...").
std::wstring PrivateTrustee() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  std::wstring trustee;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
      elevation.TokenIsElevated) {
    trustee = L"BA";
  } else {
    alignas(TOKEN_USER) unsigned char buffer[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    wchar_t* sid = nullptr;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
      trustee = sid;
      LocalFree(sid);
    }
  }
  CloseHandle(token);
  return trustee;
}

// FindFirstFile matches a pattern against short (8.3) names too, and its
// pattern rules are its own: every name of the folder is listed and the
// long name decides, by the same rules as on Linux. A name without
// wildcards is looked up directly, and again its long name decides.
class FindEnumeration final : public FileEnumeration {
public:
  FindEnumeration(const std::string& pattern, EntryKinds kinds) : kinds_(kinds) {
    if (DriveMissing(pattern)) throw RuntimeError(RuntimeError::DeviceUnavailable);
    // The ANSI functions take at most 260 characters, a pattern too.
    if (pattern.size() > MAX_PATH) throw RuntimeError(RuntimeError::BadFileName);
    std::string folded = FoldDotComponents(pattern);
    std::string prefix = FolderPrefix(folded);
    std::string mask = folded.substr(prefix.size());
    folder_ = Wide(prefix);
    device_ = !mask.empty() && !DosDeviceName(mask).empty();
    if (!device_) wildcard_.emplace(mask);
    std::string query = device_ || !HasWildcards(mask) ? folded : prefix + "*";
    handle_ = FindFirstFileW(Wide(query).c_str(), &data_);
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
      if (!Narrow(data_.cFileName, name) || !Kept(name)) name.clear();
      pending_ = FindNextFileW(handle_, &data_) != 0;
      if (!name.empty()) return name;
    }
    return {};
  }

private:
  bool Kept(const std::string& name) const {
    if (device_) return true; // the device itself, as Windows lists it
    return wildcard_->Matches(name) && IsWindowsName(name) && Wanted(folder_, data_, kinds_);
  }

  EntryKinds kinds_;
  std::wstring folder_;
  bool device_ = false;
  std::optional<Wildcard> wildcard_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data_{};
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
    if (GetFileType(handle) != FILE_TYPE_DISK) {
      // A pipe or device (Wine opens them without waiting): nothing to read
      // as a file, as for a folder.
      CloseHandle(handle);
      throw RuntimeError(RuntimeError::PathFileAccessError);
    }
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
    // Wine deletes what a link points to, and leaves the link: a link is
    // refused. Not as a refused access (75), which would send the user off
    // to find administrator rights that cannot help.
    // A link to a folder or a device is refused as such a thing itself is.
    if (IsLink(path)) {
      DWORD attributes = GetFileAttributesA(path.c_str());
      bool toFile =
          attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
      throw RuntimeError(toFile ? RuntimeError::PermissionDenied
                                : RuntimeError::PathFileAccessError);
    }
    // Deleted through a handle of the file itself, opened without following
    // a link and looked at once more: a link put in its place after the
    // look above is refused, not followed.
    HANDLE handle =
        CreateFileW(Wide(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw win32::LastError();
    BY_HANDLE_FILE_INFORMATION info;
    wchar_t full[MAX_PATH * 2];
    wchar_t* name = nullptr;
    DWORD n = GetFullPathNameW(Wide(path).c_str(), MAX_PATH * 2, full, &name);
    DWORD code = ERROR_SUCCESS;
    if (!GetFileInformationByHandle(handle, &info) || n == 0 || n >= MAX_PATH * 2 || !name) {
      code = GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED;
    } else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT ||
               LeadsElsewhere(handle, std::wstring(full, static_cast<size_t>(name - full)), name)) {
      CloseHandle(handle);
      throw RuntimeError(RuntimeError::PermissionDenied); // a link, as above
    } else if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
      code = ERROR_ACCESS_DENIED; // as DeleteFile answers for these
    } else {
      FILE_DISPOSITION_INFO disposition{TRUE};
      if (!SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof disposition))
        code = GetLastError();
    }
    CloseHandle(handle);
    if (code != ERROR_SUCCESS) throw win32::ErrorFromCode(code);
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
    if (path.find_first_of("*?") != std::string::npos || path.empty() || path.back() == '\\' ||
        path.back() == '/' || DriveMissing(path))
      return facts;
    if (std::string device = DosDeviceName(path); !device.empty()) {
      facts.name = device; // the device, whatever the folder holds
      facts.type = EntryType::Other;
      return facts;
    }
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(path.c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) return facts;
    FindClose(handle);
    facts.name = data.cFileName;
    size_t cut = path.find_last_of("\\/");
    std::string found =
        cut == std::string::npos ? facts.name : path.substr(0, cut + 1) + facts.name;
    facts.link = IsLink(found);
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
      const char* name = data.cFileName;
      if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) names.push_back(name);
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
  void FlushToDisk(const std::string& folder) override {
    // The folder must be there; the writing itself is left to the system.
    RequireDrive(folder);
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
      throw RuntimeError(RuntimeError::PathNotFound);
  }

  std::unique_ptr<Folder> OpenFolder(const std::string& path) override {
    RequireDrive(path);
    HANDLE handle = CreateFileW(Wide(path).c_str(), kHeldAccess, kHeldSharing, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw RuntimeError(RuntimeError::PathNotFound);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      CloseHandle(handle);
      throw RuntimeError(RuntimeError::PathNotFound);
    }
    std::string held = path;
    while (held.size() > 3 && (held.back() == '\\' || held.back() == '/'))
      held.pop_back();
    return std::make_unique<Win32Folder>(handle, held);
  }

  std::unique_ptr<Folder> OpenSubfolder(Folder& parent, const std::string& name) override {
    if (!IsWindowsName(name)) throw RuntimeError(RuntimeError::BadFileName);
    return HoldSubfolder(parent, name);
  }

  std::unique_ptr<Folder> ClaimSubfolder(Folder& parent, const std::string& name) override {
    if (!IsWindowsName(name)) throw RuntimeError(RuntimeError::BadFileName);
    // No one else has the folder open when an opening that shares nothing
    // succeeds. It is then held as any other folder: held so, it would
    // refuse the work inside it (deleting a file there opens the folder).
    HoldSubfolder(parent, name, true).reset();
    return HoldSubfolder(parent, name);
  }

  std::unique_ptr<Folder> MakePrivateFolder(Folder& parent, const std::string& name) override {
    if (!IsWindowsName(name)) throw RuntimeError(RuntimeError::BadFileName);
    // Full access for the system and the account above alone, inherited by
    // what is made inside, and nothing inherited from the parent (P).
    const std::wstring trustee = PrivateTrustee();
    if (trustee.empty()) throw RuntimeError(RuntimeError::PathFileAccessError);
    const std::wstring sddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;" + trustee + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
      throw win32::LastError();
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    BOOL made = CreateDirectoryW(Wide(JoinWindowsPath(parent.Path(), name)).c_str(), &attributes);
    DWORD code = GetLastError();
    LocalFree(descriptor);
    if (!made) {
      if (code == ERROR_ALREADY_EXISTS) throw RuntimeError(RuntimeError::PathFileAccessError);
      throw win32::ErrorFromCode(code);
    }
    return HoldSubfolder(parent, name);
  }

  std::unique_ptr<InputFile> OpenPlainFile(const std::string& path) override {
    RequireDrive(path);
    if (!DosDeviceName(path).empty() || path.empty() || path.back() == '\\' || path.back() == '/')
      throw RuntimeError(RuntimeError::PathFileAccessError);
    const std::wstring wide = Wide(path);
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw win32::LastError();
    wchar_t full[MAX_PATH * 2];
    wchar_t* name = nullptr;
    DWORD n = GetFullPathNameW(wide.c_str(), MAX_PATH * 2, full, &name);
    BY_HANDLE_FILE_INFORMATION info;
    LARGE_INTEGER size;
    if (n == 0 || n >= MAX_PATH * 2 || !name || GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        LeadsElsewhere(handle, std::wstring(full, static_cast<size_t>(name - full)), name) ||
        !GetFileSizeEx(handle, &size)) {
      CloseHandle(handle);
      throw RuntimeError(RuntimeError::PathFileAccessError);
    }
    return std::make_unique<Win32InputFile>(handle, static_cast<uint64_t>(size.QuadPart));
  }
};

} // namespace

std::shared_ptr<FileSystem> FileSystem::Native() {
  return std::make_shared<Win32FileSystem>();
}

} // namespace platform
