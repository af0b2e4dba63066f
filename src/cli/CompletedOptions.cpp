#include <QCommandLineParser>

#include "ShellScripts.h"

namespace cli {

std::vector<OptionEntry> completedOptions() {
  QCommandLineParser parser;
  std::vector<OptionEntry> options = {{.option = parser.addHelpOption(), .everyCommand = true},
                                      {.option = parser.addVersionOption(), .everyCommand = true}};
  for (const OptionEntry& entry : optionTable())
    if (!(entry.option.flags() & QCommandLineOption::HiddenFromHelp)) options.push_back(entry);
  return options;
}

QStringList typedNames(const QCommandLineOption& option) {
  QStringList typed;
  for (const QString& name : option.names()) typed << (name.size() == 1 ? "-" : "--") + name;
  return typed;
}

}  // namespace cli
