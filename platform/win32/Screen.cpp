#include "platform/Screen.h"

#include <windows.h>

namespace platform {
namespace {

class Win32Screen final : public Screen {
public:
  float TwipsPerPixelX() override {
    return 1440.0f / static_cast<float>(PixelsPerInch(LOGPIXELSX));
  }
  float TwipsPerPixelY() override {
    return 1440.0f / static_cast<float>(PixelsPerInch(LOGPIXELSY));
  }

private:
  static int PixelsPerInch(int index) {
    HDC dc = GetDC(nullptr);
    int ppi = dc ? GetDeviceCaps(dc, index) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    return ppi > 0 ? ppi : 96;
  }
};

} // namespace

std::shared_ptr<Screen> Screen::Native() {
  return std::make_shared<Win32Screen>();
}

} // namespace platform
