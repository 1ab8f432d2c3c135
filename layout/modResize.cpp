#include "layout/modResize.h"

#include <memory>

#include "platform/Screen.h"

namespace modResize {
namespace {

// Runs one step; a failing step is skipped and the routine goes on.
template <class Step> void Guarded(Step step) {
  try {
    step();
  } catch (const RuntimeError&) {
  }
}

// Multiplies a number property in place: read, single-precision product,
// write, unrounded.
void Scale(PropertyObject& object, const char* name, float factor) {
  Guarded([&] { object.SetNumber(name, object.GetNumber(name) * factor); });
}

} // namespace

void ResizeForm(PropertyObject& window, float DesignTwipsPerPixelX, float DesignTwipsPerPixelY) {
  bool notNormal = false;
  Guarded([&] { notNormal = window.GetNumber("WindowState") != 0; });
  if (notNormal) return;

  auto& screen = platform::screen();
  const float sx = screen.TwipsPerPixelX() / DesignTwipsPerPixelX;
  const float sy = screen.TwipsPerPixelY() / DesignTwipsPerPixelY;
  if (sx == 1.0f && sy == 1.0f) return;

  Scale(window, "Height", sy);
  Scale(window, "Width", sx);

  std::shared_ptr<PropertyObject> controls;
  Guarded([&] { controls = window.GetObject("Controls"); });
  int count = 0;
  Guarded([&] {
    if (controls) count = static_cast<int>(controls->GetNumber("Count"));
  });
  for (int i = 0; i < count; ++i) {
    std::shared_ptr<PropertyObject> control;
    Guarded([&] { control = controls->Item(i); });
    if (!control) continue;
    Scale(*control, "Left", sx);
    Scale(*control, "Top", sy);
    Scale(*control, "Height", sy);
    Scale(*control, "Width", sx);
  }
}

} // namespace modResize
