#pragma once
// Conversions between the ANSI code page that the core speaks and the UTF-8
// names of the Linux file system, as Wine converts them. The code page is
// the one Wine gives a program in the user's language: 1251 for Russian,
// 932 for Japanese, 1252 where no other applies (platform::AnsiCodePageOf).

#include <string>
#include <string_view>

namespace platform::posix {

// The ANSI code page of the user's locale (LC_ALL, else LC_CTYPE, else
// LANG), read once. A locale that the system does not have counts as "C",
// as it does for Wine.
int AnsiCodePage();

std::string AnsiToUtf8(std::string_view ansi);
// Characters that the code page cannot hold, and bytes that are no UTF-8,
// become '?'.
std::string Utf8ToAnsi(std::string_view utf8);
// As the "A" functions of Windows hand out names and texts: a character
// that the code page cannot hold becomes its look-alike where the code page
// has one ("e" for "é" in 1251), '?' otherwise.
std::string Utf8ToAnsiBestFit(std::string_view utf8);

// The same in a code page of one's choice (one that glibc's iconv does not
// know is taken as 1252).
std::string AnsiToUtf8(std::string_view ansi, int codePage);
std::string Utf8ToAnsi(std::string_view utf8, int codePage, bool bestFit);

// UTF-16 text (without its byte order mark) to UTF-8 and back.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);

// Upper-case form of a single byte of the code page (itself when it has
// none, or starts a two-byte character).
unsigned char AnsiUpper(unsigned char c);

bool EqualNoCase(std::string_view utf8a, std::string_view utf8b);

// The characters of a UTF-8 text, upper-cased.
std::u32string UpperCharacters(std::string_view utf8);

} // namespace platform::posix
