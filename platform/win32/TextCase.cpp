#include "platform/TextCase.h"

#include <windows.h>

namespace platform {

const CaseTable& UpperCaseTable() {
  static const CaseTable table = [] {
    char bytes[256];
    for (int c = 0; c < 256; ++c)
      bytes[c] = static_cast<char>(c);
    CharUpperBuffA(bytes + 1, 255); // the NUL byte has no case
    CaseTable t{};
    for (int c = 0; c < 256; ++c)
      t[c] = static_cast<unsigned char>(bytes[c]);
    return t;
  }();
  return table;
}

} // namespace platform
