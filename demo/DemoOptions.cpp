#include "DemoOptions.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>

namespace {

bool parseIds(const QString& text, AdapterOption& a) {
  const QStringList parts = text.split(':');
  bool okV = false, okP = false;
  if (parts.size() != 2) return false;
  const unsigned v = parts[0].toUInt(&okV, 16), p = parts[1].toUInt(&okP, 16);
  if (!okV || !okP) return false;
  a.ids = std::make_pair(std::int64_t{v}, std::int64_t{p});
  return true;
}

// "plug" or "plug=B": the adapter a step is for.
bool parseAdapterName(const QString& action, const QString& verb, ScriptStep& step) {
  if (action == verb) return true;
  if (!action.startsWith(verb + "=") || action.size() != verb.size() + 2) return false;
  const QChar name = action.back();
  if (name < QLatin1Char('A') || name > QLatin1Char('Z')) return false;
  step.adapter = static_cast<std::size_t>(name.unicode() - 'A');
  return true;
}

// Options that describe an adapter apply to the --adapter given last before
// them (to A before any): they are read in the order they were given.
bool parseAdapters(const QCommandLineParser& parser, DemoOptions& o) {
  std::map<QString, int> seen;
  bool ok = true;
  for (const QString& name : parser.optionNames()) {
    const int index = seen[name]++;
    auto value = [&] { return parser.values(name).value(index); };
    if (name == "adapter") {
      if (index > 0 || o.adapters.empty()) o.adapters.emplace_back();
      ok = ok && parseIds(value(), o.adapters.back());
      continue;
    }
    if (name != "silent-after-pieces" && name != "silent-query" && name != "plug-later" && name != "keeps-version")
      continue;
    if (o.adapters.empty()) o.adapters.emplace_back();
    AdapterOption& a = o.adapters.back();
    bool numberOk = true;
    if (name == "silent-after-pieces") a.silentAfterPieces = value().toUInt(&numberOk);
    else if (name == "silent-query") a.silentQuery = true;
    else if (name == "keeps-version") a.keepsVersion = true;
    else a.later = true;
    ok = ok && numberOk;
  }
  if (o.adapters.empty()) o.adapters.emplace_back();
  return ok;
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

// "SECONDS:ACTION", ACTION one of update, lens, row=N, unplug[=NAME], plug[=NAME],
// poke[=NAME], close, sigterm, sighup, sigquit.
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
  else if (action == "close") step.action = A::close;
  else if (action == "sigterm") step.action = A::sigterm;
  else if (action == "sighup") step.action = A::sighup;
  else if (action == "sigquit") step.action = A::sigquit;
  else if (parseAdapterName(action, "unplug", step)) step.action = A::unplug;
  else if (parseAdapterName(action, "plug", step)) step.action = A::plug;
  else if (parseAdapterName(action, "poke", step)) step.action = A::poke;
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
  const QCommandLineOption mirror("mirror",
                                  "Read the list and everything it names from the offline mirror in DIR (made by "
                                  "'ringflash-cli mirror DIR'), with every check; no server is started.",
                                  "DIR");
  const QCommandLineOption row(
      "row", "The row to select (default 0; with --at, none unless given, and then before the script starts).", "N",
      "0");
  const QCommandLineOption headless("headless", "Drive the window and exit (the default without a display).");
  const QCommandLineOption update("update", "Press update and wait for the end.");
  const QCommandLineOption lens("lens", "Press the adapter image button and wait for the lens id.");
  const QCommandLineOption noAdapter("no-adapter", "Plug no simulated adapter in.");
  const QCommandLineOption hidraw("hidraw", "Use real adapters on /dev/hidraw* instead of the simulated one.");
  const QCommandLineOption adapter("adapter",
                                   "Ids of a simulated adapter (default: the row's). Repeatable: the adapters are "
                                   "named A, B, C... in this order.",
                                   "VID:PID");
  const QCommandLineOption silentAfterPieces("silent-after-pieces",
                                             "The adapter given last answers nothing after K pieces.", "K");
  const QCommandLineOption silentQuery("silent-query", "The adapter given last does not answer the query.");
  const QCommandLineOption plugLater("plug-later", "The adapter given last is plugged in only by the script.");
  const QCommandLineOption keepsVersion("keeps-version",
                                        "The adapter given last runs its old version after it is plugged in again, "
                                        "even when it was written whole.");
  const QCommandLineOption linger("linger",
                                  "With --at: go on for SECONDS after the effects of the script's last action are "
                                  "over (a re-seat's confirmation comes a second after the plug).",
                                  "SECONDS", "0");
  const QCommandLineOption adapterVersion("adapter-version", "Firmware version the adapter reports.", "X.Y.Z", "1.0.0");
  const QCommandLineOption lensId("lens-id", "Lens id the adapter reports, hexadecimal.", "HEX", "ff");
  const QCommandLineOption replyDelay("reply-delay", "Seconds the simulated adapter takes to reply.", "SECONDS",
                                      "0.002");
  const QCommandLineOption at("at",
                              "At SECONDS after the list is shown, do ACTION: update, lens, row=N, unplug, plug, "
                              "poke (the adapter sends a report of its own), each of those three for adapter A or "
                              "as unplug=B and so on; close (as a window manager asks), or sigterm, sighup or "
                              "sigquit (that signal to the harness itself). Repeatable.",
                              "SECONDS:ACTION");
  const QCommandLineOption refuse("refuse",
                                  "The simulated adapter does not take reports of KIND: query, start or data.", "KIND");
  const QCommandLineOption png("png", "Where to save a picture of the window.", "FILE", "ringflash-demo.png");
  const QCommandLineOption trustedKey("trusted-key",
                                      "Also trust this minisign public key (its base64 line) to "
                                      "sign the list. Repeatable.",
                                      "KEY");
  const QCommandLineOption alteredList("altered-list",
                                       "The bundled server serves its list with one byte changed "
                                       "after signing.");
  parser.addOptions({server,      mirror,     row,          headless, update,
                     lens,        noAdapter,  hidraw,       adapter,  silentAfterPieces,
                     silentQuery, plugLater,  keepsVersion, linger,   adapterVersion,
                     lensId,      replyDelay, at,           refuse,   png,
                     trustedKey,  alteredList});
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
  if (parser.isSet(mirror)) o.mirror = parser.value(mirror).toStdString();
  o.row = parser.value(row).toInt(&numberOk);
  o.rowGiven = parser.isSet(row);
  ok = ok && numberOk;
  o.headless = parser.isSet(headless);
  o.update = parser.isSet(update);
  o.lens = parser.isSet(lens);
  o.noAdapter = parser.isSet(noAdapter);
  o.hidraw = parser.isSet(hidraw);
  o.linger = parser.value(linger).toDouble(&numberOk);
  ok = ok && numberOk && o.linger >= 0;
  ok = ok && parseAdapters(parser, o);
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
  for (const auto& step : o.script) ok = ok && step.adapter < o.adapters.size();
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
