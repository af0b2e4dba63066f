#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Data.h"

namespace catalogue {

// The lines of the firmware list, kept as the one text they came in and the
// places where each ends: a list of 100,000 lines is two blocks of memory,
// not 100,000 strings. Once made, it never changes, so a line read from it
// stays valid for as long as it lives.
class ListLines {
 public:
  // Takes the list's bytes, deletes every "\r" and splits at every "\n";
  // empty lines are kept, so "x\n" has two lines and "" has one.
  explicit ListLines(platform::Data text);

  std::size_t size() const { return ends_.size(); }
  std::string_view operator[](std::size_t line) const;
  // The whole text after the deletion of "\r".
  std::string_view text() const;

 private:
  platform::Data text_;
  // Where each line ends: a "\n", or the end of the text for the last one.
  // A list is read up to 4 MiB, far within 32 bits; a longer text is refused.
  std::vector<std::uint32_t> ends_;
};

}  // namespace catalogue
