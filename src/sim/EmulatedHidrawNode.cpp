#include "EmulatedHidrawNode.h"

#include <unistd.h>

namespace platform::sim {

EmulatedHidrawNode::EmulatedHidrawNode(AdapterSettings settings) : settings_(std::move(settings)) {}

void EmulatedHidrawNode::taken(const std::uint8_t* bytes, std::size_t length) {
  const Data write(bytes, bytes + length);
  std::function<void(const ReceivedReport&)> observer;
  {
    std::lock_guard lock(mutex_);
    writes_.push_back(write);
    observer = observer_;
  }
  changed_.notify_all();
  if (length < 1) return;
  ReceivedReport report{ReceivedReport::Kind::data, Data(write.begin() + 1, write.end())};
  report.kind = classifyReport(report.bytes);
  if (observer) observer(report);
  if (report.kind == ReceivedReport::Kind::start) return;
  if (settings_.silentAfterReports && countTaken() > *settings_.silentAfterReports) return;
  const Data reply = adapterReply(settings_);
  [[maybe_unused]] const auto n = ::write(fifo_, reply.data(), reply.size());
}

std::size_t EmulatedHidrawNode::countTaken() const {
  std::lock_guard lock(mutex_);
  return writes_.size();
}

std::vector<Data> EmulatedHidrawNode::writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

bool EmulatedHidrawNode::waitForWrites(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return writes_.size() >= count; });
}

void EmulatedHidrawNode::setObserver(std::function<void(const ReceivedReport&)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

}  // namespace platform::sim
