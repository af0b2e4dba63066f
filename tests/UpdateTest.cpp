#include <atomic>
#include <chrono>
#include <thread>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "app/StatusTexts.h"
#include "app/WindowTexts.h"
#include "platform/Dictionary.h"
#include "support/WindowFixture.h"

using sim::ReceivedReport;
using Kind = ReceivedReport::Kind;
using Fault = FirmwareServer::Behaviour::Fault;

namespace {
std::vector<Kind> kinds(const std::vector<ReceivedReport>& reports) {
  std::vector<Kind> k;
  for (const auto& r : reports) k.push_back(r.kind);
  return k;
}
std::vector<Kind> expectedExchange(std::size_t pieces) {
  std::vector<Kind> k{Kind::query, Kind::start};
  k.insert(k.end(), pieces, Kind::data);
  return k;
}
// The pauses of one transfer of `pieces` pieces, with the extra pause counter at `cnt` to begin with.
std::vector<double> expectedPacing(std::size_t pieces, std::int64_t& cnt) {
  std::vector<double> p{1.0, 0.5};
  for (std::size_t i = 0; i < pieces; ++i) {
    p.push_back(0.1);
    if (cnt == 16) {
      p.push_back(0.2);
      cnt = 0;
    } else {
      ++cnt;
    }
  }
  return p;
}
const char* kDone = "请关闭程序后取下接环";
}  // namespace

class Update : public WindowFixture {
 protected:
  // Selects the row, presses update and waits for the end of the transfer.
  void update(int row, int milliseconds = 20000) {
    clickRow(row);
    ASSERT_EQ(status().rfind(' ', 0), 0u) << status();
    pressUpdate();
    ASSERT_TRUE(waitForStatus(kDone, milliseconds)) << status();
  }
  bool waitForReports(const sim::SimulatedAdapter& a, std::size_t n, int ms = 10000) {
    return a.waitUntil([n](const auto& r) { return r.size() >= n; }, std::chrono::milliseconds(ms));
  }
};

TEST_F(Update, TheWholeUpdateOfA1024ByteImage) {
  auto adapter = plug(kProductA);
  openWindow();
  update(kRow1000);
  const auto got = adapter->received();
  ASSERT_EQ(kinds(got), expectedExchange(16));
  EXPECT_EQ(got[1].bytes.size(), 64u);
  EXPECT_EQ(std::vector<std::uint8_t>(got[1].bytes.begin(), got[1].bytes.begin() + 9),
            (std::vector<std::uint8_t>{0x95, 0x27, 0x68, 0x18, 0x01, 0x01, 1, 0, 12}));
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow1000));
  EXPECT_EQ(status(),
            "正在下载固件.....\r\n固件下载成功\r\n固件校验通过\r\n设备已连接\r\n当前的接环版本：VER 1.0.0"
            "\r\n固件写入中......\r\n固件更新已完成\r\n请关闭程序后取下接环");
  std::vector<double> steps{0};
  for (int k = 1; k < 16; ++k) steps.push_back(k * 6.25);
  EXPECT_EQ(progress, steps);
  EXPECT_TRUE(waitFor([&] { return vc->processBar->isHidden(); }));
  EXPECT_FALSE(vc->updateBtn->isEnabled());
  EXPECT_TRUE(vc->tableView->isEnabled());
  EXPECT_EQ(vc->state(), stateConstants::stEmpty);
  ASSERT_TRUE(vc->bin());
  EXPECT_EQ(vc->bin()->size(), 1024u);
}

TEST_F(Update, PacingAndTheExtraPauseCycleRunOnAcrossTwoTransfers) {
  auto b = plug(kProductB);
  openWindow();
  update(kRow2048);  // 3072 bytes: 48 pieces
  ASSERT_EQ(kinds(b->received()), expectedExchange(48));
  EXPECT_EQ(b->receivedImage(), paddedImage(kRow2048));
  std::int64_t cnt = 0;
  EXPECT_EQ(sleeper->pauses(), expectedPacing(48, cnt));
  EXPECT_EQ(vc->cnt(), 14);

  bus->unplug(b);
  ASSERT_TRUE(waitForStatus(texts::disconnected));
  auto a = plug(kProductA);
  sleeper->clear();
  update(kRow1000);
  EXPECT_EQ(a->receivedImage(), paddedImage(kRow1000));
  const auto second = expectedPacing(16, cnt);
  EXPECT_EQ(sleeper->pauses(), second);
  EXPECT_EQ(second[2 + 3], 0.2);  // the third piece finds the counter at 16
}

TEST_F(Update, RealTimeUpdateKeepsThePacing) {
  auto adapter = plug(kProductA, 0.002);
  openWindow(true);
  const auto start = std::chrono::steady_clock::now();
  update(kRow1024);  // 2048 bytes: 32 pieces, one extra pause
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow1024));
  EXPECT_GE(seconds, 1.0 + 0.5 + 32 * 0.1 + 0.2 - 0.05);
  EXPECT_TRUE(statusHas("固件更新已完成"));
}

// An empty answer or an HTML page behind a 200 is never firmware: refused
// before anything reaches the adapter, each with its own text.
TEST_F(Update, AnEmptyImageOrAnHtmlPageIsRefused) {
  auto adapter = plug(kProductA);
  openWindow();
  clickRow(kRowEmpty);
  pressUpdate();
  ASSERT_TRUE(waitForStatus(texts::imageEmpty));
  const std::string page = "<!DOCTYPE html><html>Not here</html>";
  server.put("/fw/empty.bin", platform::Data(page.begin(), page.end()), "text/html; charset=utf-8");
  pressUpdate();
  ASSERT_TRUE(waitForStatus(texts::imageIsNotFirmware));
  settle(100);
  EXPECT_EQ(status(), texts::imageIsNotFirmware);
  EXPECT_TRUE(adapter->received().empty());
  EXPECT_FALSE(vc->bin());
}

TEST_F(Update, NoAdapterSaysSoAndAnAdapterPluggedLaterStartsOnItsFirstReply) {
  openWindow();
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitForStatus(texts::noDevice));
  EXPECT_EQ(status(), texts::noDevice);
  EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(),
                          [](const std::string& s) { return s.rfind("正在下载固件.....\r\n固件下载成功", 0) == 0; }));
  EXPECT_EQ(vc->state(), stateConstants::stStartWriteData);
  auto adapter = plug(kProductA);
  ASSERT_TRUE(waitForStatus("\r\n设备已连接"));
  settle(100);
  EXPECT_TRUE(adapter->received().empty());  // no query is sent
}

// Adapters that differ from the entry f1a5:0001 in the product id, or in the
// vendor id only. Each is found through an entry of its own ids (the last row).
class AdapterWithOtherIds : public Update,
                            public ::testing::WithParamInterface<std::pair<std::int64_t, std::int64_t>> {};

TEST_P(AdapterWithOtherIds, IsNotWritten) {
  const auto [vendor, product] = GetParam();
  char ids[16];
  std::snprintf(ids, sizeof ids, "%04llx;%04llx", static_cast<long long>(vendor), static_cast<long long>(product));
  putList(sampleListText(server, RINGFLASH_DEMO_CATALOGUE) + "其他接环;" + ids + ";Ver 1.0.0;d;" + server.base() +
          "/fw/empty.bin;" + server.base() + "/desc/empty.txt");
  sim::AdapterSettings s;
  s.vendorId = vendor;
  s.productId = product;
  auto other = bus->plug(s);
  openWindow();
  clickRow(vc->numberOfRows() - 1);
  pressImage();  // arms the monitor that finds the other adapter
  ASSERT_TRUE(waitFor([&] { return vc->isConnected(); }));
  ASSERT_TRUE(waitForStatus("镜头ID->0XFF"));
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitForStatus(texts::mismatch));
  settle(100);
  EXPECT_EQ(kinds(other->received()), (std::vector<Kind>{Kind::query}));  // the lens query, nothing after it
}
INSTANTIATE_TEST_SUITE_P(Update, AdapterWithOtherIds,
                         ::testing::Values(std::pair<std::int64_t, std::int64_t>{0xF1A5, 0x0002},
                                           std::pair<std::int64_t, std::int64_t>{0x1234, 0x0001}));

TEST_F(Update, UnplugMidTransferEndsItAndAFreshUpdateWritesTheWholeImage) {
  auto adapter = plug(kProductA);
  adapter->changeSettings([](auto& s) { s.unplugAfterDataReports = 5; });
  openWindow();
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitForStatus(texts::disconnected));
  settle(200);
  EXPECT_EQ(status(), std::string(texts::disconnected) + texts::leftMidWrite);
  EXPECT_EQ(vc->state(), stateConstants::stEmpty);
  EXPECT_EQ(adapter->dataReportCount(), 5u);
  EXPECT_FALSE(vc->processBar->isHidden());            // stays where it was
  EXPECT_EQ(vc->processBar->doubleValue(), 5 * 6.25);  // five pieces went out

  adapter->changeSettings([](auto& s) { s.unplugAfterDataReports.reset(); });
  bus->plug(adapter);
  ASSERT_TRUE(waitFor([&] { return vc->isConnected(); }));
  vc->updateBtn->setEnabled(true);  // left disabled by the broken transfer
  pressUpdate();
  ASSERT_TRUE(waitForStatus(kDone));
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow1000));
}

TEST_F(Update, AFailedDownloadStartsNoTransferAndKeepsTheEarlierImage) {
  auto adapter = plug(kProductA);
  openWindow();
  update(kRow1000);
  const auto earlier = vc->bin();
  const auto sent = adapter->received().size();
  server.setBehaviour(imagePath(kRow1000), FirmwareServer::Behaviour::of(Fault::notFound));
  vc->updateBtn->setEnabled(true);
  statuses.clear();
  pressUpdate();
  ASSERT_TRUE(waitForStatus(texts::downloadFailed));
  EXPECT_EQ(statuses, (std::vector<std::string>{texts::downloading, texts::downloadFailed}));
  settle(100);
  EXPECT_EQ(adapter->received().size(), sent);
  EXPECT_EQ(vc->bin(), earlier);
}

// A second press while the first update waits for its adapter is refused with
// its text; choosing another entry meanwhile changes nothing of what is written.
TEST_F(Update, PressesDuringTheAdapterCheckOrTransferAreRefused) {
  auto adapter = plug(kProductA);
  openWindow();
  clickRow(kRow1000);
  std::atomic<bool> release{false};
  sleeper->gate = [&] {
    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  };
  pressUpdate();
  ASSERT_TRUE(waitFor([&] { return !sleeper->pauses().empty(); }));  // the exchange waits for the adapter
  clickRow(kRow1024);
  pressUpdate();
  ASSERT_TRUE(waitForStatus(texts::busyForUpdate));
  release = true;
  ASSERT_TRUE(waitForStatus(kDone));
  EXPECT_EQ(kinds(adapter->received()), expectedExchange(16));
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow1000));
  EXPECT_EQ(adapter->received()[1].bytes[8], 12);  // the start report carries entry 1000's version
  EXPECT_EQ(server.requestCount(imagePath(kRow1024)), 0u);
}

TEST_F(Update, RowClicksAndPressesDuringADownloadChangeNothing) {
  auto adapter = plug(kProductA);
  server.setBehaviour("/fw/ef-rf-1000.bin", FirmwareServer::Behaviour::trickling(2000));  // half a second
  openWindow();
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitFor([&] { return server.requestCount(imagePath(kRow1000)) == 1; }));
  clickRow(kRow2048);
  pressUpdate();
  pressImage();
  ASSERT_TRUE(waitForStatus(kDone));
  EXPECT_EQ(vc->pid(), 0x0001u);
  EXPECT_EQ(server.requestCount(imagePath(kRow1000)), 1u);
  EXPECT_EQ(kinds(adapter->received()), expectedExchange(16));
}

// Row 2048 highlighted but its description failed: neither its image nor the
// previous entry's is written under its highlight.
TEST_F(Update, AfterAFailedSelectionNothingIsWritten) {
  auto adapter = plug(kProductA);
  openWindow();
  clickRow(kRow1000);
  server.setBehaviour("/desc/pk-nz-2048.txt", FirmwareServer::Behaviour::of(Fault::notFound));
  clickRow(kRow2048);
  ASSERT_EQ(status(), texts::descriptionFailed);
  pressUpdate();
  vc->updateBtnOnClick();  // even past the disabled button
  settle(300);
  EXPECT_EQ(status(), texts::descriptionFailed);
  EXPECT_EQ(server.requestCount(imagePath(kRow1000)), 0u);
  EXPECT_EQ(server.requestCount(imagePath(kRow2048)), 0u);
  EXPECT_TRUE(adapter->received().empty());
}

TEST_F(Update, AVersionThatDoesNotFitAByteIsRefused) {
  const std::string base = server.base();
  const std::string list = "big;f1a5;0001;Ver 256.0.0;d;" + base + "/fw/ef-rf-1000.bin;" + base + "/desc/empty.txt";
  server.put(kListPath, platform::Data(list.begin(), list.end()));
  auto adapter = plug(kProductA);
  openWindow();
  clickRow(0);
  pressUpdate();
  ASSERT_TRUE(waitFor([&] { return status() == texts::versionOutOfRange; }));
  settle(200);
  EXPECT_EQ(server.requestCount("/fw/ef-rf-1000.bin"), 0u);
  EXPECT_TRUE(adapter->received().empty());
}

TEST_F(Update, AShortReplyToTheQueryIsIgnored) {
  auto adapter = plug(kProductA);
  adapter->changeSettings([](auto& s) { s.replyLength = 8; });
  openWindow();
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitForReports(*adapter, 1));
  settle(300);
  EXPECT_EQ(kinds(adapter->received()), (std::vector<Kind>{Kind::query}));
  EXPECT_EQ(vc->state(), stateConstants::stStartWriteData);
  EXPECT_FALSE(statusHas("当前的接环版本"));
}

TEST_F(Update, AnImageOverSixteenMebibytesIsRefused) {
  auto adapter = plug(kProductA);
  server.put("/fw/empty.bin", platform::Data((16u << 20) + 1, 1));
  openWindow();
  clickRow(kRowEmpty);
  pressUpdate();
  ASSERT_TRUE(waitForStatus(texts::imageTooLarge));
  settle(100);
  EXPECT_TRUE(adapter->received().empty());
  EXPECT_FALSE(vc->bin());
}

TEST_F(Update, TheLensQueryDoesNotCutATransferShort) {
  auto adapter = plug(kProductB, 0.03);
  openWindow();
  clickRow(kRow2048);
  pressUpdate();
  ASSERT_TRUE(waitFor([&] { return adapter->dataReportCount() >= 5; }));
  pressImage();
  EXPECT_TRUE(waitForStatus(texts::busyForLens));
  ASSERT_TRUE(waitForStatus(kDone, 20000));
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow2048));
}

TEST_F(Update, AReplyWithoutBytesIsIgnored) {
  openWindow();
  platform::NotificationCenter::defaultCenter().post(HIDDeviceDataReceived, std::string("no dictionary"));
  platform::NotificationCenter::defaultCenter().post(HIDDeviceDataReceived, platform::Dictionary{{"data", 5}});
  EXPECT_FALSE(vc->rdata());
  platform::NotificationCenter::defaultCenter().post(HIDDeviceDataReceived,
                                                     platform::Dictionary{{"data", platform::Data{1, 2}}});
  EXPECT_EQ(vc->rdata(), (platform::Data{1, 2}));
  EXPECT_EQ(vc->state(), stateConstants::stEmpty);
}

// A row clicked while an update runs is refused: the entry being written,
// its row and its texts stay.
TEST_F(Update, RowClicksDuringAnUpdateAreRefused) {
  auto adapter = plug(kProductB, 0.05);  // 32 pieces: well over a second
  openWindow();
  clickRow(kRow2048);
  pressUpdate();
  clickRow(kRow1000);  // during the download or the wait for the adapter
  ASSERT_TRUE(waitFor([&] { return adapter->dataReportCount() >= 3; }));
  vc->tableView->selectRow(kRow1000);  // among the pieces, between two of them
  vc->tableViewOnClick();
  ASSERT_TRUE(waitForStatus(kDone)) << status();
  EXPECT_FALSE(statusHas("EF-RF"));
  EXPECT_EQ(status().rfind(texts::downloading, 0), 0u) << status();
  EXPECT_TRUE(statusHas(texts::busyForSelection));
  EXPECT_EQ(vc->pid(), kProductB);
  EXPECT_EQ(vc->tableView->selectionModel()->selectedRows().front().row(), kRow2048);
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow2048));
}

// Closing while an image is being written asks first; keeping on is the
// default. Before and after the transfer the window closes at once.
TEST_F(Update, ClosingDuringATransferAsksFirst) {
  auto adapter = plug(kProductA, 0.01);
  openWindow();
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitForReports(*adapter, 5));
  EXPECT_FALSE(vc->close());
  auto* question = vc->findChild<QMessageBox*>(QStringLiteral("closeQuestion"));
  ASSERT_TRUE(question);
  ASSERT_TRUE(waitFor([&] { return question->isVisible(); }));
  EXPECT_EQ(question->defaultButton()->text().toStdString(), texts::keepWriting);
  QTest::mouseClick(question->defaultButton(), Qt::LeftButton);
  ASSERT_TRUE(waitForStatus(kDone)) << status();
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow1000));
  EXPECT_TRUE(vc->isVisible());

  // A slow adapter the second time: on a loaded machine the window's thread
  // may look up long after the third piece, and the write must still be on.
  adapter->changeSettings([](sim::AdapterSettings& s) { s.replyDelaySeconds = 0.3; });
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitFor([&] { return adapter->dataReportCount() >= 16 + 3; }));
  vc->close();
  question = vc->findChild<QMessageBox*>(QStringLiteral("closeQuestion"));
  ASSERT_TRUE(question);
  for (auto* button : question->buttons())
    if (button != question->defaultButton()) QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_FALSE(vc->isVisible());
}
