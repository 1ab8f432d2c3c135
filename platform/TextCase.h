#pragma once
// Upper-casing by the rules of the ANSI code page in use.

#include <array>
#include <string>
#include <string_view>

namespace platform {

using CaseTable = std::array<unsigned char, 256>;

// For every byte, its upper-case form (the identity where there is none).
const CaseTable& UpperCaseTable();

std::string ToUpper(std::string_view text);

} // namespace platform
