#pragma once
#include <optional>
#include <string>

namespace publish {
// Asks for a password on the controlling terminal, not echoing it; no value
// without a terminal. `prompt` is shown before it.
std::optional<std::string> askPassword(const std::string& prompt);
// The first line of a file, without its line end.
std::optional<std::string> passwordFromFile(const std::string& path);
}  // namespace publish
