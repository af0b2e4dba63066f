#include "LensQuery.h"

#include "ReplyReading.h"

namespace cli {

std::optional<LensReply> queryLens(ExchangeSession& session, const platform::HidrawNode& adapter,
                                   update::Outcome& outcome) {
  const auto vendor = static_cast<std::uint32_t>(adapter.vendorId),
             product = static_cast<std::uint32_t>(adapter.productId);
  const auto key = session.find(vendor, product, adapter.node);
  if (!key) {
    outcome = update::Outcome::noAdapter;
    return std::nullopt;
  }
  session.lensPressed(vendor, product, *key);
  outcome = session.waitForEnd();
  const auto lens = session.lens();
  if (outcome != update::Outcome::lensShown || !lens) return std::nullopt;
  return LensReply{lensIdText(lens->id), versionText(lens->version)};
}

}  // namespace cli
