#include "search/TextFinder.h"

#include <cstdint>
#include <cstring>

namespace {

// The bytes compared at once; the compiler maps these to SIMD registers
// where the target has them and to plain words where it does not. (Values
// of these types stay inside one function: passing them by value would
// depend on the target's vector ABI.)
using Bytes16 = unsigned char __attribute__((vector_size(16)));
using Bytes32 = unsigned char __attribute__((vector_size(32)));

// From candidate `i` on, the first round of sixty-four candidates in which
// the probed byte `value` (under `mask`) occurs, or the first candidate
// after the last whole round.
template <class Bytes>
[[gnu::always_inline]] inline size_t NextRoundWithHit(const unsigned char* probed, size_t i,
                                                      size_t starts, unsigned char value,
                                                      unsigned char mask) {
  constexpr int kWidth = sizeof(Bytes);
  Bytes values, masks;
  for (int k = 0; k < kWidth; ++k) {
    values[k] = value;
    masks[k] = mask;
  }
  for (; i + 64 <= starts; i += 64) {
    Bytes any = {};
    for (int q = 0; q < 64 / kWidth; ++q) {
      Bytes bytes;
      std::memcpy(&bytes, probed + i + kWidth * q, sizeof bytes);
      any |= (bytes | masks) == values;
    }
    uint64_t words[kWidth / 8];
    std::memcpy(words, &any, sizeof words);
    uint64_t hit = 0;
    for (uint64_t word : words)
      hit |= word;
    if (hit != 0) return i;
  }
  return i;
}

size_t NextRoundWithHitPlain(const unsigned char* probed, size_t i, size_t starts,
                             unsigned char value, unsigned char mask) {
  return NextRoundWithHit<Bytes16>(probed, i, starts, value, mask);
}

// The same with 32-byte registers, for the processors that have them.
[[gnu::target("avx2")]] size_t NextRoundWithHitWide(const unsigned char* probed, size_t i,
                                                    size_t starts, unsigned char value,
                                                    unsigned char mask) {
  return NextRoundWithHit<Bytes32>(probed, i, starts, value, mask);
}

using RoundFinder = size_t (*)(const unsigned char*, size_t, size_t, unsigned char, unsigned char);

RoundFinder WidestRoundFinder() {
  static const RoundFinder widest = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? NextRoundWithHitWide : NextRoundWithHitPlain;
  }();
  return widest;
}

// How common an upper-cased byte is in the text files searched (INF and
// INI files, English text): higher is more common. Letters follow English
// letter frequency, blanks, line ends and the INF punctuation come first,
// control characters and bytes above 0x7F last.
int Commonness(unsigned char upperByte) {
  static const char kLetters[] = "ZQJXKVBYWGPFMUCDLHRSNIOATE"; // rarest first
  if (upperByte >= 'A' && upperByte <= 'Z')
    return 100 + static_cast<int>(std::strchr(kLetters, upperByte) - kLetters) * 4;
  if (upperByte >= '0' && upperByte <= '9') return 140;
  switch (upperByte) {
  case ' ':
  case '\r':
  case '\n':
  case ',':
  case '=':
    return 250;
  case '.':
  case '%':
  case ';':
  case '_':
  case '"':
  case '\t':
  case '\\':
    return 120;
  default:
    break;
  }
  if (upperByte < 0x20 || upperByte >= 0x80) return 0;
  return 60; // other ASCII punctuation
}

} // namespace

TextFinder::TextFinder(std::string_view text, const platform::CaseTable& upper) : upper_(upper) {
  needle_.reserve(text.size());
  for (char c : text)
    needle_ += static_cast<char>(upper[static_cast<unsigned char>(c)]);
  // The rarest byte a probe can find leads; the next rarest byte elsewhere
  // in the text filters its hits. Among equals the later one wins.
  int rarest = 1 << 30, other = 1 << 30;
  for (size_t j = 0; j < needle_.size(); ++j) {
    const auto byte = static_cast<unsigned char>(needle_[j]);
    const int commonness = Commonness(byte);
    Probe probe = ProbeFor(byte);
    if (probe.usable && commonness <= rarest) {
      if (rare_.usable) {
        other = rarest;
        otherAt_ = rareAt_;
      }
      rare_ = probe;
      rareAt_ = j;
      rarest = commonness;
    } else if (commonness <= other) {
      other = commonness;
      otherAt_ = j;
    }
  }
}

TextFinder::Probe TextFinder::ProbeFor(unsigned char upperByte) const {
  // The bytes that upper-case to `upperByte` must all agree once bit 0x20 is
  // set (a letter and its lower case), or be that one byte alone.
  Probe exact{upperByte, 0, true};
  Probe folded{static_cast<unsigned char>(upperByte | 0x20), 0x20, true};
  bool exactWorks = true, foldedWorks = true;
  for (int b = 0; b < 256; ++b) {
    if (upper_[b] != upperByte) continue;
    if (b != upperByte) exactWorks = false;
    if ((b | 0x20) != folded.value) foldedWorks = false;
  }
  if (exactWorks) return exact;
  if (foldedWorks) return folded;
  return Probe{};
}

bool TextFinder::MatchesAt(const unsigned char* at) const {
  const auto* needle = reinterpret_cast<const unsigned char*>(needle_.data());
  for (size_t j = 0; j < needle_.size(); ++j)
    if (upper_[at[j]] != needle[j]) return false;
  return true;
}

bool TextFinder::FoundIn(const unsigned char* data, size_t size) const {
  const size_t n = needle_.size();
  if (n == 0 || size < n) return false;
  const size_t starts = size - n + 1; // candidate start positions
  size_t i = 0;
  if (rare_.usable) {
    // Look at the rare byte of sixty-four candidates a round, with one test
    // of all their hits together; only where it can match are the other
    // rare byte and then the whole text compared. The rest of the
    // candidates go one by one below.
    const auto* needle = reinterpret_cast<const unsigned char*>(needle_.data());
    const unsigned char other = needle[otherAt_];
    const unsigned char* probed = data + rareAt_;
    const RoundFinder nextRound = wide_ ? WidestRoundFinder() : NextRoundWithHitPlain;
    for (;;) {
      i = nextRound(probed, i, starts, rare_.value, rare_.mask);
      if (i + 64 > starts) break;
      for (size_t k = i; k < i + 64; ++k)
        if ((probed[k] | rare_.mask) == rare_.value && upper_[data[k + otherAt_]] == other &&
            MatchesAt(data + k))
          return true;
      i += 64;
    }
  }
  const unsigned char head = static_cast<unsigned char>(needle_.front());
  for (; i < starts; ++i)
    if (upper_[data[i]] == head && MatchesAt(data + i)) return true;
  return false;
}
