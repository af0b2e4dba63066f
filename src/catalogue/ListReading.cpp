#include "ListReading.h"

#include <chrono>

#include "platform/TextDecoding.h"

namespace catalogue {
namespace {

constexpr std::size_t kMaxListBytes = 4u << 20;
// minisign's own comments stay far below this.
constexpr std::size_t kMaxSignatureBytes = 16u << 10;

Fault refusalOf(SignatureVerdict verdict) {
  switch (verdict) {
    case SignatureVerdict::verified: return Fault::none;
    case SignatureVerdict::malformed: return Fault::listSignatureMalformed;
    case SignatureVerdict::unknownKey: return Fault::listUnknownKey;
    case SignatureVerdict::listAltered: return Fault::listAltered;
    case SignatureVerdict::commentAltered: return Fault::listCommentAltered;
  }
  return Fault::listSignatureMalformed;
}

// The signature is read once the list has arrived, within what is left of the
// list's deadline: the window waits no longer for a signed list than for any.
Fault checkSignature(const std::string& url, platform::UrlReadOptions options, double secondsTaken,
                     const platform::Data& list, const std::vector<PublicKey>& trustedKeys) {
  if (options.deadlineSeconds > 0) {
    options.deadlineSeconds -= secondsTaken;
    if (options.deadlineSeconds <= 0) return Fault::listUnsigned;
  }
  platform::Data signature;
  if (const Fault failure = readFromServer(url + ".minisig", options, kMaxSignatureBytes,
                                           Fault::listSignatureMalformed, Fault::listUnsigned, signature);
      failure != Fault::none)
    return failure;
  return refusalOf(verifyListSignature(list, signature, trustedKeys));
}

}  // namespace

Fault readFromServer(const std::string& url, platform::UrlReadOptions options, std::size_t limit, Fault tooLarge,
                     Fault failed, platform::Data& bytes, std::string* contentType) {
  options.maxBytes = limit;
  platform::UrlReadResult read = platform::readURL(url, options);
  if (read.status == platform::UrlReadResult::Status::tooLarge) return tooLarge;
  if (!read.ok()) return failed;
  bytes = std::move(read.bytes);
  if (contentType) *contentType = std::move(read.contentType);
  return Fault::none;
}

ListReading readFirmwareList(const std::string& url, const platform::UrlReadOptions& options,
                             const std::vector<PublicKey>& trustedKeys) {
  ListReading reading;
  platform::Data bytes;
  const auto start = std::chrono::steady_clock::now();
  reading.failure = readFromServer(url, options, kMaxListBytes, Fault::listTooLarge, Fault::listNotRead, bytes);
  const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
  if (reading.failure == Fault::none && !trustedKeys.empty())
    reading.failure = checkSignature(url, options, taken.count(), bytes, trustedKeys);
  if (reading.failure == Fault::none && !platform::isUTF8(bytes)) reading.failure = Fault::listNotText;
  if (reading.failure != Fault::none) return reading;
  reading.signedList = !trustedKeys.empty();
  // Already the form the tool keeps its texts in: the bytes become the lines
  // without a copy.
  reading.lines.emplace(std::move(bytes));
  return reading;
}

}  // namespace catalogue
