#pragma once
#include <string>

#include "platform/Data.h"

// The body as a server sends it under Content-Encoding `coding`: "gzip" and
// "deflate" (the zlib format, as HTTP names it) are compressed with zlib; any
// other coding is returned unchanged, as a server with a coding of its own would.
platform::Data encodeBody(const platform::Data& body, const std::string& coding);
