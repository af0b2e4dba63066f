#include "ShellScripts.h"

namespace cli {
namespace {

// Autoloaded from fpath, the file is the function's body; sourced, it
// registers the function.
const char* const kScript = R"script(#compdef ringflash-cli
# zsh completion for ringflash-cli, made by `ringflash-cli --completion zsh`.

_ringflash_cli_ports() {
  local -a ports expl
  ports=(${(f)"$(${~program} --completion-ports 2>/dev/null)"})
  _wanted ports expl 'USB port' compadd -a ports
}

_ringflash-cli() {
  local program=${words[1]} curcontext=$curcontext state line
  local -a everywhere=(
@EVERYWHERE@  )
  _arguments -C $everywhere ': :->command' '*:: :->argument' && return
  case $state in
    command)
      local -a commands=(
@COMMANDS@      )
      _describe -t commands command commands ;;
    argument)
      case ${words[1]} in
@CASES@      esac ;;
  esac
}

if [ "$funcstack[1]" = "_ringflash-cli" ]; then
  _ringflash-cli "$@"
else
  compdef _ringflash-cli ringflash-cli
fi
)script";

QString quoted(QString text) { return "'" + text.replace('\'', "'\\''") + "'"; }

// One _arguments spec per name: "--server=[The firmware server...]:URL: ".
QStringList specs(const OptionEntry& entry) {
  QString help = entry.option.description();
  help.replace('\\', "\\\\").replace('[', "\\[").replace(']', "\\]");
  const QString value = entry.option.valueName();
  const QString valueSpec = value.isEmpty() ? "" : ":" + value + ":" + (entry.portValue ? "_ringflash_cli_ports" : " ");
  QStringList specs;
  for (const QString& name : typedNames(entry.option))
    specs << quoted((entry.repeatable ? "*" : "") + name + (value.isEmpty() ? "" : "=") + "[" + help + "]" + valueSpec);
  return specs;
}

QString commandCase(const CommandEntry& command, const std::vector<OptionEntry>& options) {
  QStringList args = {"$everywhere"};
  if (command.takesRow) args << "'1:ROW: '";
  if (command.takesFolder) args << "'1:DIR:_files -/'";
  for (const OptionEntry& entry : options)
    if (command.options.contains(entry.option.names().constFirst())) args << specs(entry);
  return "        " + command.name + ") _arguments " + args.join(' ') + " ;;\n";
}

}  // namespace

QString zshCompletion() {
  const std::vector<OptionEntry> options = completedOptions();
  QString everywhere, commands, cases;
  for (const OptionEntry& entry : options)
    if (entry.everyCommand) everywhere += "    " + specs(entry).join(' ') + "\n";
  for (const CommandEntry& command : commandTable()) {
    commands += "        " + quoted(command.name + ":" + command.usages.front().summary) + "\n";
    cases += commandCase(command, options);
  }
  return QString::fromUtf8(kScript)
      .replace("@EVERYWHERE@", everywhere)
      .replace("@COMMANDS@", commands)
      .replace("@CASES@", cases);
}

}  // namespace cli
