#pragma once
// GetLastError() codes as numbered run-time errors.

#include <windows.h>

#include "platform/RuntimeError.h"

namespace platform::win32 {

RuntimeError ErrorFromCode(DWORD code);
inline RuntimeError LastError() {
  return ErrorFromCode(GetLastError());
}

} // namespace platform::win32
