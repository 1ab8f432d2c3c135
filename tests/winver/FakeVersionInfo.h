#pragma once
// A made-up Windows for clsWindowsVersion: reports the system it is given and
// records every platform call made, in order.

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/VersionInfo.h"

struct FakeSystem {
  uint32_t platformId = 2;
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  std::string servicePack{}; // copied into the 128-character field, NULs and all
  uint16_t suiteMask = 0;
  uint8_t productType = 0;
  std::map<int32_t, int32_t> metrics{}; // index -> value; others are 0
  uint16_t architecture = 0;
  int32_t productInfoResult = 0;
  uint32_t product = 0;
  std::vector<int32_t> versionResults = {1}; // one per call in turn; the last repeats
  bool extendedRefused = false;              // the extended form fails (NT 4 before SP6)
};

class FakeVersionInfo : public platform::VersionInfo {
public:
  explicit FakeVersionInfo(FakeSystem system) : system(std::move(system)) {}

  FakeSystem system;
  std::vector<std::string> calls;
  int uncleanRecords = 0; // records handed in with more than the size field set

  // Fills the record whatever it returns, so that a query which ignored a
  // failing result would be caught by the answer it gives.
  int32_t GetVersionExA(platform::OsVersionRecord& record) override {
    calls.push_back("GetVersionExA(" + std::to_string(record.dwOSVersionInfoSize) + ")");
    platform::OsVersionRecord zeroed{};
    zeroed.dwOSVersionInfoSize = record.dwOSVersionInfoSize;
    if (std::memcmp(&zeroed, &record, sizeof record) != 0) ++uncleanRecords;

    size_t turn = versionCalls_++;
    int32_t result = system.versionResults[std::min(turn, system.versionResults.size() - 1)];
    bool extended = record.dwOSVersionInfoSize == platform::OsVersionRecord::ExtendedSize;
    if (!extended && record.dwOSVersionInfoSize != platform::OsVersionRecord::PlainSize) return 0;
    if (extended && system.extendedRefused) return 0;

    record.dwMajorVersion = system.major;
    record.dwMinorVersion = system.minor;
    record.dwBuildNumber = system.build;
    record.dwPlatformId = system.platformId;
    std::memcpy(record.szCSDVersion, system.servicePack.data(),
                std::min(system.servicePack.size(), sizeof record.szCSDVersion));
    if (extended) {
      record.wSuiteMask = system.suiteMask;
      record.wProductType = system.productType;
    }
    return result;
  }

  int32_t GetSystemMetrics(int32_t index) override {
    calls.push_back("GetSystemMetrics(" + std::to_string(index) + ")");
    auto found = system.metrics.find(index);
    return found == system.metrics.end() ? 0 : found->second;
  }

  void GetSystemInfo(platform::SystemInfoRecord& record) override {
    calls.push_back("GetSystemInfo");
    record = platform::SystemInfoRecord{};
    record.wProcessorArchitecture = system.architecture;
  }

  int32_t GetProductInfo(uint32_t major, uint32_t minor, uint32_t spMajor, uint32_t spMinor,
                         uint32_t& productType) override {
    calls.push_back("GetProductInfo(" + std::to_string(major) + "," + std::to_string(minor) + "," +
                    std::to_string(spMajor) + "," + std::to_string(spMinor) + ")");
    productType = system.product;
    return system.productInfoResult;
  }

  int CallsTo(const std::string& function) const {
    int n = 0;
    for (const auto& call : calls)
      if (call.rfind(function, 0) == 0) ++n;
    return n;
  }

private:
  size_t versionCalls_ = 0;
};
