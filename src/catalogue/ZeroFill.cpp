#include "ZeroFill.h"

namespace catalogue {
void zeroFill(platform::Data& image) { image.resize((image.size() / kFillBlock) * kFillBlock + kFillBlock, 0); }
}
