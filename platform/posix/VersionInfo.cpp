// Linux is no Windows: the version call fails, there are no metrics and no
// product type, and the processor record stays empty.

#include "platform/VersionInfo.h"

namespace platform {
namespace {

class PosixVersionInfo final : public VersionInfo {
public:
  int32_t GetVersionExA(OsVersionRecord&) override { return 0; }
  int32_t GetSystemMetrics(int32_t) override { return 0; }
  void GetSystemInfo(SystemInfoRecord& record) override { record = SystemInfoRecord{}; }
  int32_t GetProductInfo(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t& productType) override {
    productType = 0;
    return 0;
  }
};

} // namespace

std::shared_ptr<VersionInfo> VersionInfo::Native() {
  return std::make_shared<PosixVersionInfo>();
}

} // namespace platform
