#include "ListLines.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace catalogue {

namespace {

const std::uint8_t* find(const std::uint8_t* from, const std::uint8_t* end, std::uint8_t byte) {
  if (from == end) return nullptr;  // an empty text may have no storage at all
  return static_cast<const std::uint8_t*>(std::memchr(from, byte, static_cast<std::size_t>(end - from)));
}

std::size_t count(const std::uint8_t* at, const std::uint8_t* end, std::uint8_t byte) {
  std::size_t n = 0;
  for (; (at = find(at, end, byte)); ++at) ++n;
  return n;
}

}  // namespace

ListLines::ListLines(platform::Data text) : text_(std::move(text)) {
  const std::uint8_t* const end = text_.data() + text_.size();
  if (const std::uint8_t* cr = find(text_.data(), end, '\r'))
    text_.erase(std::remove(text_.begin() + (cr - text_.data()), text_.end(), '\r'), text_.end());
  if (text_.size() >= std::numeric_limits<std::uint32_t>::max()) throw std::length_error("firmware list too long");
  const std::uint8_t* const begin = text_.data();
  const std::uint8_t* const last = begin + text_.size();
  ends_.reserve(count(begin, last, '\n') + 1);
  for (const std::uint8_t* feed = begin; (feed = find(feed, last, '\n')); ++feed)
    ends_.push_back(static_cast<std::uint32_t>(feed - begin));
  ends_.push_back(static_cast<std::uint32_t>(text_.size()));
}

std::string_view ListLines::operator[](std::size_t line) const {
  const std::size_t start = line == 0 ? 0 : ends_[line - 1] + 1;
  return text().substr(start, ends_[line] - start);
}

std::string_view ListLines::text() const { return {reinterpret_cast<const char*>(text_.data()), text_.size()}; }

}  // namespace catalogue
