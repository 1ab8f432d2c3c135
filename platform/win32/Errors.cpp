#include "platform/win32/Errors.h"

namespace platform::win32 {

RuntimeError ErrorFromCode(DWORD code) {
  switch (code) {
  case ERROR_FILE_NOT_FOUND:
    return RuntimeError(RuntimeError::FileNotFound);
  case ERROR_PATH_NOT_FOUND:
  case ERROR_BAD_NETPATH:
    return RuntimeError(RuntimeError::PathNotFound);
  case ERROR_ACCESS_DENIED:
  case ERROR_ALREADY_EXISTS:
  case ERROR_FILE_EXISTS:
  case ERROR_DIR_NOT_EMPTY:
  case ERROR_WRITE_PROTECT:
    return RuntimeError(RuntimeError::PathFileAccessError);
  case ERROR_SHARING_VIOLATION:
  case ERROR_LOCK_VIOLATION:
    return RuntimeError(RuntimeError::PermissionDenied);
  case ERROR_INVALID_NAME:
  case ERROR_BAD_PATHNAME:
  case ERROR_FILENAME_EXCED_RANGE:
  case ERROR_DIRECTORY:
    return RuntimeError(RuntimeError::BadFileName);
  case ERROR_INVALID_PARAMETER: // what Wine says of a pipe or device it is asked to delete
    return RuntimeError(RuntimeError::InvalidProcedureCall);
  case ERROR_INVALID_DRIVE:
    return RuntimeError(RuntimeError::DeviceUnavailable);
  case ERROR_NOT_READY:
    return RuntimeError(RuntimeError::DiskNotReady);
  case ERROR_DISK_FULL:
  case ERROR_HANDLE_DISK_FULL:
    return RuntimeError(RuntimeError::DiskFull);
  default:
    return RuntimeError(RuntimeError::DeviceIOError);
  }
}

} // namespace platform::win32
