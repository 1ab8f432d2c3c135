#pragma once
// What Windows says about itself: the version record, the system metrics, the
// processor record and the product type. Every call asks the system afresh.
// On Linux there is no Windows to ask: the version call fails and the other
// calls answer 0.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Service.h"

namespace platform {

// The version record in the layout of OSVERSIONINFOEXA. Its first field names
// the form asked for: the plain form (up to szCSDVersion) or the extended one.
struct OsVersionRecord {
  static constexpr uint32_t PlainSize = 148;
  static constexpr uint32_t ExtendedSize = 156;

  uint32_t dwOSVersionInfoSize = 0;
  uint32_t dwMajorVersion = 0;
  uint32_t dwMinorVersion = 0;
  uint32_t dwBuildNumber = 0;
  uint32_t dwPlatformId = 0; // 1 Windows 95/98/ME, 2 Windows NT
  char szCSDVersion[128] = {};
  uint16_t wServicePackMajor = 0;
  uint16_t wServicePackMinor = 0;
  uint16_t wSuiteMask = 0;
  uint8_t wProductType = 0; // 1 workstation, 2 domain controller, 3 server
  uint8_t wReserved = 0;
};
static_assert(offsetof(OsVersionRecord, wServicePackMajor) == OsVersionRecord::PlainSize);
static_assert(sizeof(OsVersionRecord) == OsVersionRecord::ExtendedSize);

// The parts of SYSTEM_INFO that describe the processor.
struct SystemInfoRecord {
  uint16_t wProcessorArchitecture = 0; // 0 x86, 6 IA64, 9 AMD64
  uint32_t dwPageSize = 0;
  uint32_t dwNumberOfProcessors = 0;
  uint32_t dwProcessorType = 0;
  uint16_t wProcessorLevel = 0;
  uint16_t wProcessorRevision = 0;
};

class VersionInfo {
public:
  virtual ~VersionInfo() = default;
  static std::shared_ptr<VersionInfo> Native();

  // Fills the form of the record that record.dwOSVersionInfoSize names and
  // returns what GetVersionExA returns: non-zero on success, 0 on failure
  // (the record is then left as it was).
  virtual int32_t GetVersionExA(OsVersionRecord& record) = 0;
  // GetSystemMetrics: the value of the metric `index`, 0 when unknown.
  virtual int32_t GetSystemMetrics(int32_t index) = 0;
  // The processor record. On Windows its architecture is the machine's own
  // (GetNativeSystemInfo where kernel32 has it, GetSystemInfo before XP): a
  // 32-bit program on 64-bit Windows would otherwise always be told x86.
  virtual void GetSystemInfo(SystemInfoRecord& record) = 0;
  // GetProductInfo: stores the product type and returns non-zero, or returns
  // 0 (also where the system has no such call, before Vista).
  virtual int32_t GetProductInfo(uint32_t majorVersion, uint32_t minorVersion,
                                 uint32_t servicePackMajor, uint32_t servicePackMinor,
                                 uint32_t& productType) = 0;
};

inline VersionInfo& versionInfo() {
  return Service<VersionInfo>::Get();
}

} // namespace platform
