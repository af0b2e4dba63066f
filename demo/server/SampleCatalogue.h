#pragma once
#include <cstdint>
#include <string>

#include "FirmwareServer.h"

inline constexpr const char* kListPath = "/product/MIRAVEL_LST.txt";

// A firmware image of `size` bytes whose content depends on its name.
platform::Data sampleImage(std::size_t size, const std::string& name);

// Puts the sample catalogue kept in `directory` on the server: the list (its
// URLs pointing at the server itself), the GB 18030 descriptions and the images.
// False if the catalogue cannot be read.
bool serveSampleCatalogue(FirmwareServer& server, const std::string& directory);

// The list text as the server gives it.
std::string sampleListText(const FirmwareServer& server, const std::string& directory);
