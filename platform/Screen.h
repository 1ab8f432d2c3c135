#pragma once
// The screen in use: how many twips (1/1440 inch) one pixel spans. 15 at 96
// pixels per inch, 12 at 120, 10 at 144.

#include <memory>

#include "platform/Service.h"

namespace platform {

class Screen {
public:
  virtual ~Screen() = default;
  // Windows: the display's logical pixels per inch. Linux: 15 until a window
  // toolkit installs what its display reports (see Fixed).
  static std::shared_ptr<Screen> Native();
  // A screen of the given twips per pixel.
  static std::shared_ptr<Screen> Fixed(float twipsPerPixelX, float twipsPerPixelY);

  virtual float TwipsPerPixelX() = 0;
  virtual float TwipsPerPixelY() = 0;
};

inline Screen& screen() {
  return Service<Screen>::Get();
}

} // namespace platform
