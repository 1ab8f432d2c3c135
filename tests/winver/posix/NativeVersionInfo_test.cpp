// Linux is no Windows: the native platform fails the version call, so every
// query answers no.

#include <gtest/gtest.h>

#include "platform/VersionInfo.h"
#include "tests/winver/Queries.h"

TEST(NativeVersionInfo, LinuxAnswersNoToEveryQuery) {
  platform::OsVersionRecord record{};
  record.dwOSVersionInfoSize = platform::OsVersionRecord::ExtendedSize;
  EXPECT_EQ(platform::versionInfo().GetVersionExA(record), 0);
  uint32_t product = 99;
  EXPECT_EQ(platform::versionInfo().GetProductInfo(6, 0, 0, 0, product), 0);
  EXPECT_EQ(product, 0u);
  for (int index = 86; index <= 89; ++index)
    EXPECT_EQ(platform::versionInfo().GetSystemMetrics(index), 0) << index;

  clsWindowsVersion version;
  for (const auto& query : kQueries)
    EXPECT_FALSE((version.*query.ask)()) << query.name;
}
