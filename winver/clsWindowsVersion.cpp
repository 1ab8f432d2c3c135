#include "winver/clsWindowsVersion.h"

#include <string_view>

#include "platform/VersionInfo.h"

using platform::OsVersionRecord;

namespace {

constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

constexpr uint8_t VER_NT_WORKSTATION = 1;
constexpr uint8_t VER_NT_DOMAIN_CONTROLLER = 2;
constexpr uint8_t VER_NT_SERVER = 3;

constexpr uint16_t VER_SUITE_SMALLBUSINESS = 0x0001;
constexpr uint16_t VER_SUITE_ENTERPRISE = 0x0002;
constexpr uint16_t VER_SUITE_BACKOFFICE = 0x0004;
constexpr uint16_t VER_SUITE_TERMINAL = 0x0010;
constexpr uint16_t VER_SUITE_SMALLBUSINESS_RESTRICTED = 0x0020;
constexpr uint16_t VER_SUITE_EMBEDDEDNT = 0x0040;
constexpr uint16_t VER_SUITE_PERSONAL = 0x0200;
constexpr uint16_t VER_SUITE_BLADE = 0x0400;

constexpr int32_t SM_TABLETPC = 86;
constexpr int32_t SM_MEDIACENTER = 87;
constexpr int32_t SM_STARTER = 88;
constexpr int32_t SM_SERVERR2 = 89;

constexpr uint32_t PRODUCT_ULTIMATE = 1;
constexpr uint32_t PRODUCT_HOME_BASIC = 2;
constexpr uint32_t PRODUCT_HOME_PREMIUM = 3;
constexpr uint32_t PRODUCT_ENTERPRISE = 4;
constexpr uint32_t PRODUCT_HOME_BASIC_N = 5;
constexpr uint32_t PRODUCT_BUSINESS = 6;
constexpr uint32_t PRODUCT_BUSINESS_N = 16;
constexpr uint32_t PRODUCT_HOME_SERVER = 19;
constexpr uint32_t PRODUCT_HOME_PREMIUM_N = 26;
constexpr uint32_t PRODUCT_ENTERPRISE_N = 27;
constexpr uint32_t PRODUCT_ULTIMATE_N = 28;

constexpr uint16_t PROCESSOR_ARCHITECTURE_AMD64 = 9;

bool IsNT(const OsVersionRecord& r) {
  return r.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool Is9x(const OsVersionRecord& r) {
  return r.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// Windows 95, 98 and ME keep the major and minor version in the high word of
// dwBuildNumber and the build in the low word; Windows NT uses the whole field.
uint32_t BuildOf(const OsVersionRecord& r) {
  return Is9x(r) ? (r.dwBuildNumber & 0xFFFFu) : r.dwBuildNumber;
}

bool Has(const OsVersionRecord& r, uint16_t suite) {
  return (r.wSuiteMask & suite) != 0;
}

// Searches all 128 characters of the service-pack field, past any NUL, with
// exact case.
bool ServicePackTextContains(const OsVersionRecord& r, std::string_view literal) {
  std::string_view field(r.szCSDVersion, sizeof r.szCSDVersion);
  return field.find(literal) != std::string_view::npos;
}

} // namespace

bool clsWindowsVersion::IsBackOfficeServer() const {
  return IsWinNT4Plus() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return Has(r, VER_SUITE_BACKOFFICE);
         });
}

bool clsWindowsVersion::IsBladeServer() const {
  return IsWin2003Server() &&
         ExtendedRecordAnswers([](const OsVersionRecord& r) { return Has(r, VER_SUITE_BLADE); });
}

// A domain controller reports product type 2; a plain server reports 3 and is
// not one. The prerequisite, a Windows 2000 server, admits only systems that
// reported 3, so on a consistent system this answers no; it never calls a
// plain server a domain controller. (Answering yes on 3 as well would merely
// repeat IsWin2000Server under a name that says something else.)
bool clsWindowsVersion::IsDomainController() const {
  return IsWin2000Server() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return r.wProductType == VER_NT_DOMAIN_CONTROLLER;
         });
}

bool clsWindowsVersion::IsEnterpriseServer() const {
  return IsWinNT4Plus() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return r.wProductType == VER_NT_SERVER && Has(r, VER_SUITE_ENTERPRISE);
         });
}

bool clsWindowsVersion::IsSmallBusinessServer() const {
  return IsWinNT4Plus() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return Has(r, VER_SUITE_SMALLBUSINESS);
         });
}

bool clsWindowsVersion::IsSmallBusinessRestrictedServer() const {
  return IsWinNT4Plus() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return Has(r, VER_SUITE_SMALLBUSINESS_RESTRICTED);
         });
}

bool clsWindowsVersion::IsTerminalServer() const {
  return IsWinNT4Plus() &&
         ExtendedRecordAnswers([](const OsVersionRecord& r) { return Has(r, VER_SUITE_TERMINAL); });
}

bool clsWindowsVersion::IsWin95() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return Is9x(r) && r.dwMajorVersion == 4 && r.dwMinorVersion == 0 && BuildOf(r) == 950;
  });
}

bool clsWindowsVersion::IsWin95OSR2() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return Is9x(r) && r.dwMajorVersion == 4 && r.dwMinorVersion == 0 && BuildOf(r) == 1111;
  });
}

bool clsWindowsVersion::IsWin98() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return Is9x(r) && r.dwMajorVersion == 4 && r.dwMinorVersion == 10 && BuildOf(r) >= 1998;
  });
}

bool clsWindowsVersion::IsWinME() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return Is9x(r) && r.dwMajorVersion == 4 && r.dwMinorVersion == 90 && BuildOf(r) >= 3000;
  });
}

bool clsWindowsVersion::IsWinNT4() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return IsNT(r) && r.dwMajorVersion == 4 && r.dwMinorVersion == 0 && BuildOf(r) >= 1381;
  });
}

bool clsWindowsVersion::IsWinNT4Plus() const {
  return PlainRecordAnswers(
      [](const OsVersionRecord& r) { return IsNT(r) && r.dwMajorVersion >= 4; });
}

bool clsWindowsVersion::IsWinNT4Server() const {
  return IsWinNT4() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return r.wProductType == VER_NT_SERVER;
         });
}

bool clsWindowsVersion::IsWinNT4Workstation() const {
  return IsWinNT4() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return r.wProductType == VER_NT_WORKSTATION;
         });
}

bool clsWindowsVersion::IsWin2000() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return IsNT(r) && r.dwMajorVersion == 5 && r.dwMinorVersion == 0 && BuildOf(r) >= 2195;
  });
}

bool clsWindowsVersion::IsWin2000Plus() const {
  return PlainRecordAnswers(
      [](const OsVersionRecord& r) { return IsNT(r) && r.dwMajorVersion >= 5; });
}

bool clsWindowsVersion::IsWin2000AdvancedServer() const {
  return IsWin2000Plus() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return (r.wProductType == VER_NT_SERVER || r.wProductType == VER_NT_DOMAIN_CONTROLLER) &&
                  Has(r, VER_SUITE_ENTERPRISE);
         });
}

bool clsWindowsVersion::IsWin2000Server() const {
  return IsWin2000() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return r.wProductType == VER_NT_SERVER;
         });
}

bool clsWindowsVersion::IsWin2000Workstation() const {
  return IsWin2000() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return r.wProductType == VER_NT_WORKSTATION;
         });
}

bool clsWindowsVersion::IsWin2003Server() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return IsNT(r) && r.dwMajorVersion == 5 && r.dwMinorVersion == 2 && BuildOf(r) == 3790;
  });
}

bool clsWindowsVersion::IsWin2003ServerR2() const {
  return IsWin2003Server() && MetricSet(SM_SERVERR2);
}

bool clsWindowsVersion::IsWinXP() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return IsNT(r) && r.dwMajorVersion == 5 && r.dwMinorVersion == 1 && BuildOf(r) >= 2600;
  });
}

bool clsWindowsVersion::IsWinXPSP2() const {
  return IsWinXP() && ExtendedRecordAnswers([](const OsVersionRecord& r) {
           return ServicePackTextContains(r, "Service Pack 2");
         });
}

bool clsWindowsVersion::IsWinXPPlus() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return IsNT(r) && (r.dwMajorVersion >= 6 || (r.dwMajorVersion >= 5 && r.dwMinorVersion >= 1));
  });
}

bool clsWindowsVersion::IsWinXPHomeEdition() const {
  return IsWinXP() &&
         ExtendedRecordAnswers([](const OsVersionRecord& r) { return Has(r, VER_SUITE_PERSONAL); });
}

bool clsWindowsVersion::IsWinXPProEdition() const {
  return IsWinXP() && ExtendedRecordAnswers(
                          [](const OsVersionRecord& r) { return !Has(r, VER_SUITE_PERSONAL); });
}

bool clsWindowsVersion::IsWinXPMediaCenter() const {
  return IsWinXP() && MetricSet(SM_MEDIACENTER);
}

bool clsWindowsVersion::IsWinXPStarter() const {
  return IsWinXP() && MetricSet(SM_STARTER);
}

bool clsWindowsVersion::IsWinXPTabletPc() const {
  return IsWinXP() && MetricSet(SM_TABLETPC);
}

bool clsWindowsVersion::IsWinXPEmbedded() const {
  return IsWinXP() && ExtendedRecordAnswers(
                          [](const OsVersionRecord& r) { return Has(r, VER_SUITE_EMBEDDEDNT); });
}

// Windows XP Professional x64 Edition is the one Windows NT 5.2 of the
// workstation product type on an AMD64 processor. (Server 2003 is 5.2 as
// well, but a server or domain controller; the XP 64-Bit Edition for Itanium
// is 5.2 workstation on IA64 and does not count.) The processor record is
// asked whenever the version call succeeded.
bool clsWindowsVersion::IsWinXP64() const {
  return ExtendedRecordAnswers([](const OsVersionRecord& r) {
    platform::SystemInfoRecord processor;
    platform::versionInfo().GetSystemInfo(processor);
    return IsNT(r) && r.dwMajorVersion == 5 && r.dwMinorVersion == 2 &&
           r.wProductType == VER_NT_WORKSTATION &&
           processor.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
  });
}

bool clsWindowsVersion::IsWinVista() const {
  return PlainRecordAnswers(
      [](const OsVersionRecord& r) { return IsNT(r) && r.dwMajorVersion == 6; });
}

bool clsWindowsVersion::IsWinVistaPlus() const {
  return PlainRecordAnswers(
      [](const OsVersionRecord& r) { return IsNT(r) && r.dwMajorVersion >= 6; });
}

bool clsWindowsVersion::IsWinVistaSP1() const {
  return PlainRecordAnswers([](const OsVersionRecord& r) {
    return IsNT(r) && r.dwMajorVersion == 6 && ServicePackTextContains(r, "Service Pack 1");
  });
}

bool clsWindowsVersion::IsWinVistaBusiness() const {
  return IsWinVista() && ProductIsOneOf({PRODUCT_BUSINESS_N, PRODUCT_BUSINESS});
}

bool clsWindowsVersion::IsWinVistaUltimate() const {
  return IsWinVista() && ProductIsOneOf({PRODUCT_ULTIMATE_N, PRODUCT_ULTIMATE});
}

bool clsWindowsVersion::IsWinVistaHomeServer() const {
  return IsWinVista() && ProductIsOneOf({PRODUCT_HOME_SERVER});
}

bool clsWindowsVersion::IsWinVistaHomeBasic() const {
  return IsWinVista() && ProductIsOneOf({PRODUCT_HOME_BASIC_N, PRODUCT_HOME_BASIC});
}

bool clsWindowsVersion::IsWinVistaHomePremium() const {
  return IsWinVista() && ProductIsOneOf({PRODUCT_HOME_PREMIUM_N, PRODUCT_HOME_PREMIUM});
}

bool clsWindowsVersion::IsWinVistaEnterprise() const {
  return IsWinVista() && ProductIsOneOf({PRODUCT_ENTERPRISE_N, PRODUCT_ENTERPRISE});
}

bool clsWindowsVersion::IsWinLonghornServer() const {
  return ExtendedRecordAnswers([](const OsVersionRecord& r) {
    return IsNT(r) && r.dwMajorVersion == 6 && r.dwMinorVersion == 0 &&
           r.wProductType != VER_NT_WORKSTATION;
  });
}

bool clsWindowsVersion::RecordAnswers(uint32_t size, Rule rule) {
  OsVersionRecord record{};
  record.dwOSVersionInfoSize = size;
  if (platform::versionInfo().GetVersionExA(record) != 1) return false;
  return rule(record);
}

bool clsWindowsVersion::PlainRecordAnswers(Rule rule) {
  return RecordAnswers(OsVersionRecord::PlainSize, rule);
}

bool clsWindowsVersion::ExtendedRecordAnswers(Rule rule) {
  return RecordAnswers(OsVersionRecord::ExtendedSize, rule);
}

bool clsWindowsVersion::MetricSet(int32_t index) {
  return platform::versionInfo().GetSystemMetrics(index) != 0;
}

bool clsWindowsVersion::ProductIsOneOf(std::initializer_list<uint32_t> types) {
  OsVersionRecord record{};
  record.dwOSVersionInfoSize = OsVersionRecord::PlainSize;
  platform::versionInfo().GetVersionExA(record); // its result is not examined
  uint32_t productType = 0;
  if (platform::versionInfo().GetProductInfo(record.dwMajorVersion, record.dwMinorVersion, 0, 0,
                                             productType) == 0)
    return false;
  for (uint32_t type : types)
    if (productType == type) return true;
  return false;
}
