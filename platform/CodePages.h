#pragma once
// The ANSI code page rules that hold on every platform: which code page the
// Windows locale of a language uses, and the text of the program's ANSI code
// page as UTF-8 (for a toolkit that draws UTF-8).

#include <string>
#include <string_view>

namespace platform {

// The ANSI code page of the Windows locale that a Linux locale name
// ("ru_RU.UTF-8", "sr_RS@latin", "C") stands for: 1251 for Russian, 932 for
// Japanese, 1252 where no other applies.
int AnsiCodePageOf(std::string_view localeName);

// Text of the program's ANSI code page, as UTF-8. (One definition per
// platform: Windows converts through the system's code page, Linux through
// the one its layer speaks.)
std::string AnsiTextToUtf8(std::string_view ansi);

} // namespace platform
