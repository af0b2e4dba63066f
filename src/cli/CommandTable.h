#pragma once
#include <QCommandLineOption>
#include <QString>
#include <QStringList>
#include <vector>

namespace cli {

// The one place the command line is written down: --help, the parser's
// checks and the shell completions are all made from these two tables.
struct OptionEntry {
  QCommandLineOption option;  // its name, help text and value name, as the parser takes it
  bool everyCommand = false;  // goes with every command, and before one
  bool portValue = false;     // its value is the USB port path of an attached adapter
  bool repeatable = false;    // may be given more than once
};

// What --help says of a command: one line per way of calling it.
struct Usage {
  QString synopsis;  // "lens [--adapter PORT] [--json]"
  QString summary;
};

struct CommandEntry {
  QString name;
  bool takesRow = false;
  bool takesFolder = false;  // DIR instead of ROW
  QStringList options{};     // the names of those it takes besides the ones every command takes
  std::vector<Usage> usages{};
};

// In the order --help lists them.
const std::vector<OptionEntry>& optionTable();
const std::vector<CommandEntry>& commandTable();

const CommandEntry* commandNamed(const QString& name);
// Whether the option (a name as the parser gives it back) goes with the command.
bool takes(const CommandEntry& command, const QString& option);

}  // namespace cli
