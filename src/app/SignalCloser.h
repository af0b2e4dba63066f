#pragma once
#include <QObject>
#include <QSocketNotifier>
#include <QWidget>
#include <atomic>
#include <memory>

// SIGINT, SIGTERM, SIGHUP and SIGQUIT as a close request (SIGPIPE is ignored). While an image is being written the
// first one is taken as a click on the window's close button (which asks) and
// says so on standard error; a second one ends the process. Otherwise they end
// it at once, as they would without this.
class SignalCloser : public QObject {
  Q_OBJECT
 public:
  explicit SignalCloser(QWidget* window);
  ~SignalCloser() override;
  // Whether an image is being written now.
  static void setWriting(bool writing);

 private:
  void closeRequested();

  QWidget* window_;
  std::unique_ptr<QSocketNotifier> notifier_;
};
