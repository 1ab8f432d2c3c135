#pragma once
// The 42 queries of clsWindowsVersion by name, in interface order.

#include <array>
#include <string>

#include "winver/clsWindowsVersion.h"

struct NamedQuery {
  const char* name;
  bool (clsWindowsVersion::*ask)() const;
};

#define WINVER_QUERY(name)                                                                         \
  NamedQuery {                                                                                     \
#name, &clsWindowsVersion::name                                                                \
  }

inline const std::array<NamedQuery, 42> kQueries = {
    WINVER_QUERY(IsBackOfficeServer),
    WINVER_QUERY(IsBladeServer),
    WINVER_QUERY(IsDomainController),
    WINVER_QUERY(IsEnterpriseServer),
    WINVER_QUERY(IsSmallBusinessServer),
    WINVER_QUERY(IsSmallBusinessRestrictedServer),
    WINVER_QUERY(IsTerminalServer),
    WINVER_QUERY(IsWin95),
    WINVER_QUERY(IsWin95OSR2),
    WINVER_QUERY(IsWin98),
    WINVER_QUERY(IsWinME),
    WINVER_QUERY(IsWinNT4),
    WINVER_QUERY(IsWinNT4Plus),
    WINVER_QUERY(IsWinNT4Server),
    WINVER_QUERY(IsWinNT4Workstation),
    WINVER_QUERY(IsWin2000),
    WINVER_QUERY(IsWin2000Plus),
    WINVER_QUERY(IsWin2000AdvancedServer),
    WINVER_QUERY(IsWin2000Server),
    WINVER_QUERY(IsWin2000Workstation),
    WINVER_QUERY(IsWin2003Server),
    WINVER_QUERY(IsWin2003ServerR2),
    WINVER_QUERY(IsWinXP),
    WINVER_QUERY(IsWinXPSP2),
    WINVER_QUERY(IsWinXPPlus),
    WINVER_QUERY(IsWinXPHomeEdition),
    WINVER_QUERY(IsWinXPProEdition),
    WINVER_QUERY(IsWinXPMediaCenter),
    WINVER_QUERY(IsWinXPStarter),
    WINVER_QUERY(IsWinXPTabletPc),
    WINVER_QUERY(IsWinXPEmbedded),
    WINVER_QUERY(IsWinXP64),
    WINVER_QUERY(IsWinVista),
    WINVER_QUERY(IsWinVistaPlus),
    WINVER_QUERY(IsWinVistaSP1),
    WINVER_QUERY(IsWinVistaBusiness),
    WINVER_QUERY(IsWinVistaUltimate),
    WINVER_QUERY(IsWinVistaHomeServer),
    WINVER_QUERY(IsWinVistaHomeBasic),
    WINVER_QUERY(IsWinVistaHomePremium),
    WINVER_QUERY(IsWinVistaEnterprise),
    WINVER_QUERY(IsWinLonghornServer),
};

#undef WINVER_QUERY

inline bool IsQueryName(const std::string& name) {
  for (const auto& query : kQueries)
    if (name == query.name) return true;
  return false;
}
