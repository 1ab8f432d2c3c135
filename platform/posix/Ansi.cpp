#include "platform/posix/Ansi.h"

#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/CodePages.h"
#include "platform/FileNames.h"

namespace platform::posix {
namespace {

constexpr char32_t kNone = 0xFFFFFFFF;

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// Decodes one UTF-8 character at `i`; a byte that starts no valid sequence
// stands for itself.
char32_t DecodeUtf8(std::string_view s, size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  int extra = b >= 0xF8 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + extra >= s.size()) {
    ++i;
    return b;
  }
  char32_t u = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    u = (u << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return u;
}

bool Ascii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The UTF-8 locale whose Unicode rules (case, look-alikes) apply whatever
// the user's language.
locale_t UnicodeLocale() {
  static const locale_t unicode = [] {
    locale_t l = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return l ? l : newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  }();
  return unicode;
}

// Upper-case as Windows folds names: its own rule for the Windows-1252
// letters, Unicode's for the rest.
char32_t UpperUnicode(char32_t u) {
  char32_t upper = UpperCharacter(u);
  if (upper != u || u < 0x100) return upper;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(u), UnicodeLocale()));
}

// One run of iconv over `in`, the conversion's state reset before and
// flushed after; false when it did not convert all of it.
bool Convert(iconv_t cd, std::string_view in, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char buffer[64];
  char* from = const_cast<char*>(in.data());
  size_t left = in.size();
  char* to = buffer;
  size_t room = sizeof buffer;
  if (iconv(cd, &from, &left, &to, &room) == static_cast<size_t>(-1) || left != 0) return false;
  if (iconv(cd, nullptr, nullptr, &to, &room) == static_cast<size_t>(-1)) return false;
  out.assign(buffer, static_cast<size_t>(to - buffer));
  return true;
}

std::u32string FromUtf32(const std::string& bytes) {
  std::u32string text;
  for (size_t i = 0; i + 3 < bytes.size(); i += 4)
    text += static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                  static_cast<unsigned char>(bytes[i + 1]) << 8 |
                                  static_cast<unsigned char>(bytes[i + 2]) << 16 |
                                  static_cast<unsigned char>(bytes[i + 3]) << 24);
  return text;
}

std::string ToUtf32(char32_t u) {
  std::string bytes(4, '\0');
  for (int k = 0; k < 4; ++k)
    bytes[static_cast<size_t>(k)] = static_cast<char>((u >> (8 * k)) & 0xFF);
  return bytes;
}

// A Windows code page as glibc's iconv knows it ("CP1251", "CP932"), read
// into tables once: the character of every byte and, in the double-byte
// code pages (932, 936, 949, 950), of every lead and trail byte pair.
class CodePage {
public:
  explicit CodePage(int number) : number_(number) {
    const std::string name = "CP" + std::to_string(number);
    iconv_t decode = iconv_open("UTF-32LE", name.c_str());
    if (decode == reinterpret_cast<iconv_t>(-1)) {
      number_ = 1252;
      decode = iconv_open("UTF-32LE", "CP1252");
    }
    std::string out;
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      std::u32string u;
      if (Convert(decode, std::string_view(&byte, 1), out)) u = FromUtf32(out);
      if (u.size() == 1) {
        single_[b] = u[0];
        continue;
      }
      // No character of its own: the first byte of a pair, or (as Windows
      // maps the bytes a code page leaves out) the C1 control or Latin-1
      // character of the same value.
      single_[b] = static_cast<char32_t>(b);
      if (b < 0x80) continue;
      bool lead = false;
      for (int t = 0x40; t < 0xFF; ++t) {
        const char pair[2] = {byte, static_cast<char>(t)};
        if (Convert(decode, std::string_view(pair, 2), out) && (u = FromUtf32(out)).size() == 1) {
          pairs_[static_cast<uint16_t>(b << 8 | t)] = u[0];
          lead = true;
        }
      }
      if (lead) single_[b] = kNone;
    }
    iconv_close(decode);
    for (const auto& [pair, u] : pairs_)
      encode_.emplace(u, pair);
    for (int b = 255; b >= 0; --b)
      if (single_[b] != kNone) encode_[single_[b]] = static_cast<uint16_t>(b);
    bestFit_ = iconv_open((name + "//TRANSLIT").c_str(), "UTF-32LE");
  }
  ~CodePage() {
    if (bestFit_ != reinterpret_cast<iconv_t>(-1)) iconv_close(bestFit_);
  }
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  int Number() const { return number_; }

  std::string ToUtf8(std::string_view ansi) const {
    std::string out;
    out.reserve(ansi.size());
    for (size_t i = 0; i < ansi.size(); ++i) {
      auto b = static_cast<unsigned char>(ansi[i]);
      char32_t u = single_[b];
      if (u == kNone) {
        // A lead byte: with a trail byte, the pair's character; without
        // one, the byte as the code page leaves it.
        auto pair = i + 1 < ansi.size() ? pairs_.find(static_cast<uint16_t>(
                                              b << 8 | static_cast<unsigned char>(ansi[i + 1])))
                                        : pairs_.end();
        if (pair != pairs_.end()) {
          u = pair->second;
          ++i;
        } else {
          u = b;
        }
      }
      AppendUtf8(out, u);
    }
    return out;
  }

  std::string FromUtf8(std::string_view utf8, bool bestFit) const {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
      const size_t start = i;
      const char32_t u = DecodeUtf8(utf8, i);
      const bool invalid = i - start == 1 && static_cast<unsigned char>(utf8[start]) >= 0x80;
      auto found = invalid ? encode_.end() : encode_.find(u);
      if (found != encode_.end())
        Put(out, found->second);
      else
        out += invalid || !bestFit ? std::string("?") : LookAlike(u);
    }
    return out;
  }

  unsigned char Upper(unsigned char c) const {
    const char32_t u = single_[c];
    if (u == kNone) return c;
    auto found = encode_.find(UpperUnicode(u));
    return found == encode_.end() || found->second > 0xFF
               ? c
               : static_cast<unsigned char>(found->second);
  }

private:
  static void Put(std::string& out, uint16_t code) {
    if (code > 0xFF) out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
  }

  // The one character of the code page that iconv takes for `u` in the
  // Unicode locale's look-alikes ("e" for "é"); '?' when there is none.
  std::string LookAlike(char32_t u) const {
    if (bestFit_ == reinterpret_cast<iconv_t>(-1)) return "?";
    std::string bytes;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const locale_t before = uselocale(UnicodeLocale());
      const bool converted = Convert(bestFit_, ToUtf32(u), bytes);
      uselocale(before);
      if (!converted) return "?";
    }
    const bool one =
        (bytes.size() == 1 && single_[static_cast<unsigned char>(bytes[0])] != kNone) ||
        (bytes.size() == 2 && single_[static_cast<unsigned char>(bytes[0])] == kNone);
    return one ? bytes : std::string("?");
  }

  int number_;
  std::array<char32_t, 256> single_{}; // kNone: the first byte of a pair
  std::unordered_map<uint16_t, char32_t> pairs_;
  std::unordered_map<char32_t, uint16_t> encode_; // a byte, or a pair as lead << 8 | trail
  iconv_t bestFit_ = reinterpret_cast<iconv_t>(-1);
  mutable std::mutex mutex_;
};

const CodePage& CodePageNumbered(int number) {
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<CodePage>> pages;
  std::lock_guard<std::mutex> lock(mutex);
  auto& page = pages[number];
  if (!page) page = std::make_unique<CodePage>(number);
  return *page;
}

const CodePage& Current() {
  static const CodePage& current = CodePageNumbered(AnsiCodePage());
  return current;
}

} // namespace

int AnsiCodePage() {
  static const int number = [] {
    // The locale as setlocale(LC_ALL, "") takes it, which is what Wine
    // does: when the system lacks it, everything stays "C".
    locale_t user = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
    if (!user) return AnsiCodePageOf("C");
    freelocale(user);
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
      const char* value = std::getenv(variable);
      if (value && *value) return AnsiCodePageOf(value);
    }
    return AnsiCodePageOf("C");
  }();
  return number;
}

std::string AnsiToUtf8(std::string_view ansi) {
  if (Ascii(ansi)) return std::string(ansi);
  return Current().ToUtf8(ansi);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  if (Ascii(utf8)) return std::string(utf8);
  return Current().FromUtf8(utf8, false);
}

std::string Utf8ToAnsiBestFit(std::string_view utf8) {
  if (Ascii(utf8)) return std::string(utf8);
  return Current().FromUtf8(utf8, true);
}

std::string AnsiToUtf8(std::string_view ansi, int codePage) {
  return CodePageNumbered(codePage).ToUtf8(ansi);
}

std::string Utf8ToAnsi(std::string_view utf8, int codePage, bool bestFit) {
  return CodePageNumbered(codePage).FromUtf8(utf8, bestFit);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  auto unit = [&](size_t i) -> char32_t {
    auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    return static_cast<char32_t>(hi << 8 | lo);
  };
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
      char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, u);
  }
  return out;
}

std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian) {
  std::string out;
  auto put = [&](char32_t unit) {
    char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  for (size_t i = 0; i < utf8.size();) {
    char32_t u = DecodeUtf8(utf8, i);
    if (u >= 0x10000) {
      put(0xD800 + ((u - 0x10000) >> 10));
      put(0xDC00 + ((u - 0x10000) & 0x3FF));
    } else {
      put(u);
    }
  }
  return out;
}

unsigned char AnsiUpper(unsigned char c) {
  return Current().Upper(c);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size())
    if (UpperUnicode(DecodeUtf8(a, i)) != UpperUnicode(DecodeUtf8(b, j))) return false;
  return i == a.size() && j == b.size();
}

std::u32string UpperCharacters(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();)
    out += UpperUnicode(DecodeUtf8(utf8, i));
  return out;
}

} // namespace platform::posix

std::string platform::AnsiTextToUtf8(std::string_view ansi) {
  return posix::AnsiToUtf8(ansi);
}
