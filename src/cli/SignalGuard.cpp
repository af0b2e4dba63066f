#include "SignalGuard.h"

#include <pthread.h>
#include <csignal>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

#include "ExchangeSession.h"
#include "update/ExchangeTexts.h"

namespace cli {
namespace {

constexpr auto kSecondStopWithin = std::chrono::seconds(5);
// After a second stop: a bound on the command's own end, not a pause.
constexpr auto kEndsWithin = std::chrono::seconds(5);

sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  // A closed terminal or a dropped remote shell (SIGHUP) and Ctrl-\ (SIGQUIT)
  // are stops like any other: none of them may cut a write silently.
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&set, signal);
  return set;
}

[[noreturn]] void guard(Report& report) {
  const sigset_t set = stopSignals();
  std::optional<std::chrono::steady_clock::time_point> warned;
  for (;;) {
    int signal = 0;
    if (sigwait(&set, &signal) != 0) continue;
    const auto now = std::chrono::steady_clock::now();
    if (!ExchangeSession::writing()) {
      std::fflush(nullptr);
      std::_Exit(128 + signal);
    }
    if (warned && now - *warned <= kSecondStopWithin) {
      // Each adapter's end is said by its own command, with the summary;
      // if that does not come at once, the process ends anyway.
      ExchangeSession::stopAll();
      std::this_thread::sleep_for(kEndsWithin);
      std::fflush(nullptr);
      std::_Exit(kAdapterFailed);
    }
    warned = now;
    report.text(texts::signalDuringWrite);
  }
}

}  // namespace

void blockStopSignals() {
  const sigset_t set = stopSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  // A reader that went away (`| head`) ends that output, never the write to
  // the adapter: the writes to it fail and are dropped.
  std::signal(SIGPIPE, SIG_IGN);
}

void guardStopSignals(Report& report) {
  std::thread([&report] { guard(report); }).detach();
}

}  // namespace cli
