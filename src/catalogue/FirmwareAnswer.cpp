#include "FirmwareAnswer.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace catalogue {
namespace {

// The media type alone: before any parameter, without spaces, in lower case.
std::string mediaType(std::string_view contentType) {
  contentType = contentType.substr(0, contentType.find(';'));
  std::string type;
  for (char c : contentType)
    if (!std::isspace(static_cast<unsigned char>(c)))
      type += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return type;
}

}  // namespace

Fault whyNotFirmware(const platform::Data& body, std::string_view contentType) {
  if (mediaType(contentType) == "text/html") return Fault::imageNotFirmware;
  if (body.empty()) return Fault::imageEmpty;
  return Fault::none;
}

}  // namespace catalogue
