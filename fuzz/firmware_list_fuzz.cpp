#include <cstdlib>
#include <string>

#include "catalogue/FirmwareList.h"
#include "platform/TextDecoding.h"

// The list's line and field rules and both readings over any text. The
// invariants: no "\r" survives, joining the fields of a line gives it back,
// and a reading that fails leaves its target as it was.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto text = platform::stringFromUTF8(platform::Data(data, data + size));
  if (!text) return 0;
  for (const auto& line : catalogue::splitLines(*text)) {
    if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos) std::abort();
    const auto fields = catalogue::splitFields(line);
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) joined += (i ? ";" : "") + fields[i];
    if (joined != line) std::abort();
    std::uint32_t vid = 0xDEADBEEF;
    if (!catalogue::readHexField(catalogue::fieldOf(fields, catalogue::fVendor), vid) && vid != 0xDEADBEEF) std::abort();
    std::array<std::int64_t, 3> version{-7, -7, -7};
    catalogue::readVersionField(catalogue::fieldOf(fields, catalogue::fVersion), version);
  }
  return 0;
}
