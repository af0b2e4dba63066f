#include <cstdlib>
#include <string>

#include "catalogue/FirmwareList.h"
#include "catalogue/ImageCheck.h"
#include "catalogue/ListLines.h"
#include "platform/TextDecoding.h"

// The list's line and field rules and both readings over any text. The
// invariants: the kept lines are the lines the rules give, no "\r" survives,
// joining the fields of a line gives it back, a reading that fails leaves its
// target as it was, and an image check that is read holds a 64-digit
// lower-case hash that a signed line gives back.
namespace {
void checkImageFields(const std::vector<std::string>& fields) {
  catalogue::ImageCheck check;
  if (catalogue::readImageCheck(fields, check) != catalogue::ImageCheckReading::ok) {
    if (check.checksAnything() && fields.size() <= catalogue::fSha256) std::abort();
    return;
  }
  if (check.sha256 &&
      (check.sha256->size() != 64 || check.sha256->find_first_not_of("0123456789abcdef") != std::string::npos))
    std::abort();
  const std::string hashField = catalogue::fieldOf(fields, catalogue::fSha256);
  if (!hashField.empty() != check.sha256.has_value()) std::abort();
  if (check.size && std::to_string(*check.size).size() > catalogue::fieldOf(fields, catalogue::fSize).size())
    std::abort();
  // A matching image must match: the empty image against its own check.
  if (check.sha256 && *check.sha256 == catalogue::sha256Hex({}) && check.size.value_or(0) == 0 && !check.matches({}))
    std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::Data bytes(data, data + size);
  if (!platform::isUTF8(bytes)) return 0;
  // The window keeps the lines in one text: they must be the lines the rules give.
  const auto reference = catalogue::splitLines(std::string(bytes.begin(), bytes.end()));
  const catalogue::ListLines lines(std::move(bytes));
  if (lines.size() != reference.size()) std::abort();
  for (std::size_t row = 0; row < lines.size(); ++row) {
    const std::string line(lines[row]);
    if (line != reference[row]) std::abort();
    if (line.find('\r') != std::string::npos || line.find('\n') != std::string::npos) std::abort();
    const auto fields = catalogue::splitFields(line);
    std::string joined;
    for (std::size_t i = 0; i < fields.size(); ++i) joined += (i ? ";" : "") + fields[i];
    if (joined != line) std::abort();
    std::uint32_t vid = 0xDEADBEEF;
    if (!catalogue::readHexField(catalogue::fieldOf(fields, catalogue::fVendor), vid) && vid != 0xDEADBEEF)
      std::abort();
    std::array<std::int64_t, 3> version{-7, -7, -7};
    catalogue::readVersionField(catalogue::fieldOf(fields, catalogue::fVersion), version);
    checkImageFields(fields);
  }
  return 0;
}
