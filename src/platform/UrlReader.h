#pragma once
#include <cstddef>
#include <string>

#include "Data.h"

namespace platform {

struct UrlReadOptions {
  // The whole read must end this long after the request; 0 means no deadline.
  double deadlineSeconds = 0;
  // A read that moves fewer than `minBytesPerSecond` on average over a window of
  // `lowSpeedWindowSeconds` is given up: a server that stalls or only trickles.
  long minBytesPerSecond = 1;
  double lowSpeedWindowSeconds = 60.0;
  double connectTimeoutSeconds = 60.0;
  // Reading stops as soon as the (decoded) body passes this many bytes; 0 means no limit.
  std::size_t maxBytes = 0;
  long maxRedirects = 5;

  // The list and the descriptions, which the window waits for: 30 s in all.
  static UrlReadOptions forText();
  // An image, read in the background: at least 1 KiB/s over any minute.
  static UrlReadOptions forImage();
};

struct UrlReadResult {
  enum class Status { ok, failed, tooLarge, badScheme };
  Status status = Status::failed;
  Data bytes;
  // The media type the server declared for the body ("" when none), as sent.
  std::string contentType;
  bool ok() const { return status == Status::ok; }
};

// The synchronous read of a URL's whole contents. Only http and https are
// read, also after a redirect. Only a complete answer 200 (or 203) counts:
// any other status, a body cut short or shorter than its announced length,
// conflicting Content-Length headers, a content coding that cannot be decoded,
// a stall and a missed deadline are all failed reads. Codings libcurl knows
// (gzip, deflate, br, zstd) are decoded, and `maxBytes` counts decoded bytes.
UrlReadResult readURL(const std::string& url, const UrlReadOptions& options = {});

// Whether the text forms an absolute http or https URL with a host.
bool isHttpURL(const std::string& url);

}  // namespace platform
