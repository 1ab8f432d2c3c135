#pragma once
// Linux files by their Linux paths, for the services that stand on the
// Linux layer (the shell's copies, the profile files): what an entry is,
// making, removing and renaming entries, and a copy that keeps a sparse
// file's holes. Every call reaches the system here; a failure leaves its
// reason in errno, as the system call did.

#include <cstdint>
#include <optional>
#include <string>

namespace platform::posix {

// Linux paths are taken apart and put together here alone: only '/'
// separates their components ("a\\b" is one name). The paths are those the
// Linux layer makes, with no '/' at the end but the root's.
//
// The last component: "c" of "/a/b/c", "" of "/".
std::string HostName(const std::string& host);
// The folder that holds the last component: "/a/b" of "/a/b/c", "/" of "/c"
// and of "/" itself. A name without '/' has nothing above it to name and
// stands for itself, so that climbing towards the root ends there too.
std::string HostParent(const std::string& host);
// `name` in `folder`, with one '/' between ("/" + name for the root and for
// an empty folder).
std::string HostJoin(const std::string& folder, const std::string& name);

enum class HostType {
  None,      // nothing there (errno tells why)
  File,      // a plain file
  Directory, // a folder
  Other,     // a device, a pipe, a socket; a link itself when links are not followed
};

struct HostEntry {
  HostType type = HostType::None;
  uint64_t device = 0;
  uint64_t inode = 0;
};

// What `host` leads to, its links followed; with followLinks false, the
// entry itself.
HostEntry LookAt(const std::string& host, bool followLinks = true);
// Whether two entries that are there are one and the same.
bool SameEntry(const HostEntry& a, const HostEntry& b);

bool MakeFolder(const std::string& host); // mode 0777 before the umask
bool RemoveEntry(const std::string& host);
bool RemoveEmptyFolder(const std::string& host);
bool RenameEntry(const std::string& from, const std::string& to);

// Copies the plain file `source` (opened without waiting for a writer) with
// its bytes, mode (never a set-ID bit) and modification time to a new file
// made from `tempPattern` (ending in XXXXXX, in the target's folder), then
// renames that to `target`; on failure the temporary file goes again. Only
// the runs that hold data are read and written: the holes of a sparse file
// stay holes. Returns 0 when done, kNotAPlainFile for a source that is no
// plain file, else the errno of the failure.
constexpr int kNotAPlainFile = -1;
int CopyKeepingHoles(const std::string& source, const std::string& target, std::string tempPattern);

// The whole content of the Linux file `host`; nothing when it cannot be
// opened or read.
std::optional<std::string> ReadWholeFile(const std::string& host);

// Writes `bytes` over the file's own content (making the file when it is
// missing), cuts it to their length and flushes it to its disk. The file
// is changed in place, so it keeps its owner, mode and links.
bool WriteWholeFileInPlace(const std::string& host, const std::string& bytes);

// Whether anyone may write the file by its mode (else it counts as
// read-only, as Wine maps it); false when it cannot be looked at.
bool WritableByMode(const std::string& host);

} // namespace platform::posix
