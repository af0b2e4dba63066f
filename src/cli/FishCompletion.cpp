#include "ShellScripts.h"

namespace cli {
namespace {

const char* const kScript = R"script(# fish completion for ringflash-cli, made by `ringflash-cli --completion fish`.
function __ringflash_cli_ports
    set -l program (commandline -opc)[1]
    $program --completion-ports 2>/dev/null
end
complete -c ringflash-cli -f
)script";

QString quoted(QString text) { return "'" + text.replace('\\', "\\\\").replace('\'', "\\'") + "'"; }

// The commands an option goes with, as a condition; none for one every command takes.
QString condition(const OptionEntry& entry) {
  if (entry.everyCommand) return "";
  QStringList commands;
  for (const CommandEntry& command : commandTable())
    if (command.options.contains(entry.option.names().constFirst())) commands << command.name;
  return " -n " + quoted("__fish_seen_subcommand_from " + commands.join(' '));
}

QString optionLine(const OptionEntry& entry) {
  QString line = "complete -c ringflash-cli" + condition(entry);
  for (const QString& name : entry.option.names()) line += (name.size() == 1 ? " -s " : " -l ") + name;
  if (!entry.option.valueName().isEmpty()) line += " -x";
  if (entry.portValue) line += " -a '(__ringflash_cli_ports)'";
  return line + " -d " + quoted(entry.option.description()) + "\n";
}

}  // namespace

QString fishCompletion() {
  QString script = QString::fromUtf8(kScript);
  for (const CommandEntry& command : commandTable())
    script += "complete -c ringflash-cli -n __fish_use_subcommand -a " + command.name + " -d " +
              quoted(command.usages.front().summary) + "\n";
  for (const OptionEntry& entry : completedOptions()) script += optionLine(entry);
  return script;
}

}  // namespace cli
