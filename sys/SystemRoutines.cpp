#include "sys/SystemRoutines.h"

#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/Shell.h"

namespace SystemRoutines {

int32_t ShellFileOperation(int32_t hWnd, int32_t Operation, int32_t Flags, const std::string& From,
                           const std::string& To) {
  int16_t flags = ToInt16(Flags);
  platform::SHFILEOPSTRUCTA request;
  request.hwnd = static_cast<uint32_t>(hWnd);
  request.wFunc = static_cast<uint32_t>(Operation);
  // One NUL after each text; with the text's own terminator the list of
  // paths ends in two, so it holds this one path only.
  request.pFrom = From + '\0';
  request.pTo = To + '\0';
  request.fFlags = static_cast<uint16_t>(flags);
  request.fAnyOperationsAborted = false;
  request.hNameMappings = nullptr;
  request.lpszProgressTitle = nullptr;
  return platform::shell().SHFileOperationA(request);
}

bool FileExists(const std::string& path) {
  return platform::fileSystem().OpenFileExist(path) == 1;
}

void MakePath(const std::string& path) {
  const std::string t = path + '\\';
  size_t p = 0; // 1-based position of the backslash that ends the current prefix
  for (;;) {
    p = t.find('\\', p) + 1; // searching from position p + 1, 1-based
    std::string prefix = path.substr(0, p - 1);
    std::string found = platform::fileSystem().FirstEntry(prefix, platform::EntryKinds::AnyEntry);
    bool drive = !prefix.empty() && prefix.back() == ':';
    if (!drive && found.empty()) platform::fileSystem().MakeDirectory(prefix);
    if (p >= path.size()) break;
  }
}

} // namespace SystemRoutines
