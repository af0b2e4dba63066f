#include "PaintNow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace {
// A display server that takes longer than this to map a window is not waited for.
constexpr qint64 kExposeWaitMs = 300;
}  // namespace

// Input that comes meanwhile waits for the event loop: only the display's
// own events are handled here.
void paintNow(QWidget& window) {
  if (!window.isVisible()) return;
  QWindow* handle = window.windowHandle();
  QElapsedTimer waited;
  waited.start();
  while (handle && !handle->isExposed() && waited.elapsed() < kExposeWaitMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!handle->isExposed()) QThread::msleep(1);
  }
  window.repaint();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
