#include "platform/CodePages.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(CodePages, TheCodePageFollowsTheLanguageAsWinesDoes) {
  const std::pair<const char*, int> cases[] = {
      {"C", 1252},
      {"POSIX", 1252},
      {"en_US.UTF-8", 1252},
      {"de_DE.UTF-8", 1252},
      {"ru_RU.UTF-8", 1251},
      {"uk_UA.UTF-8", 1251},
      {"ru_RU", 1251},
      {"ja_JP.UTF-8", 932},
      {"zh_CN.UTF-8", 936},
      {"zh_SG.UTF-8", 936},
      {"zh_TW.UTF-8", 950},
      {"zh_HK.UTF-8", 950},
      {"ko_KR.UTF-8", 949},
      {"th_TH.UTF-8", 874},
      {"el_GR.UTF-8", 1253},
      {"tr_TR.UTF-8", 1254},
      {"he_IL.UTF-8", 1255},
      {"ar_EG.UTF-8", 1256},
      {"lt_LT.UTF-8", 1257},
      {"vi_VN.UTF-8", 1258},
      {"pl_PL.UTF-8", 1250},
      {"sr_RS", 1251},
      {"sr_RS@latin", 1250},
      {"uz_UZ", 1254},
      {"uz_UZ@cyrillic", 1251},
  };
  for (const auto& [name, page] : cases)
    EXPECT_EQ(platform::AnsiCodePageOf(name), page) << name;
}

// The tests run where the code page is 1252.
TEST(CodePages, AnsiTextBecomesUtf8) {
  EXPECT_EQ(platform::AnsiTextToUtf8("caf\xe9 \x80"), "caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(platform::AnsiTextToUtf8(""), "");
}

} // namespace
