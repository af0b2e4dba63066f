#pragma once
#include <functional>
#include <optional>
#include <string>

#include "platform/Data.h"

// For firmware publishers: gives every complete list line (7 fields or more)
// whose image is known the SHA-256 and the size of that image as fields 7 and 8,
// so that ringflash refuses to write anything else. The image is looked up by
// the last path segment of field 5. Other lines, and fields after 8, stay as
// they are; so does each line's CR before its LF.
using ImageLookup = std::function<std::optional<platform::Data>(const std::string& name)>;
std::string signList(const std::string& listText, const ImageLookup& image);

// Looks images up as files in a directory.
ImageLookup imagesInDirectory(const std::string& directory);
