#pragma once
#include "platform/Data.h"

namespace catalogue {
constexpr std::size_t kFillBlock = 1024;
// Extends an image with zero bytes to (L / 1024) * 1024 + 1024 bytes: always
// at least one byte and at most a whole block is added.
void zeroFill(platform::Data& image);
}
