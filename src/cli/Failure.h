#pragma once
#include "ExitCode.h"
#include "catalogue/Fault.h"
#include "update/Phase.h"
#include "update/WrittenAdapter.h"

namespace cli {

// A failure as a script sees it: a stable code for --json and the exit code.
struct Failure {
  const char* code;
  ExitCode exit;
};

// How a stop of the road before the adapter (the list, the entry, the
// description, the image) shows to a script.
Failure failureOf(catalogue::Fault fault);
// How the end of an exchange with the adapter shows to a script.
Failure failureOf(update::Outcome outcome);
// How a written adapter's answer after its return shows to a script.
Failure failureOf(update::Reseat reseat);
// A written adapter that was not plugged in again in time.
inline constexpr Failure kNotBackInTime{"unconfirmed", kUnconfirmed};
// mirror: the folder holds something else than a mirror, or could not be
// written; an entry's URL has no place of its own in it.
inline constexpr Failure kNotAMirror{"not-a-mirror", kUsage};
inline constexpr Failure kMirrorNotWritten{"mirror-not-written", kNotRead};
inline constexpr Failure kMirrorUrlUnfit{"mirror-url-unfit", kNotRead};

}  // namespace cli
