#include "platform/Locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstring>

#include "platform/RuntimeError.h"
#include "platform/posix/Ansi.h"

namespace platform {
namespace {

// The user's time names (LC_ALL, LC_TIME, LANG), without touching the
// process's global locale; names in UTF-8 become ANSI.
class PosixLocale final : public Locale {
public:
  PosixLocale() {
    locale_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
    if (!locale_) locale_ = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }
  ~PosixLocale() override {
    if (locale_) freelocale(locale_);
  }
  PosixLocale(const PosixLocale&) = delete;
  PosixLocale& operator=(const PosixLocale&) = delete;

  std::string DayName(int dayOfWeek) override {
    if (dayOfWeek < 0 || dayOfWeek > 6) throw RuntimeError(RuntimeError::InvalidProcedureCall);
    return Text(static_cast<nl_item>(DAY_1 + dayOfWeek));
  }
  std::string AbbreviatedMonthName(int month) override {
    if (month < 1 || month > 12) throw RuntimeError(RuntimeError::InvalidProcedureCall);
    return Text(static_cast<nl_item>(ABMON_1 + month - 1));
  }

private:
  std::string Text(nl_item item) const {
    const char* text = nl_langinfo_l(item, locale_);
    std::string value = text ? text : "";
    const char* codeset = nl_langinfo_l(CODESET, locale_);
    if (codeset && std::strcmp(codeset, "UTF-8") == 0) return posix::Utf8ToAnsi(value);
    return value;
  }

  locale_t locale_;
};

} // namespace

std::shared_ptr<Locale> Locale::Native() {
  return std::make_shared<PosixLocale>();
}

} // namespace platform
