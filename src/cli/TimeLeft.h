#pragma once
#include <cstddef>
#include <string>

namespace cli {

// How long the pieces still to go will take at the pace of those sent so
// far (the adapter's own pauses included), as a progress line says it:
// " about 2 min 5 s left". Empty before the first piece: no pace is known.
std::string timeLeftText(double secondsSoFar, std::size_t piece, std::size_t pieces);

}  // namespace cli
