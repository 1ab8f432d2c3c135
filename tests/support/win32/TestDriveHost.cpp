// Under Windows (Wine) drive C: is the prefix's own drive.

#include <windows.h>

#include <aclapi.h>

#include <fstream>
#include <string>

#include "tests/support/TestDrive.h"

namespace testhost {

std::string DriveRootHost() {
  return "c:\\";
}

std::string ToHost(const std::string& windowsPath) {
  return windowsPath;
}

void SetReadOnly(const std::string& hostPath, bool readOnly) {
  DWORD attributes = GetFileAttributesA(hostPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  attributes =
      readOnly ? (attributes | FILE_ATTRIBUTE_READONLY) : (attributes & ~FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(hostPath.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

bool SetHiddenOrSystem(const std::string& hostPath, bool hidden, bool system) {
  DWORD attributes = GetFileAttributesA(hostPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  attributes &= ~(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NORMAL);
  if (hidden) attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (system) attributes |= FILE_ATTRIBUTE_SYSTEM;
  return SetFileAttributesA(hostPath.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool OnlyOwnerMayUse(const std::string& hostPath) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(hostPath.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  // Wine keeps a folder's DACL but not the mark that it inherits nothing:
  // that mark is asked for only where the system keeps it.
  const bool wine = GetProcAddress(GetModuleHandleA("ntdll"), "wine_get_version") != nullptr;
  bool only = dacl && GetSecurityDescriptorControl(descriptor, &control, &revision) &&
              (wine || (control & SE_DACL_PROTECTED)) && dacl->AceCount > 0;
  // Who may be granted: the system, the administrators, this user.
  alignas(TOKEN_USER) unsigned char user[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
  HANDLE token = nullptr;
  DWORD size = 0;
  only = only && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
         GetTokenInformation(token, TokenUser, user, sizeof user, &size);
  if (token) CloseHandle(token);
  for (DWORD i = 0; only && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace)) ||
        ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) {
      only = false;
      break;
    }
    PSID sid = &ace->SidStart;
    only = IsWellKnownSid(sid, WinLocalSystemSid) ||
           IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ||
           EqualSid(sid, reinterpret_cast<TOKEN_USER*>(user)->User.Sid);
  }
  LocalFree(descriptor);
  return only;
}

bool RunOnLinux(const std::string& hostFolder, const std::string& script) {
  // Wine tells the Linux path of a Windows one, and starts Linux programs.
  using UnixName = char*(CDECL*)(const wchar_t*);
  auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  wchar_t wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, hostFolder.c_str(), -1, wide, MAX_PATH)) return false;
  char* folder = unixName(wide);
  if (!folder) return false;
  std::string linuxFolder = folder;
  HeapFree(GetProcessHeap(), 0, folder);
  // The Linux process is not waited for through its handle (Wine signals
  // it at once): it leaves its exit status in a file when it is done.
  const std::string path = hostFolder + "\\.linux-script";
  const std::string done = hostFolder + "\\.linux-done";
  {
    std::ofstream out(path, std::ios::binary);
    out << "cd '" << linuxFolder << "' || exit 1\n(\n"
        << script << "\n)\necho $? > .linux-done.part && mv .linux-done.part .linux-done\n";
  }
  std::string command = "/bin/sh \"" + linuxFolder + "/.linux-script\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  bool ran = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process) != 0;
  int status = -1;
  if (ran) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int waited = 0; waited < 30000 && status < 0; waited += 10) {
      std::ifstream in(done);
      if (!(in >> status)) {
        status = -1;
        Sleep(10);
      }
    }
  }
  DeleteFileA(done.c_str());
  DeleteFileA(path.c_str());
  return status == 0;
}

} // namespace testhost
