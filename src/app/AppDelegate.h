#pragma once
#include <QObject>

// The application delegate: the application ends when its only window closes.
class AppDelegate : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  void applicationDidFinishLaunching() {}
  void applicationWillTerminate() {}
  bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
};
