#include "search/TextFinder.h"

#include <cstdint>
#include <cstring>

namespace {

// Sixteen bytes compared at once; the compiler maps this to SIMD registers
// where the target has them and to plain words where it does not. (Values
// of this type stay inside one function: passing them by value would depend
// on the target's vector ABI.)
using Bytes16 = unsigned char __attribute__((vector_size(16)));

} // namespace

TextFinder::TextFinder(std::string_view text, const platform::CaseTable& upper) : upper_(upper) {
  needle_.reserve(text.size());
  for (char c : text)
    needle_ += static_cast<char>(upper[static_cast<unsigned char>(c)]);
  if (!needle_.empty()) {
    first_ = ProbeFor(static_cast<unsigned char>(needle_.front()));
    last_ = ProbeFor(static_cast<unsigned char>(needle_.back()));
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
  if (first_.usable && last_.usable) {
    // Look at the first and the last byte of sixteen candidates at a time;
    // only where both can match is the whole text compared. The rest of the
    // candidates go one by one below.
    Bytes16 firstValue, firstMask, lastValue, lastMask;
    for (int k = 0; k < 16; ++k) {
      firstValue[k] = first_.value;
      firstMask[k] = first_.mask;
      lastValue[k] = last_.value;
      lastMask[k] = last_.mask;
    }
    // Sixty-four candidates a round, one test of all their hits together.
    for (; i + 64 <= starts; i += 64) {
      Bytes16 hits[4];
      for (int q = 0; q < 4; ++q) {
        Bytes16 head, tail;
        std::memcpy(&head, data + i + 16 * q, sizeof head);
        std::memcpy(&tail, data + i + 16 * q + n - 1, sizeof tail);
        hits[q] = ((head | firstMask) == firstValue) & ((tail | lastMask) == lastValue);
      }
      Bytes16 any = hits[0] | hits[1] | hits[2] | hits[3];
      uint64_t halves[2];
      std::memcpy(halves, &any, sizeof halves);
      if ((halves[0] | halves[1]) == 0) continue;
      for (int k = 0; k < 64; ++k)
        if (hits[k / 16][k % 16] && MatchesAt(data + i + k)) return true;
    }
  }
  const unsigned char head = static_cast<unsigned char>(needle_.front());
  for (; i < starts; ++i)
    if (upper_[data[i]] == head && MatchesAt(data + i)) return true;
  return false;
}
