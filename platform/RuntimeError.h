#pragma once
// Numbered run-time errors: every failure that the core or the platform layer
// reports is a RuntimeError carrying the classic error number and its usual
// description, so callers can tell an access error (75) from an overflow (6).

#include <cstdint>
#include <stdexcept>
#include <string>

class RuntimeError : public std::runtime_error {
public:
  enum : int {
    InvalidProcedureCall = 5,
    Overflow = 6,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    DeviceIOError = 57,
    DiskFull = 61,
    DeviceUnavailable = 68,
    PermissionDenied = 70,
    DiskNotReady = 71,
    PathFileAccessError = 75,
    PathNotFound = 76,
    ObjectNotSet = 91,
    DuplicateKey = 457,
    // A collection raises "invalid procedure call" for a key it does not hold.
    ElementNotFound = InvalidProcedureCall,
  };

  explicit RuntimeError(int number);
  RuntimeError(int number, const std::string& description);

  int Number() const { return number_; }
  std::string Description() const { return what(); }

  // The usual description of an error number ("Overflow" for 6, ...).
  static std::string DescriptionOf(int number);

private:
  int number_;
};

// Narrows a count to 16 bits; a value outside -32768..32767 raises Overflow.
int16_t ToInt16(long long value);
