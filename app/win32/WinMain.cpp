// TALMIREXRemove.exe: the window, with native Win32 controls.

#include <windows.h>

#include <string>

#include "app/frmTop.h"
#include "app/win32/Win32View.h"

namespace {

// The program is run elevated, often from a download folder that others
// can write: a DLL dropped there under the name of one that Windows loads
// as the window is made (uxtheme.dll, msimg32.dll, ...) would run inside
// it. From here on DLLs come from the system folder alone, never from the
// program's folder or the current one. The call that says so came with
// Windows 8 (and an update of Windows 7); where it is missing, the program
// folder is still dropped from the search as far as SetDllDirectory can.
void LoadDllsFromTheSystemFolderOnly() {
  using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesCall>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
  // What Windows loads late, by its name alone, as the window is made and
  // drawn: loaded now from the system folder, so that a later load by that
  // name finds it loaded. The delayed loads of some modules (Wine's
  // comctl32 for msimg32.dll) look beside the program all the same.
  wchar_t system[MAX_PATH];
  UINT n = GetSystemDirectoryW(system, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  for (const wchar_t* name : {L"uxtheme.dll", L"msimg32.dll", L"version.dll"})
    LoadLibraryW((std::wstring(system, n) + L"\\" + name).c_str());
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  LoadDllsFromTheSystemFolderOnly(); // first, before any window exists
  Win32View view(instance, showCommand);
  return frmTop::Run(view);
}
