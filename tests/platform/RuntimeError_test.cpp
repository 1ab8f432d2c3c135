#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

namespace {

TEST(RuntimeError, CarriesNumberAndUsualDescription) {
  struct {
    int number;
    const char* description;
  } cases[] = {{6, "Overflow"},
               {9, "Subscript out of range"},
               {53, "File not found"},
               {75, "Path/File access error"},
               {76, "Path not found"},
               {91, "Object variable or With block variable not set"},
               {457, "This key is already associated with an element of this collection"}};
  for (auto& c : cases) {
    RuntimeError e(c.number);
    EXPECT_EQ(e.Number(), c.number);
    EXPECT_EQ(e.Description(), c.description);
    EXPECT_STREQ(e.what(), c.description);
  }
}

TEST(RuntimeError, SixteenBitNarrowing) {
  EXPECT_EQ(ToInt16(32767), 32767);
  EXPECT_EQ(ToInt16(-32768), -32768);
  for (long long bad : {32768LL, -32769LL, 1LL << 40}) {
    try {
      ToInt16(bad);
      FAIL() << bad;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Number(), RuntimeError::Overflow);
    }
  }
}

} // namespace
