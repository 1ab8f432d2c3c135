#pragma once
// Finds a text in a run of bytes without regard to case, comparing every
// byte through a 256-entry upper-case table: nothing is copied or converted.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/TextCase.h"

class TextFinder {
public:
  TextFinder(std::string_view text, const platform::CaseTable& upper);

  size_t Length() const { return needle_.size(); }
  // Whether the text holds a zero byte, as the holes of a sparse file do.
  bool HoldsZero() const { return needle_.find('\0') != std::string::npos; }
  // True when the bytes hold the text (upper-cased, as the needle is).
  bool FoundIn(const unsigned char* data, size_t size) const;

  // Whether the search uses 32-byte registers where the processor has them
  // (the default); the tests turn this off to cover the 16-byte path too.
  static void UseWideRegisters(bool use) { wide_ = use; }

private:
  bool MatchesAt(const unsigned char* at) const;
  // A byte's probe: the value `b | mask` has exactly when b upper-cases to the
  // needle's byte, or more often (a superset, checked afterwards).
  struct Probe {
    unsigned char value = 0;
    unsigned char mask = 0;
    bool usable = false;
  };
  Probe ProbeFor(unsigned char upperByte) const;

  const platform::CaseTable& upper_;
  std::string needle_; // upper-cased
  // The rarest byte of the needle that a probe can find, looked for sixteen
  // candidates at a time, and the next rarest, tested before the whole text.
  Probe rare_;
  size_t rareAt_ = 0, otherAt_ = 0;
  static inline bool wide_ = true;
};
