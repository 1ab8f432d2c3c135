#pragma once
// The user's language for dates: names of weekdays and months, in the ANSI
// code page.

#include <memory>
#include <string>

#include "platform/Service.h"

namespace platform {

class Locale {
public:
  virtual ~Locale() = default;
  static std::shared_ptr<Locale> Native();

  // Full name of a weekday, 0 = Sunday .. 6 = Saturday ("Friday").
  virtual std::string DayName(int dayOfWeek) = 0;
  // Abbreviated name of a month, 1 = January .. 12 ("Mar").
  virtual std::string AbbreviatedMonthName(int month) = 0;
};

inline Locale& locale() {
  return Service<Locale>::Get();
}

} // namespace platform
