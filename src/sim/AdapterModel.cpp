#include "AdapterModel.h"

namespace sim {
using namespace platform;  // the simulator stands in for the platform's devices

ReceivedReport::Kind classifyReport(const Data& r) {
  switch (update::reports::classify(r.data(), r.size())) {
    case update::reports::Kind::query: return ReceivedReport::Kind::query;
    case update::reports::Kind::start: return ReceivedReport::Kind::start;
    case update::reports::Kind::data: break;
  }
  return ReceivedReport::Kind::data;
}

const char* kindName(ReceivedReport::Kind kind) {
  switch (kind) {
    case ReceivedReport::Kind::query: return "query";
    case ReceivedReport::Kind::start: return "start";
    case ReceivedReport::Kind::data: return "data";
  }
  return "data";
}

Data adapterReply(const AdapterSettings& s) { return update::reports::reply<Data>(s.version, s.lensId, s.replyLength); }

Answer AdapterModel::take(const std::uint8_t* report, std::size_t length) {
  Answer answer;
  answer.kind = classifyReport(Data(report, report + length));
  if (settings_.refuseKind && static_cast<int>(answer.kind) == *settings_.refuseKind) {
    answer.refused = true;
    return answer;
  }
  ++reportsSincePlug_;
  if (answer.kind == ReceivedReport::Kind::start) {
    announced_ = update::reports::announcedIn(report, length);
    piecesSinceStart_ = 0;
    cutOff_ = false;
  }
  if (answer.kind == ReceivedReport::Kind::data) ++dataSincePlug_, ++piecesSinceStart_;
  const auto& s = settings_;
  answer.leave = (answer.kind == ReceivedReport::Kind::data && s.unplugAfterDataReports &&
                  dataSincePlug_ == *s.unplugAfterDataReports) ||
                 (s.unplugAfterReports && reportsSincePlug_ == *s.unplugAfterReports);
  if (answer.leave && announced_) cutOff_ = true;
  const bool silent = s.silentAfterReports && reportsSincePlug_ > *s.silentAfterReports;
  if (!silent && !answer.leave && answer.kind != ReceivedReport::Kind::start) answer.reply = adapterReply(s);
  return answer;
}

bool AdapterModel::transferWasWhole() const {
  if (!announced_ || cutOff_) return false;
  return settings_.wholePieces ? piecesSinceStart_ >= *settings_.wholePieces : piecesSinceStart_ > 0;
}

void AdapterModel::pluggedIn() {
  if (transferWasWhole() && !settings_.keepsVersion) settings_.version = *announced_;
  announced_.reset();
  reportsSincePlug_ = dataSincePlug_ = piecesSinceStart_ = 0;
  cutOff_ = false;
}

}  // namespace sim
