#pragma once
#include <cstdint>
#include <vector>

#include "BlockAllocator.h"

namespace platform {
// A byte buffer, as images, replies and report payloads travel through the tool.
using Data = std::vector<std::uint8_t, BlockAllocator<std::uint8_t>>;
}
