#include "platform/Program.h"

#include <windows.h>

#include <string>

#include "platform/RuntimeError.h"

namespace platform {
namespace {

// The program's own path in the ANSI code page. A path that Windows hands
// out only in part (longer than the buffer), that the ANSI file functions
// cannot take (MAX_PATH characters or more), or that the ANSI code page
// cannot spell would name another place, or none: the program stops with a
// run-time error before anything is made, copied or deleted.
std::string ModulePath() {
  constexpr DWORD kLongest = 32768;
  std::wstring wide(kLongest, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, wide.data(), kLongest);
  if (n == 0 || n >= kLongest)
    throw RuntimeError(
        RuntimeError::BadFileName,
        "Bad file name or number: Windows gives the program's own path only in part");
  wide.resize(n);
  const bool utf8 = GetACP() == CP_UTF8;
  BOOL usedDefault = FALSE;
  int size =
      WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide.c_str(),
                          static_cast<int>(n), nullptr, 0, nullptr, utf8 ? nullptr : &usedDefault);
  std::string path(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(n),
                        path.data(), size, nullptr, utf8 ? nullptr : &usedDefault);
  if (size <= 0 || usedDefault)
    throw RuntimeError(RuntimeError::BadFileName,
                       "Bad file name or number: the program's own path holds characters that "
                       "the ANSI code page cannot spell");
  if (path.size() >= MAX_PATH)
    throw RuntimeError(RuntimeError::BadFileName,
                       "Bad file name or number: the program's own path is longer than the file "
                       "functions take (" +
                           std::to_string(path.size()) + " characters)");
  return path;
}

class Win32Program final : public Program {
public:
  std::string Folder() override {
    std::string exe = ModulePath();
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
  }

  std::string ExeName() override {
    std::string exe = ModulePath();
    std::string name = exe.substr(exe.find_last_of('\\') + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
  }
};

} // namespace

std::shared_ptr<Program> Program::Native() {
  return std::make_shared<Win32Program>();
}

} // namespace platform
