// Profile files and the system folder on Windows: the kernel's own functions.

#include "platform/Profile.h"

#include <windows.h>

namespace platform {
namespace {

class Win32Profile final : public Profile {
public:
  uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, char* buffer, uint32_t size,
                                    const std::string& fileName) override {
    return ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                      size, fileName.c_str());
  }

  bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string& fileName) override {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        fileName.c_str()) != FALSE;
  }

  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override {
    return ::GetSystemDirectoryA(buffer, size);
  }
};

} // namespace

std::shared_ptr<Profile> Profile::Native() {
  return std::make_shared<Win32Profile>();
}

} // namespace platform
