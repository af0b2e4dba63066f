#pragma once
#include <QString>
#include <optional>

namespace cli {

// The completion script for `shell`, made from the command table; none for a
// shell it does not know.
std::optional<QString> completionScript(const QString& shell);

// "bash, zsh or fish"
QString completionShells();

// The USB port path of each attached hidraw device, once, one a line: what
// --adapter completes to. Read from sysfs, without the network or the list.
QString attachedPorts();

}  // namespace cli
