#pragma once
// File-system service with Windows semantics: paths are Windows paths in the
// ANSI code page ("c:\windows\inf\oem1.inf"), names compare without regard to
// case, and failures are RuntimeErrors numbered as the classic runtime numbers
// them (53 file not found, 75 access refused, 76 path not found, ...).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/Service.h"

namespace platform {

class InputFile;

// Lists the bare names matching a wildcard pattern, one at a time.
class FileEnumeration {
public:
  virtual ~FileEnumeration() = default;
  // The next name, or the empty text when the listing is exhausted.
  virtual std::string Next() = 0;
  // The file that the last Next() named, where the listing opened it for
  // reading as it looked at it; the listing gives it up. Null when it did
  // not (this listing opens nothing, the file could not be opened then, it
  // was taken already). What is not taken is closed at the next Next().
  virtual std::unique_ptr<InputFile> TakeOpened() { return nullptr; }
};

// A file open for sequential reading; closed when the object goes away.
class InputFile {
public:
  virtual ~InputFile() = default;
  virtual uint64_t Length() const = 0;
  // Reads up to `count` bytes at the current position; fewer only at the end
  // of the file. Raises 57 (device I/O error) when the read itself fails.
  virtual size_t Read(unsigned char* buffer, size_t count) = 0;

  // Reads on as Read does, into memory the file holds: returns where the
  // `got` bytes read lie, right behind the last `behind` bytes of what the
  // call before returned (its `behind` bytes included), so that both form
  // one run. `behind` is at most the size of that run (0 at the first call).
  // Valid until the next call. This one reads through Read into a buffer of
  // `behind + count` bytes; a backend may serve it from a larger buffer.
  virtual const unsigned char* ReadOn(size_t count, size_t behind, size_t& got) {
    if (behind > 0) std::memmove(held_.data(), held_.data() + run_ - behind, behind);
    if (held_.size() < behind + count) held_.resize(behind + count);
    got = Read(held_.data() + behind, count);
    run_ = behind + got;
    return held_.data() + behind;
  }

  // When the bytes at the current position lie in a hole of a sparse file
  // (a run that holds only zero bytes and no blocks on the disk), moves past
  // the hole without reading it and returns how many bytes it held; else 0.
  // Only called when everything read so far was taken. This one knows of no
  // holes.
  virtual uint64_t SkipHole() { return 0; }

private:
  std::vector<unsigned char> held_;
  size_t run_ = 0;
};

// A folder held open from the moment it was opened until the object goes.
// Its Path() names this very folder for as long as it is held, whatever
// happens meanwhile to the names that led to it: another user who can write
// a folder above it may rename it, or put a link where it was, and what is
// done by Path() is still done in the folder that was opened. On Linux
// Path() leads through the process's own descriptor of the folder
// ("\\?\unix\proc\self\fd\..."); on Windows it is the path the folder was
// opened by, and the folder is held without FILE_SHARE_DELETE, so that no
// one can rename or delete it while it is held.
class Folder {
public:
  virtual ~Folder() = default;
  virtual const std::string& Path() const = 0;
};

// A local date and time, as a file's last-modified stamp.
struct LocalTime {
  int year = 0;
  int month = 0;     // 1..12
  int day = 0;       // 1..31
  int dayOfWeek = 0; // 0 = Sunday .. 6 = Saturday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

enum class EntryKinds {
  FilesOnly,           // ordinary files: not hidden, not system; no directories, pipes or devices
  FilesAndDirectories, // what is not hidden or system: files, pipes and devices too, and
                       // directories
  AnyFile,             // everything but directories, hidden and system entries too
  AnyEntry,            // every file and directory, hidden and system ones too
};

// What stands at a path.
enum class EntryType {
  None,      // nothing
  File,      // a plain file
  Directory, // a folder
  Other,     // a device, a pipe, a socket, a link that leads nowhere
};

struct EntryFacts {
  std::string name;                 // the entry's own spelling; empty when there is none
  EntryType type = EntryType::None; // what it is, a link followed
  bool link = false;                // the entry itself is a symbolic link (where that shows)
};

class FileSystem {
public:
  virtual ~FileSystem() = default;
  static std::shared_ptr<FileSystem> Native();

  // The ordinary files (not directories, hidden or system files, pipes or
  // devices; links to ordinary files count as such) of the pattern's folder
  // whose long names match its last component by the rules of Wildcard
  // (platform/FileNames.h). Names that Windows cannot open by their name
  // (IsWindowsName) are left out. A last component without wildcards names
  // the entry of exactly that spelling when there is one, else one that
  // differs only in letter case; a DOS device name names the device, which
  // is listed under that name. A missing folder lists nothing; a drive that
  // does not exist raises 68.
  virtual std::unique_ptr<FileEnumeration> EnumerateFiles(const std::string& pattern) = 0;

  // The name of the first entry of the given kinds that matches `path`
  // (wildcards allowed; the same names as EnumerateFiles); empty text when
  // nothing matches. A last component "." or ".." names the folder itself
  // or its parent, as Windows folds them.
  virtual std::string FirstEntry(const std::string& path, EntryKinds kinds) = 0;

  // Opens an ordinary file (or a link to one); never waits on a pipe or a
  // device. A folder, pipe, socket or device raises 75; a path that ends in a
  // separator names no file (52).
  virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path) = 0;
  // Opens for reading the file `path` that `listing` has just named (its
  // folder as the listing's pattern wrote it, and the name): the file the
  // listing opened is taken over, else it is opened by its path as
  // OpenForReading opens it, with the same errors.
  virtual std::unique_ptr<InputFile> OpenListed(FileEnumeration& listing, const std::string& path) {
    if (auto file = listing.TakeOpened()) return file;
    return OpenForReading(path);
  }

  // What OpenFile(path, OF_EXIST) returns: 1 for an existing file, -1
  // (HFILE_ERROR) for anything else: a folder, a pipe or device, a DOS
  // device name, a path that ends in a separator. A bare file name is
  // looked for in the program's folder, the current folder and the system
  // and Windows folders; a full path of 128 characters or more is too long.
  virtual int OpenFileExist(const std::string& path) = 0;

  // Creates one directory; its parent must exist. Raises on failure. A DOS
  // device name makes nothing: NUL says yes (as Windows does), the others
  // raise (CON 57, a port or printer 53).
  virtual void MakeDirectory(const std::string& path) = 0;
  // Creates a new file with no content. An existing file is never touched:
  // the call then raises 75, as for any refused access. A DOS device name
  // makes nothing, as for MakeDirectory.
  virtual void CreateNewFile(const std::string& path) = 0;
  // Deletes one file; a read-only file or a folder is refused with 75, a
  // pipe, socket or device with 5. A symbolic link goes as a link, never
  // what it points to; where the backend cannot delete the link alone (the
  // Windows build under Wine), the link is refused with 75.
  virtual void RemoveFile(const std::string& path) = 0;
  virtual LocalTime LastModified(const std::string& path) = 0;
  // Whether two paths name one and the same file (through a link, say).
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;

  // The entry a path names, found as any other file operation finds it (the
  // exact spelling first, then one in another letter case), and what it is;
  // no wildcards. Raises only where the path itself is unusable.
  virtual EntryFacts Examine(const std::string& path) = 0;
  // The names of every entry of a folder, hidden and system ones too,
  // without "." and "..". A missing folder has none.
  virtual std::vector<std::string> FolderNames(const std::string& folder) = 0;
  // Gives the file `from` the name `to` in the same drive, replacing what
  // stands under that name: a link there is replaced, never followed; a
  // read-only file is replaced too, a folder never. The folders of `to` are
  // found as usual; on Linux its last name is taken exactly as written.
  // Raises on failure.
  virtual void RenameOnto(const std::string& from, const std::string& to) = 0;
  // Removes an empty folder. Raises on failure.
  virtual void RemoveFolder(const std::string& path) = 0;
  // Writes to its disk whatever was written so far to the file system that
  // holds the folder `folder` (on Linux syncfs(2) of that file system); once
  // it returns, those files outlive a crash or power loss. Raises 76 for a
  // folder that is not there, 57 when the writing fails. The Windows build
  // leaves this to the system: flushing a whole volume needs administrator
  // rights there, and a file's own flush is what the shell's copy did not do.
  virtual void FlushToDisk(const std::string& folder) = 0;

  // Opens and holds the folder that `path` leads to now, links along the
  // way followed. Raises 76 when there is no folder there.
  virtual std::unique_ptr<Folder> OpenFolder(const std::string& path) = 0;
  // Opens and holds the folder `name` (one name, no wildcards) of `parent`,
  // only when that entry itself is a folder: a symbolic link, a junction or
  // any other reparse point is refused with 70 (permission denied), and so
  // is a file. A missing entry raises 76.
  virtual std::unique_ptr<Folder> OpenSubfolder(Folder& parent, const std::string& name) = 0;
  // Opens and holds the folder `name` of `parent` as OpenSubfolder does, and
  // only when no one else holds it: a folder claimed by another, or made by
  // another's MakePrivateFolder and still held (the copy folder of a run of
  // this program in another process), is refused with 70; so is one that
  // any other program has open, where the system tells (Windows). While it
  // is held, it cannot be claimed.
  virtual std::unique_ptr<Folder> ClaimSubfolder(Folder& parent, const std::string& name) = 0;
  // Makes the new folder `name` in `parent`, which only the account the
  // program runs as (the administrators when it runs elevated) and the
  // system may open, list or change, whatever `parent` grants; and holds it,
  // so that no one else can claim it. An entry of that name that is already
  // there is never used: 75.
  virtual std::unique_ptr<Folder> MakePrivateFolder(Folder& parent, const std::string& name) = 0;
  // Opens for reading the plain file that `path` names, never through a
  // link: a symbolic link, a reparse point, a folder, a pipe or a device is
  // refused with 75.
  virtual std::unique_ptr<InputFile> OpenPlainFile(const std::string& path) = 0;
};

inline FileSystem& fileSystem() {
  return Service<FileSystem>::Get();
}

} // namespace platform
