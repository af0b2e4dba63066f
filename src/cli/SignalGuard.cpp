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

sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
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
      report.fail(texts::stoppedWhileWriting, Failure{"interrupted", kAdapterFailed});
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
}

void guardStopSignals(Report& report) {
  std::thread([&report] { guard(report); }).detach();
}

}  // namespace cli
