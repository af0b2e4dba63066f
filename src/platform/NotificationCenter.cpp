#include "NotificationCenter.h"

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
  // Never destroyed: monitor threads may still post while the process exits.
  static auto* center = new NotificationCenter;
  return *center;
}

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name, Observer observer) {
  auto entry = std::make_shared<Entry>();
  entry->name = name;
  entry->observer = std::move(observer);
  std::lock_guard lock(mutex_);
  entry->token = next_++;
  entries_.push_back(entry);
  return entry->token;
}

void NotificationCenter::removeObserver(Token token) {
  std::shared_ptr<Entry> found;
  {
    std::lock_guard lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if ((*it)->token == token) {
        found = *it;
        entries_.erase(it);
        break;
      }
    }
  }
  if (!found) return;
  std::lock_guard wait(found->running);
  found->removed = true;
}

void NotificationCenter::post(const std::string& name, std::any object) {
  std::vector<std::shared_ptr<Entry>> targets;
  {
    std::lock_guard lock(mutex_);
    for (const auto& entry : entries_)
      if (entry->name == name) targets.push_back(entry);
  }
  const Notification note{name, std::move(object)};
  for (const auto& entry : targets) {
    std::lock_guard running(entry->running);
    if (!entry->removed) entry->observer(note);
  }
}

}  // namespace platform
