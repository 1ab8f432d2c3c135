#pragma once
// File-system routines: one shell file operation per call, the existence
// test of a file, and the creation of every missing folder along a path.

#include <cstdint>
#include <string>

namespace SystemRoutines {

// Hands one operation (FO_COPY, ...) on one source path and one target path
// to the shell and returns the shell's result unchanged: 0 on success. The
// flags are narrowed to 16 bits; a value outside -32768..32767 raises 6
// (overflow) and nothing is done. The owner window handle is opaque here.
int32_t ShellFileOperation(int32_t hWnd, int32_t Operation, int32_t Flags, const std::string& From,
                           const std::string& To);

// True exactly when OpenFile(path, OF_EXIST) answers 1: an existing file.
bool FileExists(const std::string& path);

// Creates each missing folder of the path, the shortest prefix first; a
// prefix that ends in ":" (a drive) is never created, and any existing entry
// of a prefix's name, a file too, hidden and system ones too, counts as
// present. A failure to create a folder is raised at once (75 when access is
// refused).
void MakePath(const std::string& path);

} // namespace SystemRoutines
