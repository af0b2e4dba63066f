#include "LensQuery.h"

#include "ReplyReading.h"
#include "update/AdapterReports.h"

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
  const auto reply = session.lastReply();
  if (outcome != update::Outcome::lensShown || !reply || reply->size() < update::reports::kLensReplyBytes)
    return std::nullopt;
  return LensReply{lensIdOf(*reply), adapterVersionOf(*reply)};
}

}  // namespace cli
