#include "Thread.h"

#include <thread>

namespace platform {
void Thread::start() { std::thread(entry_).detach(); }
}
