#include "platform/posix/Errors.h"

#include <cerrno>

namespace platform::posix {

RuntimeError ErrorFromErrno(int error) {
  switch (error) {
  case EACCES:
  case EPERM:
  case EROFS:
  case EEXIST:
  case ENOTEMPTY:
  case EISDIR:
  case EBUSY:
    return RuntimeError(RuntimeError::PathFileAccessError);
  case ENOENT:
    return RuntimeError(RuntimeError::FileNotFound);
  case ENOTDIR:
    return RuntimeError(RuntimeError::PathNotFound);
  case ENAMETOOLONG:
  case EINVAL:
  case EILSEQ:
    return RuntimeError(RuntimeError::BadFileName);
  case ENOSPC:
  case EDQUOT:
    return RuntimeError(RuntimeError::DiskFull);
  case ETXTBSY:
    return RuntimeError(RuntimeError::PermissionDenied);
  default:
    return RuntimeError(RuntimeError::DeviceIOError);
  }
}

} // namespace platform::posix
