#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/ListLines.h"
#include "platform/hidraw/HidrawNodes.h"

namespace road {

using IdPair = std::pair<std::uint32_t, std::uint32_t>;  // vendor, product

// The vendor and product ids of every entry of the list that has them.
std::vector<IdPair> idsInList(const catalogue::ListLines& lines);

// The attached hidraw nodes whose ids are among `ids`.
std::vector<platform::HidrawNode> attachedAdapters(const std::vector<IdPair>& ids);

// The one adapter an update or a query talks to: the one at `port` when one
// is given, else the only one there is. None is chosen when none or more than
// one would do; `candidates` tells which.
struct AdapterChoice {
  std::optional<platform::HidrawNode> adapter;
  std::vector<platform::HidrawNode> candidates;  // all that would do
};
AdapterChoice chooseAdapter(const std::vector<platform::HidrawNode>& adapters, const std::string& port);

}  // namespace road
