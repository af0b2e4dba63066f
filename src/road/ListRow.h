#pragma once
#include <string>
#include <string_view>

namespace road {
// A list line as the table shows it: the title, and the detail followed by
// two spaces and the version text. Missing fields show as nothing.
struct ListRow {
  std::string title;
  std::string detail;
};
ListRow rowOf(std::string_view line);
}  // namespace road
