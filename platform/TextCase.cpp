#include "platform/TextCase.h"

namespace platform {

std::string ToUpper(std::string_view text) {
  const CaseTable& upper = UpperCaseTable();
  std::string result(text);
  for (char& c : result)
    c = static_cast<char>(upper[static_cast<unsigned char>(c)]);
  return result;
}

} // namespace platform
