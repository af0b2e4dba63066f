#pragma once
#include <any>
#include <map>
#include <string>

namespace platform {
// The object of a device notification: a dictionary keyed by text whose values
// the receiver looks up by key and checks for their type.
using Dictionary = std::map<std::string, std::any>;

template <typename T>
const T* lookup(const std::any& object, const std::string& key) {
  const auto* dict = std::any_cast<Dictionary>(&object);
  if (!dict) return nullptr;
  auto it = dict->find(key);
  if (it == dict->end()) return nullptr;
  return std::any_cast<T>(&it->second);
}
}  // namespace platform
