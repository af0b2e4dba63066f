#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The firmware list: lines split at "\n" after every "\r" is deleted (empty
// lines kept), fields split at ";" with no quoting and no trimming.
namespace catalogue {

// Field numbers of a list line.
enum Field : std::size_t {
  fTitle = 0,
  fVendor = 1,
  fProduct = 2,
  fVersion = 3,
  fDetail = 4,
  fImage = 5,
  fDescription = 6,
  fSha256 = 7,
  fSize = 8,  // optional
};
constexpr std::size_t kFieldsToShow = 5;
constexpr std::size_t kFieldsToDownload = 6;
constexpr std::size_t kFieldsToSelect = 7;

// The lines of a list text as strings of their own (the window keeps them as
// `ListLines`, which splits the same way).
std::vector<std::string> splitLines(std::string text);
std::vector<std::string> splitFields(std::string_view line);
// Field n of a line, or "" when the line has fewer fields.
std::string fieldOf(const std::vector<std::string>& fields, std::size_t n);

// Reads a hexadecimal identifier field into `target`; a field without
// hexadecimal digits leaves it as it was. Returns whether digits were read.
bool readHexField(const std::string& field, std::uint32_t& target);

// Reads a version field ("ver 1.2.3" in any case and spacing) into `version`,
// element by element; a piece without digits leaves its element as it was.
// Returns whether all three numbers were read.
bool readVersionField(const std::string& field, std::array<std::int64_t, 3>& version);

}  // namespace catalogue
