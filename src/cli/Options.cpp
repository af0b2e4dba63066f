#include "Options.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cstdio>

#include "CommandTable.h"
#include "Completion.h"
#include "ExitCode.h"
#include "HelpText.h"
#include "catalogue/ListAddress.h"
#include "platform/Formatted.h"
#include "platform/UrlReader.h"
#include "road/MirrorMaking.h"
#include "road/MirrorTexts.h"
#include "translation/StatusTranslation.h"

namespace cli {
namespace {

using Fault = std::optional<QString>;  // what is wrong with the command line, if anything

void describeTo(QCommandLineParser& parser) {
  parser.setApplicationDescription(helpDescription());
  for (const OptionEntry& entry : optionTable()) parser.addOption(entry.option);
  parser.addPositionalArgument("command", commandNames());
  parser.addPositionalArgument("ROW", "the entry's row, from 0, as 'list' shows it", "[ROW]");
}

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

Parsed printed(const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stdout);
  return {std::nullopt, kDone};
}

Parsed completion(const QString& shell) {
  const auto script = completionScript(shell);
  return script ? printed(*script) : usage("--completion takes " + completionShells() + ", not '" + shell + "'");
}

// The command, the options that go with it and its ROW.
Fault readCommand(const QCommandLineParser& parser, Options& o) {
  const QStringList words = parser.positionalArguments();
  if (words.isEmpty()) return "no command given";
  const CommandEntry* command = commandNamed(words[0]);
  if (!command) return "unknown command '" + words[0] + "'";
  o.command = words[0].toStdString();
  for (const QString& name : parser.optionNames())
    if (!takes(*command, name)) return "--" + name + " does not go with " + words[0];
  const bool takesWord = command->takesRow || command->takesFolder;
  if (words.size() != (takesWord ? 2 : 1))
    return words[0] + (command->takesFolder ? " takes one DIR"
                       : command->takesRow  ? " takes one ROW"
                                            : " takes no ROW");
  if (command->takesFolder) {
    if (words[1].isEmpty()) return words[0] + " takes one DIR";
    o.folder = words[1].toStdString();
  }
  if (command->takesRow) {
    const auto row = rowOf(words[1]);
    if (!row) return "ROW must be a row number, not '" + words[1] + "'";
    o.row = *row;
  }
  return std::nullopt;
}

Fault readPorts(const QCommandLineParser& parser, Options& o) {
  for (const QString& port : parser.values("adapter")) {
    if (port.isEmpty()) return "--adapter needs a PORT";
    // Two writers on one adapter interleave their pieces: the image is lost.
    if (std::count(o.ports.begin(), o.ports.end(), port.toStdString())) return "--adapter " + port + " is named twice";
    o.ports.push_back(port.toStdString());
  }
  if (o.ports.size() > 1 && o.command != "update") return QString::fromStdString(o.command) + " takes one --adapter";
  if (o.all && !o.ports.empty()) return "--all and --adapter do not go together";
  return std::nullopt;
}

// Two minutes are enough to take an adapter out and plug it in again; a
// shop that re-seats a whole tray says how long it takes.
Fault readConfirm(const QCommandLineParser& parser, Options& o) {
  if (parser.isSet("confirm")) o.confirmWithin = 120.0;
  if (!parser.isSet("confirm-within")) return std::nullopt;
  bool ok = false;
  const double seconds = parser.value("confirm-within").toDouble(&ok);
  if (!ok || !(seconds > 0) || seconds > 24 * 3600)
    return "--confirm-within needs SECONDS, more than 0 and at most a day, not '" + parser.value("confirm-within") +
           "'";
  o.confirmWithin = seconds;
  return std::nullopt;
}

// A mirror is read for the list it was made from, unless a server is named:
// then for that server's list, as the mirror holds it.
Fault readServer(const QCommandLineParser& parser, const std::string& defaultServer, Options& o) {
  const QString serverURL = parser.isSet("server") ? parser.value("server") : QString::fromStdString(defaultServer);
  if (!platform::isHttpURL(serverURL.toStdString()))
    return "--server needs an http:// or https:// URL, not '" + serverURL + "'";
  o.listAddress = catalogue::listAddress(serverURL.toStdString());
  if (parser.isSet("mirror")) {
    o.mirror = parser.value("mirror").toStdString();
    const auto mirrored = road::mirroredListAddress(o.mirror);
    if (!mirrored) return translation::translatedStatus(platform::formatted(texts::mirrorNone, o.mirror.c_str()));
    if (!parser.isSet("server")) o.listAddress = *mirrored;
  }
  for (const QString& key : parser.values("trusted-key")) {
    const auto read = catalogue::readPublicKey(key.toStdString());
    if (!read) return "--trusted-key needs the base64 line of a minisign public key";
    o.trustedKeys.push_back(*read);
  }
  return std::nullopt;
}

Parsed readOptions(const QCommandLineParser& parser, const std::string& defaultServer) {
  Options o;
  o.json = parser.isSet("json");
  o.query = parser.isSet("query");
  o.all = parser.isSet("all");
  o.allowReinstall = parser.isSet("allow-reinstall");
  o.allowOlder = parser.isSet("allow-older");
  Fault fault = readCommand(parser, o);
  if (!fault) fault = readConfirm(parser, o);
  if (!fault) fault = readPorts(parser, o);
  if (!fault) fault = readServer(parser, defaultServer, o);
  return fault ? usage(*fault) : Parsed{o, kDone};
}

}  // namespace

Parsed parseOptions(const QStringList& arguments, const std::string& defaultServer) {
  QCommandLineParser parser;
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  describeTo(parser);
  if (!parser.parse(arguments)) return usage(parser.errorText());
  if (parser.isSet(help)) return printed(parser.helpText());
  if (parser.isSet(version)) return printed("ringflash-cli " + QCoreApplication::applicationVersion() + "\n");
  if (parser.isSet("completion")) return completion(parser.value("completion"));
  if (parser.isSet("completion-ports")) return printed(attachedPorts());
  return readOptions(parser, defaultServer);
}

}  // namespace cli
