#include "tests/app/HostProcess.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace hostprocess {
namespace {

DWORD Run(const std::string& commandLine, bool quiet = false) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE null = INVALID_HANDLE_VALUE;
  if (quiet) {
    // Its own report is not wanted here; errors still show.
    null = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       OPEN_EXISTING, 0, nullptr);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = null;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  }
  PROCESS_INFORMATION process{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back(0);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return static_cast<DWORD>(-1);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

} // namespace

bool UnixShellAvailable() {
  return true;
}

void UnixShell(const std::string& command) {
  // Wine starts a Linux program like any other, but returns at once and
  // passes no exit code on: the command leaves a mark when it is done.
  static int serial = 0;
  char mark[MAX_PATH];
  std::snprintf(mark, sizeof mark, "c:\\windows\\temp\\talmirex-sh-%lu-%d.done",
                GetCurrentProcessId(), ++serial);
  DeleteFileA(mark);
  std::string script = "{ ";
  script += command;
  script += "\n}; : > '";
  script += UnixPath(mark);
  script += "'";
  std::string line = "Z:\\bin\\sh -c \"";
  for (char c : script) {
    if (c == '"' || c == '\\') line += '\\';
    line += c;
  }
  line += '"';
  Run(line);
  for (int waited = 0; waited < 30000 && GetFileAttributesA(mark) == INVALID_FILE_ATTRIBUTES;
       waited += 2)
    Sleep(2);
  DeleteFileA(mark);
}

std::string UnixPath(const std::string& hostPath) {
  using Convert = char*(__cdecl*)(const wchar_t*);
  auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!convert) return {};
  std::wstring wide(hostPath.begin(), hostPath.end());
  char* unix = convert(wide.c_str());
  if (!unix) return {};
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

int RunSelf(const std::string& arguments, const std::string& variable, const std::string& value) {
  char self[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, self, sizeof self)) return -1;
  SetEnvironmentVariableA(variable.c_str(), value.c_str());
  std::string line = "\"";
  line += self;
  line += "\" ";
  line += arguments;
  DWORD code = Run(line, true);
  SetEnvironmentVariableA(variable.c_str(), nullptr);
  return static_cast<int>(code);
}

// No other user to become here.
OtherUser::OtherUser(std::function<void()>) {}
OtherUser::~OtherUser() = default;

} // namespace hostprocess
