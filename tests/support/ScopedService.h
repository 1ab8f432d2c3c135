#pragma once
// Puts a fake platform service in place for the life of a test.

#include <memory>

#include "platform/Service.h"

template <class T> class ScopedService {
public:
  explicit ScopedService(std::shared_ptr<T> fake)
      : previous_(platform::Service<T>::Replace(std::move(fake))) {}
  ~ScopedService() { platform::Service<T>::Replace(previous_); }
  ScopedService(const ScopedService&) = delete;
  ScopedService& operator=(const ScopedService&) = delete;

private:
  std::shared_ptr<T> previous_;
};
