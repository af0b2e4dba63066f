#include "ShellScripts.h"

namespace cli {
namespace {

// The words are split again from the line up to the cursor: bash splits
// COMP_WORDS at the colons of a --server URL as well. Needs no helper of the
// bash-completion package.
const char* const kScript = R"script(# bash completion for ringflash-cli, made by `ringflash-cli --completion bash`.
_ringflash_cli() {
  local line=${COMP_LINE:0:${COMP_POINT:-${#COMP_LINE}}} words command="" i
  read -ra words <<< "$line"
  [[ ${#words[@]} -lt 2 || $line == *[[:space:]] ]] && words+=("")
  local cur=${words[-1]} prev=${words[-2]}
  for ((i = 1; i < ${#words[@]} - 1; i++)); do
    case ${words[i]} in
      @VALUED@) ((i++)) ;;
      -*) ;;
      *) command=${words[i]}; break ;;
    esac
  done
  case $prev in
    @PORT@) mapfile -t COMPREPLY < <(compgen -W "$("$1" --completion-ports 2>/dev/null)" -- "$cur"); return ;;
    @VALUED@) COMPREPLY=(); return ;;
  esac
  local options="@EVERYWHERE@"
  case $command in
    "") [[ $cur == -* ]] || { mapfile -t COMPREPLY < <(compgen -W "@COMMANDS@" -- "$cur"); return; } ;;
@CASES@    *) COMPREPLY=(); return ;;
  esac
  mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
}
complete -F _ringflash_cli ringflash-cli
)script";

// Each case adds the options of its command to those every command takes.
QString commandCases() {
  QString cases;
  for (const CommandEntry& command : commandTable()) {
    QStringList typed;
    for (const QString& name : command.options) typed << "--" + name;
    cases += "    " + command.name + ")" + (typed.isEmpty() ? "" : " options+=\" " + typed.join(' ') + "\"") + " ;;\n";
  }
  return cases;
}

}  // namespace

QString bashCompletion() {
  QStringList valued, port, everywhere, commands;
  for (const OptionEntry& entry : completedOptions()) {
    const QStringList typed = typedNames(entry.option);
    if (!entry.option.valueName().isEmpty()) valued << typed;
    if (entry.portValue) port << typed;
    if (entry.everyCommand) everywhere << typed;
  }
  for (const CommandEntry& command : commandTable()) commands << command.name;
  return QString::fromUtf8(kScript)
      .replace("@VALUED@", valued.join('|'))
      .replace("@PORT@", port.join('|'))
      .replace("@EVERYWHERE@", everywhere.join(' '))
      .replace("@COMMANDS@", commands.join(' '))
      .replace("@CASES@", commandCases());
}

}  // namespace cli
