#include "platform/Locale.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstring>

#include "platform/RuntimeError.h"
#include "platform/posix/Ansi.h"

namespace platform {
namespace {

// A text of the locale's own character set in UTF-8 (unchanged when iconv
// cannot convert it).
std::string ToUtf8(const std::string& text, const char* codeset) {
  iconv_t cd = iconv_open("UTF-8", codeset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out(text.size() * 4 + 4, '\0');
  char* from = const_cast<char*>(text.data());
  size_t left = text.size();
  char* to = out.data();
  size_t room = out.size();
  const bool converted = iconv(cd, &from, &left, &to, &room) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!converted) return text;
  out.resize(out.size() - room);
  return out;
}

// The user's time names (LC_ALL, LC_TIME, LANG), without touching the
// process's global locale; they come in the ANSI code page as
// GetLocaleInfoA gives them, look-alikes for what the code page lacks.
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
    // Without the blanks some languages pad names with for columns
    // (" 3月" for March in Japanese): Windows' names have none.
    value.erase(0, value.find_first_not_of(' '));
    value.erase(value.find_last_not_of(' ') + 1);
    const char* codeset = nl_langinfo_l(CODESET, locale_);
    if (codeset && std::strcmp(codeset, "UTF-8") != 0) value = ToUtf8(value, codeset);
    return posix::Utf8ToAnsiBestFit(value);
  }

  locale_t locale_;
};

} // namespace

std::shared_ptr<Locale> Locale::Native() {
  return std::make_shared<PosixLocale>();
}

} // namespace platform
