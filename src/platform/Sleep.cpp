#include "Sleep.h"

#include <chrono>
#include <thread>

namespace platform {
void threadSleep(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}
}  // namespace platform
