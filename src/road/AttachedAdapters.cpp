#include "AttachedAdapters.h"

#include <algorithm>

#include "catalogue/FirmwareList.h"

namespace road {

std::vector<IdPair> idsInList(const catalogue::ListLines& lines) {
  std::vector<IdPair> ids;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto fields = catalogue::splitFields(lines[i]);
    if (fields.size() <= catalogue::fProduct) continue;
    IdPair pair;
    if (!catalogue::readHexField(fields[catalogue::fVendor], pair.first) ||
        !catalogue::readHexField(fields[catalogue::fProduct], pair.second))
      continue;
    if (std::find(ids.begin(), ids.end(), pair) == ids.end()) ids.push_back(pair);
  }
  return ids;
}

namespace {

std::vector<platform::HidrawNode> adaptersAmong(const std::vector<platform::HidrawNode>& attached,
                                                const std::vector<IdPair>& ids) {
  std::vector<platform::HidrawNode> adapters;
  for (const auto& node : attached) {
    const IdPair pair{static_cast<std::uint32_t>(node.vendorId), static_cast<std::uint32_t>(node.productId)};
    if (std::find(ids.begin(), ids.end(), pair) != ids.end()) adapters.push_back(node);
  }
  return adapters;
}

}  // namespace

std::vector<platform::HidrawNode> attachedAdapters(const std::vector<IdPair>& ids) {
  return adaptersAmong(platform::attachedHidrawNodes(), ids);
}

AdapterChoice chooseAdapter(const std::vector<platform::HidrawNode>& attached, const std::vector<IdPair>& ids,
                            const std::string& port) {
  using update::Outcome;
  AdapterChoice choice;
  for (const auto& adapter : adaptersAmong(attached, ids))
    if (port.empty() || adapter.port == port) choice.candidates.push_back(adapter);
  if (choice.candidates.size() > 1) {
    choice.refused = Outcome::severalAdapters;
  } else if (choice.candidates.empty()) {
    const bool otherAtPort = !port.empty() && std::any_of(attached.begin(), attached.end(),
                                                          [&](const auto& node) { return node.port == port; });
    choice.refused = otherAtPort ? Outcome::mismatch : Outcome::noAdapter;
  } else {
    choice.adapter = choice.candidates.front();
    if (choice.adapter->denied) choice.refused = Outcome::denied;
  }
  return choice;
}

}  // namespace road
