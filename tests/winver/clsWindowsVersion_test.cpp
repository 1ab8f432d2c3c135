#include "winver/clsWindowsVersion.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/ScopedService.h"
#include "tests/winver/FakeVersionInfo.h"
#include "tests/winver/Queries.h"

namespace {

using platform::VersionInfo;

// One representative system and the queries that answer yes on it; every
// other query must answer no.
struct SystemRow {
  const char* name;
  FakeSystem system;
  std::set<std::string> yes;
};

// A Vista 6.0.6000 workstation whose product call returns `result` and the
// product type `product`; on it the queries that answer yes are the family's
// and `more`.
FakeSystem Vista(uint32_t product, int32_t result = 1) {
  return {.major = 6,
          .minor = 0,
          .build = 6000,
          .productType = 1,
          .productInfoResult = result,
          .product = product};
}

std::set<std::string> VistaAnd(std::initializer_list<std::string> more) {
  std::set<std::string> yes = {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista",
                               "IsWinVistaPlus"};
  yes.insert(more.begin(), more.end());
  return yes;
}

const std::vector<SystemRow>& Systems() {
  // Windows 95/98/ME builds carry major.minor in the high word.
  static const std::vector<SystemRow> rows = {
      {"Windows 95", {.platformId = 1, .major = 4, .minor = 0, .build = 0x040003B6}, {"IsWin95"}},
      {"Windows 95, build field without a high word",
       {.platformId = 1, .major = 4, .minor = 0, .build = 950},
       {"IsWin95"}},
      {"Windows 95 OSR2",
       {.platformId = 1, .major = 4, .minor = 0, .build = 0x04000457, .servicePack = " B "},
       {"IsWin95OSR2"}},
      {"Windows 98",
       {.platformId = 1, .major = 4, .minor = 10, .build = 0x040A07CE, .servicePack = " "},
       {"IsWin98"}},
      {"Windows 98 SE",
       {.platformId = 1, .major = 4, .minor = 10, .build = 0x040A08AE, .servicePack = " A "},
       {"IsWin98"}},
      {"Windows 98 pre-release, build 1000 in the low word",
       {.platformId = 1, .major = 4, .minor = 10, .build = 0x040A03E8},
       {}},
      {"Windows ME",
       {.platformId = 1, .major = 4, .minor = 90, .build = 0x045A0BB8, .servicePack = " "},
       {"IsWinME"}},

      {"NT 4 Workstation SP6",
       {.major = 4, .minor = 0, .build = 1381, .servicePack = "Service Pack 6", .productType = 1},
       {"IsWinNT4", "IsWinNT4Plus", "IsWinNT4Workstation"}},
      {"NT 4 Server",
       {.major = 4, .minor = 0, .build = 1381, .servicePack = "Service Pack 6", .productType = 3},
       {"IsWinNT4", "IsWinNT4Plus", "IsWinNT4Server"}},
      {"NT 4 domain controller",
       {.major = 4, .minor = 0, .build = 1381, .servicePack = "Service Pack 6", .productType = 2},
       {"IsWinNT4", "IsWinNT4Plus"}},
      {"NT 4 Server SP5, which refuses the extended record",
       {.major = 4,
        .minor = 0,
        .build = 1381,
        .servicePack = "Service Pack 5",
        .productType = 3,
        .extendedRefused = true},
       {"IsWinNT4", "IsWinNT4Plus"}},
      {"NT 4 Terminal Server Edition",
       {.major = 4, .minor = 0, .build = 1381, .suiteMask = 0x0010, .productType = 3},
       {"IsWinNT4", "IsWinNT4Plus", "IsWinNT4Server", "IsTerminalServer"}},

      {"2000 Professional",
       {.major = 5, .minor = 0, .build = 2195, .servicePack = "Service Pack 4", .productType = 1},
       {"IsWinNT4Plus", "IsWin2000", "IsWin2000Plus", "IsWin2000Workstation"}},
      {"2000 Server",
       {.major = 5, .minor = 0, .build = 2195, .productType = 3},
       {"IsWinNT4Plus", "IsWin2000", "IsWin2000Plus", "IsWin2000Server"}},
      {"2000 Advanced Server",
       {.major = 5, .minor = 0, .build = 2195, .suiteMask = 0x0002, .productType = 3},
       {"IsWinNT4Plus", "IsWin2000", "IsWin2000Plus", "IsWin2000Server", "IsEnterpriseServer",
        "IsWin2000AdvancedServer"}},
      {"2000 Server domain controller",
       {.major = 5, .minor = 0, .build = 2195, .productType = 2},
       {"IsWinNT4Plus", "IsWin2000", "IsWin2000Plus"}},
      {"2000 Advanced Server domain controller",
       {.major = 5, .minor = 0, .build = 2195, .suiteMask = 0x0002, .productType = 2},
       {"IsWinNT4Plus", "IsWin2000", "IsWin2000Plus", "IsWin2000AdvancedServer"}},
      {"2000 Small Business Server",
       {.major = 5, .minor = 0, .build = 2195, .suiteMask = 0x0035, .productType = 3},
       {"IsWinNT4Plus", "IsWin2000", "IsWin2000Plus", "IsWin2000Server", "IsBackOfficeServer",
        "IsSmallBusinessServer", "IsSmallBusinessRestrictedServer", "IsTerminalServer"}},

      {"XP Home Edition",
       {.major = 5,
        .minor = 1,
        .build = 2600,
        .servicePack = "Service Pack 1",
        .suiteMask = 0x0300,
        .productType = 1},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPHomeEdition"}},
      {"XP Professional",
       {.major = 5, .minor = 1, .build = 2600, .suiteMask = 0x0100, .productType = 1},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPProEdition"}},
      {"XP Professional SP2",
       {.major = 5,
        .minor = 1,
        .build = 2600,
        .servicePack = "Service Pack 2",
        .suiteMask = 0x0100,
        .productType = 1},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPProEdition",
        "IsWinXPSP2"}},
      {"XP Professional SP3",
       {.major = 5,
        .minor = 1,
        .build = 2600,
        .servicePack = "Service Pack 3",
        .suiteMask = 0x0100,
        .productType = 1},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPProEdition"}},
      {"XP Media Center Edition",
       {.major = 5,
        .minor = 1,
        .build = 2600,
        .servicePack = "Service Pack 2",
        .suiteMask = 0x0100,
        .productType = 1,
        .metrics = {{87, 1}}},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPProEdition",
        "IsWinXPSP2", "IsWinXPMediaCenter"}},
      {"XP Tablet PC Edition",
       {.major = 5,
        .minor = 1,
        .build = 2600,
        .servicePack = "Service Pack 2",
        .suiteMask = 0x0100,
        .productType = 1,
        .metrics = {{86, 1}}},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPProEdition",
        "IsWinXPSP2", "IsWinXPTabletPc"}},
      {"XP Starter Edition",
       {.major = 5,
        .minor = 1,
        .build = 2600,
        .servicePack = "Service Pack 2",
        .suiteMask = 0x0300,
        .productType = 1,
        .metrics = {{88, 1}}},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPHomeEdition",
        "IsWinXPSP2", "IsWinXPStarter"}},
      {"XP Embedded",
       {.major = 5,
        .minor = 1,
        .build = 2600,
        .servicePack = "Service Pack 2",
        .suiteMask = 0x0140,
        .productType = 1},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPProEdition",
        "IsWinXPSP2", "IsWinXPEmbedded"}},
      {"XP Professional x64 Edition",
       {.major = 5,
        .minor = 2,
        .build = 3790,
        .servicePack = "Service Pack 2",
        .suiteMask = 0x0100,
        .productType = 1,
        .architecture = 9},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server", "IsWinXP64"}},
      {"5.2 workstation on an x86 processor record",
       {.major = 5, .minor = 2, .build = 3790, .productType = 1, .architecture = 0},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server"}},
      {"5.2 workstation on an Itanium",
       {.major = 5, .minor = 2, .build = 3790, .productType = 1, .architecture = 6},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server"}},

      {"Server 2003 on an x64 processor",
       {.major = 5, .minor = 2, .build = 3790, .productType = 3, .architecture = 9},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server"}},
      {"Server 2003 Enterprise Edition",
       {.major = 5, .minor = 2, .build = 3790, .suiteMask = 0x0002, .productType = 3},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server", "IsEnterpriseServer",
        "IsWin2000AdvancedServer"}},
      {"Server 2003 Web Edition",
       {.major = 5, .minor = 2, .build = 3790, .suiteMask = 0x0400, .productType = 3},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server", "IsBladeServer"}},
      {"Server 2003 R2",
       {.major = 5,
        .minor = 2,
        .build = 3790,
        .servicePack = "Service Pack 2",
        .productType = 3,
        .metrics = {{89, 1}}},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server", "IsWin2003ServerR2"}},
      {"5.2 build 3791 reporting R2",
       {.major = 5, .minor = 2, .build = 3791, .productType = 3, .metrics = {{89, 1}}},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus"}},
      {"5.2 whose build field has a high word",
       {.major = 5, .minor = 2, .build = 0x00010000 + 3790, .productType = 3},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus"}},

      {"Vista Ultimate", Vista(1), VistaAnd({"IsWinVistaUltimate"})},
      {"Vista Ultimate N", Vista(28), VistaAnd({"IsWinVistaUltimate"})},
      {"Vista Home Basic", Vista(2), VistaAnd({"IsWinVistaHomeBasic"})},
      {"Vista Home Basic N", Vista(5), VistaAnd({"IsWinVistaHomeBasic"})},
      {"Vista Home Premium", Vista(3), VistaAnd({"IsWinVistaHomePremium"})},
      {"Vista Home Premium N", Vista(26), VistaAnd({"IsWinVistaHomePremium"})},
      {"Vista Enterprise", Vista(4), VistaAnd({"IsWinVistaEnterprise"})},
      {"Vista Enterprise N", Vista(27), VistaAnd({"IsWinVistaEnterprise"})},
      {"Vista Business", Vista(6), VistaAnd({"IsWinVistaBusiness"})},
      {"Vista Business N", Vista(16), VistaAnd({"IsWinVistaBusiness"})},
      {"Vista-era Home Server product", Vista(19), VistaAnd({"IsWinVistaHomeServer"})},
      {"Vista Starter (a product type no query names)", Vista(11), VistaAnd({})},
      {"Vista whose product call fails", Vista(6, 0), VistaAnd({})},
      {"Vista Business SP1",
       {.major = 6,
        .minor = 0,
        .build = 6001,
        .servicePack = "Service Pack 1",
        .suiteMask = 0x0100,
        .productType = 1,
        .productInfoResult = 1,
        .product = 6},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista", "IsWinVistaPlus",
        "IsWinVistaSP1", "IsWinVistaBusiness"}},

      {"Server 2008",
       {.major = 6,
        .minor = 0,
        .build = 6001,
        .servicePack = "Service Pack 1",
        .productType = 3,
        .productInfoResult = 1,
        .product = 7},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista", "IsWinVistaPlus",
        "IsWinVistaSP1", "IsWinLonghornServer"}},
      {"Server 2008 Enterprise domain controller",
       {.major = 6,
        .minor = 0,
        .build = 6001,
        .suiteMask = 0x0002,
        .productType = 2,
        .productInfoResult = 1,
        .product = 10},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista", "IsWinVistaPlus",
        "IsWin2000AdvancedServer", "IsWinLonghornServer"}},

      {"Windows 7 Ultimate",
       {.major = 6,
        .minor = 1,
        .build = 7600,
        .productType = 1,
        .productInfoResult = 1,
        .product = 1},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista", "IsWinVistaPlus",
        "IsWinVistaUltimate"}},
      {"Server 2008 R2",
       {.major = 6,
        .minor = 1,
        .build = 7600,
        .productType = 3,
        .metrics = {{89, 1}},
        .productInfoResult = 1,
        .product = 7},
       {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista", "IsWinVistaPlus"}},

      {"A failing version call (XP SP2 in the record)",
       {.major = 5,
        .minor = 1,
        .build = 2600,
        .servicePack = "Service Pack 2",
        .suiteMask = 0x0300,
        .productType = 1,
        .metrics = {{86, 1}, {87, 1}, {88, 1}, {89, 1}},
        .architecture = 9,
        .versionResults = {0}},
       {}},
      {"A version call returning 2 (Vista in the record)",
       {.major = 6,
        .minor = 0,
        .build = 6000,
        .servicePack = "Service Pack 1",
        .productType = 3,
        .productInfoResult = 1,
        .product = 1,
        .versionResults = {2}},
       {}},
  };
  return rows;
}

struct Asked {
  std::shared_ptr<FakeVersionInfo> platform;
  std::vector<std::string> calls; // the calls of the one query asked
  bool answer;
};

Asked Ask(const FakeSystem& system, const NamedQuery& query) {
  auto fake = std::make_shared<FakeVersionInfo>(system);
  ScopedService<VersionInfo> scoped(fake);
  clsWindowsVersion version;
  bool answer = (version.*query.ask)();
  return {fake, fake->calls, answer};
}

TEST(clsWindowsVersionTable, EveryQueryOnEverySystem) {
  for (const auto& row : Systems()) {
    SCOPED_TRACE(row.name);
    for (const auto& name : row.yes)
      EXPECT_TRUE(IsQueryName(name)) << name;

    for (const auto& query : kQueries) {
      Asked asked = Ask(row.system, query);
      EXPECT_EQ(asked.answer, row.yes.count(query.name) == 1) << query.name;
      // Each record handed to the platform is zeroed but for its size, 148 or 156.
      const FakeVersionInfo& platform = *asked.platform;
      EXPECT_EQ(platform.uncleanRecords, 0) << query.name;
      EXPECT_EQ(platform.CallsTo("GetVersionExA"),
                platform.CallsTo("GetVersionExA(148)") + platform.CallsTo("GetVersionExA(156)"))
          << query.name;
    }
  }
}

// Below Windows NT 6 (or when the version call fails) the product queries
// stop at IsWinVista; the metric queries stop at their prerequisite too.
TEST(clsWindowsVersionTable, PrerequisitesShortCircuit) {
  for (const auto& row : Systems()) {
    SCOPED_TRACE(row.name);
    const FakeSystem& s = row.system;
    bool versionOk = s.versionResults.back() == 1;
    bool nt6 = versionOk && s.platformId == 2 && s.major == 6;
    bool xp = versionOk && s.platformId == 2 && s.major == 5 && s.minor == 1 && s.build >= 2600;
    bool server2003 =
        versionOk && s.platformId == 2 && s.major == 5 && s.minor == 2 && s.build == 3790;
    for (const auto& query : kQueries) {
      Asked asked = Ask(s, query);
      if (!nt6) {
        EXPECT_EQ(asked.platform->CallsTo("GetProductInfo"), 0) << query.name;
      }
      if (!xp && !server2003) {
        EXPECT_EQ(asked.platform->CallsTo("GetSystemMetrics"), 0) << query.name;
      }
      if (!versionOk) {
        EXPECT_EQ(asked.platform->CallsTo("GetSystemInfo"), 0) << query.name;
      }
    }
  }
}

// The exact platform calls of single queries: prerequisites first, records of
// the named form, nothing after a no.
TEST(clsWindowsVersion, CallsThePlatformInOrder) {
  const FakeSystem xp{.major = 5, .minor = 1, .build = 2600, .productType = 1};
  const FakeSystem server2003{.major = 5, .minor = 2, .build = 3790, .productType = 3};
  const FakeSystem vista = Vista(6);
  FakeSystem win7 = Vista(1);
  win7.minor = 1;
  const FakeSystem failing{.major = 5, .minor = 1, .build = 2600, .versionResults = {0}};
  struct Case {
    const char* query;
    FakeSystem system;
    std::vector<std::string> calls;
  };
  const std::vector<Case> cases = {
      {"IsWinXP", xp, {"GetVersionExA(148)"}},
      {"IsWinLonghornServer", xp, {"GetVersionExA(156)"}},
      {"IsWinXPHomeEdition", xp, {"GetVersionExA(148)", "GetVersionExA(156)"}},
      {"IsWinXPTabletPc", xp, {"GetVersionExA(148)", "GetSystemMetrics(86)"}},
      {"IsWinXPMediaCenter", xp, {"GetVersionExA(148)", "GetSystemMetrics(87)"}},
      {"IsWinXPStarter", xp, {"GetVersionExA(148)", "GetSystemMetrics(88)"}},
      {"IsWin2003ServerR2", server2003, {"GetVersionExA(148)", "GetSystemMetrics(89)"}},
      {"IsWinXPMediaCenter", server2003, {"GetVersionExA(148)"}},
      {"IsBladeServer", server2003, {"GetVersionExA(148)", "GetVersionExA(156)"}},
      {"IsBladeServer", xp, {"GetVersionExA(148)"}},
      {"IsWinNT4Server", server2003, {"GetVersionExA(148)"}},
      {"IsDomainController",
       FakeSystem{.major = 5, .minor = 0, .build = 2195, .productType = 3},
       {"GetVersionExA(148)", "GetVersionExA(156)", "GetVersionExA(156)"}},
      {"IsDomainController", server2003, {"GetVersionExA(148)"}},
      {"IsWinXP64", server2003, {"GetVersionExA(156)", "GetSystemInfo"}},
      {"IsWinXP64", failing, {"GetVersionExA(156)"}},
      {"IsWinVistaBusiness",
       vista,
       {"GetVersionExA(148)", "GetVersionExA(148)", "GetProductInfo(6,0,0,0)"}},
      {"IsWinVistaUltimate",
       win7,
       {"GetVersionExA(148)", "GetVersionExA(148)", "GetProductInfo(6,1,0,0)"}},
      {"IsWinVistaEnterprise", xp, {"GetVersionExA(148)"}},
      {"IsWinVistaHomeServer", failing, {"GetVersionExA(148)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    const NamedQuery* query = nullptr;
    for (const auto& q : kQueries)
      if (std::string(q.name) == c.query) query = &q;
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(Ask(c.system, *query).calls, c.calls);
  }
}

// Nothing is cached: every answer comes from the platform as it is now.
TEST(clsWindowsVersion, AskingTwiceAsksThePlatformTwice) {
  auto fake = std::make_shared<FakeVersionInfo>(Vista(6));
  ScopedService<VersionInfo> scoped(fake);
  clsWindowsVersion version;

  EXPECT_TRUE(version.IsWinVista());
  EXPECT_TRUE(version.IsWinVista());
  EXPECT_EQ(fake->CallsTo("GetVersionExA"), 2);

  EXPECT_TRUE(version.IsWinVistaBusiness());
  EXPECT_TRUE(version.IsWinVistaBusiness());
  EXPECT_EQ(fake->CallsTo("GetProductInfo"), 2);

  fake->system.major = 5;
  fake->system.minor = 1;
  fake->system.build = 2600;
  EXPECT_FALSE(version.IsWinVista());
  EXPECT_TRUE(version.IsWinXP());
  fake->system.metrics[87] = 1;
  EXPECT_TRUE(version.IsWinXPMediaCenter());
  fake->system.metrics[87] = 0;
  EXPECT_FALSE(version.IsWinXPMediaCenter());
}

// The product queries read the version the plain record holds even when the
// version call behind them reports failure.
TEST(clsWindowsVersion, ProductQueriesIgnoreTheirVersionCallsResult) {
  FakeSystem vista = Vista(16);
  vista.versionResults = {1, 0};
  Asked asked = Ask(vista, kQueries[35]);
  ASSERT_STREQ(kQueries[35].name, "IsWinVistaBusiness");
  EXPECT_TRUE(asked.answer);
  EXPECT_EQ(asked.platform->CallsTo("GetProductInfo(6,0,0,0)"), 1);
}

// The service-pack text is searched for anywhere in all 128 characters, with
// exact case.
TEST(clsWindowsVersion, ServicePackTextSearch) {
  struct Case {
    std::string text;
    bool xpSP2;
    bool vistaSP1;
  };
  const std::vector<Case> cases = {
      {"Service Pack 2", true, false},
      {"Service Pack 1", false, true},
      {"service pack 2", false, false},
      {"SERVICE PACK 1", false, false},
      {"Service Pack 3", false, false},
      {"Service Pack 2, v.2096", true, false},
      {"Windows Service Pack 1 (beta)", false, true},
      {"Service Pack 12", false, true},
      {"Service Pack", false, false},
      {std::string(100, '\0') + "Service Pack 2", true, false},
      {std::string("Service Pack 3") + '\0' + "Service Pack 1", false, true},
      {std::string(114, ' ') + "Service Pack 2", true, false},  // ends on the last character
      {std::string(115, ' ') + "Service Pack 2", false, false}, // cut off by the field's end
      {"", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    FakeSystem xp{.major = 5, .minor = 1, .build = 2600, .servicePack = c.text, .productType = 1};
    FakeSystem vista{.major = 6, .minor = 0, .build = 6001, .servicePack = c.text};
    EXPECT_EQ(Ask(xp, kQueries[23]).answer, c.xpSP2);
    EXPECT_EQ(Ask(vista, kQueries[34]).answer, c.vistaSP1);
  }
  ASSERT_STREQ(kQueries[23].name, "IsWinXPSP2");
  ASSERT_STREQ(kQueries[34].name, "IsWinVistaSP1");
}

// IsDomainController can only see a record its prerequisite (a Windows 2000
// server, product type 3) let through; it answers yes on product type 2 alone.
TEST(clsWindowsVersion, DomainControllerRule) {
  auto fake = std::make_shared<FakeVersionInfo>(
      FakeSystem{.major = 5, .minor = 0, .build = 2195, .productType = 3});
  ScopedService<VersionInfo> scoped(fake);
  clsWindowsVersion version;
  EXPECT_TRUE(version.IsWin2000Server());
  EXPECT_FALSE(version.IsDomainController());

  // Promoted between the prerequisite's look and the rule's own.
  struct Promoting : FakeVersionInfo {
    using FakeVersionInfo::FakeVersionInfo;
    int32_t GetVersionExA(platform::OsVersionRecord& record) override {
      int32_t result = FakeVersionInfo::GetVersionExA(record);
      if (CallsTo("GetVersionExA") == 2) system.productType = 2; // after IsWin2000Server's look
      return result;
    }
  };
  auto promoting = std::make_shared<Promoting>(
      FakeSystem{.major = 5, .minor = 0, .build = 2195, .productType = 3});
  ScopedService<VersionInfo> scopedPromoting(promoting);
  EXPECT_TRUE(version.IsDomainController());
}

} // namespace
