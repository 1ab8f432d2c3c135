// The queries against the real Windows API, run by wine-versions.sh once for
// each Windows version that Wine is told to report to this program (the
// version's Wine name is in TALMIREX_WINE_VERSION).

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tests/winver/Queries.h"

namespace {

// Asked under every version: those not named yes must answer no.
const std::vector<std::string> kFamilyQueries = {
    "IsWin95",        "IsWin95OSR2",         "IsWin98",         "IsWinME",
    "IsWinNT4",       "IsWinNT4Plus",        "IsWin2000",       "IsWin2000Plus",
    "IsWinXP",        "IsWinXPPlus",         "IsWin2003Server", "IsWinVista",
    "IsWinVistaPlus", "IsWinLonghornServer", "IsWinXP64",
};

struct Expectation {
  const char* version;
  std::set<std::string> yes;    // family queries and others that must answer yes
  std::set<std::string> alsoNo; // other queries that must answer no
};

// What Wine reports for each version: 95 4.0.950, 98 4.10.2222, ME 4.90.3000
// (major.minor again in the build's high word), NT 4.0.1381 workstation,
// 2000 5.0.2195 workstation, XP 5.1.2600 SP3, 2003 5.2.3790 server, XP x64
// 5.2.3790 workstation, Vista 6.0.6002 SP2 workstation (product: Ultimate
// N), 2008 6.0.6002 server, 7 6.1.7601 "Service Pack 1".
const std::vector<Expectation> kExpectations = {
    {"win95", {"IsWin95"}, {}},
    {"win98", {"IsWin98"}, {}},
    {"winme", {"IsWinME"}, {}},
    {"nt40",
     {"IsWinNT4", "IsWinNT4Plus", "IsWinNT4Workstation"},
     {"IsWinNT4Server", "IsWinVistaBusiness"}},
    {"win2k",
     {"IsWinNT4Plus", "IsWin2000", "IsWin2000Plus", "IsWin2000Workstation"},
     {"IsWin2000Server", "IsDomainController"}},
    {"winxp",
     {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXP", "IsWinXPPlus", "IsWinXPProEdition"},
     {"IsWinXPHomeEdition", "IsWinXPSP2", "IsWinXPMediaCenter", "IsWinVistaUltimate"}},
    {"win2003",
     {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server"},
     {"IsWin2003ServerR2", "IsWinXPProEdition"}},
    {"winxp64",
     {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWin2003Server", "IsWinXP64"},
     {"IsWinXPProEdition"}},
    {"vista",
     {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista", "IsWinVistaPlus",
      "IsWinVistaUltimate"},
     {"IsWinVistaSP1", "IsWinVistaBusiness", "IsWinXPProEdition"}},
    {"win2008",
     {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista", "IsWinVistaPlus",
      "IsWinLonghornServer"},
     {"IsWinVistaUltimate", "IsWinVistaBusiness"}},
    {"win7",
     {"IsWinNT4Plus", "IsWin2000Plus", "IsWinXPPlus", "IsWinVista", "IsWinVistaPlus",
      "IsWinVistaSP1"},
     {}},
};

bool Answer(const clsWindowsVersion& version, const std::string& name) {
  for (const auto& query : kQueries)
    if (name == query.name) return (version.*query.ask)();
  ADD_FAILURE() << "no query " << name;
  return false;
}

TEST(WineVersions, QueriesRecogniseTheVersionWineReports) {
  const char* wanted = std::getenv("TALMIREX_WINE_VERSION");
  ASSERT_NE(wanted, nullptr) << "run by wine-versions.sh, which names the Wine version";
  const Expectation* expected = nullptr;
  for (const auto& e : kExpectations)
    if (std::string(wanted) == e.version) expected = &e;
  ASSERT_NE(expected, nullptr) << "no expectations for " << wanted;

  clsWindowsVersion version;
  for (const auto& name : kFamilyQueries)
    EXPECT_EQ(Answer(version, name), expected->yes.count(name) == 1) << wanted << ": " << name;
  for (const auto& name : expected->yes)
    EXPECT_TRUE(Answer(version, name)) << wanted << ": " << name;
  for (const auto& name : expected->alsoNo)
    EXPECT_FALSE(Answer(version, name)) << wanted << ": " << name;
}

} // namespace
