#include "Mirror.h"

#include <curl/curl.h>

#include <sys/stat.h>
#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>
#include <sstream>

namespace platform {
namespace {

using Url = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

std::optional<std::string> part(CURLU* url, CURLUPart which, unsigned flags) {
  char* value = nullptr;
  if (curl_url_get(url, which, &value, flags) != CURLUE_OK || !value) return std::nullopt;
  std::string text(value);
  curl_free(value);
  return text;
}

// The host as a folder's name: lower case, and an IPv6 address's colons,
// which some file systems of USB sticks refuse, as dashes.
std::optional<std::string> hostFolder(std::string host, const std::string& port) {
  std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
  std::replace(host.begin(), host.end(), ':', '-');
  const bool plain = !host.empty() && std::all_of(host.begin(), host.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == '[' || c == ']';
  });
  if (!plain || host == "." || host == "..") return std::nullopt;
  return host + "_" + port;
}

// The decoded path's segments, none of them empty, "." or "..", and no NUL.
std::optional<std::string> pathUnder(const std::string& path) {
  if (path.empty() || path.back() == '/' || path.find('\0') != std::string::npos) return std::nullopt;
  std::string joined;
  std::istringstream segments(path);
  for (std::string segment; std::getline(segments, segment, '/');) {
    if (segment.empty()) continue;
    if (segment == "." || segment == "..") return std::nullopt;
    joined += "/" + segment;
  }
  if (joined.empty()) return std::nullopt;
  return joined;
}

std::optional<std::string>& root() {
  static std::optional<std::string> mirror;
  return mirror;
}

}  // namespace

std::optional<std::string> mirrorPathOf(const std::string& mirror, const std::string& url) {
  if (!isHttpURL(url)) return std::nullopt;
  const Url parsed(curl_url(), curl_url_cleanup);
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return std::nullopt;
  const auto host = part(parsed.get(), CURLUPART_HOST, 0);
  const auto port = part(parsed.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
  const auto path = part(parsed.get(), CURLUPART_PATH, CURLU_URLDECODE);
  if (!host || !port || !path) return std::nullopt;
  const auto folder = hostFolder(*host, *port);
  const auto under = pathUnder(*path);
  if (!folder || !under) return std::nullopt;
  return mirror + "/" + *folder + *under;
}

void readFromMirror(std::string mirror) { root() = std::move(mirror); }

const std::optional<std::string>& mirrorRoot() { return root(); }

UrlReadResult readMirrored(const std::string& mirror, const std::string& url, const UrlReadOptions& options) {
  UrlReadResult result;
  if (!isHttpURL(url)) {
    result.status = UrlReadResult::Status::badScheme;
    return result;
  }
  const auto path = mirrorPathOf(mirror, url);
  struct stat info {};
  if (!path || ::stat(path->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return result;
  if (options.maxBytes && static_cast<std::size_t>(info.st_size) > options.maxBytes) {
    result.status = UrlReadResult::Status::tooLarge;
    return result;
  }
  std::ifstream in(*path, std::ios::binary);
  result.bytes.resize(static_cast<std::size_t>(info.st_size));
  if (!in.read(reinterpret_cast<char*>(result.bytes.data()), info.st_size) || in.peek() != EOF) {
    result.bytes = Data();
    return result;
  }
  result.status = UrlReadResult::Status::ok;
  return result;
}

}  // namespace platform
