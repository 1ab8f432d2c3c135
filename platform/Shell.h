#pragma once
// The shell's file operations (copy, move, delete, rename), as SHFileOperationA
// carries them out: one request describes its sources and its target in lists
// of paths, each path ended by a NUL and the list by one more.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Service.h"

namespace platform {

// Operations (wFunc).
constexpr uint32_t FO_MOVE = 0x0001;
constexpr uint32_t FO_COPY = 0x0002;
constexpr uint32_t FO_DELETE = 0x0003;
constexpr uint32_t FO_RENAME = 0x0004;

// Flags (fFlags).
constexpr uint16_t FOF_MULTIDESTFILES = 0x0001;
constexpr uint16_t FOF_CONFIRMMOUSE = 0x0002;
constexpr uint16_t FOF_SILENT = 0x0004;
constexpr uint16_t FOF_RENAMEONCOLLISION = 0x0008;
constexpr uint16_t FOF_NOCONFIRMATION = 0x0010;
constexpr uint16_t FOF_WANTMAPPINGHANDLE = 0x0020;
constexpr uint16_t FOF_ALLOWUNDO = 0x0040;
constexpr uint16_t FOF_FILESONLY = 0x0080;
constexpr uint16_t FOF_SIMPLEPROGRESS = 0x0100;
constexpr uint16_t FOF_NOCONFIRMMKDIR = 0x0200;
constexpr uint16_t FOF_NOERRORUI = 0x0400;

// The request record, SHFILEOPSTRUCTA with the window handle as the opaque
// 32-bit value the core holds. pFrom and pTo hold their lists as they are
// handed over: every path followed by a NUL, the terminator of the text
// giving the list's final NUL.
struct SHFILEOPSTRUCTA {
  uint32_t hwnd = 0;
  uint32_t wFunc = 0;
  std::string pFrom;
  std::string pTo;
  uint16_t fFlags = 0;
  bool fAnyOperationsAborted = false;
  void* hNameMappings = nullptr;
  const char* lpszProgressTitle = nullptr;
};

class Shell {
public:
  virtual ~Shell() = default;
  static std::shared_ptr<Shell> Native();

  // Carries out the request and returns when it is over: 0 on success,
  // another value when the shell could not do it (the reason is not named).
  virtual int32_t SHFileOperationA(SHFILEOPSTRUCTA& request) = 0;
};

inline Shell& shell() {
  return Service<Shell>::Get();
}

} // namespace platform
