#include "GlobalQueue.h"

namespace platform {
GlobalQueue::GlobalQueue() { pool_.setMaxThreadCount(4); }
GlobalQueue::~GlobalQueue() { waitForAll(); }
void GlobalQueue::async(std::function<void()> job) { pool_.start(std::move(job)); }
void GlobalQueue::waitForAll() { pool_.waitForDone(); }
}  // namespace platform
