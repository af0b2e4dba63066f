// Process start of the real ringflash binary, offscreen, to its list read on
// the bundled firmware server: the time from the spawn until the server has
// answered the list's request (the list is read synchronously while the
// window loads, so "读取固件列表成功" follows within microseconds).
// Prints: startup: <ms> ms (median of <runs>)
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "server/SampleCatalogue.h"

extern char** environ;

int main(int argc, char* argv[]) {
  const std::string binary = argc > 1 ? argv[1] : "ringflash";
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  FirmwareServer server;
  // The port is the built-in one: another run on this machine (a demo, a
  // test) may hold it for a while.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!server.start(RINGFLASH_BENCH_PORT) && std::chrono::steady_clock::now() < giveUp)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (server.port() != RINGFLASH_BENCH_PORT || !serveSampleCatalogue(server, RINGFLASH_DEMO_CATALOGUE)) {
    std::printf("startup: cannot serve the catalogue on port %d\n", RINGFLASH_BENCH_PORT);
    return 1;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const std::size_t before = server.requestCount(kListPath);
    pid_t child;
    char* args[] = {const_cast<char*>(binary.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    if (posix_spawn(&child, binary.c_str(), nullptr, nullptr, args, environ) != 0) {
      std::printf("startup: cannot start %s\n", binary.c_str());
      return 1;
    }
    while (server.requestCount(kListPath) == before &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(20))
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
  }
  std::sort(times.begin(), times.end());
  std::printf("startup: %.1f ms (median of %d)\n", times[times.size() / 2], runs);
  return 0;
}
