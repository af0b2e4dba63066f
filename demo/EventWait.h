#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

// Runs the window's event loop until `done` holds or the time is up.
inline bool waitFor(const std::function<bool()>& done, int milliseconds = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > milliseconds) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::usleep(500);
  }
  return true;
}

// Lets queued main-thread work run for a while, for checks that nothing more happens.
inline void settle(int milliseconds = 100) {
  waitFor([] { return false; }, milliseconds);
}
