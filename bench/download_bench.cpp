// An image download through the tool's own read path and the zero fill,
// against curl on the same URL in the same run, and the memory it takes.
// One run of it is one round: the first read of this fresh process (what a
// user waits for: the tool reads one image per session, into fresh memory),
// then warm reads, each beside a run of curl. The server runs in a process of
// its own so that its copy of the image is not counted.
// download_bench [MiB] [warm reads]; prints:
// download <MiB> MiB: first <ms> ms, curl <ms> ms, time ratio <r>; warm <ms> ms, curl <ms> ms,
// throughput ratio <r>; peak growth <MiB> MiB (image <MiB> MiB)
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/ZeroFill.h"
#include "platform/UrlReader.h"
#include "server/FirmwareServer.h"

namespace {

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A line of /proc/self/status, in KiB: VmRSS now, VmHWM the peak so far.
long statusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field) {
      status >> value;
      return value;
    }
    status.ignore(4096, '\n');
  }
  return 0;
}

// The server on one CPU, the reader (this process and each curl) on the other,
// as a server on another machine: left to the scheduler, whether the two share
// a CPU changed from run to run and moved the ratio between 0.6 and 1.4. Where
// there is one CPU the call fails and both share it, curl as well.
void pinTo(int cpu) {
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  sched_setaffinity(0, sizeof set, &set);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double oursOnce(const std::string& url) {
  platform::UrlReadOptions o = platform::UrlReadOptions::forImage();
  o.maxBytes = 16u << 20;
  const auto start = std::chrono::steady_clock::now();
  auto read = platform::readURL(url, o);
  if (!read.ok()) return -1;
  catalogue::zeroFill(read.bytes);
  return seconds(std::chrono::steady_clock::now() - start);
}

// curl's own measure of the transfer, without its process start.
double curlOnce(const std::string& url) {
  const std::string command = "curl -s -o /dev/null -w '%{time_total}' " + url;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  double total = -1;
  if (std::fscanf(pipe, "%lf", &total) != 1) total = -1;
  return pclose(pipe) == 0 ? total : -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 15;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::size_t bytes = mib << 20;
  int ready[2];
  if (pipe(ready) != 0) return 1;
  const pid_t server = fork();
  if (server == 0) {
    pinTo(0);
    FirmwareServer s;
    if (!s.start()) _exit(1);
    s.put("/fw/big.bin", platform::Data(bytes, 0x5A));
    s.put("/fw/small.bin", platform::Data(1024, 0x5A));
    const std::uint16_t port = s.port();
    if (write(ready[1], &port, sizeof port) != sizeof port) _exit(1);
    for (;;) pause();
  }
  pinTo(1);
  std::uint16_t port = 0;
  if (read(ready[0], &port, sizeof port) != sizeof port) return 1;
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/fw/big.bin";
  // A firmware server has served its images before: its first answer of
  // this one, with its own fresh pages, is not the tool's to pay.
  if (curlOnce(url) < 0) return 1;
  // Idle is the tool after it has read something (the list): libcurl and its
  // TLS library are set up by then.
  if (oursOnce("http://127.0.0.1:" + std::to_string(port) + "/fw/small.bin") < 0) return 1;
  const long idle = statusKiB("VmRSS:");
  const double first = oursOnce(url), curlBeside = curlOnce(url);
  std::vector<double> ours, theirs;
  // Each goes first in every other pair, so that what the one before leaves
  // behind (the caches, the server's state) weighs on both alike.
  for (int i = 0; i < runs; ++i) {
    if (i % 2) theirs.push_back(curlOnce(url));
    ours.push_back(oursOnce(url));
    if (i % 2 == 0) theirs.push_back(curlOnce(url));
  }
  const long peak = statusKiB("VmHWM:");
  kill(server, SIGKILL);
  waitpid(server, nullptr, 0);
  if (first < 0 || curlBeside < 0 || ours.empty() || *std::min_element(ours.begin(), ours.end()) < 0 ||
      *std::min_element(theirs.begin(), theirs.end()) < 0) {
    std::printf("download %zu MiB: a read failed\n", mib);
    return 1;
  }
  const double o = median(ours), c = median(theirs);
  std::printf(
      "download %zu MiB: first %.2f ms, curl %.2f ms, time ratio %.3f; warm %.2f ms, curl %.2f ms, "
      "throughput ratio %.3f; peak growth %.1f MiB (image %zu MiB)\n",
      mib, first * 1000, curlBeside * 1000, first / curlBeside, o * 1000, c * 1000, c / o,
      static_cast<double>(peak - idle) / 1024.0, mib);
  return 0;
}
