#pragma once
#include "ExitCode.h"
#include "update/Phase.h"

namespace cli {

// A failure as a script sees it: a stable code for --json and the exit code.
struct Failure {
  const char* code;
  ExitCode exit;
};

// The failure one of the road's texts before the adapter reports (the list,
// the entry, the description, the image).
Failure failureOf(const char* text);
// How the end of an exchange with the adapter shows to a script.
Failure failureOf(update::Outcome outcome);

}  // namespace cli
