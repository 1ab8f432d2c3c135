#pragma once
// Yes/no questions about the running Windows system: its family and version,
// its service pack, its edition and the product suites installed. Nothing is
// kept: every query asks the platform afresh, never raises and shows nothing.
// A query with a prerequisite asks that query first and answers no at once
// when it says no.

#include <cstdint>
#include <initializer_list>

namespace platform {
struct OsVersionRecord;
}

class clsWindowsVersion {
public:
  bool IsBackOfficeServer() const;
  bool IsBladeServer() const;
  bool IsDomainController() const;
  bool IsEnterpriseServer() const;
  bool IsSmallBusinessServer() const;
  bool IsSmallBusinessRestrictedServer() const;
  bool IsTerminalServer() const;
  bool IsWin95() const;
  bool IsWin95OSR2() const;
  bool IsWin98() const;
  bool IsWinME() const;
  bool IsWinNT4() const;
  bool IsWinNT4Plus() const;
  bool IsWinNT4Server() const;
  bool IsWinNT4Workstation() const;
  bool IsWin2000() const;
  bool IsWin2000Plus() const;
  bool IsWin2000AdvancedServer() const;
  bool IsWin2000Server() const;
  bool IsWin2000Workstation() const;
  bool IsWin2003Server() const;
  bool IsWin2003ServerR2() const;
  bool IsWinXP() const;
  bool IsWinXPSP2() const;
  bool IsWinXPPlus() const;
  bool IsWinXPHomeEdition() const;
  bool IsWinXPProEdition() const;
  bool IsWinXPMediaCenter() const;
  bool IsWinXPStarter() const;
  bool IsWinXPTabletPc() const;
  bool IsWinXPEmbedded() const;
  bool IsWinXP64() const;
  bool IsWinVista() const;
  bool IsWinVistaPlus() const;
  bool IsWinVistaSP1() const;
  bool IsWinVistaBusiness() const;
  bool IsWinVistaUltimate() const;
  bool IsWinVistaHomeServer() const;
  bool IsWinVistaHomeBasic() const;
  bool IsWinVistaHomePremium() const;
  bool IsWinVistaEnterprise() const;
  bool IsWinLonghornServer() const;

private:
  using Rule = bool (*)(const platform::OsVersionRecord&);

  // Fills a zeroed record of the given size; the rule decides only when the
  // version call returned exactly 1.
  static bool RecordAnswers(uint32_t size, Rule rule);
  static bool PlainRecordAnswers(Rule rule);
  static bool ExtendedRecordAnswers(Rule rule);
  // Whether the metric `index` is non-zero.
  static bool MetricSet(int32_t index);
  // Asks the product type of the version the plain record reports; yes when
  // the system gives one and it is among `types`. The prerequisite is the
  // caller's.
  static bool ProductIsOneOf(std::initializer_list<uint32_t> types);
};
