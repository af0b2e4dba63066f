#pragma once
#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

struct Notification {
  std::string name;
  std::any object;  // empty when posted without one
};

// Observers by name with no sender filter. A post delivers synchronously on the
// posting thread, to every observer of that name, in the order they subscribed.
class NotificationCenter {
 public:
  using Observer = std::function<void(const Notification&)>;
  using Token = std::uint64_t;

  static NotificationCenter& defaultCenter();

  Token addObserver(const std::string& name, Observer observer);
  // Returns once no delivery to this observer is running any more, so the
  // caller may destroy what the observer refers to.
  void removeObserver(Token token);
  void post(const std::string& name, std::any object = {});

 private:
  struct Entry {
    Token token;
    std::string name;
    Observer observer;
    std::recursive_mutex running;  // held during a delivery
    bool removed = false;
  };
  std::mutex mutex_;
  std::vector<std::shared_ptr<Entry>> entries_;
  Token next_ = 1;
};

}  // namespace platform
