#include "platform/Program.h"

#include <windows.h>

namespace platform {
namespace {

std::string ModulePath() {
  char buffer[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  return std::string(buffer, n);
}

class Win32Program final : public Program {
public:
  std::string Folder() override {
    std::string exe = ModulePath();
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
  }

  std::string ExeName() override {
    std::string exe = ModulePath();
    std::string name = exe.substr(exe.find_last_of('\\') + 1);
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
  }
};

} // namespace

std::shared_ptr<Program> Program::Native() {
  return std::make_shared<Win32Program>();
}

} // namespace platform
