#include "TrustedKeys.h"

#include <sstream>
#include <stdexcept>
#include <string>

#ifndef RINGFLASH_TRUSTED_KEYS
#error "RINGFLASH_TRUSTED_KEYS must be set at build time (empty for none)"
#endif

namespace catalogue {

// The keys come as base64 lines separated by spaces; the build checked their
// form. A key that still does not read stops the program rather than leave a
// build that was meant to check signatures without its key.
std::vector<PublicKey> builtInTrustedKeys() {
  std::vector<PublicKey> keys;
  std::istringstream lines(RINGFLASH_TRUSTED_KEYS);
  for (std::string line; lines >> line;) {
    auto key = readPublicKey(line);
    if (!key)
      throw std::invalid_argument("RINGFLASH_TRUSTED_KEYS holds a key that is not a minisign public key: " + line);
    keys.push_back(*key);
  }
  return keys;
}

}  // namespace catalogue
