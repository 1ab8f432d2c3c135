// What the Windows layer says about the running program: a path of its own
// that the ANSI file functions cannot take as it is stops it.

#include "platform/Program.h"

#include <windows.h>

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

#include "platform/RuntimeError.h"

namespace {

const wchar_t* const StrangeFolder = L"TALMIREX_STRANGE_FOLDER";

// Run by the test below, from a copy of this program in such a folder.
TEST(Win32Program, InAStrangeFolder) {
  if (!GetEnvironmentVariableW(StrangeFolder, nullptr, 0))
    GTEST_SKIP() << "run by APathThatTheAnsiFunctionsCannotTakeStops";
  try {
    std::string folder = platform::Program::Native()->Folder();
    ADD_FAILURE() << "no error for " << folder;
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), RuntimeError::BadFileName) << e.what();
  }
}

// Runs a copy of this program from `folder`, made for it; its exit code, or
// -1 when it could not be started there.
int RunCopyIn(const std::wstring& folder) {
  wchar_t self[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  if (n == 0 || n >= MAX_PATH * 4) return -1;
  const std::wstring exe = folder + L"\\platform_tests.exe";
  const std::wstring longExe = L"\\\\?\\" + exe;
  CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
  int code = -1;
  if (CopyFileW(self, longExe.c_str(), FALSE)) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE null = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = null;
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + exe + L"\" --gtest_filter=Win32Program.InAStrangeFolder";
    SetEnvironmentVariableW(StrangeFolder, L"1");
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                       &process)) {
      WaitForSingleObject(process.hProcess, INFINITE);
      DWORD exit = 0;
      GetExitCodeProcess(process.hProcess, &exit);
      code = static_cast<int>(exit);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
    SetEnvironmentVariableW(StrangeFolder, nullptr);
    CloseHandle(null);
    DeleteFileW(longExe.c_str());
  }
  RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
  return code;
}

// Windows would give such a path only in part, or the ANSI functions would
// take another one for it: the program stops with a run-time error before
// anything is made, copied or deleted.
TEST(Win32Program, APathThatTheAnsiFunctionsCannotTakeStops) {
  if (GetEnvironmentVariableW(StrangeFolder, nullptr, 0)) GTEST_SKIP() << "a second run";
  struct {
    std::wstring folder;
    bool stops;
  } cases[] = {
      {L"c:\\talmirex-\x03b1\x03b2", GetACP() != CP_UTF8}, // Greek: no letters of code page 1252
      {L"c:\\talmirex-" + std::wstring(250, L'x'), true},  // 275 characters with the name
      {L"c:\\talmirex-plain", false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.folder.size());
    int code = RunCopyIn(c.folder);
    if (code == -1) {
      std::printf("a copy of this program could not be started from a folder of %zu characters\n",
                  c.folder.size());
      continue;
    }
    EXPECT_EQ(code, c.stops ? 0 : 1);
  }
}

} // namespace
