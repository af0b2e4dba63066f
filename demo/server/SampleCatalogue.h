#pragma once
#include <cstdint>
#include <string>

#include "FirmwareServer.h"
#include "publish/SignatureWriting.h"

inline constexpr const char* kListPath = "/product/MIRAVEL_LST.txt";

// A firmware image of `size` bytes whose content depends on its name.
platform::Data sampleImage(std::size_t size, const std::string& name);

// Puts the sample catalogue kept in `directory` on the server: the list (its
// URLs pointing at the server itself) with its signature by the demo key, the
// GB 18030 descriptions and the images. False if the catalogue cannot be read.
bool serveSampleCatalogue(FirmwareServer& server, const std::string& directory);

// The demo key pair kept in demo/keys, public on purpose: for the demo and
// the tests only, never for a release.
SecretKey demoSecretKey();
std::string demoPublicKeyLine();

// Puts `list` on the server with `list.minisig` beside it, signed by `key`.
void putSignedList(FirmwareServer& server, const std::string& list, const SecretKey& key, bool prehashed = true);
// Changes one byte of the served sample list and leaves its signature as it
// was; false if the sample list is not the one expected.
bool alterServedList(FirmwareServer& server, const std::string& directory);

// The list text as the server gives it.
std::string sampleListText(const FirmwareServer& server, const std::string& directory);
