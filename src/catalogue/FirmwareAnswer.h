#pragma once
#include <string_view>

#include "Fault.h"
#include "platform/Data.h"

namespace catalogue {
// Whether a server's whole answer to an image request can be firmware at all,
// whatever the list says of it: nothing at all never is, and neither is a
// page declared as HTML (an error page behind a 200). Returns why it is
// refused, or Fault::none.
Fault whyNotFirmware(const platform::Data& body, std::string_view contentType);
}  // namespace catalogue
