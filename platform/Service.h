#pragma once
// A platform service is an interface with one native implementation per
// platform (in win32/ or posix/). The core reaches the current instance
// through Service<T>::Get(); tests put a fake or a fault-injecting wrapper in
// its place with Service<T>::Replace() and put the old one back afterwards.

#include <memory>
#include <utility>

namespace platform {

template <class T> class Service {
public:
  static T& Get() {
    auto& slot = Slot();
    if (!slot) slot = T::Native();
    return *slot;
  }

  // The instance in use, created on first use.
  static std::shared_ptr<T> Current() {
    Get();
    return Slot();
  }

  // Installs `next` (the native one again when null) and returns the previous.
  static std::shared_ptr<T> Replace(std::shared_ptr<T> next) {
    auto previous = Current();
    Slot() = next ? std::move(next) : T::Native();
    return previous;
  }

private:
  static std::shared_ptr<T>& Slot() {
    static std::shared_ptr<T> slot;
    return slot;
  }
};

} // namespace platform
