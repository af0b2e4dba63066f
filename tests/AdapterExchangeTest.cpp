// The exchange with the adapter, driven event by event: every pause is
// recorded and ended by the test, so the pacing is checked exactly and no
// test waits for it.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/FakeAdapter.h"
#include "update/AdapterExchange.h"
#include "update/AdapterReports.h"
#include "update/ExchangeTexts.h"
#include "update/ExchangeThread.h"

using namespace update;
using platform::Data;
using Kind = reports::Kind;

namespace {

// The window's side: every event and request as one line, in order.
class Recorder : public ExchangeOutlet {
 public:
  void pause(double seconds, std::uint64_t token) override {
    pauses.push_back(seconds);
    lastToken = token;
    effects.push_back("pause " + std::to_string(seconds).substr(0, 3));
  }
  void pauseFrom(double seconds, std::uint64_t token, std::chrono::steady_clock::time_point since) override {
    pause(seconds, token);
    sinces.push_back(since);
  }
  std::vector<std::chrono::steady_clock::time_point> sinces;
  void deadline(double seconds, std::uint64_t token) override {
    deadlines.push_back(seconds);
    deadlineToken = token;
  }
  void finished(Outcome outcome) override {
    outcomes.push_back(outcome);
    effects.push_back("end");
  }
  void confirmation(const Confirmation& c) override { confirmations.push_back(c); }
  std::vector<Confirmation> confirmations;
  std::vector<double> deadlines;
  std::uint64_t deadlineToken = 0;
  std::vector<Outcome> outcomes;
  void arm(std::int64_t v, std::int64_t p) override {
    effects.push_back("arm " + std::to_string(v) + ":" + std::to_string(p));
  }
  void status(std::string_view text) override {
    texts.emplace_back(text);
    effects.push_back("status " + std::string(text));
  }
  void transferStarted(std::size_t pieces) override { effects.push_back("transfer of " + std::to_string(pieces)); }
  void pieceSent(std::size_t piece, std::size_t pieces) override { sent.emplace_back(piece, pieces); }
  void lensRead(std::uint16_t lens, const reports::Version& version) override { lenses.emplace_back(lens, version); }
  std::vector<std::pair<std::uint16_t, reports::Version>> lenses;
  void keepAwake(bool awake) override { awakeChanges.push_back(awake); }
  std::vector<bool> awakeChanges;

  bool shown(const std::string& text) const { return std::find(texts.begin(), texts.end(), text) != texts.end(); }
  std::vector<double> pauses;
  std::vector<std::string> effects, texts;
  std::vector<std::pair<std::size_t, std::size_t>> sent;
  std::size_t transfers() const {
    return static_cast<std::size_t>(
        std::count_if(effects.begin(), effects.end(), [](const auto& e) { return e.rfind("transfer of", 0) == 0; }));
  }
  std::uint64_t lastToken = 0;
};

std::size_t countOf(const std::vector<Kind>& kinds, Kind kind) {
  return static_cast<std::size_t>(std::count(kinds.begin(), kinds.end(), kind));
}

const FirmwareEntry kEntryA{0xF1A5, 0x0001, {1, 0, 12}};
const FirmwareEntry kEntryB{0xF1A5, 0x0002, {2, 0, 1}};

Data versionReply(std::uint8_t a = 1, std::uint8_t b = 0, std::uint8_t c = 0) {
  Data r(64, 0);
  r[6] = a, r[7] = b, r[8] = c;
  r[16] = 0x0A, r[17] = 0xBC;
  return r;
}

std::shared_ptr<const Data> imageOf(std::size_t bytes, std::uint8_t seed) {
  Data d(bytes);
  for (std::size_t i = 0; i < bytes; ++i) d[i] = static_cast<std::uint8_t>(seed + i * 7);
  return std::make_shared<const Data>(std::move(d));
}

class Exchange : public ::testing::Test {
 protected:
  std::shared_ptr<FakeAdapter> connect(std::int64_t vendor, std::int64_t product, std::string node = "/dev/hidraw0",
                                       std::string port = "", std::string serial = "") {
    auto a = std::make_shared<FakeAdapter>(vendor, product, std::move(node));
    a->port = std::move(port), a->serial = std::move(serial);
    exchange.adapterConnected(std::make_shared<RFDevice>(HIDDevice(a)));
    current = a.get();
    return a;
  }
  // A report from the adapter connected last.
  void reply(const Data& r) { exchange.replyReceived(r, current); }
  void endPause() { exchange.pauseOver(out.lastToken); }
  // Press, download and the wait for the adapter: the query goes out.
  void startUpdate(std::shared_ptr<const Data> image, const FirmwareEntry& entry) {
    ASSERT_TRUE(exchange.updatePressed(entry));
    exchange.imageDownloaded(std::move(image), entry);
    endPause();
  }
  // Ends each pause and answers every piece, as an adapter does, until the update is over.
  void runToEnd() {
    for (int i = 0; i < 10000 && exchange.updateUnderWay(); ++i) {
      if (exchange.pausing()) endPause();
      else reply(Data(64, 0));
    }
  }
  // Answers the query with the adapter's version, then runs to the end.
  void answerUntilDone() {
    reply(versionReply());
    runToEnd();
  }
  Recorder out;
  AdapterExchange exchange{out};
  AdapterKey current = nullptr;
};

}  // namespace

TEST(AdapterReportsTest, TheBytesAdaptersRelyOn) {
  EXPECT_EQ(std::vector<std::uint8_t>(reports::kQuery.begin(), reports::kQuery.end()),
            (std::vector<std::uint8_t>{0x95, 0x27, 0x68, 0x18, 0x02, 0x02}));
  EXPECT_EQ(std::vector<std::uint8_t>(reports::kStartTemplate.begin(), reports::kStartTemplate.end()),
            (std::vector<std::uint8_t>{0x95, 0x27, 0x68, 0x18, 0x01, 0x01, 0x02, 0x00, 0x02}));
  EXPECT_EQ(reports::kStartVersionAt, 6u);
  EXPECT_EQ(reports::kReplyVersionAt, 6u);
  EXPECT_EQ(reports::kReplyLensIdAt, 16u);
  EXPECT_EQ(reports::kPieceBytes, 64u);
}

TEST_F(Exchange, AWholeUpdateItsPacingTextsAndBytes) {
  auto a = connect(0xF1A5, 1);
  const auto image = imageOf(2048, 3);  // 32 pieces
  ASSERT_TRUE(exchange.updatePressed(kEntryA));
  exchange.imageDownloaded(image, kEntryA);
  EXPECT_EQ(out.effects, (std::vector<std::string>{"arm 61861:1", "pause 1.0"}));
  EXPECT_TRUE(a->reports.empty());  // nothing before the pause is over
  endPause();
  ASSERT_EQ(a->kinds(), std::vector<Kind>{Kind::query});
  EXPECT_EQ(a->reports[0], (Data{0x95, 0x27, 0x68, 0x18, 0x02, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                 0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  out.effects.clear();
  reply(versionReply(3, 4, 5));
  EXPECT_EQ(out.effects, (std::vector<std::string>{"status \r\n当前的接环版本：VER 3.4.5",
                                                   "status \r\n固件写入中......", "transfer of 32", "pause 0.5"}));
  ASSERT_EQ(a->kinds().back(), Kind::start);
  EXPECT_EQ(Data(a->reports[1].begin(), a->reports[1].begin() + 9),
            (Data{0x95, 0x27, 0x68, 0x18, 0x01, 0x01, 1, 0, 12}));
  answerUntilDone();
  EXPECT_EQ(a->image(), *image);
  std::vector<double> pacing{1.0, 0.5};
  for (int piece = 1; piece <= 32; ++piece) {
    pacing.push_back(0.1);
    if (piece == 17) pacing.push_back(0.2);
  }
  EXPECT_EQ(out.pauses, pacing);
  ASSERT_EQ(out.sent.size(), 32u);  // each piece once, in order, counted from 1
  for (std::size_t piece = 1; piece <= 32; ++piece) EXPECT_EQ(out.sent[piece - 1], std::make_pair(piece, 32ul));
  const std::vector<std::string> last(out.effects.end() - 3, out.effects.end());
  EXPECT_EQ(last, (std::vector<std::string>{"status \r\n固件更新已完成", "status \r\n请关闭程序后取下接环", "end"}));
  EXPECT_EQ(out.outcomes, std::vector<Outcome>{Outcome::done});
  EXPECT_EQ(exchange.cnt(), 32 - 17);
  EXPECT_EQ(out.awakeChanges, (std::vector<bool>{true, false}));  // held from the start report to the end
}

TEST_F(Exchange, TheExtraPauseCountRunsOnAcrossTransfers) {
  auto a = connect(0xF1A5, 1);
  startUpdate(imageOf(1024, 1), kEntryA);  // 16 pieces: no extra pause, the count ends at 16
  answerUntilDone();
  EXPECT_EQ(std::count(out.pauses.begin(), out.pauses.end(), 0.2), 0);
  out.pauses.clear();
  startUpdate(imageOf(1024, 2), kEntryA);
  answerUntilDone();
  // The first piece of the second transfer finds the count at 16.
  EXPECT_EQ(out.pauses, (std::vector<double>{1.0, 0.5, 0.1, 0.2, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1,
                                             0.1, 0.1, 0.1, 0.1}));
}

// A lens press while the start report's pause runs would put a query among
// the pieces: it is refused with its text, and so is any press until the last piece.
TEST_F(Exchange, LensPressesDuringAnUpdateAreRefused) {
  auto a = connect(0xF1A5, 1);
  ASSERT_TRUE(exchange.updatePressed(kEntryA));
  exchange.lensPressed(0xF1A5, 1);  // during the download
  exchange.imageDownloaded(imageOf(1024, 1), kEntryA);
  exchange.lensPressed(0xF1A5, 1);  // waiting for the adapter
  endPause();
  exchange.lensPressed(0xF1A5, 1);  // the query is unanswered
  reply(versionReply());
  exchange.lensPressed(0xF1A5, 1);  // in the start report's pause
  endPause();
  exchange.lensPressed(0xF1A5, 1);  // before a piece
  runToEnd();
  EXPECT_EQ(std::count(out.texts.begin(), out.texts.end(), std::string(texts::busyForLens)), 5);
  std::vector<Kind> expected{Kind::query, Kind::start};
  expected.insert(expected.end(), 16, Kind::data);
  EXPECT_EQ(a->kinds(), expected);
  EXPECT_TRUE(out.shown(texts::updateDone));
  exchange.lensPressed(0xF1A5, 1);  // afterwards it is taken
  endPause();
  EXPECT_EQ(a->kinds().back(), Kind::query);
}

// A second press while the query is unanswered: refused, so that no second
// image and no second query can get into the running update.
TEST_F(Exchange, ASecondUpdateIsRefusedUntilTheFirstHasEnded) {
  auto a = connect(0xF1A5, 1);
  const auto first = imageOf(1024, 1);
  startUpdate(first, kEntryA);
  EXPECT_FALSE(exchange.updatePressed(kEntryB));
  EXPECT_TRUE(out.shown(texts::busyForUpdate));
  exchange.imageDownloaded(imageOf(2048, 9), kEntryB);  // a download that got through regardless
  answerUntilDone();
  EXPECT_EQ(a->image(), *first);
  EXPECT_EQ(a->reports[1][8], 12);  // the first entry's version
  EXPECT_EQ(countOf(a->kinds(), Kind::query), 1u);
  EXPECT_TRUE(exchange.updatePressed(kEntryA));  // and afterwards it is taken
}

// Only a report from the adapter that was asked, after the request went out,
// is an answer: an adapter's own report, a late acknowledgement or another
// adapter's report must not start a transfer or show a lens id.
TEST_F(Exchange, AReportNobodyAskedForStartsNothing) {
  startUpdate(imageOf(1024, 1), kEntryA);
  EXPECT_EQ(out.texts.back(), texts::noDevice);
  EXPECT_EQ(exchange.state(), stateConstants::stStartWriteData);
  auto other = connect(0x1234, 1);
  EXPECT_EQ(out.texts.back(), texts::connectedAppend);
  reply(versionReply());
  auto a = connect(0xF1A5, 1);
  reply(versionReply());  // a lens change, say
  EXPECT_TRUE(other->reports.empty());
  EXPECT_TRUE(a->reports.empty());
  EXPECT_FALSE(exchange.updateUnderWay());
  EXPECT_EQ(out.transfers(), 0u);

  // In the second before the query goes out.
  ASSERT_TRUE(exchange.updatePressed(kEntryA));
  exchange.imageDownloaded(imageOf(1024, 2), kEntryA);
  reply(versionReply());
  EXPECT_TRUE(a->reports.empty());
  endPause();
  EXPECT_EQ(a->kinds(), std::vector<Kind>{Kind::query});
  answerUntilDone();
  EXPECT_EQ(a->image(), *imageOf(1024, 2));

  // The last piece's late acknowledgement, in the second before a lens query.
  exchange.lensPressed(0xF1A5, 1);
  reply(Data(64, 0));
  EXPECT_EQ(out.texts.back(), texts::removeAdapter);
  endPause();
  reply(versionReply());
  EXPECT_EQ(out.texts.back(), "\r\n镜头ID->0XABC");
}

// An adapter that stops answering ends what waits for it, with its own text;
// its late replies change nothing afterwards.
TEST_F(Exchange, ASilentAdapterIsNotWaitedForForEver) {
  auto a = connect(0xF1A5, 1);
  startUpdate(imageOf(2048, 1), kEntryA);
  EXPECT_EQ(out.deadlines, std::vector<double>{5.0});
  exchange.deadlineOver(out.deadlineToken);
  EXPECT_EQ(out.texts.back(), texts::queryUnanswered);
  EXPECT_EQ(out.outcomes.back(), Outcome::silent);
  EXPECT_FALSE(exchange.updateUnderWay());
  reply(versionReply());
  EXPECT_EQ(a->kinds(), std::vector<Kind>{Kind::query});

  startUpdate(imageOf(2048, 1), kEntryA);
  reply(versionReply());
  for (int piece = 0; piece < 5;) {  // five pieces answered, then silence
    if (exchange.pausing()) endPause();
    else reply(Data(64, 0)), ++piece;
  }
  while (exchange.pausing()) endPause();
  const auto stale = out.deadlineToken - 1;
  exchange.deadlineOver(stale);  // a deadline of a piece that was answered
  EXPECT_TRUE(exchange.updateUnderWay());
  EXPECT_EQ(out.deadlines.back(), 10.0);
  exchange.deadlineOver(out.deadlineToken);
  EXPECT_EQ(out.texts.back(), texts::pieceUnanswered);
  EXPECT_FALSE(out.shown(texts::updateDone));
  EXPECT_EQ(out.awakeChanges, (std::vector<bool>{true, false}));
  EXPECT_EQ(out.outcomes.back(), Outcome::silent);
  reply(Data(64, 0));
  EXPECT_EQ(countOf(a->kinds(), Kind::data), 6u);
  EXPECT_TRUE(exchange.updatePressed(kEntryA));
  exchange.downloadFailed();

  exchange.lensPressed(0xF1A5, 1);
  endPause();
  exchange.deadlineOver(out.deadlineToken);
  EXPECT_EQ(out.texts.back(), texts::lensUnanswered);
}

// One update talks to one adapter, from its query to its last piece.
TEST_F(Exchange, OneUpdateOneAdapter) {
  auto a = connect(0xF1A5, 1, "/dev/hidraw3");
  auto b = connect(0xF1A5, 1, "/dev/hidraw5");
  EXPECT_FALSE(exchange.updatePressed(kEntryA));
  EXPECT_EQ(out.texts.back(), "\r\n发现多个相同型号的接环（/dev/hidraw3，/dev/hidraw5），请只连接要更新的一个");
  exchange.adapterGone(b.get());
  current = a.get();
  out.texts.clear();

  // B arrives after A was asked, answers, comes and goes: A is written to the end.
  ASSERT_TRUE(exchange.updatePressed(kEntryA));
  exchange.imageDownloaded(imageOf(2048, 4), kEntryA);
  endPause();
  exchange.adapterConnected(std::make_shared<RFDevice>(HIDDevice(b)));
  exchange.replyReceived(versionReply(), b.get());
  EXPECT_EQ(a->kinds().back(), Kind::query);
  reply(versionReply());
  for (int i = 0; i < 3; ++i) exchange.replyReceived(Data(64, 0), b.get());  // B's reports release nothing
  endPause();
  endPause();
  EXPECT_EQ(countOf(a->kinds(), Kind::data), 1u);
  exchange.adapterGone(b.get());
  EXPECT_TRUE(exchange.isConnected());
  EXPECT_TRUE(exchange.updateUnderWay());
  runToEnd();
  EXPECT_EQ(a->image(), *imageOf(2048, 4));
  EXPECT_EQ(b->kinds(), std::vector<Kind>{});
  EXPECT_TRUE(out.shown(texts::updateDone));
  EXPECT_FALSE(out.shown(texts::disconnected));
}

// The pause before a piece starts when its reply arrived; a reply that waited
// for a pause to end starts its own from then, and so does one that was
// already waiting when the piece went out: no piece follows another within
// 0.1 s.
TEST_F(Exchange, APieceIsPacedFromItsReplysArrival) {
  connect(0xF1A5, 1);
  startUpdate(imageOf(2048, 1), kEntryA);
  reply(versionReply());
  endPause();
  endPause();  // the first piece went out
  const auto arrived = std::chrono::steady_clock::now();
  exchange.replyReceived(Data(64, 0), current, arrived);
  ASSERT_EQ(out.sinces.size(), 1u);
  EXPECT_EQ(out.sinces[0], arrived);
  exchange.replyReceived(Data(64, 0), current, arrived);  // during that pause: waits for its end
  endPause();
  EXPECT_EQ(out.sinces.size(), 1u);
  EXPECT_EQ(out.effects.back(), "pause 0.1");

  const auto beforeThePiece = std::chrono::steady_clock::now() - std::chrono::milliseconds(1);
  endPause();                                                    // the third piece goes out
  exchange.replyReceived(Data(64, 0), current, beforeThePiece);  // was waiting before it
  ASSERT_EQ(out.sinces.size(), 2u);
  EXPECT_GT(out.sinces[1], beforeThePiece);
}

// The end of a lens query's pause, coming after an update took its place,
// must not send the update's query early.
TEST_F(Exchange, AStalePauseEndSendsNothing) {
  auto a = connect(0xF1A5, 1);
  exchange.lensPressed(0xF1A5, 1);
  const auto lensPause = out.lastToken;
  ASSERT_TRUE(exchange.updatePressed(kEntryA));
  exchange.imageDownloaded(imageOf(1024, 1), kEntryA);
  exchange.pauseOver(lensPause);
  EXPECT_TRUE(a->reports.empty());
  endPause();
  EXPECT_EQ(a->kinds(), std::vector<Kind>{Kind::query});
}

TEST_F(Exchange, AVersionThatDoesNotFitIsRefusedBeforeAnythingIsShown) {
  auto a = connect(0xF1A5, 1);
  EXPECT_FALSE(exchange.updatePressed({0xF1A5, 1, {256, 0, 0}}));
  EXPECT_EQ(out.texts.back(), texts::versionOutOfRange);
  exchange.imageDownloaded(imageOf(1024, 1), {0xF1A5, 1, {1, -1, 0}});  // past the press, should one get there
  endPause();
  reply(versionReply());
  EXPECT_EQ(out.texts.back(), texts::versionOutOfRange);
  EXPECT_EQ(a->kinds(), std::vector<Kind>{Kind::query});
  EXPECT_EQ(out.transfers(), 0u);
  EXPECT_EQ(exchange.state(), stateConstants::stEmpty);
}

TEST_F(Exchange, AReportThatIsNotTakenEndsTheUpdate) {
  for (std::size_t taken : {0u, 1u, 2u, 7u}) {  // the query, the start report, the first piece, the sixth
    Recorder fresh;
    AdapterExchange e(fresh);
    auto a = std::make_shared<FakeAdapter>(0xF1A5, 1);
    a->refuseAt = taken;
    e.adapterConnected(std::make_shared<RFDevice>(HIDDevice(a)));
    ASSERT_TRUE(e.updatePressed(kEntryA));
    e.imageDownloaded(imageOf(1024, 1), kEntryA);
    for (int step = 0; step < 100 && e.updateUnderWay(); ++step) {
      if (e.pausing()) e.pauseOver(fresh.lastToken);
      else e.replyReceived(versionReply(), a.get());
    }
    EXPECT_TRUE(fresh.shown(texts::writeFailed)) << taken;
    EXPECT_FALSE(fresh.shown(texts::updateDone)) << taken;
    EXPECT_EQ(a->reports.size(), taken) << taken;
    EXPECT_FALSE(e.updateUnderWay()) << taken;
    const std::vector<bool> awake = taken == 0 ? std::vector<bool>{} : std::vector<bool>{true, false};
    EXPECT_EQ(fresh.awakeChanges, awake) << taken;
    if (taken > 0) {
      EXPECT_EQ(fresh.outcomes.back(), Outcome::writeFailed) << taken;
    }
  }
}

TEST_F(Exchange, TheConnectTextDependsOnTheState) {
  connect(0xF1A5, 1);
  EXPECT_TRUE(out.texts.empty());  // idle: nothing
  exchange.lensPressed(0xF1A5, 1);
  connect(0xF1A5, 2);
  EXPECT_EQ(out.texts.back(), texts::connected);  // lens query: replaces
  EXPECT_EQ(exchange.connectedDevice()->deviceInfo.productId, 2);
  endPause();
  ASSERT_TRUE(exchange.updatePressed(kEntryB));
  exchange.imageDownloaded(imageOf(1024, 1), kEntryB);
  EXPECT_EQ(exchange.state(), stateConstants::stStartWriteData);
  connect(0xF1A5, 2);
  EXPECT_EQ(out.texts.back(), texts::connectedAppend);  // before an update: appended
}

TEST_F(Exchange, TheAdapterLeavingEndsTheTransferAndLateEventsChangeNothing) {
  auto a = connect(0xF1A5, 1);
  startUpdate(imageOf(2048, 1), kEntryA);
  reply(versionReply());
  endPause();  // the start report's pause
  const auto pieceToken = out.lastToken;
  exchange.adapterGone(a.get());
  EXPECT_EQ(exchange.state(), stateConstants::stEmpty);
  EXPECT_FALSE(exchange.isConnected());
  EXPECT_EQ(std::vector<std::string>(out.texts.end() - 2, out.texts.end()),
            (std::vector<std::string>{texts::disconnected, texts::leftMidWrite}));
  EXPECT_EQ(out.outcomes.back(), Outcome::left);
  EXPECT_EQ(out.awakeChanges, (std::vector<bool>{true, false}));
  exchange.pauseOver(pieceToken);  // the piece's pause ends after all
  reply(Data(64, 1));
  EXPECT_EQ(a->kinds(), (std::vector<Kind>{Kind::query, Kind::start}));
  EXPECT_EQ(exchange.rdata(), Data(64, 1));
  EXPECT_FALSE(exchange.updateUnderWay());
}

// The adapter gone unnoticed until its next piece could not go out: the
// write failed first, and its departure still says the write is unfinished.
TEST_F(Exchange, AnAdapterThatLeftBeforeItsPieceFailedIsStillSaidHalfWritten) {
  auto a = connect(0xF1A5, 1);
  startUpdate(imageOf(2048, 1), kEntryA);
  reply(versionReply());
  a->refuseAt = 0;  // from now on: the first piece finds the node gone
  endPause();       // after the start report
  endPause();       // before the first piece
  EXPECT_EQ(out.texts.back(), texts::writeFailed);
  exchange.adapterGone(a.get());
  EXPECT_EQ(std::vector<std::string>(out.texts.end() - 2, out.texts.end()),
            (std::vector<std::string>{texts::disconnected, texts::leftMidWrite}));
  auto b = connect(0xF1A5, 1);  // back, and gone again before anything was written
  exchange.adapterGone(b.get());
  EXPECT_EQ(out.texts.back(), texts::disconnected);
}

// An update or a lens query is its adapter's one writer from its query to its
// end, however it ends; one that finds the adapter held sends nothing at all.
TEST_F(Exchange, AnAdapterHasOneWriterFromTheQueryToTheEnd) {
  auto a = connect(0xF1A5, 1);
  a->heldElsewhere = true;
  startUpdate(imageOf(1024, 1), kEntryA);
  EXPECT_TRUE(a->reports.empty());
  EXPECT_EQ(out.outcomes.back(), Outcome::busy);
  EXPECT_EQ(out.texts.back(), texts::adapterBusy);
  EXPECT_FALSE(exchange.updateUnderWay());
  exchange.lensPressed(0xF1A5, 1);
  endPause();
  EXPECT_TRUE(a->reports.empty());
  EXPECT_EQ(out.outcomes.back(), Outcome::busy);

  a->heldElsewhere = false;
  startUpdate(imageOf(1024, 1), kEntryA);
  EXPECT_TRUE(a->held);
  reply(versionReply());
  for (int i = 0; i < 5; ++i) endPause(), reply(Data(64, 0));
  EXPECT_TRUE(a->held);
  runToEnd();
  EXPECT_EQ(out.outcomes.back(), Outcome::done);
  EXPECT_FALSE(a->held);

  exchange.lensPressed(0xF1A5, 1);
  endPause();
  EXPECT_TRUE(a->held);
  reply(versionReply());
  EXPECT_EQ(out.outcomes.back(), Outcome::lensShown);
  EXPECT_FALSE(a->held);

  startUpdate(imageOf(1024, 1), kEntryA);
  exchange.deadlineOver(out.deadlineToken);  // the query unanswered
  EXPECT_EQ(out.outcomes.back(), Outcome::silent);
  EXPECT_FALSE(a->held);

  startUpdate(imageOf(1024, 1), kEntryA);
  reply(versionReply());
  endPause();
  exchange.adapterGone(a.get());
  EXPECT_EQ(out.outcomes.back(), Outcome::left);
  EXPECT_FALSE(a->held);
}

// Told to, the exchange asks the adapter first and writes neither the version
// it runs nor an older one; by default (the window) it writes what was chosen.
TEST_F(Exchange, TheAdaptersOwnVersionFirst) {
  auto a = connect(0xF1A5, 1);
  const WriteRules careful{false, false};
  auto askedWith = [&](Data reply) {
    a->reports.clear();
    ASSERT_TRUE(exchange.updatePressed(kEntryA, nullptr, careful));
    exchange.imageDownloaded(imageOf(1024, 1), kEntryA);
    endPause();
    this->reply(reply);
  };
  askedWith(versionReply(1, 0, 12));  // the entry's own version
  EXPECT_EQ(out.outcomes.back(), Outcome::upToDate);
  EXPECT_EQ(out.texts.back(), "\r\n接环已是版本 VER 1.0.12，无需更新，未写入接环");
  EXPECT_EQ(a->kinds(), std::vector<Kind>{Kind::query});
  EXPECT_FALSE(a->held);
  askedWith(versionReply(1, 1, 0));  // newer
  EXPECT_EQ(out.outcomes.back(), Outcome::olderThanAdapter);
  EXPECT_EQ(out.texts.back(), "\r\n接环的版本 VER 1.1.0 比所选固件的 VER 1.0.12 新，未写入接环");
  EXPECT_EQ(a->kinds(), std::vector<Kind>{Kind::query});
  askedWith(versionReply(1, 0, 11));  // older: written
  runToEnd();
  EXPECT_EQ(out.outcomes.back(), Outcome::done);
  a->reports.clear();
  startUpdate(imageOf(1024, 1), kEntryA);  // the window's rules
  reply(versionReply(1, 1, 0));
  runToEnd();
  EXPECT_EQ(out.outcomes.back(), Outcome::done);
  EXPECT_EQ(a->image().size(), 1024u);
}

// However many adapters there are, the refusal names every one of them.
TEST_F(Exchange, SeveralAdaptersAreAllNamedHoweverMany) {
  std::vector<std::shared_ptr<FakeAdapter>> kept;
  for (int i = 0; i < 40; ++i) kept.push_back(connect(0xF1A5, 1, "/dev/hidraw-on-a-long-path-" + std::to_string(i)));
  EXPECT_FALSE(exchange.updatePressed(kEntryA));
  EXPECT_EQ(out.outcomes.back(), Outcome::severalAdapters);
  EXPECT_NE(out.texts.back().find("/dev/hidraw-on-a-long-path-39）"), std::string::npos) << out.texts.back();
}

// Replies that arrive while a pause runs are taken after it, one piece each.
TEST_F(Exchange, RepliesDuringAPauseWaitForItsEnd) {
  auto a = connect(0xF1A5, 1);
  startUpdate(imageOf(1024, 1), kEntryA);
  reply(versionReply());  // start report, then its pause
  reply(Data(64, 0));     // out of turn, during the pause
  EXPECT_EQ(a->kinds().back(), Kind::start);
  endPause();  // first piece taken, its pause begins
  endPause();  // first piece sent; the deferred reply takes the second
  EXPECT_EQ(countOf(a->kinds(), Kind::data), 1u);
  EXPECT_EQ(out.effects.back(), "pause 0.1");
  endPause();
  EXPECT_EQ(countOf(a->kinds(), Kind::data), 2u);
}

TEST_F(Exchange, LensRepliesAndShortOnes) {
  auto a = connect(0xF1A5, 1);
  exchange.lensPressed(0xF1A5, 1);
  exchange.lensPressed(0xF1A5, 2);  // another entry before the first query went out
  EXPECT_EQ(exchange.pv().size(), 2u);
  endPause();
  EXPECT_EQ(a->kinds(), std::vector<Kind>{Kind::query});  // one query, for the last press
  reply(Data(17, 0xFF));
  EXPECT_TRUE(out.texts.empty());
  auto other = connect(0xF1A5, 2, "/dev/hidraw1");
  exchange.replyReceived(versionReply(9, 9, 9), other.get());  // not the one asked
  EXPECT_TRUE(out.lenses.empty());
  exchange.replyReceived(versionReply(1, 2, 3), a.get());
  EXPECT_EQ(out.texts.back(), "\r\n镜头ID->0XABC");
  EXPECT_EQ(out.lenses, (decltype(out.lenses){{0xABC, {1, 2, 3}}}));
  EXPECT_EQ(exchange.state(), stateConstants::stCheck);
}

// An adapter whose node may not be opened is there: saying "没有发现设备"
// would send its owner looking for a cable fault.
TEST_F(Exchange, AnAdapterThatMayNotBeOpenedIsNamedInsteadOfNotFound) {
  exchange.adapterDenied("/dev/hidraw3", true);
  const std::string denied = "\r\n发现接环 /dev/hidraw3，但没有权限打开：请安装 udev 规则后重新插入接环";
  EXPECT_EQ(out.texts.back(), denied);
  startUpdate(imageOf(1024, 1), kEntryA);
  EXPECT_EQ(out.texts.back(), denied);
  exchange.lensPressed(0xF1A5, 1);
  endPause();
  EXPECT_EQ(out.texts.back(), denied);
  EXPECT_FALSE(out.shown(texts::noDevice));
  EXPECT_FALSE(out.shown(texts::noDeviceForLens));
  exchange.adapterDenied("/dev/hidraw3", false);  // it left
  exchange.lensPressed(0xF1A5, 1);
  endPause();
  EXPECT_EQ(out.texts.back(), texts::noDeviceForLens);
}

// On the real clock the exchange's own thread waits a pause out: the pause
// lasts its whole length from when it was asked for, and what is posted
// meanwhile (an arrival, a press) is taken at once, not after it.
TEST(ExchangeOnTheRealClock, APauseLastsItsLengthAndRequestsGoOnMeanwhile) {
  using Clock = std::chrono::steady_clock;
  Recorder out;
  ExchangeThread thread(out, [](std::int64_t, std::int64_t) {});
  const auto start = Clock::now();
  thread.post([](AdapterExchange& e) { e.imageDownloaded(imageOf(64, 1), kEntryA); });  // no adapter: 1 s, then said
  const auto asked = Clock::now();
  EXPECT_FALSE(thread.call([](AdapterExchange& e) { return e.isConnected(); }));
  EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(500));
  const auto said = [&] { return thread.call([&](AdapterExchange&) { return out.shown(texts::noDevice); }); };
  while (!said() && Clock::now() - start < std::chrono::seconds(30))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(said());
  EXPECT_GE(Clock::now() - start, std::chrono::duration<double>(Pacing::adapterCheck));
}

// After its last piece the adapter is asked again once it is back on its
// port: the version it reports is the one written, another, or none.
class Return : public Exchange {
 protected:
  // Adapter A written to the end on port 1-3, then taken out.
  void writeAndTakeOut(const std::string& serial = "") {
    auto a = connect(0xF1A5, 1, "/dev/hidraw0", "1-3", serial);
    startUpdate(imageOf(1024, 1), kEntryA);
    answerUntilDone();
    ASSERT_TRUE(out.shown(texts::updateDone));
    exchange.adapterGone(a.get());
    out.effects.clear(), out.texts.clear(), out.pauses.clear();
  }
  std::vector<update::Reseat> results() const {
    std::vector<update::Reseat> r;
    for (const auto& c : out.confirmations) r.push_back(c.result);
    return r;
  }
};

TEST_F(Return, TheVersionWrittenConfirmsTheUpdateAnotherOneSaysItDidNotTake) {
  writeAndTakeOut();
  auto back = connect(0xF1A5, 1, "/dev/hidraw5", "1-3");
  EXPECT_EQ(out.pauses, std::vector<double>{1.0});  // the usual second first
  EXPECT_TRUE(back->reports.empty());
  endPause();
  EXPECT_EQ(back->kinds(), std::vector<Kind>{Kind::query});
  reply(versionReply(1, 0, 12));
  EXPECT_EQ(out.texts.back(), "\r\n接环已重新连接：版本 VER 1.0.12，更新已确认");
  ASSERT_EQ(results(), std::vector<update::Reseat>{update::Reseat::confirmed});
  EXPECT_EQ(out.confirmations[0].port, "1-3");
  EXPECT_EQ(out.awakeChanges, (std::vector<bool>{true, false}));  // no sleep lock for it
  EXPECT_FALSE(back->held);
  // Confirmed once: its next return asks nothing.
  exchange.adapterGone(back.get());
  auto again = connect(0xF1A5, 1, "/dev/hidraw5", "1-3");
  EXPECT_TRUE(again->reports.empty());
  exchange.adapterGone(again.get());

  writeAndTakeOut();
  connect(0xF1A5, 1, "/dev/hidraw6", "1-3");
  endPause();
  reply(versionReply(1, 0, 7));
  EXPECT_EQ(out.texts.back(),
            "\r\n接环重新连接后仍报告版本 VER 1.0.7，不是写入的 VER 1.0.12：更新没有生效，请再次更新");
  ASSERT_EQ(results(), (std::vector<update::Reseat>{update::Reseat::confirmed, update::Reseat::otherVersion}));
  EXPECT_EQ(out.confirmations[1].running, (reports::Version{1, 0, 7}));
}

TEST_F(Return, NoAnswerWithinTheQuerysTimeIsSaidAsTheQuerysOwn) {
  writeAndTakeOut();
  connect(0xF1A5, 1, "/dev/hidraw5", "1-3");
  endPause();
  EXPECT_EQ(out.deadlines.back(), 5.0);
  exchange.deadlineOver(out.deadlineToken);
  EXPECT_EQ(out.texts.back(), texts::queryUnanswered);
  EXPECT_EQ(results(), std::vector<update::Reseat>{update::Reseat::unanswered});
  EXPECT_TRUE(out.outcomes.back() == Outcome::done);  // the update's own end is not told again
}

// Another adapter of the same ids is not taken for the written one: not on
// another port, nor on the same port with another serial number.
TEST_F(Return, OnlyTheWrittenAdapterIsAsked) {
  writeAndTakeOut("SN-A");
  auto other = connect(0xF1A5, 1, "/dev/hidraw5", "1-4");
  auto swapped = connect(0xF1A5, 1, "/dev/hidraw6", "1-3", "SN-B");
  EXPECT_TRUE(out.pauses.empty());
  EXPECT_TRUE(other->reports.empty());
  EXPECT_TRUE(swapped->reports.empty());
  auto moved = connect(0xF1A5, 1, "/dev/hidraw7", "1-9", "SN-A");  // its serial, on another port
  endPause();
  EXPECT_EQ(moved->kinds(), std::vector<Kind>{Kind::query});
  reply(versionReply(1, 0, 12));
  EXPECT_EQ(results(), std::vector<update::Reseat>{update::Reseat::confirmed});
  EXPECT_TRUE(other->reports.empty());
  EXPECT_TRUE(swapped->reports.empty());
}

// The same device announced again without having left is no re-seat.
TEST_F(Return, AnAdapterThatNeverLeftIsNotAsked) {
  auto a = connect(0xF1A5, 1, "/dev/hidraw0", "1-3");
  startUpdate(imageOf(1024, 1), kEntryA);
  answerUntilDone();
  const auto reports = a->reports.size();
  out.pauses.clear();
  exchange.adapterConnected(std::make_shared<RFDevice>(HIDDevice(a)));
  EXPECT_TRUE(out.pauses.empty());
  EXPECT_EQ(a->reports.size(), reports);
}

// A written adapter that comes back while another is being written is asked
// once that write is over: no query among the other's pieces.
TEST_F(Return, AReturnDuringAnotherUpdateIsAskedAfterItsEnd) {
  writeAndTakeOut();
  auto b = connect(0xF1A5, 2, "/dev/hidraw1", "1-4");
  startUpdate(imageOf(2048, 5), kEntryB);
  reply(versionReply(2, 0, 0));
  endPause();  // the start report's pause
  auto back = std::make_shared<FakeAdapter>(0xF1A5, 1, "/dev/hidraw5");
  back->port = "1-3";
  exchange.adapterConnected(std::make_shared<RFDevice>(HIDDevice(back)));
  EXPECT_TRUE(back->reports.empty());
  runToEnd();
  EXPECT_EQ(b->image(), *imageOf(2048, 5));
  EXPECT_TRUE(back->reports.empty());
  EXPECT_EQ(out.pauses.back(), 1.0);
  endPause();
  EXPECT_EQ(back->kinds(), std::vector<Kind>{Kind::query});
  exchange.replyReceived(versionReply(1, 0, 12), back.get());
  EXPECT_EQ(results(), std::vector<update::Reseat>{update::Reseat::confirmed});
}

// Taken out again during its own confirmation: nothing is said of it until it
// is back once more, and then it is asked anew.
TEST_F(Return, TakenOutDuringItsQueryItIsAskedWhenBackAgain) {
  writeAndTakeOut();
  auto first = connect(0xF1A5, 1, "/dev/hidraw5", "1-3");
  endPause();
  exchange.adapterGone(first.get());
  EXPECT_TRUE(out.confirmations.empty());
  EXPECT_FALSE(first->held);
  exchange.deadlineOver(out.deadlineToken);  // the query's deadline, stale now
  EXPECT_TRUE(out.confirmations.empty());
  auto second = connect(0xF1A5, 1, "/dev/hidraw5", "1-3");
  endPause();
  EXPECT_EQ(second->kinds(), std::vector<Kind>{Kind::query});
  reply(versionReply(1, 0, 12));
  EXPECT_EQ(results(), std::vector<update::Reseat>{update::Reseat::confirmed});
}
