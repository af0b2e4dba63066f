#include "SignalCloser.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "WindowTexts.h"
#include "translation/StatusTranslation.h"
#include "update/ExchangeTexts.h"

namespace {
// A closed terminal (SIGHUP) and Ctrl-\ (SIGQUIT) as well as the usual two.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
int wakeFds[2] = {-1, -1};
std::atomic<bool> writing{false};
std::atomic<int> requests{0};

// Only async-signal-safe calls here.
void onSignal(int signo) {
  if (!writing.load()) {  // as if this handler were not there
    std::signal(signo, SIG_DFL);
    raise(signo);
    return;
  }
  if (requests.fetch_add(1) >= 1) _exit(128 + signo);  // asked twice: the user means it
  const char byte = static_cast<char>(signo);
  [[maybe_unused]] auto n = ::write(wakeFds[1], &byte, 1);
}
}  // namespace

SignalCloser::SignalCloser(QWidget* window) : window_(window) {
  if (wakeFds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(wakeFds[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
    char byte;
    [[maybe_unused]] auto n = ::read(wakeFds[0], &byte, 1);
    closeRequested();
  });
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kStopSignals) sigaction(signal, &action, nullptr);
  // A standard output whose reader went away must not end a write.
  std::signal(SIGPIPE, SIG_IGN);
}

SignalCloser::~SignalCloser() {
  for (int signal : kStopSignals) std::signal(signal, SIG_DFL);
}

void SignalCloser::setWriting(bool now) {
  writing.store(now);
  if (!now) requests.store(0);
}

void SignalCloser::closeRequested() {
  std::fprintf(stderr, "%s\n", translation::translatedStatus(texts::signalDuringWrite).toUtf8().constData());
  std::fflush(stderr);
  window_->close();
}
