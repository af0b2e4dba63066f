#include "support/WindowFixture.h"

#include "app/StatusTexts.h"

namespace {
std::string gb18030Of(const char* utf8);
}

class ListAndSelection : public WindowFixture {
 protected:
  std::string line(const std::string& title, const std::string& ids, const std::string& version,
                   const std::string& desc) {
    return title + ";" + ids + ";" + version + ";detail;" + server.base() + "/fw/ef-rf-1000.bin;" + server.base() +
           desc;
  }
  void putDescription(const std::string& path, const std::string& bytes) {
    server.put(path, platform::Data(bytes.begin(), bytes.end()));
  }
};

TEST_F(ListAndSelection, InitialValuesBeforeAndAfterLoading) {
  ViewController fresh(QString::fromStdString(listUrl()));
  EXPECT_EQ(fresh.selectedRow, 1000000);
  EXPECT_EQ(fresh.check_tab, (std::vector<std::uint8_t>{0x95, 0x27, 0x68, 0x18, 0x02, 0x02}));
  EXPECT_EQ(fresh.start_tab(), (std::vector<std::uint8_t>{0x95, 0x27, 0x68, 0x18, 0x01, 0x01, 0x02, 0x00, 0x02}));
  EXPECT_EQ(fresh.version(), (std::array<std::int64_t, 3>{0, 0, 0}));
  EXPECT_EQ(fresh.state(), stateConstants::stEmpty);
  EXPECT_FALSE(fresh.connectedDevice());
  EXPECT_FALSE(fresh.isConnected());
  EXPECT_FALSE(fresh.lines);
  EXPECT_EQ(fresh.vid(), 0u);
  EXPECT_EQ(fresh.cnt(), 0);
  EXPECT_TRUE(fresh.pv().empty());
  EXPECT_FALSE(fresh.bin());

  openWindow();
  EXPECT_EQ(vc->selectedRow, -1);
  EXPECT_FALSE(vc->updateBtn->isEnabled());
  EXPECT_TRUE(vc->processBar->isHidden());
  EXPECT_EQ(vc->processBar->maxValue(), 100.0);
  EXPECT_EQ(vc->processBar->minValue(), 0.0);
  EXPECT_EQ(vc->processBar->doubleValue(), 0.0);
}

TEST_F(ListAndSelection, TheListBecomesTheTableInFileOrder) {
  openWindow();
  EXPECT_EQ(status(), texts::listRead);
  ASSERT_EQ(vc->numberOfRows(), 8);  // seven lines and the empty one after the final newline
  EXPECT_EQ(vc->tableView->model()->rowCount(), 8);
  const auto* cell = vc->tableViewViewForRow(kRow1000);
  EXPECT_EQ(cell->mTitle.toStdString(), "EF-RF 转接环");
  EXPECT_EQ(cell->mDetial.toStdString(), "稳定版 1000 字节  Ver 1.0.12");
  EXPECT_EQ(vc->tableViewViewForRow(kRow2048)->mDetial.toStdString(), "两块镜像 2048 字节  ver 2 . 0 . 1");
  // Short lines show what they have.
  EXPECT_EQ(vc->tableViewViewForRow(kRowBroken)->mTitle.toStdString(), "损坏的条目");
  EXPECT_EQ(vc->tableViewViewForRow(kRowBroken)->mDetial.toStdString(), "  ");
  EXPECT_EQ(vc->tableViewViewForRow(7)->mTitle.toStdString(), "");
  EXPECT_EQ(vc->tableViewViewForRow(kRow1000)->mTitle.toStdString(), "EF-RF 转接环");  // shown again, same texts
}

TEST_F(ListAndSelection, CrLfListGivesTheSameRows) {
  std::string text = sampleListText(server, RINGFLASH_DEMO_CATALOGUE);
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  putList(crlf);
  openWindow();
  ASSERT_EQ(vc->numberOfRows(), 8);
  EXPECT_EQ(vc->tableViewViewForRow(kRow1000)->mDetial.toStdString(), "稳定版 1000 字节  Ver 1.0.12");
  clickRow(kRow1000);
  EXPECT_EQ(vc->vid(), 0xF1A5u);
  EXPECT_EQ(vc->version(), (std::array<std::int64_t, 3>{1, 0, 12}));
}

TEST_F(ListAndSelection, UnreachableServerGivesTheNetworkTextAndNoRows) {
  const std::string url = listUrl();
  server.stop();
  vc = std::make_unique<ViewController>(QString::fromStdString(url));
  vc->viewDidLoad();
  EXPECT_EQ(vc->message->stringValue().toStdString(), texts::listFailed);
  EXPECT_EQ(vc->numberOfRows(), 0);
  EXPECT_EQ(vc->tableView->model()->rowCount(), 0);
}

TEST_F(ListAndSelection, A404ListAndAListThatIsNotUtf8AreNotTaken) {
  server.setBehaviour(kListPath, FirmwareServer::Behaviour::of(FirmwareServer::Behaviour::Fault::notFound));
  openWindow();
  EXPECT_EQ(status(), texts::listFailed);
  server.setBehaviour(kListPath, {});
  putList("EF;f1a5;0001;Ver 1.0.0;\xff\xfe;x;y\n");
  openWindow();
  EXPECT_EQ(status(), texts::listNotText);
  EXPECT_EQ(vc->numberOfRows(), 0);
  putList("EF;f1a5;0001;Ver 1.0.0;\xf4\x90\x80\x80;x;y\n");  // above U+10FFFF
  openWindow();
  EXPECT_EQ(status(), texts::listNotText);
}

TEST_F(ListAndSelection, AListOverFourMebibytesIsRefused) {
  putList(std::string((4u << 20) + 1, 'a'));
  openWindow();
  EXPECT_EQ(status(), texts::listTooLarge);
  EXPECT_FALSE(vc->lines);
}

TEST_F(ListAndSelection, ClickingARowShowsItsDescriptionAndMakesItCurrent) {
  openWindow();
  clickRow(kRow2048);
  EXPECT_EQ(status(), " PK-NZ 转接环固件 2.0.1：修正了对焦马达在低温下的异常，提高了镜头ID读取的可靠性。");
  EXPECT_TRUE(vc->updateBtn->isEnabled());
  EXPECT_EQ(vc->vid(), 0xF1A5u);
  EXPECT_EQ(vc->pid(), 0x0002u);
  EXPECT_EQ(vc->version(), (std::array<std::int64_t, 3>{2, 0, 1}));
}

// The ids stay the previous entry's, but its image is not written under
// another row's highlight: the button waits for the next entry read whole.
TEST_F(ListAndSelection, AFailedDescriptionDisablesTheUpdateButton) {
  openWindow();
  clickRow(kRow2048);
  server.setBehaviour("/desc/ef-rf-1024.txt",
                      FirmwareServer::Behaviour::of(FirmwareServer::Behaviour::Fault::notFound));
  clickRow(kRow1024);
  EXPECT_EQ(status(), texts::descriptionFailed);
  EXPECT_EQ(vc->pid(), 0x0002u);
  EXPECT_EQ(vc->version(), (std::array<std::int64_t, 3>{2, 0, 1}));
  EXPECT_FALSE(vc->updateBtn->isEnabled());
  vc->updateBtnOnClick();
  settle(100);
  EXPECT_EQ(status(), texts::descriptionFailed);
  EXPECT_FALSE(vc->exchangeBusy());
  clickRow(kRow2048);
  EXPECT_TRUE(vc->updateBtn->isEnabled());
}

TEST_F(ListAndSelection, MalformedEntriesAreRefusedWholeWithTheirOwnText) {
  putDescription("/desc/ok.txt", gb18030Of("好"));
  putDescription("/desc/bad.txt", "\xff\xff\xff");
  putDescription("/desc/big.txt", std::string((1u << 20) + 2, 'a'));
  const std::string list = line("good", "f1a5;0001", "Ver 3.4.5", "/desc/ok.txt") + "\n" +
                           "short;f1a5;0002;Ver 9.9.9;d;img\n" + line("noids", "zz;0002", "Ver 9.9.9", "/desc/ok.txt") +
                           "\n" + line("twonumbers", "f1a5;0002", "Ver 9.9", "/desc/ok.txt") + "\n" +
                           "nourl;f1a5;0002;Ver 9.9.9;d;img;\n" +
                           line("notgb", "f1a5;0002", "Ver 9.9.9", "/desc/bad.txt") + "\n" +
                           line("big", "f1a5;0002", "Ver 9.9.9", "/desc/big.txt") + "\n" +
                           line("gvendor", "g1a5;0002", "Ver 9.9.9", "/desc/ok.txt") + "\n" +
                           line("badhash", "f1a5;0002", "Ver 9.9.9", "/desc/ok.txt") + ";" + std::string(63, 'a') +
                           "\n" + line("badsize", "f1a5;0002", "Ver 9.9.9", "/desc/ok.txt") + ";;1000 \n";
  putList(list);
  openWindow();
  clickRow(0);
  ASSERT_EQ(status(), " 好");
  const std::pair<int, const char*> cases[] = {{1, texts::entryIncomplete},    {2, texts::entryBadIds},
                                               {3, texts::entryBadVersion},    {4, texts::entryBadDescriptionUrl},
                                               {5, texts::descriptionNotText}, {6, texts::descriptionTooLarge},
                                               {7, texts::entryBadIds},        {8, texts::entryBadHash},
                                               {9, texts::entryBadSize}};
  for (auto [row, text] : cases) {
    clickRow(row);
    EXPECT_EQ(status(), text) << row;
    EXPECT_EQ(vc->pid(), 0x0001u) << row;
    EXPECT_EQ(vc->version(), (std::array<std::int64_t, 3>{3, 4, 5})) << row;
  }
}

// A description at the size limit, all on one line, is shown whole, and the
// field lays it out in short lines: a text view lays out a line whole, and a
// megabyte on one line held the window for minutes.
TEST_F(ListAndSelection, ADescriptionOfOneLongLineIsShownWholeInShortLines) {
  putDescription("/desc/long.txt", std::string((1u << 20) - 2, 'a') + "\xba\xc3");
  putList(line("long", "f1a5;0001", "Ver 3.4.5", "/desc/long.txt") + "\n");
  openWindow();
  clickRow(0);
  EXPECT_EQ(status().size(), 1u + (1u << 20) - 2 + 3);
  EXPECT_EQ(status().substr(status().size() - 4), "a好");
  EXPECT_TRUE(vc->updateBtn->isEnabled());
  const QString laidOut = vc->message->toPlainText();
  constexpr qsizetype kLongestFastLine = 4096;
  qsizetype longest = 0;
  for (const QStringView shownLine : QStringView(laidOut).split(u'\n')) longest = std::max(longest, shownLine.size());
  EXPECT_LE(longest, kLongestFastLine);
  QString joined = laidOut, value = vc->message->stringValue();
  EXPECT_EQ(joined.remove(u'\n'), value.remove(QStringLiteral("\r\n")));
}

TEST_F(ListAndSelection, NoSelectionMeansTheButtonsDoNothing) {
  openWindow();
  const auto before = statuses.size();
  vc->updateBtnOnClick();
  vc->ImageOnClick();
  vc->tableViewOnClick();
  settle(50);
  EXPECT_EQ(statuses.size(), before);
  EXPECT_TRUE(vc->pv().empty());
  EXPECT_TRUE(sleeper->pauses().empty());
}

namespace {
std::string gb18030Of(const char* utf8) {
  if (std::string(utf8) == "好") return "\xba\xc3";
  return {};
}
}  // namespace
