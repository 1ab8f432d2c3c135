#pragma once
// The program's pictures, built into the binary as PNG bytes.

#include <cstddef>

namespace artwork {

struct Bytes {
  const unsigned char* data;
  size_t size;
};

Bytes Banner(); // 560 x 143
Bytes Icon();   // 32 x 32

} // namespace artwork
