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

std::vector<platform::HidrawNode> attachedAdapters(const std::vector<IdPair>& ids) {
  std::vector<platform::HidrawNode> adapters;
  for (auto& node : platform::attachedHidrawNodes()) {
    const IdPair pair{static_cast<std::uint32_t>(node.vendorId), static_cast<std::uint32_t>(node.productId)};
    if (std::find(ids.begin(), ids.end(), pair) != ids.end()) adapters.push_back(std::move(node));
  }
  return adapters;
}

AdapterChoice chooseAdapter(const std::vector<platform::HidrawNode>& adapters, const std::string& port) {
  AdapterChoice choice;
  for (const auto& adapter : adapters)
    if (port.empty() || adapter.port == port) choice.candidates.push_back(adapter);
  if (choice.candidates.size() == 1) choice.adapter = choice.candidates.front();
  return choice;
}

}  // namespace road
