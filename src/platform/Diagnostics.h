#pragma once
#include <functional>
#include <string>

namespace platform {

// Where the device link's one-line messages go ("Cannot open /dev/hidraw3
// ..."). The window prints them on standard output; the command line, whose
// standard output is its data, sends them to standard error. No library
// prints by itself.
using DiagnosticsSink = std::function<void(const std::string& line)>;
void setDiagnosticsSink(DiagnosticsSink sink);
// One message, without its line end; any thread.
void diagnose(const std::string& line);

}  // namespace platform
