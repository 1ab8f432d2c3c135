#include "platform/Screen.h"

namespace platform {
namespace {

class FixedScreen final : public Screen {
public:
  FixedScreen(float x, float y) : x_(x), y_(y) {}
  float TwipsPerPixelX() override { return x_; }
  float TwipsPerPixelY() override { return y_; }

private:
  float x_, y_;
};

} // namespace

std::shared_ptr<Screen> Screen::Fixed(float twipsPerPixelX, float twipsPerPixelY) {
  return std::make_shared<FixedScreen>(twipsPerPixelX, twipsPerPixelY);
}

} // namespace platform
