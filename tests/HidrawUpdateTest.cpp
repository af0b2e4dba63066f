// A whole update and a lens query through the window, the exchange and the
// real hidraw layer, against an emulated node, in real time: what reaches
// the node must be the report number and the report, piece by piece.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "EventWait.h"
#include "app/StatusTexts.h"
#include "app/ViewController.h"
#include "catalogue/ZeroFill.h"
#include "platform/HIDPlatform.h"
#include "server/FirmwareServer.h"
#include "server/SampleCatalogue.h"
#include "sim/EmulatedHidrawBed.h"
#include "update/AdapterReports.h"

namespace {

using platform::Data;
using sim::ReceivedReport;

QApplication& application() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "hidraw_tests";
  static char* argv[] = {name, nullptr};
  static auto* app = new QApplication(argc, argv);
  return *app;
}

bool shows(ViewController& vc, const char* text) { return vc.message->stringValue().contains(QString::fromUtf8(text)); }

}  // namespace

TEST(HidrawUpdate, TheImageReachesTheNodeByteForByteAndTheLensIdComesBack) {
  application();
  FirmwareServer server;
  ASSERT_TRUE(server.start());
  Data image(1000);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 1);
  const std::string base = server.base();
  const std::string line = "emulated;f1a5;0001;Ver 2.3.4;d;" + base + "/fw/e.bin;" + base + "/desc/e.txt";
  server.put(kListPath, Data(line.begin(), line.end()));
  server.put("/desc/e.txt", Data{'o', 'k'});
  server.put("/fw/e.bin", image);

  platform::setHIDManagerFactory(nullptr);  // the real hidraw layer
  sim::AdapterSettings s;
  s.vendorId = 0xF1A5;
  s.productId = 1;
  s.lensId = 0x0102;
  sim::EmulatedHidrawBed bed;
  sim::EmulatedHidrawNode node(s);
  bed.addAdapter("hidraw3", s, 5, &node);

  ViewController vc(QString::fromStdString(base + kListPath));
  vc.viewDidLoad();
  vc.tableView->selectRow(0);
  vc.tableViewOnClick();
  vc.updateBtnOnClick();
  ASSERT_TRUE(waitFor([&] { return shows(vc, texts::updateDone); }, 20000)) << vc.message->stringValue().toStdString();

  catalogue::zeroFill(image);
  Data written;
  std::vector<ReceivedReport::Kind> kinds;
  for (const Data& write : node.writes()) {
    ASSERT_EQ(write.size(), 65u);
    EXPECT_EQ(write[0], 0);  // the report number of an adapter without numbered reports
    const Data report(write.begin() + 1, write.end());
    kinds.push_back(sim::classifyReport(report));
    if (kinds.back() == ReceivedReport::Kind::start) {
      EXPECT_EQ(report[update::reports::kStartVersionAt], 2);
      EXPECT_EQ(report[update::reports::kStartVersionAt + 2], 4);
    }
    if (kinds.back() == ReceivedReport::Kind::data) written.insert(written.end(), report.begin(), report.end());
  }
  ASSERT_GE(kinds.size(), 2u);
  EXPECT_EQ(kinds[0], ReceivedReport::Kind::query);
  EXPECT_EQ(kinds[1], ReceivedReport::Kind::start);
  EXPECT_EQ(written, image);

  vc.ImageOnClick();
  EXPECT_TRUE(waitFor([&] { return vc.message->stringValue().contains(QStringLiteral("\r\n镜头ID->0X102")); }, 10000))
      << vc.message->stringValue().toStdString();
}
