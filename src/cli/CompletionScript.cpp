#include <QStringList>
#include <utility>
#include <vector>

#include "Completion.h"
#include "HelpText.h"
#include "ShellScripts.h"

namespace cli {
namespace {

const std::vector<std::pair<QString, QString (*)()>>& shells() {
  static const std::vector<std::pair<QString, QString (*)()>> table = {
      {"bash", bashCompletion}, {"zsh", zshCompletion}, {"fish", fishCompletion}};
  return table;
}

}  // namespace

std::optional<QString> completionScript(const QString& shell) {
  for (const auto& [name, script] : shells())
    if (name == shell) return script();
  return std::nullopt;
}

QString completionShells() {
  QStringList names;
  for (const auto& shell : shells()) names << shell.first;
  return eitherOf(names);
}

}  // namespace cli
