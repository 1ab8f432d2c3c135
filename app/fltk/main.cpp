// TALMIREXRemove on Linux: the window, with FLTK widgets.

#include "app/fltk/FltkView.h"
#include "app/frmTop.h"

int main() {
  FltkView view;
  return frmTop::Run(view);
}
