// Faults on the whole road of an update, end to end: the real window, a real
// firmware server on loopback and the simulated adapter. Each fault must end
// with its own text, never with the completion text, and must leave the tool
// able to write the whole image once the fault is gone.
#include "app/StatusTexts.h"
#include "support/WindowFixture.h"

using Behaviour = FirmwareServer::Behaviour;
using Fault = Behaviour::Fault;
using sim::AdapterSettings;

namespace {
const char* kCompleted = "固件更新已完成";
const char* kEnd = "请关闭程序后取下接环";
}  // namespace

class FaultInjection : public WindowFixture {
 protected:
  // Without hash and size in the list, so that each server fault has to be
  // caught where it happens, not by the check of the downloaded image.
  void SetUp() override {
    WindowFixture::SetUp();
    serveListWithoutChecks();
    adapter = plug(kProductB);
    openWindow();
  }

  void startUpdate(int row = kRow2048) {
    clickRow(row);
    ASSERT_EQ(status().rfind(' ', 0), 0u) << status();
    pressUpdate();
  }

  bool completionEverShown() const {
    return std::any_of(statuses.begin(), statuses.end(),
                       [](const std::string& s) { return s.find(kCompleted) != std::string::npos; });
  }

  // Clears every fault, plugs the adapter back in where it left, and updates again.
  void recoverAndUpdateAgain(int row = kRow2048) {
    server.setBehaviour(imagePath(row), {});
    adapter->changeSettings([](AdapterSettings& s) {
      AdapterSettings fresh;
      fresh.vendorId = s.vendorId;
      fresh.productId = s.productId;
      s = fresh;
    });
    if (adapter->isPlugged()) bus->unplug(adapter);
    ASSERT_TRUE(waitFor([&] { return !vc->isConnected(); }));
    bus->plug(adapter);
    if (!vc->pv().empty()) {
      ASSERT_TRUE(waitFor([&] { return vc->isConnected(); }));
    }
    const auto before = adapter->dataReportCount();
    statuses.clear();
    startUpdate(row);
    ASSERT_TRUE(waitForStatus(kEnd, 20000)) << status();
    EXPECT_EQ(adapter->receivedImage(), paddedImage(row));
    EXPECT_EQ(adapter->dataReportCount() - before, paddedImage(row).size() / 64);
  }

  void expectDownloadFailure() {
    ASSERT_TRUE(waitForStatus(texts::downloadFailed, 20000)) << status();
    settle(100);
    EXPECT_EQ(status(), texts::downloadFailed);
    EXPECT_FALSE(completionEverShown());
    EXPECT_TRUE(adapter->received().empty());
    EXPECT_FALSE(vc->bin());
  }

  // `written`: the start report had gone out, so the adapter is half written.
  void expectAdapterLeft(std::size_t dataReports, bool written) {
    ASSERT_TRUE(waitForStatus(texts::disconnected, 20000)) << status();
    settle(300);
    EXPECT_EQ(status(), std::string(texts::disconnected) + (written ? texts::leftMidWrite : ""));
    EXPECT_FALSE(completionEverShown());
    EXPECT_EQ(adapter->dataReportCount(), dataReports);
    EXPECT_EQ(vc->state(), stateConstants::stEmpty);
  }

  std::shared_ptr<sim::SimulatedAdapter> adapter;
};

class ImageCut : public FaultInjection, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(ImageCut, TheServerCutsTheImage) {
  server.setBehaviour("/fw/pk-nz-2048.bin", FirmwareServer::Behaviour::cut(GetParam()));
  startUpdate();
  expectDownloadFailure();
  recoverAndUpdateAgain();
}
INSTANTIATE_TEST_SUITE_P(FaultInjection, ImageCut, ::testing::Values(0, 1, 1023, 2047));

void PrintTo(const Behaviour& b, std::ostream* os) {
  *os << "fault " << static_cast<int>(b.fault) << " status " << b.status << " " << b.location << b.coding;
}

class ServerFault : public FaultInjection, public ::testing::WithParamInterface<FirmwareServer::Behaviour> {};

// 404, more bytes announced than sent, redirects to schemes other than http(s),
// answers that are not the whole resource, a coding that cannot be decoded,
// and two lengths for one body.
TEST_P(ServerFault, TheServerMisanswers) {
  server.setBehaviour("/fw/pk-nz-2048.bin", GetParam());
  startUpdate();
  expectDownloadFailure();
  recoverAndUpdateAgain();
}
INSTANTIATE_TEST_SUITE_P(
    FaultInjection, ServerFault,
    ::testing::Values(Behaviour::of(Fault::notFound), Behaviour::of(Fault::wrongLength),
                      Behaviour::redirectTo("file:///etc/passwd"), Behaviour::redirectTo("ftp://127.0.0.1:1/x"),
                      Behaviour::answerWith(204), Behaviour::answerWith(206, 100), Behaviour::answerWith(300),
                      Behaviour::answerWith(301), Behaviour::answerWith(304), Behaviour::answerWith(399),
                      Behaviour::encodedAs("x-squash"), Behaviour::secondLength(100)),
    [](const ::testing::TestParamInfo<Behaviour>& info) {
      const Behaviour& b = info.param;
      std::string name = std::to_string(info.index) + "_fault" + std::to_string(static_cast<int>(b.fault));
      if (b.fault == Fault::status) name += "_status" + std::to_string(b.status);
      if (b.fault == Fault::redirect) name += b.location.rfind("ftp", 0) == 0 ? "_ftp" : "_file";
      return name;
    });

TEST_F(FaultInjection, TheServerTricklesBelowTheMinimumRate) {
  platform::UrlReadOptions quick = platform::UrlReadOptions::forImage();
  quick.lowSpeedWindowSeconds = 1;
  vc->setImageReadOptions(quick);
  server.setBehaviour("/fw/pk-nz-2048.bin", Behaviour::trickling(200));
  startUpdate();
  expectDownloadFailure();
  recoverAndUpdateAgain();
}

TEST_F(FaultInjection, TheServerStalls) {
  platform::UrlReadOptions quick = platform::UrlReadOptions::forImage();
  quick.lowSpeedWindowSeconds = 1;
  vc->setImageReadOptions(quick);
  server.setBehaviour("/fw/pk-nz-2048.bin", FirmwareServer::Behaviour::of(Fault::stall));
  startUpdate();
  expectDownloadFailure();
  recoverAndUpdateAgain();
}

class AdapterLeaves : public FaultInjection, public ::testing::WithParamInterface<int> {};

// After the query (1), after the start report (2), or after piece k (2 + k).
TEST_P(AdapterLeaves, TheAdapterLeavesMidExchange) {
  const std::size_t reports = static_cast<std::size_t>(GetParam());
  adapter->changeSettings([&](AdapterSettings& s) { s.unplugAfterReports = reports; });
  startUpdate();
  expectAdapterLeft(reports > 2 ? reports - 2 : 0, reports >= 2);
  recoverAndUpdateAgain();
}
INSTANTIATE_TEST_SUITE_P(FaultInjection, AdapterLeaves, ::testing::Values(1, 2, 2 + 1, 2 + 16, 2 + 17, 2 + 47));

TEST_F(FaultInjection, TheAdapterGoesSilentAfterAPiece) {
  // Answers the query and pieces 1 to 19, then nothing: piece 20 waits for good.
  adapter->changeSettings([](AdapterSettings& s) { s.silentAfterReports = 2 + 19; });
  startUpdate();
  ASSERT_TRUE(waitFor([&] { return adapter->dataReportCount() == 20; }));
  settle(500);
  EXPECT_EQ(adapter->dataReportCount(), 20u);
  EXPECT_FALSE(completionEverShown());
  EXPECT_TRUE(statusHas("固件写入中......"));
  EXPECT_EQ(vc->state(), stateConstants::stGetResponseOfStartWriteData);
  recoverAndUpdateAgain();
}

TEST_F(FaultInjection, TheAdapterAnswersTheQueryTooShort) {
  adapter->changeSettings([](AdapterSettings& s) { s.replyLength = 8; });
  startUpdate();
  ASSERT_TRUE(adapter->waitUntil([](const auto& r) { return !r.empty(); }, std::chrono::seconds(10)));
  settle(300);
  EXPECT_EQ(adapter->received().size(), 1u);  // the query, nothing after it
  EXPECT_FALSE(statusHas("当前的接环版本"));
  EXPECT_FALSE(completionEverShown());
  recoverAndUpdateAgain();
}

// Another adapter coming and going during a transfer is not the one being
// written: the transfer goes on to its end, and the other gets nothing.
TEST_F(FaultInjection, ASecondAdapterComesAndGoesDuringATransfer) {
  adapter->changeSettings([](AdapterSettings& s) { s.replyDelaySeconds = 0.01; });
  startUpdate();
  ASSERT_TRUE(waitFor([&] { return adapter->dataReportCount() >= 5; }));
  auto second = plug(kProductB);
  ASSERT_TRUE(waitFor([&] { return adapter->dataReportCount() >= 10; }));
  bus->unplug(second);
  ASSERT_TRUE(waitForStatus(kCompleted, 30000));
  EXPECT_FALSE(statusHas(texts::disconnected));
  EXPECT_EQ(second->dataReportCount(), 0u);
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow2048));
}

// An adapter that stops answering, before its first piece or after its fifth:
// the update ends with its own text, the button and the table come back, and
// the next update is taken.
TEST_F(FaultInjection, ASilentAdapterEndsTheUpdate) {
  vc->setDeadlines({0.3, 0.3});
  adapter->changeSettings([](AdapterSettings& s) { s.silentAfterReports = 0; });
  startUpdate();
  ASSERT_TRUE(waitForStatus(texts::queryUnanswered, 20000)) << status();
  EXPECT_FALSE(vc->exchangeBusy());

  adapter->changeSettings([](AdapterSettings& s) { s.silentAfterReports = 2 + 5; });
  bus->unplug(adapter);
  bus->plug(adapter);
  ASSERT_TRUE(waitFor([&] { return vc->isConnected(); }));
  startUpdate();
  ASSERT_TRUE(waitForStatus(texts::pieceUnanswered, 20000)) << status();
  EXPECT_EQ(adapter->dataReportCount(), 6u);  // five answered, the sixth not
  EXPECT_FALSE(completionEverShown());
  EXPECT_TRUE(vc->updateBtn->isEnabled());
  EXPECT_TRUE(vc->tableView->isEnabled());
  recoverAndUpdateAgain();
}
