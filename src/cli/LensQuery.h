#pragma once
#include <optional>
#include <string>

#include "ExchangeSession.h"
#include "platform/hidraw/HidrawNodes.h"

namespace cli {

// What the reply to a query says of an adapter.
struct LensReply {
  std::string lensId;   // as the window shows it, "0X102"
  std::string version;  // the adapter's own, "1.0.12"
};

// Asks the adapter for its lens through the session's exchange, as the
// adapter image button does. Absent when the query did not end with the lens
// shown; `session.lastText()` then says why, and `outcome` how it ended.
std::optional<LensReply> queryLens(ExchangeSession& session, const platform::HidrawNode& adapter,
                                   update::Outcome& outcome);

}  // namespace cli
