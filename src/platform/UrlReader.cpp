#include "UrlReader.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <mutex>

namespace platform {
namespace {

struct Sink {
  Data* bytes;
  std::size_t maxBytes;
  bool overflow = false;
};

std::size_t collect(char* ptr, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t n = size * count;
  if (sink->maxBytes && sink->bytes->size() + n > sink->maxBytes) {
    sink->overflow = true;
    return 0;  // makes curl abort the transfer
  }
  sink->bytes->insert(sink->bytes->end(), ptr, ptr + n);
  return n;
}

void globalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void configure(CURL* curl, const std::string& url, const UrlReadOptions& options, Sink& sink) {
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.stallTimeoutSeconds * 1000));
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, std::max(1L, static_cast<long>(options.stallTimeoutSeconds)));
  if (options.maxBytes) curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBytes));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
}

}  // namespace

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
  UrlReadResult result;
  if (!isHttpURL(url)) {
    result.status = UrlReadResult::Status::badScheme;
    return result;
  }
  globalInit();
  CURL* curl = curl_easy_init();
  if (!curl) return result;
  Sink sink{&result.bytes, options.maxBytes};
  configure(curl, url, options, sink);
  const CURLcode code = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  if (code == CURLE_OK) {
    result.status = UrlReadResult::Status::ok;
  } else {
    const bool tooLarge = sink.overflow || code == CURLE_FILESIZE_EXCEEDED;
    result.status = tooLarge ? UrlReadResult::Status::tooLarge
                    : code == CURLE_UNSUPPORTED_PROTOCOL ? UrlReadResult::Status::badScheme
                                                         : UrlReadResult::Status::failed;
    result.bytes.clear();
  }
  return result;
}

}  // namespace platform
