#pragma once
#include <optional>
#include <string>

#include "ExitCode.h"
#include "Options.h"
#include "Report.h"
#include "road/ListRead.h"

namespace cli {

// The firmware list every command starts from, read as the window reads it
// (its lines are there). Absent after a failure, which `exit` then holds.
std::optional<road::ListRead> readListFor(const Options& options, Report& report, ExitCode& exit);

// Line `options.row` of the list; a row the list does not have is a usage error.
struct ListLine {
  std::string line;
  bool signedList = false;
};
std::optional<ListLine> readLineFor(const Options& options, Report& report, ExitCode& exit);

// A moment as JSON gives it: ISO 8601, UTC ("2026-12-01T00:00:00Z").
QString isoTimeOf(std::int64_t unixSeconds);

}  // namespace cli
