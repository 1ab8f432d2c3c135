#include "platform/Events.h"

#include <utility>

namespace platform {
namespace {
std::function<void()>& handler() {
  static std::function<void()> h;
  return h;
}
} // namespace

void SetPendingEventsHandler(std::function<void()> h) {
  handler() = std::move(h);
}

void DoEvents() {
  if (auto& h = handler()) h();
}

} // namespace platform
