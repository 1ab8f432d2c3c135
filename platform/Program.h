#pragma once
// The running program's identity as Windows reports it, and what the
// platform it runs on can tell about a failure.

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

  // What the report of a run-time error that ends the program can add about
  // this platform, such as where a missing drive was looked for; empty when
  // there is nothing to add.
  virtual std::string AboutError(int /*number*/) { return {}; }
};

inline Program& program() {
  return Service<Program>::Get();
}

} // namespace platform
