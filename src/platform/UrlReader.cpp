#include "UrlReader.h"

#include "Mirror.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <optional>
#include <string_view>

#include "Prefault.h"

namespace platform {
namespace {

constexpr std::size_t kRoomAfterTheBody = 1024;  // the zero fill adds at most one block
constexpr long kReadBufferBytes = 64 * 1024;

struct Sink {
  CURL* curl;
  Data* bytes;
  std::size_t maxBytes;
  bool reserved = false;
  bool overflow = false;
  bool badFraming = false;
  std::optional<std::string> contentLength;  // of the answer being received
};

// The announced length, when there is one, sizes the buffer once, with room
// for the zero fill after it: the image is then never copied as it grows.
void reserveForTheBody(Sink& sink) {
  sink.reserved = true;
  curl_off_t length = -1;
  if (curl_easy_getinfo(sink.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK || length <= 0) return;
  auto wanted = static_cast<std::size_t>(length);
  if (sink.maxBytes) wanted = std::min(wanted, sink.maxBytes);
  sink.bytes->reserve(wanted + kRoomAfterTheBody);
  prefault(sink.bytes->data(), wanted);
}

std::size_t collect(char* ptr, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t n = size * count;
  if (!sink->reserved) reserveForTheBody(*sink);
  if (sink->maxBytes && sink->bytes->size() + n > sink->maxBytes) {
    sink->overflow = true;
    return 0;  // makes curl abort the transfer
  }
  // As bytes of the buffer's own type: the copy is then one memmove, not a loop.
  const auto* from = reinterpret_cast<const std::uint8_t*>(ptr);
  sink->bytes->insert(sink->bytes->end(), from, from + n);
  return n;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

// A Content-Length that is not one plain number, or that differs from one seen
// before in the same answer, leaves the body's end unknown (RFC 9112 6.3): the
// answer is refused rather than cut where one of them says.
bool acceptContentLength(Sink& sink, std::string_view value) {
  for (std::size_t start = 0; start <= value.size();) {
    const std::size_t comma = std::min(value.find(',', start), value.size());
    const std::string_view one = trimmed(value.substr(start, comma - start));
    if (one.empty() || !std::all_of(one.begin(), one.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    if (sink.contentLength && *sink.contentLength != one) return false;
    sink.contentLength = std::string(one);
    start = comma + 1;
  }
  return true;
}

std::size_t inspectHeader(char* ptr, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t n = size * count;
  const std::string_view line(ptr, n);
  // Every answer of a redirect chain, and every interim 1xx, has its own headers.
  if (startsWithNoCase(line, "HTTP/")) sink->contentLength.reset();
  if (startsWithNoCase(line, "content-length:") && !acceptContentLength(*sink, line.substr(15))) {
    sink->badFraming = true;
    return 0;
  }
  return n;
}

void globalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

long milliseconds(double seconds) { return static_cast<long>(seconds * 1000); }

void configure(CURL* curl, const std::string& url, const UrlReadOptions& options, Sink& sink) {
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // "" offers every coding this libcurl decodes; an answer in any other coding
  // then fails with CURLE_BAD_CONTENT_ENCODING instead of arriving undecoded.
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, milliseconds(options.connectTimeoutSeconds));
  if (options.deadlineSeconds > 0) curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, milliseconds(options.deadlineSeconds));
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, std::max(1L, options.minBytesPerSecond));
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, std::max(1L, static_cast<long>(options.lowSpeedWindowSeconds)));
  // Four times libcurl's default, so fewer calls, yet small enough that the
  // buffer stays in the core's cache between the socket's copy into it and
  // ours out of it (256 KiB made a warm 15 MiB read a fifth slower).
  curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReadBufferBytes);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, inspectHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &sink);
}

// 200, or 203 from a transforming proxy, is the whole resource. Every other
// status (204 with no body, 206 with a part, 304 with none, a 3xx that could not
// be followed) is not the resource, whatever body came with it.
bool isWholeResource(long status) { return status == 200 || status == 203; }

UrlReadResult::Status statusOf(CURLcode code, long httpStatus, const Sink& sink) {
  using Status = UrlReadResult::Status;
  if (code == CURLE_OK) return isWholeResource(httpStatus) ? Status::ok : Status::failed;
  if (sink.overflow) return Status::tooLarge;
  if (code == CURLE_UNSUPPORTED_PROTOCOL) return Status::badScheme;
  return Status::failed;
}

}  // namespace

UrlReadOptions UrlReadOptions::forText() {
  UrlReadOptions o;
  o.deadlineSeconds = 30;
  return o;
}

UrlReadOptions UrlReadOptions::forImage() {
  UrlReadOptions o;
  o.minBytesPerSecond = 1024;
  o.lowSpeedWindowSeconds = 60;
  return o;
}

bool isHttpURL(const std::string& url) {
  std::string lower(url.substr(0, 8));
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  std::size_t hostStart = lower.rfind("http://", 0) == 0 ? 7 : lower.rfind("https://", 0) == 0 ? 8 : 0;
  if (!hostStart || url.size() <= hostStart) return false;
  const char first = url[hostStart];
  if (first == '/' || first == '?' || first == '#') return false;
  return std::none_of(url.begin(), url.end(), [](unsigned char c) { return c <= ' ' || c == 0x7f; });
}

UrlReadResult readURL(const std::string& url, const UrlReadOptions& options) {
  if (const auto& mirror = mirrorRoot()) return readMirrored(*mirror, url, options);
  UrlReadResult result;
  if (!isHttpURL(url)) {
    result.status = UrlReadResult::Status::badScheme;
    return result;
  }
  globalInit();
  CURL* curl = curl_easy_init();
  if (!curl) return result;
  Sink sink{curl, &result.bytes, options.maxBytes, false, false, false, std::nullopt};
  configure(curl, url, options, sink);
  const CURLcode code = curl_easy_perform(curl);
  long httpStatus = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &httpStatus);
  const char* type = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) result.contentType = type;
  curl_easy_cleanup(curl);
  result.status = statusOf(code, httpStatus, sink);
  if (!result.ok()) Data().swap(result.bytes);
  return result;
}

}  // namespace platform
