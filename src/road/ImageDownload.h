#pragma once
#include <string_view>
#include <vector>

#include "catalogue/Fault.h"
#include "platform/Data.h"
#include "platform/UrlReader.h"

namespace road {

// The image of a list line, downloaded and checked, filled up with zeros.
struct ImageDownload {
  catalogue::Fault failure = catalogue::Fault::none;  // why there is no image to write
  platform::Data image;
  bool checked = false;    // the list gave a hash or a size, and the image matched it
  std::size_t served = 0;  // the bytes of `image` the server gave, before the zeros
  // The texts that say so, in the order the window shows them.
  std::vector<const char*> statusTexts() const;
};

// Only a whole answer within the limits counts, and it must be firmware
// (not empty, not an HTML page) and the one the entry describes: an image
// that fails any of these is never kept, so nothing of it can reach the
// adapter.
ImageDownload downloadImage(std::string_view line, const platform::UrlReadOptions& options);

}  // namespace road
