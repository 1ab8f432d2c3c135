#include "platform/Locale.h"

#include <windows.h>

#include "platform/RuntimeError.h"

namespace platform {
namespace {

std::string LocaleText(LCTYPE type) {
  char buffer[128];
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  return n > 0 ? std::string(buffer) : std::string();
}

class Win32Locale final : public Locale {
public:
  std::string DayName(int dayOfWeek) override {
    if (dayOfWeek < 0 || dayOfWeek > 6) throw RuntimeError(RuntimeError::InvalidProcedureCall);
    // LOCALE_SDAYNAME1 is Monday, LOCALE_SDAYNAME7 Sunday.
    return LocaleText(LOCALE_SDAYNAME1 + static_cast<LCTYPE>((dayOfWeek + 6) % 7));
  }
  std::string AbbreviatedMonthName(int month) override {
    if (month < 1 || month > 12) throw RuntimeError(RuntimeError::InvalidProcedureCall);
    return LocaleText(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(month - 1));
  }
};

} // namespace

std::shared_ptr<Locale> Locale::Native() {
  return std::make_shared<Win32Locale>();
}

} // namespace platform
