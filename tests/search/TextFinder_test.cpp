#include "search/TextFinder.h"

#include <gtest/gtest.h>
#include <random>

#include "platform/TextCase.h"

namespace {

bool Naive(const std::string& hay, const std::string& needle) {
  std::string h = platform::ToUpper(hay), n = platform::ToUpper(needle);
  return !n.empty() && h.find(n) != std::string::npos;
}

bool Finds(const std::string& hay, const std::string& needle) {
  TextFinder finder(needle, platform::UpperCaseTable());
  return finder.FoundIn(reinterpret_cast<const unsigned char*>(hay.data()), hay.size());
}

TEST(TextFinder, Examples) {
  struct {
    std::string hay, needle;
    bool found;
  } cases[] = {
      {"", "a", false},
      {"abc", "", false},
      {"TALMIREX", "talmirex", true},
      {"xxTaLmIrExx", "TALMIREX", true},
      {"TALMIRE", "TALMIREX", false},
      {"talmirex", "TALMIREX!", false},
      {std::string(40, 'a') + "b", "AB", true},
      {"\xe9t\xe9", "\xc9T\xc9", true},               // é and É
      {"\x9a\x9c\x9e\xff", "\x8a\x8c\x8e\x9f", true}, // š œ ž ÿ and their capitals
      {"@", "`", false},                              // differ only in bit 0x20, not letters
      {"[x]", "{X}", false},
      {"1", "\x11", false},
  };
  for (auto& c : cases)
    EXPECT_EQ(Finds(c.hay, c.needle), c.found) << c.hay << " / " << c.needle;
}

TEST(TextFinder, AgreesWithUpperCasedSearchOnRandomText) {
  std::mt19937 random(7);
  const std::string alphabet = "aAtTlLmMxX@`[{\xe9\xc9\x9a\x8a\xff\x9f.\r\n";
  auto text = [&](size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i)
      s += alphabet[random() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 6000; ++round) {
    TextFinder::UseWideRegisters(round % 2 == 0); // both widths of the probe, where there are two
    std::string hay = text(random() % (round % 2 ? 80 : 300));
    std::string needle = text(1 + random() % (round % 3 ? 4 : 12));
    if (random() % 3 == 0 && hay.size() > needle.size())
      hay.replace(random() % (hay.size() - needle.size()), needle.size(), needle);
    ASSERT_EQ(Finds(hay, needle), Naive(hay, needle)) << '"' << hay << "\" / \"" << needle << '"';
  }
  TextFinder::UseWideRegisters(true);
}

// Whatever byte of the text leads the search (its rarest), a match is found
// at every offset of two rounds of sixty-four candidates and the tail after
// them, and a text wrong in any one byte is not.
TEST(TextFinder, MatchAtEveryOffsetOfAWideRun) {
  struct {
    std::string needle, written;
  } cases[] = {
      {"TALMIREX", "tAlMiReX"},   {"ZEBRA", "zebRA"}, {"A.Q", "a.q"},
      {"\xc9T\x9f", "\xe9t\xff"}, {"EEEE", "eEeE"},   {"K", "k"},
      {"\x8a%Z", "\x9a%z"},
  };
  for (int pass = 0; pass < 2; ++pass)
    for (auto& c : cases) {
      TextFinder::UseWideRegisters(pass == 0);
      const size_t n = c.needle.size();
      for (size_t at = 0; at + n <= 150; ++at) {
        std::string hay(150, 'w');
        hay.replace(at, n, c.written);
        EXPECT_TRUE(Finds(hay, c.needle)) << c.needle << " at " << at;
        for (size_t j = 0; j < n; ++j) {
          std::string wrong = hay;
          wrong[at + j] = '#';
          EXPECT_FALSE(Finds(wrong, c.needle)) << c.needle << " at " << at << " wrong " << j;
        }
      }
    }
  TextFinder::UseWideRegisters(true);
}

TEST(TextCase, UpperCaseFollowsWindows1252) {
  // What CharUpperBuffA answers in code page 1252: ASCII letters, the
  // accented letters 0xE0..0xFE but for the division sign, and š œ ž ÿ.
  const auto& upper = platform::UpperCaseTable();
  for (int c = 0; c < 256; ++c) {
    int expected = c;
    if (c >= 'a' && c <= 'z') expected = c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) expected = c - 32;
    if (c == 0x9A || c == 0x9C || c == 0x9E) expected = c - 0x10;
    if (c == 0xFF) expected = 0x9F;
    EXPECT_EQ(upper[c], expected) << "byte " << c;
  }
}

} // namespace
