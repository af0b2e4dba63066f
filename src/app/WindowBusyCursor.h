#pragma once
class QObject;

// While the window's own thread is blocked (a read of the list or of a
// description), the pointer over it shows that it is busy. It is set, and
// sent to the display server, before the blocking work begins, and taken back
// when this goes. On any other thread (the image download, which does not
// block the window) it does nothing.
class WindowBusyCursor {
 public:
  explicit WindowBusyCursor(const QObject* window);
  ~WindowBusyCursor();
  WindowBusyCursor(const WindowBusyCursor&) = delete;
  WindowBusyCursor& operator=(const WindowBusyCursor&) = delete;

 private:
  bool set_;
};
