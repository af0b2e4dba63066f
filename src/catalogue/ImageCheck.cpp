#include "ImageCheck.h"

#include "FirmwareList.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <algorithm>
#include <cctype>
#include <limits>

namespace catalogue {
namespace {
constexpr std::size_t kSha256HexDigits = 64;
bool isHexDigit(unsigned char c) { return std::isxdigit(c) != 0; }
bool isDecimalDigit(unsigned char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool readHashField(const std::string& field, std::optional<std::string>& hash) {
  if (field.empty()) return true;
  if (field.size() != kSha256HexDigits || !std::all_of(field.begin(), field.end(), isHexDigit)) return false;
  std::string lower = field;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  hash = std::move(lower);
  return true;
}

bool readSizeField(const std::string& field, std::optional<std::uint64_t>& size) {
  if (field.empty()) return true;
  if (!std::all_of(field.begin(), field.end(), isDecimalDigit)) return false;
  std::uint64_t value = 0;
  for (unsigned char c : field) {
    const std::uint64_t digit = c - '0';
    if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return false;
    value = value * 10 + digit;
  }
  size = value;
  return true;
}

ImageCheckReading readImageCheck(const std::vector<std::string>& fields, ImageCheck& check, bool hashRequired) {
  if (!readHashField(fieldOf(fields, fSha256), check.sha256)) return ImageCheckReading::badHash;
  if (!readSizeField(fieldOf(fields, fSize), check.size)) return ImageCheckReading::badSize;
  if (hashRequired && fieldOf(fields, fSha256).empty()) return ImageCheckReading::missingHash;
  return ImageCheckReading::ok;
}

std::string sha256Hex(const platform::Data& bytes) {
  const QByteArray view =
      QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  return QCryptographicHash::hash(view, QCryptographicHash::Sha256).toHex().toStdString();
}

bool ImageCheck::matches(const platform::Data& image) const {
  if (size && image.size() != *size) return false;
  return !sha256 || sha256Hex(image) == *sha256;
}

}  // namespace catalogue
