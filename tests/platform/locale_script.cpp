// What the program shows of dates and names in the user's language, printed
// byte by byte in the ANSI code page: the version line's date for every
// weekday and month, every byte upper-cased, and the names of files in
// several scripts as a folder listing and a look-up by name give them. The same program is built
// for Linux and for Windows; run in one language in each, the outputs must be equal
// (locale_matches_windows compares them).
//
//   locale_script <folder as a Windows path> <the same folder for the C++ library>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/frmTop.h"
#include "platform/FileSystem.h"
#include "platform/RuntimeError.h"
#include "platform/TextCase.h"

namespace fs = std::filesystem;

namespace {

std::string Escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7f && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: locale_script FOLDER HOST-FOLDER\n");
    return 2;
  }
  const std::string win = argv[1];
  const fs::path host = fs::path(argv[2]);

  // 1 to 7 March 2027 run from Monday to Sunday; then the 8th of each month.
  static const int weekdayOfMarch1 = 1;
  for (int day = 1; day <= 7; ++day)
    std::printf(
        "date %s\n",
        Escaped(frmTop::FormatVersionDate(2027, 3, day, (weekdayOfMarch1 + day - 1) % 7)).c_str());
  for (int month = 1; month <= 12; ++month)
    std::printf("month %s\n", Escaped(frmTop::FormatVersionDate(2026, month, 8, 2)).c_str());

  // Every byte upper-cased, as the search compares texts.
  std::string bytes;
  for (int c = 1; c < 256; ++c)
    bytes += static_cast<char>(c);
  const std::string upper = platform::ToUpper(bytes);
  for (size_t at = 0; at < upper.size(); at += 32)
    std::printf("upper %s\n", Escaped(upper.substr(at, 32)).c_str());

  // Files named in Cyrillic, Japanese, Greek and Latin with accents (UTF-8 here).
  const char8_t* const names[] = {u8"\u0434\u0440\u0430\u0439\u0432\u0435\u0440.inf",
                                  u8"\u30c9\u30e9\u30a4\u30d0.inf", u8"\u03b1\u03b2\u03b3.inf",
                                  u8"caf\u00e9.inf", u8"plain.inf"};
  for (const char8_t* name : names)
    std::ofstream(host / fs::path(name)) << "x";
  auto& files = platform::fileSystem();
  try {
    for (const std::string& name : files.FolderNames(win)) {
      std::printf("listed %s", Escaped(name).c_str());
      // Looked up again by the name it was listed under.
      const std::string found = files.FirstEntry(win + "\\" + name, platform::EntryKinds::AnyFile);
      std::printf(" -> %s\n", Escaped(found).c_str());
    }
  } catch (const RuntimeError& e) {
    std::printf("error %d\n", e.Number());
  }
  return 0;
}
