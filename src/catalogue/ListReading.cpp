#include "ListReading.h"

#include <chrono>
#include <ctime>

#include "platform/TextDecoding.h"

namespace catalogue {
namespace {

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
// The last segment of a URL's path or of a file's path: the name the list is
// served under, and the name it was signed as.
std::string_view fileNameOf(std::string_view url) {
  url = url.substr(0, url.find_first_of("?#"));
  return url.substr(url.rfind('/') + 1);
}

// An old list stays signed for ever, and any file its publisher signed
// verifies: the comment says until when, and which file, it holds.
Fault checkComment(const std::string& url, const TrustedComment& comment) {
  if (!comment.wellFormed) return Fault::listSignatureMalformed;
  if (comment.expiresAt && std::time(nullptr) >= *comment.expiresAt) return Fault::listExpired;
  if (comment.file && fileNameOf(*comment.file) != fileNameOf(url)) return Fault::listOtherFile;
  return Fault::none;
}

Fault checkSignature(const std::string& url, platform::UrlReadOptions options, double secondsTaken,
                     const platform::Data& list, const std::vector<PublicKey>& trustedKeys, TrustedComment& comment,
                     platform::Data& signature) {
  if (options.deadlineSeconds > 0) {
    options.deadlineSeconds -= secondsTaken;
    if (options.deadlineSeconds <= 0) return Fault::listUnsigned;
  }
  if (const Fault failure = readFromServer(url + ".minisig", options, kMaxSignatureBytes, Fault::listSignatureMalformed,
                                           Fault::listUnsigned, signature);
      failure != Fault::none)
    return failure;
  std::string text;
  if (const Fault refusal = refusalOf(verifyListSignature(list, signature, trustedKeys, &text)); refusal != Fault::none)
    return refusal;
  comment = readTrustedComment(text);
  return checkComment(url, comment);
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
                             const std::vector<PublicKey>& trustedKeys, bool keepServed) {
  ListReading reading;
  platform::Data bytes;
  const auto start = std::chrono::steady_clock::now();
  reading.failure = readFromServer(url, options, kMaxListBytes, Fault::listTooLarge, Fault::listNotRead, bytes);
  const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
  if (reading.failure == Fault::none && !trustedKeys.empty())
    reading.failure =
        checkSignature(url, options, taken.count(), bytes, trustedKeys, reading.comment, reading.signature);
  if (reading.failure == Fault::none && !platform::isUTF8(bytes)) reading.failure = Fault::listNotText;
  if (reading.failure != Fault::none) return reading;
  reading.signedList = !trustedKeys.empty();
  if (keepServed) reading.served = bytes;
  // Already the form the tool keeps its texts in: the bytes become the lines
  // without a copy.
  reading.lines.emplace(std::move(bytes));
  return reading;
}

}  // namespace catalogue
