#include "TimeLeft.h"

#include <cmath>

namespace cli {

std::string timeLeftText(double secondsSoFar, std::size_t piece, std::size_t pieces) {
  if (piece == 0 || piece >= pieces || secondsSoFar <= 0) return "";
  const double perPiece = secondsSoFar / static_cast<double>(piece);
  const auto left = static_cast<long long>(std::ceil(perPiece * static_cast<double>(pieces - piece)));
  const std::string seconds = std::to_string(left % 60) + " s";
  return " about " + (left >= 60 ? std::to_string(left / 60) + " min " + seconds : seconds) + " left";
}

}  // namespace cli
