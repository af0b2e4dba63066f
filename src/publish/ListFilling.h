#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Data.h"

// For firmware publishers: gives every complete list line (7 fields or more)
// whose image is known the SHA-256 and the size of that image as fields 8 and
// 9, so that ringflash refuses to write anything else. The lookup gets the
// image URL, field 6. Other lines, and fields after 9, stay as they are; so
// does each line's CR before its LF.
using ImageLookup = std::function<std::optional<platform::Data>(const std::string& url)>;
std::string fillImageFields(const std::string& listText, const ImageLookup& image);

// The same, saying which complete lines were filled in and which not.
struct FilledLine {
  int line = 0;  // from 1
  std::string url;
  bool filled = false;
  bool hasHash = false;  // a hash stands in field 8 now
};
struct FilledList {
  std::string text;
  std::vector<FilledLine> lines;  // the complete lines only
};
FilledList fillList(const std::string& listText, const ImageLookup& image);

// Looks images up as a web server with this document root serves them: the
// URL's path under `root`. A path that would leave the root names nothing.
ImageLookup imagesUnderRoot(const std::string& root);
