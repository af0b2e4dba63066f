#pragma once
#include <QString>
#include <QStringList>

namespace cli {

// What --help says before the options: the commands, from the command table,
// between the texts around them.
QString helpDescription();

// "list, describe, adapters, lens or update"
QString commandNames();

// The names as a sentence says them: "a, b or c".
QString eitherOf(QStringList names);

}  // namespace cli
