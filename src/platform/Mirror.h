#pragma once
#include <optional>
#include <string>

#include "Data.h"
#include "UrlReader.h"

namespace platform {

// An offline mirror: a folder that holds what servers served, each URL's
// resource at ROOT/HOST_PORT/PATH (the host in lower case, the port always
// given, the path decoded; the query is not part of it), and in ROOT/.ringflash-mirror the
// URL of the list it was made from.
inline constexpr const char* kMirrorMark = ".ringflash-mirror";

// Where `url` is kept under `root`; no value for a URL that is not http or
// https, names a folder, or has a segment that would leave its place.
std::optional<std::string> mirrorPathOf(const std::string& root, const std::string& url);

// From now on, every http and https URL is read from the mirror at `root`,
// with the limits of the read; a URL the mirror lacks is a failed read, as
// from a server that lacks it. Called once, before any read.
void readFromMirror(std::string root);
const std::optional<std::string>& mirrorRoot();
UrlReadResult readMirrored(const std::string& root, const std::string& url, const UrlReadOptions& options);

}  // namespace platform
