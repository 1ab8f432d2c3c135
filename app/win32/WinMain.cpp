// TALMIREXRemove.exe: the window, with native Win32 controls.

#include <windows.h>

#include "app/frmTop.h"
#include "app/win32/Win32View.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Win32View view(instance);
  return frmTop::Run(view);
}
