#pragma once
#include <cstddef>
#include <string>

#include "Data.h"

namespace platform {

struct UrlReadOptions {
  // Like the platform's default request: give up after this long without progress.
  double stallTimeoutSeconds = 60.0;
  // Reading stops as soon as the body passes this many bytes; 0 means no limit.
  std::size_t maxBytes = 0;
  long maxRedirects = 5;
};

struct UrlReadResult {
  enum class Status { ok, failed, tooLarge, badScheme };
  Status status = Status::failed;
  Data bytes;
  bool ok() const { return status == Status::ok; }
};

// The synchronous read of a URL's whole contents. Only http and https are
// read, also after a redirect; a non-2xx answer, a cut or stalled body and a
// body shorter than its announced length are all failed reads.
UrlReadResult readURL(const std::string& url, const UrlReadOptions& options = {});

// Whether the text forms an absolute http or https URL with a host.
bool isHttpURL(const std::string& url);

}  // namespace platform
