#pragma once
// The running program's identity as Windows reports it.

#include <memory>
#include <string>

#include "platform/Service.h"

namespace platform {

class Program {
public:
  virtual ~Program() = default;
  static std::shared_ptr<Program> Native();

  // The folder of the executable, without a trailing backslash except for a
  // drive's root ("C:\"). On Linux the Windows path that maps to it ("Z:\...").
  virtual std::string Folder() = 0;
  // The executable's file name without its extension.
  virtual std::string ExeName() = 0;
};

inline Program& program() {
  return Service<Program>::Get();
}

} // namespace platform
