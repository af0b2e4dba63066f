// Loads a firmware list of many lines into the window and paints it once:
// nothing may be built per row ahead of display.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/ViewController.h"
#include "server/SampleCatalogue.h"

int main(int argc, char* argv[]) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  FirmwareServer server;
  if (!server.start()) return 1;
  std::string list;
  // Short lines, so that 100,000 of them stay within the 4 MiB a list may have.
  for (int i = 0; i < lines; ++i)
    list += "EF " + std::to_string(i) + ";f1a5;1;v1.0." + std::to_string(i % 256) + ";d;u;u\n";
  server.put(kListPath, platform::Data(list.begin(), list.end()));
  QElapsedTimer timer;
  timer.start();
  ViewController vc(QString::fromStdString(server.base() + kListPath));
  vc.viewDidLoad();
  vc.show();
  const QPixmap shot = vc.grab();
  const double firstPaint = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  vc.tableView->scrollToBottom();
  const QPixmap bottom = vc.grab();
  if (vc.numberOfRows() == 0) {
    std::printf("table: list of %zu bytes not read: %s\n", list.size(), vc.message->stringValue().toUtf8().constData());
    std::fflush(stdout);
    std::_Exit(1);
  }
  std::printf("table: %d lines (%d rows), load and first paint %.1f ms, scrolled to the end and painted at %.1f ms\n",
              lines, vc.numberOfRows(), firstPaint, static_cast<double>(timer.nsecsElapsed()) / 1e6);
  std::fflush(stdout);
  std::_Exit(shot.isNull() || bottom.isNull() ? 1 : 0);
}
