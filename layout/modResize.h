#pragma once
// Rescales a window laid out in twips on a screen of one resolution so that
// the window and each control keep their size in pixels on the screen in use.

#include "layout/PropertyObject.h"

namespace modResize {

// `window` needs "WindowState", "Height", "Width" and "Controls" (with
// "Count" and members carrying "Left", "Top", "Height", "Width"); each step
// that fails is skipped on its own. DesignTwipsPerPixelX/Y are those of the
// screen on which the layout was drawn.
void ResizeForm(PropertyObject& window, float DesignTwipsPerPixelX, float DesignTwipsPerPixelY);

} // namespace modResize
