#pragma once
// Profile (INI) files entry by entry, and the Windows system folder, as the
// kernel's GetPrivateProfileStringA, WritePrivateProfileStringA and
// GetSystemDirectoryA provide them. Texts are in the ANSI code page; a file
// name without any folder part names a file in the Windows folder.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Service.h"

namespace platform {

class Profile {
public:
  virtual ~Profile() = default;
  static std::shared_ptr<Profile> Native();

  // Copies the value of `key` in `section` (the default when either is
  // missing) into the buffer of `size` characters, cut to size - 1 and
  // ended by a NUL; returns the number of characters copied. The empty
  // section name stands for the keys before the first section header.
  virtual uint32_t GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                            const std::string& defaultValue, char* buffer,
                                            uint32_t size, const std::string& fileName) = 0;

  // Sets `key` in `section` to `value`, making the file, section and key
  // as needed, and writes the whole file back in the profile layout; false
  // when the file cannot be written.
  virtual bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                          const std::string& value,
                                          const std::string& fileName) = 0;

  // Copies the system folder's path and a NUL into the buffer and returns
  // its length; when it does not fit, returns the size it needs (NUL
  // included) and leaves the buffer alone; 0 on failure.
  virtual uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) = 0;
};

inline Profile& profile() {
  return Service<Profile>::Get();
}

} // namespace platform
