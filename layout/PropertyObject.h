#pragma once
// An object whose properties are reached by name, the way a window and its
// controls are scripted: numbers ("Left", "WindowState"), objects
// ("Controls") and, for a collection, its members by index. A property the
// object does not have raises 438; one it will not change raises 383.

#include <memory>
#include <string>

#include "platform/RuntimeError.h"

class PropertyObject {
public:
  enum : int { ReadOnlyProperty = 383, PropertyNotSupported = 438 };

  virtual ~PropertyObject() = default;

  virtual float GetNumber(const std::string& name) = 0;
  virtual void SetNumber(const std::string& name, float value) = 0;
  // An object-valued property, such as a window's "Controls".
  virtual std::shared_ptr<PropertyObject> GetObject(const std::string& name) = 0;
  // The index-th member of a collection (0 = first).
  virtual std::shared_ptr<PropertyObject> Item(int index) = 0;

  static RuntimeError NotSupported(const std::string& name) {
    return RuntimeError(PropertyNotSupported,
                        "Object doesn't support this property or method: " + name);
  }
  static RuntimeError ReadOnly(const std::string& name) {
    return RuntimeError(ReadOnlyProperty, "Property is read-only: " + name);
  }
};
