// The exchange with the adapter driven directly by any sequence of events:
// replies of any bytes, presses, downloads, adapters of two kinds arriving and
// leaving, and the ends of pauses in any order. Beyond not crashing:
// - no data report goes out outside a transfer, and every data report goes to
//   an adapter with the ids of the entry the transfer's image belongs to;
// - no query or start report goes out between the first and the last data
//   report of a transfer;
// - a start report and the pieces after it go only to the adapter that was
//   queried last, and only after that query;
// - the piece offset stays within the image;
// - the completion text appears only once every piece has gone.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "support/FakeAdapter.h"
#include "support/QuietOutlet.h"
#include "update/AdapterExchange.h"
#include "update/AdapterReports.h"
#include "update/ExchangeTexts.h"

namespace {

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

struct Harness : QuietOutlet {
  update::AdapterExchange exchange{*this};
  // Made once for the process: the record and writer of an adapter do not
  // depend on the input, and building them for every input is most of its cost.
  static FakeAdapter& matching() {
    static FakeAdapter a(0xF1A5, 1, "");
    return a;
  }
  static FakeAdapter& other() {
    static FakeAdapter a(0xF1A5, 2, "");
    return a;
  }
  static const std::shared_ptr<RFDevice>& writerOf(FakeAdapter& a) {
    static const auto m =
        std::make_shared<RFDevice>(HIDDevice(std::shared_ptr<FakeAdapter>(&matching(), [](FakeAdapter*) {})));
    static const auto o =
        std::make_shared<RFDevice>(HIDDevice(std::shared_ptr<FakeAdapter>(&other(), [](FakeAdapter*) {})));
    return &a == &matching() ? m : o;
  }
  Harness() {
    for (FakeAdapter* a : {&matching(), &other()}) {
      a->refusesAll = a->held = false;
      a->onReport = [this, a](const std::uint8_t* r, std::int64_t n) {
        sent(*a, r, static_cast<std::size_t>(n));
        return platform::kIOReturnSuccess;
      };
    }
  }
  std::map<const platform::Data*, update::FirmwareEntry> entryOf;
  std::uint64_t token = 0;
  bool transferOpen = false;
  std::size_t piecesSinceStart = 0;
  std::size_t transferBytes = 0;
  update::FirmwareEntry transferEntry;

  const FakeAdapter* queried = nullptr;  // the adapter the last query went to
  std::uint64_t deadlineToken = 0;
  void pause(double, std::uint64_t t) override { token = t; }
  void deadline(double, std::uint64_t t) override { deadlineToken = t; }
  void status(std::string_view text) override {
    if (text == texts::updateDone) {
      if (!transferOpen || piecesSinceStart * update::reports::kPieceBytes != transferBytes)
        broken("completion before the last piece");
      transferOpen = false;
    }
    if (text == texts::writeFailed || text == texts::disconnected || text == texts::pieceUnanswered)
      transferOpen = false;
  }

  void sent(const FakeAdapter& to, const std::uint8_t* r, std::size_t n) {
    using update::reports::Kind;
    const Kind kind = update::reports::classify(r, n);
    if (kind != Kind::data && transferOpen && piecesSinceStart > 0) broken("a command among the pieces");
    if (kind == Kind::query) queried = &to;
    if (kind != Kind::query && &to != queried) broken("a report to an adapter that was not queried");
    if (kind == Kind::start) {
      const auto& bin = exchange.bin();
      transferOpen = true;
      piecesSinceStart = 0;
      transferBytes = bin ? bin->size() : 0;
      transferEntry = entryOf[bin.get()];
    }
    if (kind != Kind::data) return;
    if (!transferOpen) broken("a data report outside a transfer");
    if (to.vendorId != transferEntry.vendorId || to.productId != transferEntry.productId)
      broken("a data report to an adapter of other ids");
    ++piecesSinceStart;
    if (exchange.positionofbin() > static_cast<std::int64_t>(transferBytes) || exchange.positionofbin() % 64)
      broken("the piece offset left the image");
  }
};

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::uint8_t next() {
    if (!size) return 0;
    --size;
    return *data++;
  }
};

void reply(Harness& h, Input& in) {
  static platform::Data bytes;  // reused, as the monitor's input buffer is
  bytes.resize(in.next() % 72);
  for (auto& b : bytes) b = in.next();
  h.exchange.replyReceived(bytes, in.next() % 4 ? &Harness::matching() : &Harness::other());
}

void download(Harness& h, Input& in) {
  const update::FirmwareEntry entry{
      0xF1A5, static_cast<std::uint32_t>(1 + in.next() % 2), {1, 2, in.next() % 2 ? 3 : 300}};
  if (!h.exchange.updatePressed(entry)) return;
  if (in.next() % 4 == 0) {
    h.exchange.downloadFailed();
    return;
  }
  // 4, 17 or 18 pieces: the 17th piece brings the extra pause.
  static constexpr std::size_t kPieces[] = {4, 17, 18};
  auto image = std::make_shared<const platform::Data>(kPieces[in.next() % 3] * update::reports::kPieceBytes, 0xA5);
  h.entryOf[image.get()] = entry;  // an address freed and reused gets its new entry
  h.exchange.imageDownloaded(image, entry);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in{data, size};
  Harness h;
  while (in.size) {
    const std::uint8_t op = in.next();
    switch (op % 10) {
      case 0: h.exchange.adapterConnected(Harness::writerOf(op & 0x10 ? Harness::other() : Harness::matching())); break;
      case 1: h.exchange.adapterGone(op & 0x10 ? &Harness::other() : &Harness::matching()); break;
      case 2: h.exchange.lensPressed(0xF1A5, 1 + (op >> 4) % 2); break;
      case 3: download(h, in); break;
      case 4: Harness::matching().refusesAll = (op & 0x10) != 0; break;
      case 5: h.exchange.pauseOver(h.token - (op >> 4) % 2); break;  // the pending pause, or a stale one
      case 6: h.exchange.deadlineOver(h.deadlineToken - (op >> 4) % 2); break;
      case 7: h.exchange.pauseOver(h.token); break;
      default: reply(h, in); break;
    }
  }
  return 0;
}
