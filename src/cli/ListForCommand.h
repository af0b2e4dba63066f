#pragma once
#include <optional>
#include <string>

#include "ExitCode.h"
#include "Options.h"
#include "Report.h"
#include "catalogue/ListLines.h"

namespace cli {

// The firmware list every command starts from, read as the window reads it.
// Absent after a failure, which `exit` then holds.
std::optional<catalogue::ListLines> readListFor(const Options& options, Report& report, ExitCode& exit);

// Line `options.row` of the list; a row the list does not have is a usage error.
std::optional<std::string> readLineFor(const Options& options, Report& report, ExitCode& exit);

}  // namespace cli
