#include "platform/RuntimeError.h"

RuntimeError::RuntimeError(int number) : RuntimeError(number, DescriptionOf(number)) {}

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

std::string RuntimeError::DescriptionOf(int number) {
  switch (number) {
  case InvalidProcedureCall:
    return "Invalid procedure call or argument";
  case Overflow:
    return "Overflow";
  case SubscriptOutOfRange:
    return "Subscript out of range";
  case TypeMismatch:
    return "Type mismatch";
  case BadFileName:
    return "Bad file name or number";
  case FileNotFound:
    return "File not found";
  case DeviceIOError:
    return "Device I/O error";
  case DiskFull:
    return "Disk full";
  case DeviceUnavailable:
    return "Device unavailable";
  case PermissionDenied:
    return "Permission denied";
  case DiskNotReady:
    return "Disk not ready";
  case PathFileAccessError:
    return "Path/File access error";
  case PathNotFound:
    return "Path not found";
  case ObjectNotSet:
    return "Object variable or With block variable not set";
  case DuplicateKey:
    return "This key is already associated with an element of this collection";
  default:
    return "Application-defined or object-defined error";
  }
}

int16_t ToInt16(long long value) {
  if (value < INT16_MIN || value > INT16_MAX) throw RuntimeError(RuntimeError::Overflow);
  return static_cast<int16_t>(value);
}
