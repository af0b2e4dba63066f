#include "HelpText.h"

#include <algorithm>

#include "CommandTable.h"

namespace cli {
namespace {

const char* const kBeforeCommands =
    "Writes new firmware into a USB lens mount adapter, on the same road as the ringflash window.\n"
    "\n"
    "Commands:\n";

const char* const kAfterCommands =
    "\n"
    "Texts go to standard error; with --json, standard output carries one JSON object per line.\n"
    "\n"
    "Exit codes:\n"
    "  0  done (written, or up to date; with --confirm, each written adapter confirmed)\n"
    "  1  the adapter side failed (it left, went quiet, refused a report, or the write was stopped)\n"
    "  2  usage (mirror: DIR holds something else than a mirror)\n"
    "  3  the list, a description or the image could not be read, or the list was refused;\n"
    "     mirror: the mirror could not be written\n"
    "  4  no adapter, more than one, not the entry's ids, or another program is writing it\n"
    "  5  the image was refused by its checks, or the adapter runs a newer version\n"
    "  6  an adapter is attached but may not be opened (the udev rule to install is printed)\n"
    "  7  --confirm: written, but an adapter was not plugged in again in time\n"
    "  8  --confirm: an adapter plugged in again runs another version than the one written";

// The summaries start three spaces after the longest synopsis.
qsizetype synopsisWidth() {
  qsizetype width = 0;
  for (const CommandEntry& command : commandTable())
    for (const Usage& usage : command.usages) width = std::max(width, usage.synopsis.size());
  return width + 3;
}

}  // namespace

QString helpDescription() {
  QString text = QString::fromUtf8(kBeforeCommands);
  const qsizetype width = synopsisWidth();
  for (const CommandEntry& command : commandTable())
    for (const Usage& usage : command.usages) text += "  " + usage.synopsis.leftJustified(width) + usage.summary + "\n";
  return text + QString::fromUtf8(kAfterCommands);
}

QString commandNames() {
  QStringList names;
  for (const CommandEntry& command : commandTable()) names << command.name;
  return eitherOf(names);
}

QString eitherOf(QStringList names) {
  const QString last = names.takeLast();
  return names.isEmpty() ? last : names.join(", ") + " or " + last;
}

}  // namespace cli
