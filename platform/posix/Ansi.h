#pragma once
// Conversions between the ANSI code page (Windows-1252) that the core speaks
// and the UTF-8 names of the Linux file system, as Wine converts them.

#include <string>
#include <string_view>

namespace platform::posix {

std::string AnsiToUtf8(std::string_view ansi);
// Characters that Windows-1252 cannot hold, and bytes that are no UTF-8,
// become '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// UTF-16 text (without its byte order mark) to UTF-8 and back.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);

// Upper-case Windows-1252 byte.
unsigned char AnsiUpper(unsigned char c);

bool EqualNoCase(std::string_view utf8a, std::string_view utf8b);

// The characters of a UTF-8 text, upper-cased.
std::u32string UpperCharacters(std::string_view utf8);

} // namespace platform::posix
