#pragma once
#include "ExitCode.h"

namespace cli {

// A failure as a script sees it: a stable code for --json and the exit code.
struct Failure {
  const char* code;
  ExitCode exit;
};

// The failure one of the tool's own texts reports.
Failure failureOf(const char* text);

}  // namespace cli
