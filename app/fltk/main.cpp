// TALMIREXRemove on Linux: the window, with FLTK widgets.

#include "app/fltk/FltkView.h"
#include "app/frmTop.h"

// What the leak checker of the sanitizer build is not to report when the
// program ends: fontconfig, beneath the X fonts FLTK draws with, keeps the
// fonts it matched cached until the process ends and frees them nowhere.
// That memory is fontconfig's, not ours; everything else is still checked.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

int main() {
  FltkView view;
  return frmTop::Run(view);
}
