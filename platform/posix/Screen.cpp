#include "platform/Screen.h"

namespace platform {

// Without a display of its own the layer assumes the common 96 pixels per
// inch; the window toolkit replaces this with what its display reports.
std::shared_ptr<Screen> Screen::Native() {
  return Fixed(15.0f, 15.0f);
}

} // namespace platform
