#pragma once
#include <vector>

#include "ListSignature.h"

namespace catalogue {

// The keys the build trusts to sign the firmware list (the CMake cache
// variable RINGFLASH_TRUSTED_KEYS). None by default: the list is then read
// without a signature, as builds before signatures did.
std::vector<PublicKey> builtInTrustedKeys();

}  // namespace catalogue
