#include "DemoOptions.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

bool parseIds(const QString& text, DemoOptions& o) {
  const QStringList parts = text.split(':');
  bool okV = false, okP = false;
  if (parts.size() != 2) return false;
  const unsigned v = parts[0].toUInt(&okV, 16), p = parts[1].toUInt(&okP, 16);
  if (!okV || !okP) return false;
  o.adapterIds = std::make_pair(std::int64_t{v}, std::int64_t{p});
  return true;
}

bool parseVersion(const QString& text, DemoOptions& o) {
  const QStringList parts = text.split('.');
  if (parts.size() != 3) return false;
  for (int i = 0; i < 3; ++i) {
    bool ok = false;
    const unsigned n = parts[i].toUInt(&ok);
    if (!ok || n > 255) return false;
    o.adapterVersion[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n);
  }
  return true;
}

// "SECONDS:ACTION", ACTION one of update, lens, row=N, unplug, plug, poke.
bool parseStep(const QString& text, DemoOptions& o) {
  const qsizetype colon = text.indexOf(':');
  if (colon < 0) return false;
  bool ok = false;
  ScriptStep step;
  step.seconds = text.left(colon).toDouble(&ok);
  if (!ok || step.seconds < 0) return false;
  const QString action = text.mid(colon + 1);
  using A = ScriptStep::Action;
  if (action == "update") step.action = A::update;
  else if (action == "lens") step.action = A::lens;
  else if (action == "unplug") step.action = A::unplug;
  else if (action == "plug") step.action = A::plug;
  else if (action == "poke") step.action = A::poke;
  else if (action.startsWith("row=")) {
    step.action = A::row;
    step.row = action.mid(4).toInt(&ok);
    if (!ok) return false;
  } else {
    return false;
  }
  o.script.push_back(step);
  return true;
}

std::string helpOf(const QCommandLineParser& parser) {
  return parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("ringflash-demo")).toStdString();
}

}  // namespace

std::optional<DemoOptions> parseDemoOptions(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Runs the ringflash window over the bundled firmware server and a simulated adapter.\n"
      "Headless, it drives the window through its controls and prints every status text,\n"
      "progress value and report the adapter receives. With --at it runs a timed script,\n"
      "times counted from the list being shown, and exits once the last action's effects are over.");
  parser.addHelpOption();
  const QCommandLineOption server("server", "Use a running firmware server at URL (scheme, host, port).", "URL");
  const QCommandLineOption row("row", "The row to select (default 0).", "N", "0");
  const QCommandLineOption headless("headless", "Drive the window and exit (the default without a display).");
  const QCommandLineOption update("update", "Press update and wait for the end.");
  const QCommandLineOption lens("lens", "Press the adapter image button and wait for the lens id.");
  const QCommandLineOption noAdapter("no-adapter", "Plug no simulated adapter in.");
  const QCommandLineOption hidraw("hidraw", "Use real adapters on /dev/hidraw* instead of the simulated one.");
  const QCommandLineOption adapter("adapter", "Ids of the simulated adapter (default: the row's).", "VID:PID");
  const QCommandLineOption adapterVersion("adapter-version", "Firmware version the adapter reports.", "X.Y.Z",
                                          "1.0.0");
  const QCommandLineOption lensId("lens-id", "Lens id the adapter reports, hexadecimal.", "HEX", "ff");
  const QCommandLineOption replyDelay("reply-delay", "Seconds the simulated adapter takes to reply.", "SECONDS",
                                      "0.002");
  const QCommandLineOption at("at",
                              "At SECONDS after the list is shown, do ACTION: update, lens, row=N, unplug, plug, "
                              "or poke (the adapter sends a report of its own). Repeatable.",
                              "SECONDS:ACTION");
  const QCommandLineOption refuse("refuse", "The simulated adapter does not take reports of KIND: query, start or data.",
                                  "KIND");
  const QCommandLineOption png("png", "Where to save a picture of the window.", "FILE", "ringflash-demo.png");
  const QCommandLineOption trustedKey("trusted-key", "Also trust this minisign public key (its base64 line) to "
                                      "sign the list. Repeatable.", "KEY");
  const QCommandLineOption alteredList("altered-list", "The bundled server serves its list with one byte changed "
                                       "after signing.");
  parser.addOptions({server, row, headless, update, lens, noAdapter, hidraw, adapter, adapterVersion, lensId,
                     replyDelay, at, refuse, png, trustedKey, alteredList});
  if (!parser.parse(arguments)) {
    std::cerr << parser.errorText().toStdString() << "\n" << helpOf(parser);
    return std::nullopt;
  }
  if (parser.isSet("help")) {
    std::cout << helpOf(parser);
    std::exit(0);
  }
  DemoOptions o;
  bool ok = true, numberOk = true;
  if (parser.isSet(server)) o.server = parser.value(server).toStdString();
  o.row = parser.value(row).toInt(&numberOk);
  ok = ok && numberOk;
  o.headless = parser.isSet(headless);
  o.update = parser.isSet(update);
  o.lens = parser.isSet(lens);
  o.noAdapter = parser.isSet(noAdapter);
  o.hidraw = parser.isSet(hidraw);
  if (parser.isSet(adapter)) ok = ok && parseIds(parser.value(adapter), o);
  ok = ok && parseVersion(parser.value(adapterVersion), o);
  o.lensId = static_cast<std::uint16_t>(parser.value(lensId).toUInt(&numberOk, 16));
  ok = ok && numberOk;
  o.replyDelay = parser.value(replyDelay).toDouble(&numberOk);
  ok = ok && numberOk && o.replyDelay >= 0;
  if (parser.isSet(refuse)) {
    const QString kind = parser.value(refuse);
    const QStringList kinds{"query", "start", "data"};
    ok = ok && kinds.contains(kind);
    o.refuseKind = static_cast<int>(kinds.indexOf(kind));
  }
  for (const QString& step : parser.values(at)) ok = ok && parseStep(step, o);
  std::stable_sort(o.script.begin(), o.script.end(),
                   [](const ScriptStep& a, const ScriptStep& b) { return a.seconds < b.seconds; });
  o.png = parser.value(png).toStdString();
  for (const QString& key : parser.values(trustedKey)) {
    const auto read = catalogue::readPublicKey(key.toStdString());
    ok = ok && read;
    if (read) o.trustedKeys.push_back(*read);
  }
  o.alteredList = parser.isSet(alteredList);
  if (!ok) {
    std::cerr << "ringflash-demo: an option's value is not understood\n" << helpOf(parser);
    return std::nullopt;
  }
  return o;
}
