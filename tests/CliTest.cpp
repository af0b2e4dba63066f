// ringflash-cli as users run it: the built program, over the real hidraw
// layer, against adapters on emulated /dev/hidraw nodes, one case per exit
// code. The program runs as a child of this test under umockdev's preload.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "catalogue/CatalogueTexts.h"
#include "catalogue/ImageCheck.h"
#include "catalogue/ZeroFill.h"
#include "platform/Mirror.h"
#include "server/FirmwareServer.h"
#include "server/SampleCatalogue.h"
#include "sim/EmulatedHidrawBed.h"
#include "sim/UmockdevPreload.h"
#include "support/ProgramRun.h"

namespace {

using platform::Data;
using sim::ReceivedReport;

struct CliRun : ProgramRun {
  // Standard output as JSON objects, one a line; a line that is not one fails the test.
  std::vector<QJsonObject> events() const {
    std::vector<QJsonObject> objects;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1) {
      const auto doc = QJsonDocument::fromJson(QByteArray::fromStdString(out.substr(at, end - at)));
      EXPECT_TRUE(doc.isObject()) << out.substr(at, end - at);
      objects.push_back(doc.object());
    }
    return objects;
  }
  QJsonObject last(const char* event) const {
    QJsonObject found;
    for (const auto& e : events())
      if (e.value("event").toString() == event) found = e;
    return found;
  }
};

// The program leaves with _Exit: under a sanitizer its reports are only seen here.
CliRun checked(ProgramRun run) {
  EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
  return {std::move(run)};
}

CliRun cli(std::vector<std::string> args, const Watch& watch = {}) {
  args.insert(args.begin(), RINGFLASH_CLI);
  return checked(runProgram(std::move(args), watch));
}

// What a Tab at the end of `line` offers in bash: the script the program
// prints sourced, and the function it registers called as bash calls it.
std::vector<std::string> bashOffers(const std::string& line) {
  const char* const tab = R"(source <("$0" --completion bash)
spec=$(complete -p ringflash-cli) || exit 1
function=${spec#*-F }; function=${function%% *}
COMP_LINE=$1 COMP_POINT=${#1}
read -ra COMP_WORDS <<< "$1"
[[ $1 == *' ' ]] && COMP_WORDS+=("")
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
"$function" "$0" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
printf '%s\n' "${COMPREPLY[@]}")";
  const CliRun run = checked(runProgram({"/bin/bash", "-c", tab, RINGFLASH_CLI, line}));
  EXPECT_EQ(run.exit, 0) << run.err;
  std::vector<std::string> offers;
  for (std::size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1)
    if (end > at) offers.push_back(run.out.substr(at, end - at));
  std::sort(offers.begin(), offers.end());
  return offers;
}

sim::AdapterSettings adapter(std::int64_t product) {
  sim::AdapterSettings s;
  s.vendorId = 0xF1A5;
  s.productId = product;
  s.version = {1, 0, 12};
  s.lensId = 0x0102;
  return s;
}

// A server whose list has: 0 a 1000-byte image for f1a5:0001 with its hash
// and size, 1 the same image with a wrong hash, 2 an entry for f1a5:0009,
// 3 a 2048-byte image (48 pieces filled) for f1a5:0001.
class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start());
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 1);
    const std::string b = server.base(), hash = catalogue::sha256Hex(image);
    const std::string list = "good;f1a5;0001;Ver 2.3.4;d;" + b + "/fw/a.bin;" + b + "/desc/a.txt;" + hash + ";1000\n" +
                             "tampered;f1a5;0001;Ver 2.3.5;d;" + b + "/fw/a.bin;" + b + "/desc/a.txt;" +
                             std::string(64, '0') + ";1000\n" + "other;f1a5;0009;Ver 1.0.0;d;" + b + "/fw/a.bin;" + b +
                             "/desc/a.txt\n" + "long;f1a5;0001;Ver 2.3.4;d;" + b + "/fw/b.bin;" + b + "/desc/a.txt";
    server.put("/fw/b.bin", Data(2048, 0x5C));
    server.put(kListPath, Data(list.begin(), list.end()));
    server.put("/desc/a.txt", Data{0xC4, 0xE3, 0xBA, 0xC3});  // 你好 in GB 18030
    server.put("/fw/a.bin", image);
  }
  std::string plug(const char* name, int port, sim::EmulatedHidrawNode& node) {
    return bed.addAdapter(name, node.settings(), port, &node);
  }
  CliRun run(std::vector<std::string> args, const Watch& watch = {}) {
    args.push_back("--server");
    args.push_back(server.base());
    return cli(std::move(args), watch);
  }
  // What reached the node: the query, the start report with the entry's
  // version, then the data reports; each a report number 0 and 64 bytes.
  Data written(const sim::EmulatedHidrawNode& node) {
    Data data;
    std::vector<ReceivedReport::Kind> kinds;
    for (const Data& write : node.writes()) {
      EXPECT_EQ(write.size(), 65u);
      EXPECT_EQ(write[0], 0);
      const Data report(write.begin() + 1, write.end());
      kinds.push_back(sim::classifyReport(report));
      if (kinds.back() == ReceivedReport::Kind::start) {
        EXPECT_EQ(Data(report.begin() + 6, report.begin() + 9), (Data{2, 3, 4}));
      }
      if (kinds.back() == ReceivedReport::Kind::data) data.insert(data.end(), report.begin(), report.end());
    }
    EXPECT_GE(kinds.size(), 2u);
    EXPECT_EQ(kinds.at(0), ReceivedReport::Kind::query);
    EXPECT_EQ(kinds.at(1), ReceivedReport::Kind::start);
    return data;
  }

  FirmwareServer server;
  Data image = Data(1000);
  sim::EmulatedHidrawBed bed;
};

}  // namespace

TEST_F(Cli, UpdateWritesTheImageByteForByteAndSaysSoInJson) {
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  const CliRun r = run({"update", "0", "--json"});
  ASSERT_EQ(r.exit, 0) << r.err;
  Data padded = image;
  catalogue::zeroFill(padded);
  EXPECT_EQ(written(node), padded);
  std::vector<QString> names;
  for (const auto& e : r.events()) names.push_back(e.value("event").toString());
  EXPECT_EQ(names.front(), "list");
  EXPECT_EQ(std::count(names.begin(), names.end(), "progress"), 17);  // from 0 of 16 to 16 of 16
  EXPECT_EQ(r.last("progress").value("piece").toInt(), 16);
  EXPECT_EQ(r.last("progress").value("percent").toDouble(), 100.0);
  EXPECT_EQ(r.last("adapter").value("port").toString(), "1-5");
  EXPECT_EQ(r.last("adapter").value("node").toString(), "/dev/hidraw3");
  EXPECT_EQ(r.last("download").value("pieces").toInt(), 16);
  EXPECT_FALSE(r.last("checked").isEmpty());
  EXPECT_EQ(r.last("version").value("version").toString(), "1.0.12");
  EXPECT_EQ(r.last("done").value("version").toString(), "2.3.4");
  EXPECT_EQ(r.err.find("固件更新已完成") != std::string::npos, true) << r.err;
}

TEST_F(Cli, ListDescribeAdaptersAndLens) {
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  const CliRun list = run({"list"});
  ASSERT_EQ(list.exit, 0) << list.err;
  EXPECT_EQ(list.out.substr(0, list.out.find('\n')), "0\tgood\td  Ver 2.3.4\tf1a5:0001");
  EXPECT_EQ(list.err, "读取固件列表成功\n");
  const CliRun describe = run({"describe", "0"});
  EXPECT_EQ(describe.out, "你好\n");
  const CliRun adapters = run({"adapters", "--query", "--json"});
  ASSERT_EQ(adapters.exit, 0) << adapters.err;
  const QJsonObject a = adapters.last("adapter");
  EXPECT_EQ(a.value("port").toString(), "1-5");
  EXPECT_EQ(a.value("ids").toString(), "f1a5:0001");
  EXPECT_EQ(a.value("version").toString(), "1.0.12");
  EXPECT_EQ(a.value("lens").toString(), "0X102");
  const CliRun lens = run({"lens", "--adapter", "1-5"});
  ASSERT_EQ(lens.exit, 0) << lens.err;
  EXPECT_EQ(lens.out, "0X102\n");
  EXPECT_NE(lens.err.find("镜头ID->0X102"), std::string::npos) << lens.err;
  // Queries only: no start report, no data.
  for (const Data& write : node.writes())
    EXPECT_EQ(sim::classifyReport(Data(write.begin() + 1, write.end())), ReceivedReport::Kind::query);
}

// Under a locale of another encoding the texts and the data come in it, as a
// terminal under that locale shows them; JSON stays UTF-8.
TEST_F(Cli, TextsComeInTheLocalesEncoding) {
  char made[] = "/tmp/ringflash-locale-XXXXXX";
  ASSERT_TRUE(::mkdtemp(made));
  const std::string locales = made;
  const ProgramRun defined =
      runProgram({"/usr/bin/localedef", "-i", "zh_CN", "-f", "GB18030", locales + "/zh_CN.GB18030"});
  ASSERT_EQ(defined.exit, 0) << defined.err;
  setenv("LOCPATH", locales.c_str(), 1);
  setenv("LC_ALL", "zh_CN.GB18030", 1);
  const CliRun list = run({"list"});
  const CliRun describe = run({"describe", "0"});
  const CliRun json = run({"list", "--json"});
  // Under C (no encoding chosen) the texts stay as written, in UTF-8, not ASCII's question marks.
  setenv("LC_ALL", "C", 1);
  const CliRun plain = run({"list"});
  unsetenv("LC_ALL");
  unsetenv("LOCPATH");
  runProgram({"/bin/rm", "-rf", locales});
  EXPECT_EQ(list.err, "\xb6\xc1\xc8\xa1\xb9\xcc\xbc\xfe\xc1\xd0\xb1\xed\xb3\xc9\xb9\xa6\n");  // 读取固件列表成功
  EXPECT_EQ(describe.out, "\xc4\xe3\xba\xc3\n");                                              // 你好
  EXPECT_EQ(json.last("list").value("rows").toInt(), 4);
  EXPECT_EQ(plain.err, "读取固件列表成功\n");
}

// A hostile server and a device that names itself with escape sequences:
// nothing of theirs reaches the terminal as a control character, and each
// row keeps its columns.
TEST_F(Cli, ControlCharactersFromTheServerAndTheDeviceAreWrittenOut) {
  sim::AdapterSettings named = adapter(1);
  named.product =
      "\x1b]0;owned\x07"
      "Adapter\tX";
  sim::EmulatedHidrawNode node(named);
  plug("hidraw3", 5, node);
  const std::string b = server.base();
  const std::string list = "\x1b[2Jgood\t;f1a5;0001;Ver 2.3.4;\x1b[8mhidden;" + b + "/fw/a.bin;" + b + "/desc/e.txt\n";
  server.put(kListPath, Data(list.begin(), list.end()));
  const std::string description =
      "\x1b]8;;http://elsewhere\x07"
      "click\x1b]8;;\x07\r\nline two";
  server.put("/desc/e.txt", Data(description.begin(), description.end()));
  const CliRun rows = run({"list"});
  EXPECT_EQ(rows.out, "0\t\\x1b[2Jgood\\x09\t\\x1b[8mhidden  Ver 2.3.4\tf1a5:0001\n");
  const CliRun shown = run({"describe", "0"});
  EXPECT_EQ(shown.out, "\\x1b]8;;http://elsewhere\\x07click\\x1b]8;;\\x07\nline two\n");
  const CliRun adapters = run({"adapters"});
  EXPECT_EQ(adapters.out.find('\x1b'), std::string::npos) << adapters.out;
  EXPECT_NE(adapters.out.find("\\x1b]0;owned\\x07Adapter\\x09X"), std::string::npos) << adapters.out;
  EXPECT_EQ(run({"adapters", "--json"}).last("adapter").value("product"), named.product.c_str());
}

// Exit codes 2 to 5: nothing at all reaches an adapter.
TEST_F(Cli, RefusalsBeforeAnythingIsSentHaveTheirExitCodes) {
  const CliRun none = run({"adapters", "--json"});
  EXPECT_EQ(none.exit, 4);
  EXPECT_EQ(none.last("failed").value("code"), "no-adapter");
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  EXPECT_EQ(run({"update"}).exit, 2);
  const CliRun noRow = run({"update", "7", "--json"});
  EXPECT_EQ(noRow.exit, 2);
  EXPECT_EQ(noRow.last("failed").value("code"), "no-such-row");
  EXPECT_EQ(run({"frobnicate"}).exit, 2);
  // One adapter named twice would get two writers.
  EXPECT_EQ(run({"update", "0", "--adapter", "1-5", "--adapter", "1-5"}).exit, 2);
  for (const char* server : {"ftp://127.0.0.1:1", "file:///etc", "127.0.0.1"})
    EXPECT_EQ(cli({"list", "--server", server}).exit, 2) << server;
  EXPECT_EQ(cli({"list", "--server", "http://127.0.0.1:1"}).exit, 3);
  server.setBehaviour("/fw/a.bin", FirmwareServer::Behaviour::of(FirmwareServer::Behaviour::Fault::notFound));
  const CliRun notRead = run({"update", "0", "--json"});
  EXPECT_EQ(notRead.exit, 3);
  EXPECT_EQ(notRead.last("failed").value("code").toString(), "image-not-read");
  EXPECT_EQ(notRead.last("result").value("port"), "1-5");
  EXPECT_EQ(notRead.last("result").value("result"), "image-not-read");
  server.setBehaviour("/fw/a.bin", {});
  const CliRun refused = run({"update", "1", "--json"});
  EXPECT_EQ(refused.exit, 5) << refused.err;
  EXPECT_EQ(refused.last("failed").value("text").toString(), "固件校验失败：下载的文件与列表不符，未写入接环");
  const CliRun otherIds = run({"update", "2", "--json"});
  EXPECT_EQ(otherIds.exit, 4);
  EXPECT_EQ(otherIds.last("failed").value("code").toString(), "no-adapter");
  EXPECT_EQ(run({"update", "0", "--adapter", "1-9"}).exit, 4);
  EXPECT_TRUE(node.writes().empty());
}

TEST_F(Cli, TwoAdaptersOfTheEntrysIdsAreRefusedUnlessOneIsNamed) {
  sim::EmulatedHidrawNode a(adapter(1)), b(adapter(1));
  plug("hidraw3", 5, a);
  plug("hidraw4", 6, b);
  const CliRun both = run({"update", "0", "--json"});
  EXPECT_EQ(both.exit, 4);
  EXPECT_EQ(both.last("failed").value("code").toString(), "several-adapters");
  EXPECT_NE(both.err.find("/dev/hidraw3，/dev/hidraw4"), std::string::npos) << both.err;
  EXPECT_TRUE(a.writes().empty());
  EXPECT_TRUE(b.writes().empty());
  const CliRun named = run({"update", "0", "--adapter", "1-6"});
  ASSERT_EQ(named.exit, 0) << named.err;
  EXPECT_TRUE(a.writes().empty());
  EXPECT_EQ(written(b).size(), 1024u);
}

// The adapter's own version first: one already running the entry's version
// and one running a newer version are not written, each said as such; the
// third is. Told to, the command writes them after all.
TEST_F(Cli, AnAdapterRunningTheEntrysVersionOrANewerOneIsNotWritten) {
  sim::AdapterSettings same = adapter(1), newer = adapter(1);
  same.version = {2, 3, 4};
  newer.version = {3, 0, 0};
  sim::EmulatedHidrawNode current(same), ahead(newer), behind(adapter(1));
  plug("hidraw3", 5, current);
  plug("hidraw4", 6, ahead);
  plug("hidraw5", 7, behind);
  const CliRun r = run({"update", "0", "--all", "--json"});
  EXPECT_EQ(r.exit, 5) << r.err;
  std::map<QString, QString> results;
  for (const auto& e : r.events())
    if (e.value("event") == "result") results[e.value("port").toString()] = e.value("result").toString();
  EXPECT_EQ(results,
            (std::map<QString, QString>{{"1-5", "up-to-date"}, {"1-6", "older-than-adapter"}, {"1-7", "written"}}));
  for (const auto* node : {&current, &ahead}) EXPECT_EQ(node->writes().size(), 1u);  // the query alone
  Data padded = image;
  catalogue::zeroFill(padded);
  EXPECT_EQ(written(behind), padded);
  EXPECT_NE(r.err.find("1-5\t2.3.4\t接环已是版本 VER 2.3.4，无需更新，未写入接环\t"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("ringflash-cli: 1 older-than-adapter, 1 up-to-date, 1 written"), std::string::npos) << r.err;

  const CliRun again = run({"update", "0", "--adapter", "1-5", "--allow-reinstall"});
  EXPECT_EQ(again.exit, 0) << again.err;
  const std::size_t pieces = padded.size() / 64;
  EXPECT_EQ(current.writes().size(), 1 + 2 + pieces);  // the first query, then a whole write
  EXPECT_EQ(run({"update", "0", "--adapter", "1-6", "--allow-reinstall"}).exit, 5);
  EXPECT_EQ(run({"update", "0", "--adapter", "1-6", "--allow-older"}).exit, 0);
  EXPECT_EQ(ahead.writes().size(), 2 + 2 + pieces);
}

// --confirm: each written adapter, taken out and plugged in again at another
// node on its port, says the version it runs. One took the image, one kept
// its old version, the third was up to date and is not asked at all.
TEST_F(Cli, WrittenAdaptersPluggedInAgainSayWhetherTheUpdateTook) {
  sim::AdapterSettings keeps = adapter(1), same = adapter(1);
  keeps.keepsVersion = true;
  same.version = {2, 3, 4};
  sim::EmulatedHidrawNode taking(adapter(1)), keeping(keeps), current(same);
  const std::string takingPath = plug("hidraw3", 5, taking), keepingPath = plug("hidraw4", 6, keeping);
  plug("hidraw5", 7, current);
  bool reseated = false;
  const CliRun r =
      run({"update", "0", "--all", "--json", "--confirm-within", "30"}, [&](pid_t, const std::string& err) {
        if (reseated || err.find("请取下接环后重新插入，以确认更新（30 秒内）") == std::string::npos) return;
        bed.remove(keepingPath), bed.remove(takingPath);
        bed.plugAgain(keepingPath, "hidraw14", &keeping), bed.plugAgain(takingPath, "hidraw13", &taking);
        reseated = true;
      });
  EXPECT_EQ(r.exit, 8) << r.err;
  std::map<QString, QString> results;
  for (const auto& e : r.events())
    if (e.value("event") == "result") results[e.value("port").toString()] = e.value("result").toString();
  EXPECT_EQ(results,
            (std::map<QString, QString>{{"1-5", "confirmed"}, {"1-6", "other-version"}, {"1-7", "up-to-date"}}));
  EXPECT_EQ(r.last("failed").value("code"), "other-version");
  EXPECT_NE(r.err.find("1-5: 接环已重新连接：版本 VER 2.3.4，更新已确认"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1-6: 接环重新连接后仍报告版本 VER 1.0.12，不是写入的 VER 2.3.4"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("ringflash-cli: 1 confirmed, 1 other-version, 1 up-to-date"), std::string::npos) << r.err;
  EXPECT_EQ(r.last("late-adapter"), QJsonObject{});  // a return is no late arrival
  EXPECT_EQ(current.writes().size(), 1u);            // its query before the update, nothing after
}

// Not plugged in again in time: written but not confirmed, exit 7. The same
// adapter re-seated during the next run's wait confirms it, exit 0.
TEST_F(Cli, AnAdapterNotBackInTimeIsUnconfirmed) {
  sim::EmulatedHidrawNode node(adapter(1));
  const std::string path = plug("hidraw3", 5, node);
  const CliRun waited = run({"update", "0", "--json", "--confirm-within", "1"});
  EXPECT_EQ(waited.exit, 7) << waited.err;
  EXPECT_EQ(waited.last("result").value("result"), "unconfirmed");
  EXPECT_NE(waited.err.find("接环没有在 1 秒内重新连接：固件已写入，但更新未确认"), std::string::npos) << waited.err;

  bool reseated = false;
  const CliRun r = run({"update", "0", "--json", "--confirm"}, [&](pid_t, const std::string& err) {
    if (reseated || err.find("请取下接环后重新插入，以确认更新（120 秒内）") == std::string::npos) return;
    bed.remove(path), bed.plugAgain(path, "hidraw13", &node);
    reseated = true;
  });
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.last("result").value("result"), "confirmed");
  EXPECT_EQ(r.last("result").value("version"), "2.3.4");
  EXPECT_EQ(run({"update", "0", "--confirm-within", "0"}).exit, 2);
}

// The bash completion offers the commands, then the options of the command
// given and no other, and for --adapter the ports of the attached adapters.
TEST_F(Cli, BashCompletesCommandsTheirOptionsAndAttachedPorts) {
  using Offers = std::vector<std::string>;
  EXPECT_EQ(bashOffers("ringflash-cli "), (Offers{"adapters", "describe", "lens", "list", "mirror", "update"}));
  EXPECT_EQ(bashOffers("ringflash-cli update 0 --"),
            (Offers{"--adapter", "--all", "--allow-older", "--allow-reinstall", "--confirm", "--confirm-within",
                    "--help", "--json", "--mirror", "--server", "--trusted-key", "--version"}));
  EXPECT_EQ(bashOffers("ringflash-cli list --"),
            (Offers{"--help", "--json", "--mirror", "--server", "--trusted-key", "--version"}));
  // The colons of a URL are no command, nor is the URL.
  EXPECT_EQ(bashOffers("ringflash-cli --server http://127.0.0.1:8917 l"), (Offers{"lens", "list"}));
  EXPECT_EQ(bashOffers("ringflash-cli --server l"), Offers{});
  sim::EmulatedHidrawNode a(adapter(1)), b(adapter(2));
  plug("hidraw3", 5, a);
  plug("hidraw4", 7, b);
  EXPECT_EQ(bashOffers("ringflash-cli update 0 --adapter "), (Offers{"1-5", "1-7"}));
  EXPECT_EQ(bashOffers("ringflash-cli lens --adapter 1-7"), Offers{"1-7"});
  // A Tab reads the ports from sysfs: it sends nothing to an adapter.
  EXPECT_TRUE(a.writes().empty());
  EXPECT_TRUE(b.writes().empty());
}

// Exit code 1: the adapter leaves in the middle of the write.
TEST_F(Cli, AnAdapterThatLeavesMidWriteFailsTheUpdate) {
  sim::EmulatedHidrawNode node(adapter(1));
  const std::string path = plug("hidraw3", 5, node);
  bool removed = false;
  const CliRun r = run({"update", "0", "--json"}, [&](pid_t, const std::string&) {
    if (!removed && node.writes().size() >= 8) bed.remove(path), removed = true;
  });
  EXPECT_EQ(r.exit, 1) << r.err;
  EXPECT_EQ(r.last("failed").value("code").toString(), "adapter-left");
  EXPECT_EQ(r.last("failed").value("text").toString(), "固件写入未完成：接环已断开，请重新连接接环后再次更新");
  EXPECT_NE(r.err.find("设备已断开\n固件写入未完成"), std::string::npos) << r.err;
  EXPECT_TRUE(r.last("done").isEmpty());
}

// Another process writing the adapter holds its node's lock: an update, a
// lens query and a query of the adapters are each refused before anything is
// sent, exit 4; once it is given back the update goes through.
TEST_F(Cli, AnAdapterAnotherProcessIsWritingIsLeftAlone) {
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  const int other = ::open((bed.root() + "/dev/hidraw3").c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  const CliRun update = run({"update", "0", "--json"});
  EXPECT_EQ(update.exit, 4) << update.err;
  EXPECT_EQ(update.last("failed").value("code"), "adapter-busy");
  EXPECT_NE(update.err.find("接环正在被另一个程序写入，请等待其完成"), std::string::npos) << update.err;
  const CliRun lens = run({"lens", "--json"});
  EXPECT_EQ(lens.exit, 4) << lens.err;
  EXPECT_EQ(lens.last("failed").value("code"), "adapter-busy");
  EXPECT_TRUE(node.writes().empty());
  ::close(other);
  EXPECT_EQ(run({"update", "0"}).exit, 0);
}

// Exit code 6: the node is there, but this user may not open it.
TEST_F(Cli, AnAdapterThatMayNotBeOpenedNamesTheRule) {
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  chmod((bed.root() + "/dev/hidraw3").c_str(), 0600);
  chmod(bed.root().c_str(), 0755);
  const std::string base = server.base();
  const CliRun r = checked(runProgram({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                       RINGFLASH_CLI, "update", "0", "--json", "--server", base}));
  EXPECT_EQ(r.exit, 6) << r.err;
  EXPECT_EQ(r.last("failed").value("code").toString(), "access-denied");
  EXPECT_NE(r.err.find("ATTRS{idVendor}==\"f1a5\", ATTRS{idProduct}==\"0001\""), std::string::npos) << r.err;
  EXPECT_TRUE(node.writes().empty());
  EXPECT_TRUE(node.writes().empty());
}

// A first SIGINT during the write is answered and the write goes on; two
// within 5 s stop it, and with several adapters each one's end is still said,
// with its port, and the summary.
TEST_F(Cli, OneInterruptDuringTheWriteIsSaidTwoStopIt) {
  sim::EmulatedHidrawNode node(adapter(1)), other(adapter(1));
  plug("hidraw3", 5, node);
  plug("hidraw4", 6, other);
  int sent = 0;
  const CliRun once = run({"update", "0", "--adapter", "1-5"}, [&](pid_t pid, const std::string&) {
    if (!sent && node.writes().size() >= 5) kill(pid, SIGINT), ++sent;
  });
  EXPECT_EQ(once.exit, 0) << once.err;
  EXPECT_NE(once.err.find("固件写入中：现在退出，接环将无法使用。"), std::string::npos) << once.err;
  sent = 0;
  const std::size_t before = node.writes().size();
  const CliRun twice = run({"update", "0", "--all", "--json"}, [&](pid_t pid, const std::string&) {
    if (sent < 2 && node.writes().size() >= before + 5 + sent) kill(pid, SIGINT), ++sent;
  });
  EXPECT_EQ(twice.exit, 1) << twice.err;
  std::map<QString, QString> ends;
  for (const auto& e : twice.events())
    if (e.value("event") == "failed") ends[e.value("port").toString()] = e.value("code").toString();
  EXPECT_EQ(ends, (std::map<QString, QString>{{"1-5", "interrupted"}, {"1-6", "interrupted"}}));
  EXPECT_NE(twice.err.find("1-6\t1.0.12\t固件写入已中断"), std::string::npos) << twice.err;
  EXPECT_LT(node.writes().size(), before + 18);
}

// A write outlives its terminal: a reader of standard output that went away
// (`| head`), a closed terminal (SIGHUP) and Ctrl-\ (SIGQUIT) each leave the
// adapter written whole, and the exit code still says how the write ended.
TEST_F(Cli, AWriteOutlivesAClosedPipeAndAClosedTerminal) {
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  Data padded(2048, 0x5C);
  catalogue::zeroFill(padded);
  const std::string piped = std::string(RINGFLASH_CLI) + " update 3 --json --server " + server.base() +
                            " 2>&1 | head -n 3 > /dev/null; echo \"exit ${PIPESTATUS[0]}\" >&2";
  const CliRun headed = checked(runProgram({"/bin/bash", "-c", piped}));
  EXPECT_NE(headed.err.find("exit 0"), std::string::npos) << headed.err;
  EXPECT_EQ(written(node), padded);
  for (int signal : {SIGHUP, SIGQUIT}) {
    const std::size_t before = node.writes().size();
    bool sent = false;
    const CliRun r = run({"update", "3"}, [&](pid_t pid, const std::string&) {
      if (!sent && node.writes().size() >= before + 2 + 5) kill(pid, signal), sent = true;
    });
    EXPECT_EQ(r.exit, 0) << signal << r.err;
    EXPECT_NE(r.err.find("固件写入中：现在退出，接环将无法使用。"), std::string::npos) << r.err;
    EXPECT_EQ(node.writes().size(), before + 2 + padded.size() / 64);
  }
}

// The command line holds logind's block lock while it writes, as the window
// does (python-dbusmock's logind on a private bus), and gives it back at the end.
TEST_F(Cli, ASleepLockIsHeldWhileTheAdapterIsWritten) {
  int address[2];
  ASSERT_EQ(::pipe(address), 0);
  const pid_t bus = fork();
  if (bus == 0) {
    dup2(address[1], 1);
    execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--print-address=1", nullptr);
    _exit(127);
  }
  ::close(address[1]);
  std::string line;
  for (char c; ::read(address[0], &c, 1) == 1 && c != '\n';) line += c;
  ASSERT_FALSE(line.empty());
  setenv("DBUS_SYSTEM_BUS_ADDRESS", line.c_str(), 1);
  const pid_t logind = fork();
  if (logind == 0) {
    execl("/usr/bin/python3", "python3", "-m", "dbusmock", "--template", "logind", "--system", nullptr);
    _exit(127);
  }
  auto locks = [] {
    return runProgram({"/usr/bin/gdbus", "call", "--system", "--dest", "org.freedesktop.login1", "--object-path",
                       "/org/freedesktop/login1", "--method", "org.freedesktop.login1.Manager.ListInhibitors"});
  };
  for (int i = 0; i < 150 && locks().exit != 0; ++i) usleep(100000);
  sim::EmulatedHidrawNode node(adapter(1));
  const std::string path = plug("hidraw3", 5, node);
  std::string during, waiting;
  // While a person re-seats the adapter, the system may sleep.
  const CliRun r = run({"update", "3", "--confirm-within", "30"}, [&](pid_t, const std::string& err) {
    if (during.empty() && node.writes().size() >= 2 + 10) during = locks().out;
    if (!waiting.empty() || err.find("请取下接环后重新插入") == std::string::npos) return;
    waiting = locks().out;
    bed.remove(path), bed.plugAgain(path, "hidraw13", &node);
  });
  const std::string after = locks().out;
  kill(logind, SIGKILL), waitpid(logind, nullptr, 0);
  kill(bus, SIGKILL), waitpid(bus, nullptr, 0);
  ::close(address[0]);
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_NE(during.find("'ringflash'"), std::string::npos) << during;
  EXPECT_NE(during.find("'block'"), std::string::npos) << during;
  EXPECT_EQ(after.find("'ringflash'"), std::string::npos) << after;
  EXPECT_EQ(waiting.find("'ringflash'"), std::string::npos) << waiting;
  EXPECT_NE(waiting.find("@a(ssssuu)"), std::string::npos) << waiting;  // the list was read, and is empty
  EXPECT_EQ(r.err.find("No sleep inhibitor lock"), std::string::npos) << r.err;
}

// Several adapters at once, each with its own exchange: one leaves at piece
// 20, one goes quiet after piece 30, the third is written to the end.
TEST_F(Cli, AllAdaptersAtOnceOneFailureLeavesTheOthersRunning) {
  sim::AdapterSettings quiet = adapter(1);
  quiet.silentAfterReports = 2 + 30;  // the query, the start report, 30 pieces
  sim::EmulatedHidrawNode leaving(adapter(1)), silent(quiet), steady(adapter(1)), late(adapter(1));
  const std::string path = plug("hidraw3", 5, leaving);
  plug("hidraw4", 6, silent);
  plug("hidraw5", 7, steady);
  bool removed = false, plugged = false;
  const CliRun r = run({"update", "3", "--all", "--json"}, [&](pid_t, const std::string&) {
    if (!removed && leaving.writes().size() >= 2 + 20) bed.remove(path), removed = true;
    if (!plugged && steady.writes().size() >= 2 + 10) plug("hidraw6", 8, late), plugged = true;
  });
  EXPECT_EQ(r.exit, 1) << r.err;
  Data padded(2048, 0x5C);
  catalogue::zeroFill(padded);
  EXPECT_EQ(written(steady), padded);
  EXPECT_LT(written(leaving).size(), padded.size());
  EXPECT_EQ(written(silent).size(), 31u * 64);  // the piece after the last reply went out, nothing more
  EXPECT_TRUE(late.writes().empty());           // the set was fixed when the command started, and it says so
  EXPECT_NE(r.err.find("发现接环 /dev/hidraw6：它在本次更新开始后才连接，不会写入"), std::string::npos) << r.err;
  EXPECT_EQ(r.last("late-adapter").value("node"), "/dev/hidraw6");
  std::map<QString, QString> ends;
  for (const auto& e : r.events())
    if (e.value("event") == "done" || e.value("event") == "failed")
      ends[e.value("port").toString()] = e.value("event").toString() + " " + e.value("code").toString();
  EXPECT_EQ(ends, (std::map<QString, QString>{
                      {"1-5", "failed adapter-left"}, {"1-6", "failed went-quiet"}, {"1-7", "done "}}));
  // The summary: a line per adapter with its version before and its result.
  EXPECT_NE(r.err.find("1-7\t1.0.12\t固件更新已完成\t"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1-5\t1.0.12\t固件写入未完成：接环已断开，请重新连接接环后再次更新\t"), std::string::npos)
      << r.err;
}

// Three adapters at once, each written byte for byte; and under an English
// locale every text is English, the ones labelled with a port and the
// summary's results too, while the JSON keeps its codes.
TEST_F(Cli, AllAdaptersAtOnceEachGetsTheImageAndEveryTextIsEnglish) {
  sim::EmulatedHidrawNode first(adapter(1)), second(adapter(1)), third(adapter(1));
  plug("hidraw3", 5, first);
  plug("hidraw4", 6, second);
  plug("hidraw5", 7, third);
  const char* before = std::getenv("LC_ALL");
  const std::string kept = before ? before : "";
  setenv("LC_ALL", "en_US.UTF-8", 1);
  const CliRun r = run({"update", "0", "--all", "--json"});
  before ? setenv("LC_ALL", kept.c_str(), 1) : unsetenv("LC_ALL");
  EXPECT_EQ(r.exit, 0) << r.err;
  Data padded = image;
  catalogue::zeroFill(padded);
  for (const auto* node : {&first, &second, &third}) EXPECT_EQ(written(*node), padded);
  EXPECT_NE(r.err.find("1-5: Firmware update complete\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1-6\t1.0.12\tFirmware update complete\t"), std::string::npos) << r.err;
  // Every Chinese character's UTF-8 form begins with one of these bytes.
  EXPECT_EQ(r.err.find_first_of("\xE4\xE5\xE6\xE7\xE8\xE9"), std::string::npos) << r.err;
  EXPECT_EQ(r.last("done").value("port").toString(), "1-7");
}

int main(int argc, char** argv) {
  sim::runUnderUmockdevPreload(argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::_Exit(result);
}

// A signed list is read only under a key given with --trusted-key that signed
// it; another key and a changed list are refused with their texts, exit 3.
TEST_F(Cli, ASignedListIsReadOnlyUnderTheKeyThatSignedIt) {
  const std::string b = server.base();
  const std::string list =
      "good;f1a5;0001;Ver 2.3.4;d;" + b + "/fw/a.bin;" + b + "/desc/a.txt;" + catalogue::sha256Hex(image) + ";1000\n";
  putSignedList(server, list, demoSecretKey());
  const CliRun trusted = run({"list", "--trusted-key", demoPublicKeyLine()});
  EXPECT_EQ(trusted.exit, 0) << trusted.err;
  EXPECT_EQ(trusted.err.substr(0, trusted.err.find('\n') + 1), "读取固件列表成功\n");
  EXPECT_NE(trusted.err.find("ringflash-cli: the list was signed 20"), std::string::npos) << trusted.err;
  const QJsonObject signedList = run({"list", "--json", "--trusted-key", demoPublicKeyLine()}).last("list");
  EXPECT_TRUE(signedList.value("signed").toBool());
  EXPECT_TRUE(signedList.value("signed_at").toString().endsWith("Z"))
      << signedList.value("signed_at").toString().toStdString();
  EXPECT_FALSE(signedList.contains("expires_at"));
  // The same list with a comment that says it expired last year: refused, its day named.
  const std::string expired = signatureFile(Data(list.begin(), list.end()), demoSecretKey(),
                                            "timestamp:1700000000\tfile:MIRAVEL_LST.txt\texpires:1764547200");
  server.put(std::string(kListPath) + ".minisig", Data(expired.begin(), expired.end()));
  const CliRun old = run({"list", "--json", "--trusted-key", demoPublicKeyLine()});
  EXPECT_EQ(old.exit, 3);
  EXPECT_EQ(old.last("failed").value("code"), "list-expired");
  EXPECT_EQ(old.err, "固件列表已过期（2025-12-01），请联系固件发布者\n");
  putSignedList(server, list, demoSecretKey());
  const CliRun other = run({"list", "--trusted-key", "RWQBAgMEBQYHCGRlZmdoaWprbG1ub3BxcnN0dXZ3eHl6e3x9fn+AgYKD"});
  EXPECT_EQ(other.exit, 3);
  EXPECT_EQ(other.err, std::string(texts::listSignatureUnknownKey) + "\n");
  EXPECT_EQ(run({"list", "--trusted-key", "not a key"}).exit, 2);
  const std::string changed = "good;f1a5;0001;Ver 2.3.5" + list.substr(list.find(";d;"));
  server.put(kListPath, Data(changed.begin(), changed.end()));
  const CliRun altered = run({"update", "0", "--trusted-key", demoPublicKeyLine()});
  EXPECT_EQ(altered.exit, 3);
  EXPECT_EQ(altered.err, std::string(texts::listSignatureListAltered) + "\n");
  EXPECT_EQ(server.requestCount("/fw/a.bin"), 0u);
  // A script tells an attack from a missing signature and both from a dead server.
  EXPECT_EQ(run({"list", "--json", "--trusted-key", demoPublicKeyLine()}).last("failed").value("code"),
            "list-signature-bad");
  server.setBehaviour(std::string(kListPath) + ".minisig",
                      FirmwareServer::Behaviour::of(FirmwareServer::Behaviour::Fault::notFound));
  EXPECT_EQ(run({"list", "--json", "--trusted-key", demoPublicKeyLine()}).last("failed").value("code"),
            "list-unsigned");
  server.setBehaviour(kListPath, FirmwareServer::Behaviour::of(FirmwareServer::Behaviour::Fault::notFound));
  const CliRun dead = run({"list", "--json", "--trusted-key", demoPublicKeyLine()});
  EXPECT_EQ(dead.exit, 3);
  EXPECT_EQ(dead.last("failed").value("code"), "list-not-read");
}

namespace {

// The Cli server with a list a shop can mirror: every entry whole, signed
// with a key the stock minisign made, as a publisher signs.
class MirrorCli : public Cli {
 protected:
  void SetUp() override {
    Cli::SetUp();
    if (runProgram({"/bin/sh", "-c", "command -v minisign"}).exit != 0)
      GTEST_SKIP() << "the minisign program is not installed (Debian package minisign; ./dev installs it)";
    const std::string b = server.base();
    list = "good;f1a5;0001;Ver 2.3.4;d;" + b + "/fw/a.bin;" + b + "/desc/a.txt;" + catalogue::sha256Hex(image) +
           ";1000\r\nlong;f1a5;0001;Ver 2.3.4;d;" + b + "/fw/b.bin;" + b + "/desc/a.txt;" +
           catalogue::sha256Hex(Data(2048, 0x5C)) + ";2048\r\n";
    char made[] = "/tmp/ringflash-mirror-XXXXXX";
    ASSERT_TRUE(::mkdtemp(made));
    place = made;
    folder = place + "/shop mirror";
    ASSERT_EQ(runProgram({"/usr/bin/minisign", "-G", "-W", "-p", place + "/k.pub", "-s", place + "/k.sec"}).exit, 0);
    const std::string pub = readFile(place + "/k.pub");
    key = pub.substr(pub.find('\n') + 1, pub.find('\n', pub.find('\n') + 1) - pub.find('\n') - 1);
    publish(list);
  }
  // The list signed by the stock tool, and served with its signature.
  void publish(const std::string& text) {
    const std::string file = place + "/MIRAVEL_LST.txt";
    std::ofstream(file, std::ios::binary) << text;
    ASSERT_EQ(runProgram({"/usr/bin/minisign", "-S", "-s", place + "/k.sec", "-m", file}).exit, 0);
    const std::string signature = readFile(file + ".minisig");
    server.put(kListPath, Data(text.begin(), text.end()));
    server.put(std::string(kListPath) + ".minisig", Data(signature.begin(), signature.end()));
  }
  void TearDown() override { runProgram({"/bin/rm", "-rf", place}); }
  CliRun offline(std::vector<std::string> args) {
    args.insert(args.end(), {"--mirror", folder, "--trusted-key", key});
    return cli(std::move(args));
  }
  std::string at(const std::string& url) const { return *platform::mirrorPathOf(folder, url); }
  static std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void change(const std::string& path, std::size_t offset) const {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file.put('!');
  }
  std::string list, place, folder, key;
};

}  // namespace

// The shop's two steps: the mirror made while the server is up, then the
// update from it with the server gone, every check made on the way.
TEST_F(MirrorCli, AShopUpdatesFromItsMirrorWithTheServerGone) {
  const CliRun made = run({"mirror", folder, "--json", "--trusted-key", key});
  ASSERT_EQ(made.exit, 0) << made.err << made.out;
  EXPECT_EQ(made.last("mirror").value("entries").toInt(), 2);
  EXPECT_EQ(made.last("mirror").value("files").toInt(), 5);  // list, signature, a description, two images
  const std::string listUrl = server.base() + kListPath;
  EXPECT_EQ(readFile(at(listUrl)), list);  // byte for byte: its signature holds
  server.stop();

  const CliRun rows = offline({"list", "--json"});
  ASSERT_EQ(rows.exit, 0) << rows.err;
  EXPECT_EQ(rows.last("list").value("rows").toInt(), 2);
  EXPECT_TRUE(rows.last("list").value("signed").toBool());
  EXPECT_EQ(offline({"describe", "0"}).out, "你好\n");
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  const CliRun update = offline({"update", "1"});
  ASSERT_EQ(update.exit, 0) << update.err;
  Data padded(2048, 0x5C);
  catalogue::zeroFill(padded);
  EXPECT_EQ(written(node), padded);
  // A folder that is no mirror is said at once.
  EXPECT_EQ(cli({"list", "--mirror", place}).exit, 2);
}

// A byte changed inside a mirror is found as on the network: the image is
// never written, the list never shown, and a mirror made from a changed
// mirror is never left behind.
TEST_F(MirrorCli, AChangedImageOrListInsideAMirrorIsRefused) {
  ASSERT_EQ(run({"mirror", folder, "--trusted-key", key}).exit, 0);
  server.stop();
  change(at(server.base() + "/fw/a.bin"), 10);
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  const CliRun image = offline({"update", "0", "--json"});
  EXPECT_EQ(image.exit, 5) << image.err;
  EXPECT_EQ(image.last("failed").value("code"), "image-refused");
  for (const Data& write : node.writes())
    EXPECT_EQ(sim::classifyReport(Data(write.begin() + 1, write.end())), ReceivedReport::Kind::query);

  const std::string copy = place + "/copy";
  EXPECT_EQ(offline({"mirror", copy}).exit, 5);
  EXPECT_FALSE(std::filesystem::exists(copy));
  change(at(server.base() + kListPath), 3);
  const CliRun changed = offline({"list", "--json"});
  EXPECT_EQ(changed.exit, 3);
  EXPECT_EQ(changed.last("failed").value("code"), "list-signature-bad");
  EXPECT_EQ(offline({"mirror", copy}).exit, 3);
  EXPECT_FALSE(std::filesystem::exists(copy));
}

// What a mirror never does: take the place of a folder that is not one, or
// be left half made when an entry fails its check. A mirror made before is
// replaced whole.
TEST_F(MirrorCli, AMirrorReplacesOnlyAMirrorAndOnlyWhenWhole) {
  std::filesystem::create_directories(place + "/photos/2026");
  std::ofstream(place + "/photos/a.jpg") << "x";
  const CliRun notOne = run({"mirror", place + "/photos", "--json"});
  EXPECT_EQ(notOne.exit, 2);
  EXPECT_EQ(notOne.last("failed").value("code"), "not-a-mirror");
  // Nor when it carries a mirror's mark beside what is not a mirror's.
  std::ofstream(place + "/photos/" + platform::kMirrorMark) << server.base() << kListPath << "\n";
  EXPECT_EQ(run({"mirror", place + "/photos"}).exit, 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(place + "/photos"), {}), 3);

  ASSERT_EQ(run({"mirror", folder, "--trusted-key", key}).exit, 0);
  const std::string stale = at(server.base() + "/fw/stale.bin");  // a server's folder is the mirror's own
  std::ofstream(stale) << "x";
  const std::string b = server.base();
  const std::string tampered =
      "t;f1a5;0001;Ver 2.3.5;d;" + b + "/fw/a.bin;" + b + "/desc/a.txt;" + std::string(64, '0') + ";1000\n";
  publish(list + tampered);
  const CliRun refused = run({"mirror", folder, "--json", "--trusted-key", key});
  EXPECT_EQ(refused.exit, 5);
  EXPECT_EQ(refused.last("failed").value("code"), "image-refused");
  EXPECT_TRUE(std::filesystem::exists(stale));  // the mirror made before stands
  publish(list);
  ASSERT_EQ(run({"mirror", folder, "--trusted-key", key}).exit, 0);
  EXPECT_FALSE(std::filesystem::exists(stale));

  // What an interrupted run left goes with the next one; a link to the
  // mirror's place (a stick's folder) is followed, and stays a link.
  std::filesystem::create_directories(folder + ".partial-Xk3a9Q/h_80");
  std::ofstream(folder + ".partial-Xk3a9Q/" + platform::kMirrorMark) << "http://h/x\n";
  const std::string link = place + "/stick";
  std::filesystem::create_directory_symlink(folder, link);
  ASSERT_EQ(run({"mirror", link, "--trusted-key", key}).exit, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readFile(at(server.base() + kListPath)), list);
  for (const auto& entry : std::filesystem::directory_iterator(place))
    EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos) << entry.path();
}

// Two URLs that only their queries tell apart would share one place in the
// mirror: said as such, and no mirror is made.
TEST_F(MirrorCli, TwoUrlsForOnePlaceAreSaid) {
  const std::string b = server.base();
  server.put("/fw/q.bin?v=1", image);
  server.put("/fw/q.bin?v=2", Data(2048, 0x5C));
  publish("one;f1a5;0001;Ver 2.3.4;d;" + b + "/fw/q.bin?v=1;" + b + "/desc/a.txt;" + catalogue::sha256Hex(image) +
          ";1000\ntwo;f1a5;0001;Ver 2.3.5;d;" + b + "/fw/q.bin?v=2;" + b + "/desc/a.txt;" +
          catalogue::sha256Hex(Data(2048, 0x5C)) + ";2048\n");
  const CliRun clash = run({"mirror", folder, "--json", "--trusted-key", key});
  EXPECT_EQ(clash.exit, 3) << clash.err;
  EXPECT_EQ(clash.last("failed").value("code"), "mirror-url-unfit");
  EXPECT_NE(clash.err.find("条目 1 "), std::string::npos) << clash.err;
  EXPECT_FALSE(std::filesystem::exists(folder));
}

// The window takes the same mirror: the harness drives it through an update
// read from the mirror alone, and the window itself refuses a folder that is
// none before it opens.
TEST_F(MirrorCli, TheWindowUpdatesFromTheMirrorAlone) {
  ASSERT_EQ(run({"mirror", folder, "--trusted-key", key}).exit, 0);
  server.stop();
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const ProgramRun window = runProgram({RINGFLASH_DEMO, "--headless", "--mirror", folder, "--trusted-key", key, "--row",
                                        "1", "--update", "--adapter", "f1a5:0001", "--png", place + "/window.png"});
  EXPECT_EQ(window.exit, 0) << window.out << window.err;
  EXPECT_NE(window.out.find("list: signature verified"), std::string::npos) << window.out;
  EXPECT_NE(window.out.find("image matches"), std::string::npos) << window.out;
  EXPECT_EQ(runProgram({RINGFLASH_WINDOW, "--mirror", place}).exit, 2);
  unsetenv("QT_QPA_PLATFORM");
}

// The harness over a real hidraw node cannot see the bytes an adapter got:
// a good update there is no violation, and it ends well.
TEST_F(Cli, TheHarnessOverHidrawJudgesOnlyWhatItSees) {
  sim::EmulatedHidrawNode node(adapter(1));
  plug("hidraw3", 5, node);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const ProgramRun harness = runProgram({RINGFLASH_DEMO, "--headless", "--hidraw", "--server", server.base(), "--at",
                                         "0:row=0", "--at", "0.1:update", "--png", "/dev/null"});
  unsetenv("QT_QPA_PLATFORM");
  EXPECT_EQ(harness.exit, 0) << harness.out << harness.err;
  EXPECT_NE(harness.out.find("script: no violation"), std::string::npos) << harness.out;
  EXPECT_NE(harness.out.find("固件更新已完成"), std::string::npos) << harness.out;
  Data padded = image;
  catalogue::zeroFill(padded);
  EXPECT_EQ(written(node), padded);
}

// With --all, an adapter this user may not open is named under its own port
// and ends as denied, while the other one is written.
TEST_F(Cli, ADeniedAdapterAmongSeveralIsNamedUnderItsOwnPort) {
  sim::EmulatedHidrawNode denied(adapter(1)), allowed(adapter(1));
  plug("hidraw3", 5, denied);
  plug("hidraw4", 6, allowed);
  chmod((bed.root() + "/dev/hidraw3").c_str(), 0600);
  chmod((bed.root() + "/dev/hidraw4").c_str(), 0666);
  chmod(bed.root().c_str(), 0755);
  // The emulation's own sockets stay open to that user; the node itself does not.
  for (const char* name : {"hidraw3", "hidraw4"}) chmod((bed.root() + "/ioctl/dev/" + name).c_str(), 0777);
  const CliRun r = checked(runProgram({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                       RINGFLASH_CLI, "update", "0", "--all", "--json", "--server", server.base()}));
  EXPECT_EQ(r.exit, 6) << r.err;
  const std::string deniedText = "发现接环 /dev/hidraw3，但没有权限打开";
  EXPECT_EQ(r.err.find("1-6: " + deniedText), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1-5\t-\t" + deniedText), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1 access-denied, 1 written"), std::string::npos) << r.err;
  EXPECT_EQ(r.last("failed").value("port"), "1-5");
  for (const auto& e : r.events())
    if (e.value("event") == "result") {
      EXPECT_EQ(e.value("result"), e.value("port") == "1-5" ? "access-denied" : "written")
          << e.value("port").toString().toStdString();
    }
  EXPECT_TRUE(denied.writes().empty());
  Data padded = image;
  catalogue::zeroFill(padded);
  EXPECT_EQ(written(allowed), padded);
}
