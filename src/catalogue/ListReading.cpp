#include "ListReading.h"

#include <chrono>

#include "CatalogueTexts.h"
#include "platform/TextDecoding.h"

namespace catalogue {
namespace {

constexpr std::size_t kMaxListBytes = 4u << 20;
// minisign's own comments stay far below this.
constexpr std::size_t kMaxSignatureBytes = 16u << 10;

const char* refusalOf(SignatureVerdict verdict) {
  switch (verdict) {
    case SignatureVerdict::verified: return nullptr;
    case SignatureVerdict::malformed: return texts::listSignatureMalformed;
    case SignatureVerdict::unknownKey: return texts::listSignatureUnknownKey;
    case SignatureVerdict::listAltered: return texts::listSignatureListAltered;
    case SignatureVerdict::commentAltered: return texts::listSignatureCommentAltered;
  }
  return texts::listSignatureMalformed;
}

// The signature is read once the list has arrived, within what is left of the
// list's deadline: the window waits no longer for a signed list than for any.
const char* checkSignature(const std::string& url, platform::UrlReadOptions options, double secondsTaken,
                           const platform::Data& list, const std::vector<PublicKey>& trustedKeys) {
  if (options.deadlineSeconds > 0) {
    options.deadlineSeconds -= secondsTaken;
    if (options.deadlineSeconds <= 0) return texts::listSignatureMissing;
  }
  platform::Data signature;
  if (const char* failure = readFromServer(url + ".minisig", options, kMaxSignatureBytes, texts::listSignatureMalformed,
                                           texts::listSignatureMissing, signature))
    return failure;
  return refusalOf(verifyListSignature(list, signature, trustedKeys));
}

}  // namespace

const char* readFromServer(const std::string& url, platform::UrlReadOptions options, std::size_t limit,
                           const char* tooLargeText, const char* failedText, platform::Data& bytes,
                           std::string* contentType) {
  options.maxBytes = limit;
  platform::UrlReadResult read = platform::readURL(url, options);
  if (read.status == platform::UrlReadResult::Status::tooLarge) return tooLargeText;
  if (!read.ok()) return failedText;
  bytes = std::move(read.bytes);
  if (contentType) *contentType = std::move(read.contentType);
  return nullptr;
}

ListReading readFirmwareList(const std::string& url, const platform::UrlReadOptions& options,
                             const std::vector<PublicKey>& trustedKeys) {
  ListReading reading;
  platform::Data bytes;
  const auto start = std::chrono::steady_clock::now();
  reading.failure = readFromServer(url, options, kMaxListBytes, texts::listTooLarge, texts::listFailed, bytes);
  const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
  if (!reading.failure && !trustedKeys.empty())
    reading.failure = checkSignature(url, options, taken.count(), bytes, trustedKeys);
  if (!reading.failure && !platform::isUTF8(bytes)) reading.failure = texts::listNotText;
  if (reading.failure) return reading;
  reading.signedList = !trustedKeys.empty();
  // Already the form the tool keeps its texts in: the bytes become the lines
  // without a copy.
  reading.lines.emplace(std::move(bytes));
  return reading;
}

}  // namespace catalogue
