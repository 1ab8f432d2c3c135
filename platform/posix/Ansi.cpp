#include "platform/posix/Ansi.h"

#include <cstdint>

#include "platform/FileNames.h"

namespace platform::posix {
namespace {

char32_t ToUnicode(unsigned char c) {
  return AnsiCharacter(c);
}

int FromUnicode(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<int>(u);
  for (int c = 0x80; c < 0xA0; ++c)
    if (AnsiCharacter(static_cast<unsigned char>(c)) == u) return c;
  return -1;
}

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

char32_t UpperUnicode(char32_t u) {
  return UpperCharacter(u);
}

} // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char c : ansi)
    AppendUtf8(out, ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    size_t start = i;
    char32_t u = DecodeUtf8(utf8, i);
    bool invalid = i - start == 1 && static_cast<unsigned char>(utf8[start]) >= 0x80;
    int c = invalid ? -1 : FromUnicode(u);
    out += c < 0 ? '?' : static_cast<char>(c);
  }
  return out;
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
  int u = FromUnicode(UpperUnicode(ToUnicode(c)));
  return u < 0 ? c : static_cast<unsigned char>(u);
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
