#include "TrustedComment.h"

#include <charconv>

namespace catalogue {
namespace {

std::optional<std::int64_t> secondsOf(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < 0) return std::nullopt;
  return value;
}

// A publisher who wrote an item twice meant one of them: which is not known.
template <typename T>
void setOnce(std::optional<T>& item, std::optional<T> value, TrustedComment& comment) {
  if (item || !value) comment.wellFormed = false;
  item = std::move(value);
}

}  // namespace

TrustedComment readTrustedComment(std::string_view text) {
  TrustedComment comment;
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t tab = std::min(text.find('\t', at), text.size());
    const std::string_view item = text.substr(at, tab - at);
    at = tab + 1;
    const std::size_t colon = item.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = item.substr(0, colon), value = item.substr(colon + 1);
    if (key == "timestamp") setOnce(comment.signedAt, secondsOf(value), comment);
    else if (key == "expires") setOnce(comment.expiresAt, secondsOf(value), comment);
    else if (key == "file") setOnce(comment.file, std::optional<std::string>(value), comment);
  }
  return comment;
}

}  // namespace catalogue
