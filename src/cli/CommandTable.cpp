#include "CommandTable.h"

#include <algorithm>

namespace cli {
namespace {

QCommandLineOption hidden(QCommandLineOption option) {
  option.setFlags(QCommandLineOption::HiddenFromHelp);
  return option;
}

}  // namespace

const std::vector<OptionEntry>& optionTable() {
  static const std::vector<OptionEntry> table = {
      {.option = QCommandLineOption("json", "One JSON object per line on standard output, and nothing else.")},
      {.option = QCommandLineOption("query", "Also ask each adapter for its version and lens id.")},
      {.option = QCommandLineOption("adapter",
                                    "Use the adapter at USB port PORT (as 'adapters' shows it); update takes it more "
                                    "than once, each port once.",
                                    "PORT"),
       .portValue = true,
       .repeatable = true},
      {.option = QCommandLineOption("all", "update: every attached adapter of the entry's ids, at once.")},
      {.option = QCommandLineOption("allow-reinstall",
                                    "update: also write an adapter that already runs the entry's version.")},
      {.option = QCommandLineOption("allow-older", "update: also write an adapter that runs a newer version.")},
      {.option = QCommandLineOption("confirm",
                                    "update: after the write, wait up to 120 s for each adapter to be taken out and "
                                    "plugged in again, and check that it runs the version written.")},
      {.option = QCommandLineOption("confirm-within", "update: --confirm, waiting up to SECONDS.", "SECONDS")},
      {.option = QCommandLineOption("server", "The firmware server at URL (scheme, host, port).", "URL"),
       .everyCommand = true},
      {.option = QCommandLineOption("mirror",
                                    "Read the list, its signature, descriptions and images from the offline mirror "
                                    "in DIR (made by 'mirror DIR'), with every check, instead of the network.",
                                    "DIR"),
       .everyCommand = true},
      {.option = QCommandLineOption(
           "trusted-key", "Also trust this minisign public key (its base64 line) to sign the list. Repeatable.", "KEY"),
       .everyCommand = true,
       .repeatable = true},
      // For the shell completions, not for people: their scripts call these.
      {.option = hidden(QCommandLineOption("completion", "Prints the completion script for SHELL.", "SHELL")),
       .everyCommand = true},
      {.option = hidden(QCommandLineOption("completion-ports", "Prints the USB port of each attached hidraw device.")),
       .everyCommand = true},
  };
  return table;
}

const std::vector<CommandEntry>& commandTable() {
  static const std::vector<CommandEntry> table = {
      {.name = "list",
       .options = {"json"},
       .usages = {{"list [--json]", "the entries of the firmware list, as the window shows them"}}},
      {.name = "describe", .takesRow = true, .usages = {{"describe ROW", "the description of entry ROW"}}},
      {.name = "adapters",
       .options = {"query", "json"},
       .usages = {{"adapters [--query] [--json]", "the attached adapters whose ids appear in the list"}}},
      {.name = "lens",
       .options = {"adapter", "json"},
       .usages = {{"lens [--adapter PORT] [--json]", "the id of the lens on the adapter"}}},
      {.name = "update",
       .takesRow = true,
       .options = {"adapter", "json", "all", "allow-reinstall", "allow-older", "confirm", "confirm-within"},
       .usages = {{"update ROW [--adapter PORT] [--json]",
                   "downloads entry ROW's image and writes it into the adapter"},
                  {"update ROW --all | --adapter PORT...",
                   "... into every adapter of the entry's ids, or those named, at once"},
                  {"update ROW ... --confirm", "... and waits for each to be plugged in again and say the version"}}},
      {.name = "mirror",
       .takesFolder = true,
       .options = {"json"},
       .usages = {{"mirror DIR [--json]",
                   "the list, its signature and every description and image, checked, into DIR"}}},
  };
  return table;
}

const CommandEntry* commandNamed(const QString& name) {
  const auto& table = commandTable();
  const auto found = std::find_if(table.begin(), table.end(), [&](const CommandEntry& c) { return c.name == name; });
  return found == table.end() ? nullptr : &*found;
}

bool takes(const CommandEntry& command, const QString& option) {
  if (command.options.contains(option)) return true;
  for (const OptionEntry& entry : optionTable())
    if (entry.option.names().contains(option)) return entry.everyCommand;
  return false;
}

}  // namespace cli
