#include "platform/CodePages.h"

#include <initializer_list>

namespace platform {

int AnsiCodePageOf(std::string_view name) {
  // "ll_CC.codeset@modifier"
  const std::string_view modifier = name.find('@') == std::string_view::npos
                                        ? std::string_view()
                                        : name.substr(name.find('@') + 1);
  name = name.substr(0, name.find_first_of(".@"));
  const std::string_view language = name.substr(0, name.find('_'));
  const std::string_view country = name.find('_') == std::string_view::npos
                                       ? std::string_view()
                                       : name.substr(name.find('_') + 1);
  auto in = [&](std::initializer_list<std::string_view> languages) {
    for (std::string_view l : languages)
      if (language == l) return true;
    return false;
  };
  // The ANSI code pages of the Windows locales of these languages.
  if (in({"ja"})) return 932;
  if (in({"zh"})) return country == "TW" || country == "HK" || country == "MO" ? 950 : 936;
  if (in({"ko"})) return 949;
  if (in({"th"})) return 874;
  if (in({"vi"})) return 1258;
  if (in({"el"})) return 1253;
  if (in({"he", "iw", "yi"})) return 1255;
  if (in({"ar", "fa", "ur", "ug", "ps", "sd"})) return 1256;
  if (in({"et", "lt", "lv"})) return 1257;
  if (in({"sr"})) return modifier == "latin" ? 1250 : 1251;
  if (in({"uz"})) return modifier == "cyrillic" ? 1251 : 1254;
  if (in({"tr", "az"})) return 1254;
  if (in({"ru", "uk", "be", "bg", "mk", "kk", "ky", "tt", "mn", "ba", "tg", "sah", "cv", "os"}))
    return 1251;
  if (in({"cs", "sk", "pl", "hu", "sl", "hr", "ro", "sq", "bs", "hsb", "dsb", "tk"})) return 1250;
  return 1252;
}

} // namespace platform
