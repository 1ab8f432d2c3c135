#include "platform/TextCase.h"

#include "platform/posix/Ansi.h"

namespace platform {

const CaseTable& UpperCaseTable() {
  static const CaseTable table = [] {
    CaseTable t{};
    for (int c = 0; c < 256; ++c)
      t[c] = posix::AnsiUpper(static_cast<unsigned char>(c));
    return t;
  }();
  return table;
}

} // namespace platform
