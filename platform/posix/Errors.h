#pragma once
// errno values as numbered run-time errors.

#include "platform/RuntimeError.h"

namespace platform::posix {

RuntimeError ErrorFromErrno(int error);

} // namespace platform::posix
