// What the server sends is what the adapter gets: encoded answers, answers
// that are not the resource, deadlines, and the entry's own hash and size.
#include "app/StatusTexts.h"
#include "support/WindowFixture.h"

using Behaviour = FirmwareServer::Behaviour;
using Fault = Behaviour::Fault;

namespace {
const char* kDone = "请关闭程序后取下接环";
}

class DownloadIntegrity : public WindowFixture {
 protected:
  void updateRow(int row) {
    clickRow(row);
    ASSERT_EQ(status().rfind(' ', 0), 0u) << status();
    pressUpdate();
  }
  // The image is refused after its download: nothing reaches the adapter, the
  // previous image stays, and the button is there for another try.
  void expectRefused(const sim::SimulatedAdapter& adapter, std::size_t reportsBefore,
                     std::shared_ptr<const platform::Data> binBefore) {
    ASSERT_TRUE(waitForStatus(texts::imageCheckFailed, 20000)) << status();
    settle(200);
    EXPECT_EQ(status(), std::string(texts::downloading) + texts::imageCheckFailed);
    EXPECT_EQ(adapter.received().size(), reportsBefore);
    EXPECT_EQ(vc->bin(), binBefore);
    EXPECT_TRUE(vc->updateBtn->isEnabled());
    EXPECT_EQ(vc->state(), stateConstants::stEmpty);
  }
};

class EncodedImage : public DownloadIntegrity, public ::testing::WithParamInterface<const char*> {};

TEST_P(EncodedImage, IsDecodedAndWrittenByteForByte) {
  serveListWithoutChecks();
  auto adapter = plug(kProductB);
  server.setBehaviour("/fw/pk-nz-2048.bin", Behaviour::encodedAs(GetParam()));
  server.setBehaviour("/desc/pk-nz-2048.txt", Behaviour::encodedAs(GetParam()));
  openWindow();
  updateRow(kRow2048);
  EXPECT_EQ(status().rfind(" PK-NZ 转接环固件 2.0.1", 0), 0u);  // the description, decoded
  ASSERT_TRUE(waitForStatus(kDone, 20000)) << status();
  server.setBehaviour("/fw/pk-nz-2048.bin", {});
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow2048));
  EXPECT_EQ(adapter->dataReportCount(), 48u);
}
INSTANTIATE_TEST_SUITE_P(DownloadIntegrity, EncodedImage, ::testing::Values("gzip", "deflate"));

TEST_F(DownloadIntegrity, AnUndecodableDescriptionIsAFailedRead) {
  server.setBehaviour("/desc/pk-nz-2048.txt", Behaviour::encodedAs("x-squash"));
  openWindow();
  clickRow(kRow2048);
  EXPECT_EQ(status(), texts::descriptionFailed);
  EXPECT_FALSE(vc->updateBtn->isEnabled());
}

// The window waits for the list and for each description: they have a deadline.
TEST_F(DownloadIntegrity, ATricklingListOrDescriptionEndsAtTheDeadline) {
  textOptions = platform::UrlReadOptions::forText();
  textOptions->deadlineSeconds = 1;
  server.setBehaviour(kListPath, Behaviour::trickling(20));
  openWindow();
  EXPECT_EQ(status(), texts::listFailed);
  EXPECT_EQ(vc->numberOfRows(), 0);

  server.setBehaviour(kListPath, {});
  server.setBehaviour("/desc/ef-rf-1000.txt", Behaviour::trickling(20));
  openWindow();
  clickRow(kRow1000);
  EXPECT_EQ(status(), texts::descriptionFailed);
  EXPECT_FALSE(vc->updateBtn->isEnabled());
}

TEST_F(DownloadIntegrity, ListAndDescriptionAreNotReadFromOtherSchemes) {
  server.setBehaviour(kListPath, Behaviour::redirectTo("ftp://127.0.0.1:1/x"));
  openWindow();
  EXPECT_EQ(status(), texts::listFailed);
  server.setBehaviour(kListPath, {});
  server.setBehaviour("/desc/ef-rf-1000.txt", Behaviour::redirectTo("ftp://127.0.0.1:1/x"));
  openWindow();
  clickRow(kRow1000);
  EXPECT_EQ(status(), texts::descriptionFailed);
}

class TamperedImage : public DownloadIntegrity, public ::testing::WithParamInterface<int> {};

// A flipped byte, one byte short, one byte long: each refused after a good update.
TEST_P(TamperedImage, IsRefusedAndTheLastImageStays) {
  auto adapter = plug(kProductA);
  openWindow();
  updateRow(kRow1000);
  ASSERT_TRUE(waitForStatus(kDone, 20000)) << status();
  const auto reports = adapter->received().size();
  const auto bin = vc->bin();
  platform::Data image = sampleImage(1000, "ef-rf-1000.bin");
  if (GetParam() == 0) image[999] ^= 0x80;
  if (GetParam() < 0) image.pop_back();
  if (GetParam() > 0) image.push_back(0);
  server.put("/fw/ef-rf-1000.bin", image);
  updateRow(kRow1000);
  expectRefused(*adapter, reports, bin);
}
INSTANTIATE_TEST_SUITE_P(DownloadIntegrity, TamperedImage, ::testing::Values(0, -1, 1));

TEST_F(DownloadIntegrity, ARightImageWithAWrongSizeIsRefused) {
  const std::string list = sampleListText(server, RINGFLASH_DEMO_CATALOGUE);
  const auto at = list.find(";1000\n");
  ASSERT_NE(at, std::string::npos);
  putList(list.substr(0, at) + ";1001" + list.substr(at + 5));
  auto adapter = plug(kProductA);
  openWindow();
  updateRow(kRow1000);
  expectRefused(*adapter, 0, nullptr);
}

TEST_F(DownloadIntegrity, TheSampleEntryWithAWrongHashIsRefusedAndTheButtonStays) {
  auto adapter = plug(kProductA);
  openWindow();
  updateRow(kRowWrongHash);
  expectRefused(*adapter, 0, nullptr);
  updateRow(kRowWrongHash);  // a retry is refused the same way
  expectRefused(*adapter, 0, nullptr);
  EXPECT_EQ(server.requestCount("/fw/ef-rf-1000.bin"), 2u);
}

// With a size given, reading stops once the body is longer than that.
TEST_F(DownloadIntegrity, AnOverlongBodyIsNotReadToItsEnd) {
  server.put("/fw/ef-rf-1000.bin", platform::Data(4u << 20, 7));
  server.setBehaviour("/fw/ef-rf-1000.bin", Behaviour::trickling(4096));
  auto adapter = plug(kProductA);
  openWindow();
  updateRow(kRow1000);
  ASSERT_TRUE(waitForStatus(texts::imageCheckFailed, 5000)) << status();  // 4 MiB would take 17 minutes
  EXPECT_TRUE(adapter->received().empty());
}
