#pragma once
#include <QString>
#include <QStringList>
#include <vector>

#include "CommandTable.h"

namespace cli {

// The completion script of each shell.
QString bashCompletion();
QString zshCompletion();
QString fishCompletion();

// What the scripts offer: --help and --version as the parser has them, and
// every option of the table that is not hidden.
std::vector<OptionEntry> completedOptions();

// "-h", "--help": each name as it is typed.
QStringList typedNames(const QCommandLineOption& option);

}  // namespace cli
