#include "ExchangeTexts.h"
#include "WrittenAdapter.h"
#include "platform/Formatted.h"

namespace update {

std::string textOf(const Confirmation& c) {
  using platform::formatted;
  const auto& v = c.running.value_or(reports::Version{});
  switch (c.result) {
    case Reseat::confirmed: return formatted(texts::updateConfirmed, v[0], v[1], v[2]);
    case Reseat::otherVersion:
      return formatted(texts::updateNotTaken, v[0], v[1], v[2], c.written[0], c.written[1], c.written[2]);
    case Reseat::unanswered: break;
  }
  return texts::queryUnanswered;
}

}  // namespace update
