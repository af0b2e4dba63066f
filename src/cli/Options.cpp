#include "Options.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "ExitCode.h"
#include "catalogue/ListAddress.h"
#include "platform/UrlReader.h"

namespace cli {
namespace {

const char* const kDescription =
    "Writes new firmware into a USB lens mount adapter, on the same road as the ringflash window.\n"
    "\n"
    "Commands:\n"
    "  list [--json]                          the entries of the firmware list, as the window shows them\n"
    "  describe ROW                           the description of entry ROW\n"
    "  adapters [--query] [--json]            the attached adapters whose ids appear in the list\n"
    "  lens [--adapter PORT] [--json]         the id of the lens on the adapter\n"
    "  update ROW [--adapter PORT] [--json]   downloads entry ROW's image and writes it into the adapter\n"
    "  update ROW --all | --adapter PORT...   ... into every adapter of the entry's ids, or those named, at once\n"
    "\n"
    "Texts go to standard error; with --json, standard output carries one JSON object per line.\n"
    "\n"
    "Exit codes:\n"
    "  0  done\n"
    "  1  the adapter side failed (it left, went quiet, or refused a report)\n"
    "  2  usage\n"
    "  3  the list, a description or the image could not be read\n"
    "  4  no adapter, more than one, or not the entry's ids\n"
    "  5  the image was refused by its checks\n"
    "  6  an adapter is attached but may not be opened (the udev rule to install is printed)";

// The options each command takes, besides --server.
const std::map<std::string, std::set<std::string>> kCommands = {
    {"list", {"json"}},
    {"describe", {}},
    {"adapters", {"query", "json"}},
    {"lens", {"adapter", "json"}},
    {"update", {"adapter", "json", "all"}},
};

bool takesRow(const std::string& command) { return command == "describe" || command == "update"; }

std::optional<std::size_t> rowOf(const QString& text) {
  bool ok = false;
  const qulonglong row = text.toULongLong(&ok);
  if (!ok || text.isEmpty() || !text.front().isDigit()) return std::nullopt;
  return static_cast<std::size_t>(row);
}

Parsed usage(const QString& what) {
  std::fprintf(stderr, "ringflash-cli: %s\nTry 'ringflash-cli --help'.\n", what.toLocal8Bit().constData());
  return {std::nullopt, kUsage};
}

}  // namespace

Parsed parseOptions(const QStringList& arguments, const std::string& defaultServer) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QString::fromUtf8(kDescription));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption json("json", "One JSON object per line on standard output, and nothing else.");
  const QCommandLineOption query("query", "Also ask each adapter for its version and lens id.");
  const QCommandLineOption adapter(
      "adapter",
      "Use the adapter at USB port PORT (as 'adapters' shows it); update takes it more than once, each port once.",
      "PORT");
  const QCommandLineOption all("all", "update: every attached adapter of the entry's ids, at once.");
  const QCommandLineOption server("server", "The firmware server at URL (scheme, host, port).", "URL",
                                  QString::fromStdString(defaultServer));
  const QCommandLineOption trustedKey("trusted-key",
                                      "Also trust this minisign public key (its base64 line) to sign the list. "
                                      "Repeatable.",
                                      "KEY");
  parser.addOptions({json, query, adapter, all, server, trustedKey});
  parser.addPositionalArgument("command", "list, describe, adapters, lens or update");
  parser.addPositionalArgument("ROW", "the entry's row, from 0, as 'list' shows it", "[ROW]");
  if (!parser.parse(arguments)) return usage(parser.errorText());
  if (parser.isSet(help)) {
    std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
    return {std::nullopt, kDone};
  }
  if (parser.isSet(version)) {
    std::printf("ringflash-cli %s\n", QCoreApplication::applicationVersion().toLocal8Bit().constData());
    return {std::nullopt, kDone};
  }
  const QStringList words = parser.positionalArguments();
  if (words.isEmpty()) return usage("no command given");
  Options o;
  o.command = words[0].toStdString();
  const auto allowed = kCommands.find(o.command);
  if (allowed == kCommands.end()) return usage("unknown command '" + words[0] + "'");
  for (const QString& name : parser.optionNames())
    if (name != "server" && name != "trusted-key" && !allowed->second.count(name.toStdString()))
      return usage("--" + name + " does not go with " + words[0]);
  if (words.size() != (takesRow(o.command) ? 2 : 1))
    return usage(words[0] + (takesRow(o.command) ? " takes one ROW" : " takes no ROW"));
  if (takesRow(o.command)) {
    const auto row = rowOf(words[1]);
    if (!row) return usage("ROW must be a row number, not '" + words[1] + "'");
    o.row = *row;
  }
  o.json = parser.isSet(json);
  o.query = parser.isSet(query);
  o.all = parser.isSet(all);
  for (const QString& port : parser.values(adapter)) {
    if (port.isEmpty()) return usage("--adapter needs a PORT");
    // Two writers on one adapter interleave their pieces: the image is lost.
    if (std::count(o.ports.begin(), o.ports.end(), port.toStdString()))
      return usage("--adapter " + port + " is named twice");
    o.ports.push_back(port.toStdString());
  }
  if (o.ports.size() > 1 && o.command != "update") return usage(words[0] + " takes one --adapter");
  if (o.all && !o.ports.empty()) return usage("--all and --adapter do not go together");
  const QString serverURL = parser.value(server);
  if (!platform::isHttpURL(serverURL.toStdString()))
    return usage("--server needs an http:// or https:// URL, not '" + serverURL + "'");
  o.listAddress = catalogue::listAddress(serverURL.toStdString());
  for (const QString& key : parser.values(trustedKey)) {
    const auto read = catalogue::readPublicKey(key.toStdString());
    if (!read) return usage("--trusted-key needs the base64 line of a minisign public key");
    o.trustedKeys.push_back(*read);
  }
  return {o, kDone};
}

}  // namespace cli
