#include "WindowBusyCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QObject>
#include <QThread>

// Setting the override cursor changes every window's cursor at once; the X11
// platform flushes the change to the server right there, so it shows while
// the thread blocks without the event loop having to run.
WindowBusyCursor::WindowBusyCursor(const QObject* window) : set_(QThread::currentThread() == window->thread()) {
  if (set_) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WindowBusyCursor::~WindowBusyCursor() {
  if (set_) QGuiApplication::restoreOverrideCursor();
}
