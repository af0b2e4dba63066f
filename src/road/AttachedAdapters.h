#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/ListLines.h"
#include "platform/hidraw/HidrawNodes.h"
#include "update/Phase.h"

namespace road {

using IdPair = std::pair<std::uint32_t, std::uint32_t>;  // vendor, product

// The vendor and product ids of every entry of the list that has them.
std::vector<IdPair> idsInList(const catalogue::ListLines& lines);

// The attached hidraw nodes whose ids are among `ids`.
std::vector<platform::HidrawNode> attachedAdapters(const std::vector<IdPair>& ids);

// The one adapter an update or a query talks to, among the attached nodes:
// the one of these ids at `port` when one is given, else the only one there
// is. When none may be talked to, `refused` says why: none attached
// (noAdapter), more than one (severalAdapters, `candidates` names them), an
// adapter of other ids at the port (mismatch), or one this user may not open
// (denied, `adapter` names it).
struct AdapterChoice {
  std::optional<platform::HidrawNode> adapter;
  std::vector<platform::HidrawNode> candidates;  // all that would do
  std::optional<update::Outcome> refused;
};
AdapterChoice chooseAdapter(const std::vector<platform::HidrawNode>& attached, const std::vector<IdPair>& ids,
                            const std::string& port);

}  // namespace road
