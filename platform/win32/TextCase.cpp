#include "platform/TextCase.h"

#include <windows.h>

namespace platform {

const CaseTable& UpperCaseTable() {
  static const CaseTable table = [] {
    CaseTable t{};
    for (int c = 0; c < 256; ++c) {
      char byte = static_cast<char>(c);
      // Each byte on its own; the first byte of a two-byte character (in
      // the double-byte code pages) is no character and has no case. The
      // NUL byte has none either.
      if (c != 0 && !IsDBCSLeadByte(static_cast<BYTE>(c))) CharUpperBuffA(&byte, 1);
      t[c] = static_cast<unsigned char>(byte);
    }
    return t;
  }();
  return table;
}

} // namespace platform
