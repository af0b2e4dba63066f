#include <QApplication>
#include <QFont>
#include <cstdio>
#include <cstdlib>

#include "AppDelegate.h"
#include "SignalCloser.h"
#include "ViewController.h"
#include "catalogue/ListAddress.h"
#include "translation/Language.h"

#ifndef RINGFLASH_FIRMWARE_SERVER
#error "RINGFLASH_FIRMWARE_SERVER must be set at build time"
#endif

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const auto translator = translation::installTranslation();
  // Desktops (Wayland above all) match the window to its entry by this id.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.ringflash.Ringflash"));
  AppDelegate delegate;
  QApplication::setQuitOnLastWindowClosed(delegate.applicationShouldTerminateAfterLastWindowClosed());
  QObject::connect(&app, &QApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), font.family()});
  QApplication::setFont(font);
  ViewController window(QString::fromStdString(catalogue::listAddress(RINGFLASH_FIRMWARE_SERVER)));
  window.setAttribute(Qt::WA_QuitOnClose);
  SignalCloser closer(&window);
  QObject::connect(&window, &ViewController::writingChanged, [](bool writing) { SignalCloser::setWriting(writing); });
  window.showAndLoad();
  delegate.applicationDidFinishLaunching();
  // The window is drawn before the list is read, and a close asked for in
  // that moment is taken then, when no event loop runs yet to quit.
  if (window.isVisible()) app.exec();
  std::fflush(nullptr);
  // Monitor threads never end; leave without waiting for them.
  std::_Exit(0);
}
