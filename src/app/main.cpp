#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "AppDelegate.h"
#include "SignalCloser.h"
#include "ViewController.h"
#include "catalogue/ListAddress.h"
#include "platform/Formatted.h"
#include "platform/Mirror.h"
#include "road/MirrorMaking.h"
#include "road/MirrorTexts.h"
#include "translation/Language.h"
#include "translation/StatusTranslation.h"

#ifndef RINGFLASH_FIRMWARE_SERVER
#error "RINGFLASH_FIRMWARE_SERVER must be set at build time"
#endif
#ifndef RINGFLASH_VERSION
#error "RINGFLASH_VERSION must be set at build time"
#endif

namespace {

// The list address to read: the built-in server's, or with --mirror the one
// the mirror was made from, every URL then read from the mirror. No value
// when the mirror named is none.
std::optional<QString> listAddressFrom(const QApplication& app) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Writes new firmware into a USB lens mount adapter.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption mirror("mirror",
                                  "Read the list, its signature, descriptions and images from the offline mirror in "
                                  "DIR (made by 'ringflash-cli mirror DIR'), with every check, instead of the network.",
                                  "DIR");
  parser.addOption(mirror);
  parser.process(app);
  if (!parser.isSet(mirror)) return QString::fromStdString(catalogue::listAddress(RINGFLASH_FIRMWARE_SERVER));
  const std::string folder = parser.value(mirror).toStdString();
  const auto address = road::mirroredListAddress(folder);
  if (!address) {
    const QString text = translation::translatedStatus(platform::formatted(texts::mirrorNone, folder.c_str()));
    std::fprintf(stderr, "ringflash: %s\n", text.toLocal8Bit().constData());
    return std::nullopt;
  }
  platform::readFromMirror(folder);
  return QString::fromStdString(*address);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(QStringLiteral(RINGFLASH_VERSION));
  const auto translator = translation::installTranslation();
  const auto listAddress = listAddressFrom(app);
  if (!listAddress) return 2;
  // Desktops (Wayland above all) match the window to its entry by this id.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.ringflash.Ringflash"));
  AppDelegate delegate;
  QApplication::setQuitOnLastWindowClosed(delegate.applicationShouldTerminateAfterLastWindowClosed());
  QObject::connect(&app, &QApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), font.family()});
  QApplication::setFont(font);
  ViewController window(*listAddress);
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
