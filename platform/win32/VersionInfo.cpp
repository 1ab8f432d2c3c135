// The Windows version information from the Windows API itself.

#include "platform/VersionInfo.h"

#include <cstring>

#include <windows.h>

namespace platform {
namespace {

static_assert(sizeof(OSVERSIONINFOA) == OsVersionRecord::PlainSize);
static_assert(sizeof(OSVERSIONINFOEXA) == OsVersionRecord::ExtendedSize);
static_assert(sizeof(OSVERSIONINFOA::szCSDVersion) == sizeof(OsVersionRecord::szCSDVersion));

// Looks up a kernel32 export that older Windows versions lack.
template <class Function> Function Kernel32Export(const char* name) {
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  if (!kernel32) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(kernel32, name)));
}

class Win32VersionInfo final : public VersionInfo {
public:
  int32_t GetVersionExA(OsVersionRecord& record) override {
    // The extended record starts with the plain one; the size field tells
    // Windows which form to fill.
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = record.dwOSVersionInfoSize;
    BOOL result = ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info));
    if (!result) return result;
    record.dwMajorVersion = info.dwMajorVersion;
    record.dwMinorVersion = info.dwMinorVersion;
    record.dwBuildNumber = info.dwBuildNumber;
    record.dwPlatformId = info.dwPlatformId;
    std::memcpy(record.szCSDVersion, info.szCSDVersion, sizeof record.szCSDVersion);
    if (record.dwOSVersionInfoSize == OsVersionRecord::ExtendedSize) {
      record.wServicePackMajor = info.wServicePackMajor;
      record.wServicePackMinor = info.wServicePackMinor;
      record.wSuiteMask = info.wSuiteMask;
      record.wProductType = info.wProductType;
      record.wReserved = info.wReserved;
    }
    return result;
  }

  int32_t GetSystemMetrics(int32_t index) override { return ::GetSystemMetrics(index); }

  void GetSystemInfo(SystemInfoRecord& record) override {
    using NativeSystemInfo = void(WINAPI*)(SYSTEM_INFO*);
    static const auto getNative = Kernel32Export<NativeSystemInfo>("GetNativeSystemInfo");
    SYSTEM_INFO info{};
    if (getNative)
      getNative(&info);
    else
      ::GetSystemInfo(&info);
    record.wProcessorArchitecture = info.wProcessorArchitecture;
    record.dwPageSize = info.dwPageSize;
    record.dwNumberOfProcessors = info.dwNumberOfProcessors;
    record.dwProcessorType = info.dwProcessorType;
    record.wProcessorLevel = info.wProcessorLevel;
    record.wProcessorRevision = info.wProcessorRevision;
  }

  int32_t GetProductInfo(uint32_t majorVersion, uint32_t minorVersion, uint32_t servicePackMajor,
                         uint32_t servicePackMinor, uint32_t& productType) override {
    using ProductInfo = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
    static const auto getProductInfo = Kernel32Export<ProductInfo>("GetProductInfo");
    productType = 0;
    if (!getProductInfo) return 0;
    DWORD type = 0;
    BOOL result =
        getProductInfo(majorVersion, minorVersion, servicePackMajor, servicePackMinor, &type);
    productType = type;
    return result;
  }
};

} // namespace

std::shared_ptr<VersionInfo> VersionInfo::Native() {
  return std::make_shared<Win32VersionInfo>();
}

} // namespace platform
