// Runs the ringflash window over the bundled firmware server and the simulated
// adapter. With a display it is the tool itself; headless it drives the window
// through its own controls and prints what happens.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "DemoOptions.h"
#include "DemoOutput.h"
#include "DemoScript.h"
#include "EventWait.h"
#include "TranscriptCheck.h"
#include "app/SignalCloser.h"
#include "app/StatusTexts.h"
#include "app/ViewController.h"
#include "catalogue/FirmwareList.h"
#include "catalogue/ZeroFill.h"
#include "platform/Mirror.h"
#include "road/MirrorMaking.h"
#include "server/SampleCatalogue.h"
#include "translation/Language.h"
#include "translation/StatusTranslation.h"

namespace {

using sim::SimulatedAdapter;

std::string statusOf(const ViewController& vc) { return vc.message->stringValue().toStdString(); }
// The texts are looked for as the window shows them, in the user's language;
// a pattern by what comes before its first value.
bool statusHas(const ViewController& vc, const std::string& text) {
  const std::string shown = translation::translatedStatus(text).toStdString();
  return statusOf(vc).find(shown.substr(0, shown.find('%'))) != std::string::npos;
}

void watch(ViewController& vc, TranscriptCheck& check) {
  QObject::connect(vc.message, &StatusField::stringValueChanged, [&check](const QString& s) {
    say("status: " + jsonString(s.toStdString()));
    check.status(s.toStdString());
  });
  QObject::connect(vc.processBar, &ProgressIndicator::doubleValueChanged,
                   [](double v) { say("progress: " + QString::number(v).toStdString()); });
}

void printRows(ViewController& vc) {
  for (int row = 0; row < vc.numberOfRows(); ++row) {
    const tableViewCell* cell = vc.tableViewViewForRow(row);
    say("row " + std::to_string(row) + ": " + cell->mTitle.toStdString() + " | " + cell->mDetial.toStdString());
  }
}

std::vector<std::string> fieldsOfRow(const ViewController& vc, int row) {
  if (!vc.lines || row < 0 || row >= static_cast<int>(vc.lines->size())) return {};
  return catalogue::splitFields((*vc.lines)[static_cast<std::size_t>(row)]);
}

std::pair<std::int64_t, std::int64_t> idsOfRow(const ViewController& vc, int row) {
  const auto fields = fieldsOfRow(vc, row);
  std::uint32_t v = 0, p = 0;
  catalogue::readHexField(catalogue::fieldOf(fields, catalogue::fVendor), v);
  catalogue::readHexField(catalogue::fieldOf(fields, catalogue::fProduct), p);
  return {v, p};
}

// The adapters named A, B, C...: each prints what it receives, and each has a
// transfer of its own in the check.
DemoAdapters plugAdapters(const std::shared_ptr<sim::SimulatedBus>& bus, const DemoOptions& o, const ViewController& vc,
                          TranscriptCheck& check) {
  DemoAdapters adapters;
  for (std::size_t i = 0; i < o.adapters.size(); ++i) {
    const AdapterOption& a = o.adapters[i];
    const std::string name(1, static_cast<char>('A' + i));
    sim::AdapterSettings s;
    std::tie(s.vendorId, s.productId) = a.ids ? *a.ids : idsOfRow(vc, o.row);
    s.node = "/dev/hidraw-sim-" + name;
    s.version = o.adapterVersion;
    s.lensId = o.lensId;
    s.replyDelaySeconds = o.replyDelay;
    s.refuseKind = o.refuseKind;
    s.keepsVersion = a.keepsVersion;
    if (a.silentQuery) s.silentAfterReports = 0;
    if (a.silentAfterPieces) s.silentAfterReports = 2 + *a.silentAfterPieces;  // the query and the start report first
    auto adapter = std::make_shared<SimulatedAdapter>(bus, s);
    const std::string to = o.adapters.size() > 1 ? " to " + name : "";
    adapter->setObserver([&check, i, to](const sim::ReceivedReport& r) {
      say(sentLine(kindName(r.kind), r.bytes) + to);
      check.report(i, r.kind);
    });
    if (!a.later) bus->plug(adapter);
    adapters.push_back(std::move(adapter));
  }
  return adapters;
}

bool updateEnded(const ViewController& vc) {
  if (statusHas(vc, texts::removeAdapter)) return true;
  for (const char* failure :
       {texts::downloadFailed, texts::noDevice, texts::mismatch, texts::disconnected, texts::imageTooLarge,
        texts::imageBadUrl, texts::imageCheckFailed, texts::versionOutOfRange, texts::writeFailed,
        texts::pieceUnanswered, texts::queryUnanswered, texts::severalAdapters})
    if (statusHas(vc, failure)) return true;
  return false;
}

void savePicture(ViewController& vc, const DemoOptions& o) {
  if (!vc.grab().save(QString::fromStdString(o.png))) say("png: cannot save " + o.png);
  else say("png: " + o.png);
}

bool imageMatches(const ViewController& vc, int row, const SimulatedAdapter& adapter) {
  auto read = platform::readURL(catalogue::fieldOf(fieldsOfRow(vc, row), catalogue::fImage));
  if (!read.ok()) return false;
  catalogue::zeroFill(read.bytes);
  const auto got = adapter.receivedImage();
  say("adapter: " + std::to_string(adapter.dataReportCount()) + " data reports, " + std::to_string(got.size()) +
      " bytes, " + (got == read.bytes ? "image matches" : "image differs"));
  return got == read.bytes;
}

bool runUpdate(ViewController& vc, const DemoOptions& o, const SimulatedAdapter* adapter) {
  QTest::mouseClick(vc.updateBtn, Qt::LeftButton);
  const int pieces = 70000 / 64;
  waitFor([&] { return updateEnded(vc); }, 30000 + pieces * 200);
  const bool done = statusHas(vc, texts::updateDone) && statusHas(vc, texts::removeAdapter);
  if (!adapter) return done;
  return imageMatches(vc, o.row, *adapter) && done;
}

bool runLens(ViewController& vc, const DemoOptions& o) {
  QTest::mouseClick(vc.imagebutton, Qt::LeftButton);
  char formatted[64];  // as the exchange writes it: in capitals
  std::snprintf(formatted, sizeof formatted, texts::lensId, static_cast<unsigned>(o.lensId));
  std::string lens(formatted);
  for (char& c : lens)
    if (static_cast<unsigned char>(c) < 0x80) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return waitFor([&] { return statusHas(vc, lens); }, 5000);
}

int drive(ViewController& vc, const DemoOptions& o, const SimulatedAdapter* adapter) {
  bool ok = false;
  if (o.row >= 0 && o.row < vc.numberOfRows()) {
    clickRow(vc, o.row);
    ok = statusOf(vc).rfind(" ", 0) == 0;
  }
  if (ok && o.update) ok = runUpdate(vc, o, adapter);
  if (ok && o.lens) ok = runLens(vc, o);
  savePicture(vc, o);
  return ok ? 0 : 1;
}

// A completion text for an image that did not arrive whole into any adapter,
// or that belongs to an entry for other adapters, is the outcome a script must
// never produce.
bool completionIsTrue(const ViewController& vc, const DemoAdapters& adapters) {
  if (!statusHas(vc, texts::updateDone)) return true;
  for (const auto& adapter : adapters) {
    const auto settings = adapter->settings();
    for (int row = 0; row < vc.numberOfRows(); ++row) {
      if (idsOfRow(vc, row) != std::make_pair(settings.vendorId, settings.productId)) continue;
      auto read = platform::readURL(catalogue::fieldOf(fieldsOfRow(vc, row), catalogue::fImage));
      if (!read.ok()) continue;
      catalogue::zeroFill(read.bytes);
      if (adapter->receivedImage() == read.bytes) return true;
    }
  }
  return false;
}

int script(ViewController& vc, const DemoOptions& o, sim::SimulatedBus* bus, const DemoAdapters& adapters,
           TranscriptCheck& check) {
  runScript(vc, o, bus, adapters, check);
  savePicture(vc, o);
  auto violations = check.violations();
  // The bytes a real adapter received cannot be seen from here: over hidraw the
  // completion is not judged.
  if (!o.hidraw && !completionIsTrue(vc, adapters))
    violations.push_back("completion shown for an image that did not arrive whole");
  for (const auto& v : violations) say("violation: " + v);
  say(violations.empty() ? "script: no violation" : "script: violations found");
  return violations.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  auto options = parseDemoOptions(argc, argv);
  if (!options) return 2;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) options->headless = true;
  if (options->headless && !std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const auto translator = translation::installTranslation();
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), font.family()});
  QApplication::setFont(font);

  FirmwareServer bundled;
  std::string base;
  std::string listAddress;
  if (options->mirror) {
    const auto mirrored = road::mirroredListAddress(*options->mirror);
    if (!mirrored) {
      say("mirror: " + *options->mirror + " is no offline mirror");
      return 2;
    }
    platform::readFromMirror(*options->mirror);
    listAddress = *mirrored;
  } else if (options->server) {
    base = *options->server;
  } else {
    if ((!bundled.start(8917) && !bundled.start(0)) || !serveSampleCatalogue(bundled, RINGFLASH_DEMO_CATALOGUE) ||
        (options->alteredList && !alterServedList(bundled, RINGFLASH_DEMO_CATALOGUE))) {
      say("firmware server: cannot start");
      return 1;
    }
    base = bundled.base();
  }
  std::shared_ptr<sim::SimulatedBus> bus;
  if (!options->hidraw) {
    bus = sim::SimulatedBus::create();
    bus->install();
  } else {
    platform::setOutputReportTap([](const std::uint8_t* r, std::int64_t n) {
      const platform::Data report(r, r + n);
      say(sentLine(kindName(sim::classifyReport(report)), report));
    });
  }
  int status;
  {
    TranscriptCheck check;
    if (listAddress.empty()) listAddress = base + kListPath;
    ViewController vc(QString::fromStdString(listAddress));
    for (const auto& key : options->trustedKeys) vc.addTrustedKey(key);
    watch(vc, check);
    SignalCloser closer(&vc);
    QObject::connect(&vc, &ViewController::writingChanged, [](bool writing) { SignalCloser::setWriting(writing); });
    vc.showAndLoad();
    if (vc.listSigned()) say("list: signature verified");
    printRows(vc);
    DemoAdapters adapters;
    if (bus && !options->noAdapter) adapters = plugAdapters(bus, *options, vc, check);
    const SimulatedAdapter* first = adapters.empty() ? nullptr : adapters.front().get();
    if (!options->script.empty()) status = script(vc, *options, bus.get(), adapters, check);
    else status = options->headless ? drive(vc, *options, first) : app.exec();
  }
  std::fflush(nullptr);
  std::_Exit(status);
}
