#include <cstdlib>

#include "platform/ReportDescriptor.h"

// A size, when there is one, is what some report of at most 256-bit fields can be.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto result = platform::maxInputReportSize(data, size);
  if (result && *result < 0) std::abort();
  return 0;
}
