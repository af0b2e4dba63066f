// A build that trusts a key shows only a list signed by it: whoever sits
// between the server and the window cannot choose what is written.
#include "app/StatusTexts.h"
#include "support/WindowFixture.h"

using Behaviour = FirmwareServer::Behaviour;

namespace {
const std::string kSignaturePath = std::string(kListPath) + ".minisig";
const char* kDone = "请关闭程序后取下接环";
}  // namespace

class SignedList : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    trustedKeys.push_back(demoSecretKey().publicKey());
  }
  std::string sampleList() const { return sampleListText(server, RINGFLASH_DEMO_CATALOGUE); }
  void putSignature(std::string text) { server.put(kSignaturePath, platform::Data(text.begin(), text.end())); }
  std::string signatureOf(const std::string& list, const SecretKey& key) const {
    return signatureFile(platform::Data(list.begin(), list.end()), key, "timestamp:1\tfile:MIRAVEL_LST.txt\thashed");
  }
  std::size_t catalogueReads() const {
    std::size_t n = 0;
    for (const char* path : {"/desc/ef-rf-1000.txt", "/desc/ef-rf-1024.txt", "/desc/pk-nz-2048.txt",
                             "/desc/pk-nz-65536.txt", "/desc/empty.txt", "/fw/ef-rf-1000.bin", "/fw/ef-rf-1024.bin",
                             "/fw/pk-nz-2048.bin", "/fw/pk-nz-65536.bin", "/fw/empty.bin"})
      n += server.requestCount(path);
    return n;
  }
};

class SignedListForm : public SignedList, public ::testing::WithParamInterface<bool> {};

TEST_P(SignedListForm, IsShownAndUpdates) {
  putSignedList(server, sampleList(), demoSecretKey(), GetParam());
  auto adapter = plug(kProductA);
  openWindow();
  EXPECT_EQ(status(), texts::listRead);
  EXPECT_EQ(vc->numberOfRows(), 8);
  EXPECT_EQ(server.requestCount(kSignaturePath), 1u);
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitForStatus(kDone, 20000)) << status();
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow1000));
}
INSTANTIATE_TEST_SUITE_P(PrehashedAndLegacy, SignedListForm, ::testing::Bool());

enum class Tampering { oneByte, otherKey, missing, commentChanged, cutShort, expired, otherFile };
class TamperedList : public SignedList, public ::testing::WithParamInterface<std::pair<Tampering, const char*>> {};
std::string nameOf(const ::testing::TestParamInfo<TamperedList::ParamType>& info) {
  static const char* const names[] = {"OneByteChanged", "AnotherKey", "NoSignature", "CommentChanged",
                                      "CutShort",       "Expired",    "AnotherFile"};
  return names[static_cast<int>(info.param.first)];
}

// Each is refused with its own text; no row, no success text, and nothing of
// the catalogue is read or sent to the adapter, whatever is pressed.
TEST_P(TamperedList, IsRefusedBeforeAnythingIsRead) {
  const std::string list = sampleList();
  std::string signature = signatureOf(list, demoSecretKey());
  switch (GetParam().first) {
    case Tampering::oneByte: ASSERT_TRUE(alterServedList(server, RINGFLASH_DEMO_CATALOGUE)); break;
    case Tampering::otherKey: putSignedList(server, list, SecretKey::generate()); break;
    case Tampering::missing: server.setBehaviour(kSignaturePath, Behaviour::of(Behaviour::Fault::notFound)); break;
    case Tampering::commentChanged: signature.replace(signature.find("timestamp:1"), 11, "timestamp:9"); break;
    case Tampering::cutShort: signature.resize(signature.size() - 2); break;
    // Signed by the publisher as it is, but no longer current, or as another file.
    case Tampering::expired:
      signature = signatureFile(platform::Data(list.begin(), list.end()), demoSecretKey(),
                                "timestamp:1\tfile:MIRAVEL_LST.txt\texpires:1764547200");
      break;
    case Tampering::otherFile:
      signature =
          signatureFile(platform::Data(list.begin(), list.end()), demoSecretKey(), "timestamp:1\tfile:beta.txt");
      break;
  }
  if (GetParam().first >= Tampering::commentChanged) putSignature(signature);
  auto adapter = plug(kProductA);
  openWindow();
  EXPECT_EQ(status(), GetParam().second);
  EXPECT_EQ(vc->numberOfRows(), 0);
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), texts::listRead), 0);
  clickRow(kRow1000);
  pressUpdate();
  pressImage();
  settle(1500);
  EXPECT_EQ(status(), GetParam().second);
  EXPECT_EQ(catalogueReads(), 0u);
  EXPECT_TRUE(adapter->received().empty());
}
INSTANTIATE_TEST_SUITE_P(
    SignedList, TamperedList,
    ::testing::Values(std::pair(Tampering::oneByte, texts::listSignatureListAltered),
                      std::pair(Tampering::otherKey, texts::listSignatureUnknownKey),
                      std::pair(Tampering::missing, texts::listSignatureMissing),
                      std::pair(Tampering::commentChanged, texts::listSignatureCommentAltered),
                      std::pair(Tampering::cutShort, texts::listSignatureMalformed),
                      std::pair(Tampering::expired, "固件列表已过期（2025-12-01），请联系固件发布者"),
                      std::pair(Tampering::otherFile, "固件列表的签名属于另一个文件（beta.txt），已停止读取")),
    nameOf);

// The signature is read within what is left of the list's deadline.
TEST_F(SignedList, ATricklingSignatureEndsAtTheListsDeadline) {
  textOptions = platform::UrlReadOptions::forText();
  textOptions->deadlineSeconds = 1;
  server.setBehaviour(kSignaturePath, Behaviour::trickling(20));
  openWindow();
  EXPECT_EQ(status(), texts::listSignatureMissing);
  EXPECT_EQ(vc->numberOfRows(), 0);
}

// The signature covers the images only through their hashes: an entry without
// one cannot become current, and the entry before it stays.
TEST_F(SignedList, AnEntryWithoutItsHashCannotBeSelected) {
  auto adapter = plug(kProductA);
  openWindow();
  ASSERT_EQ(status(), texts::listRead);
  clickRow(kRowEmpty);
  EXPECT_EQ(status(), texts::entryHashMissing);
  EXPECT_FALSE(vc->updateBtn->isEnabled());
  pressUpdate();
  settle(500);
  EXPECT_EQ(catalogueReads(), 0u);
  EXPECT_TRUE(adapter->received().empty());
}

// Without a trusted key the signature is not even asked for.
TEST_F(SignedList, WithoutKeysNoSignatureIsRead) {
  trustedKeys.clear();
  putSignature("not a signature");
  openWindow();
  EXPECT_EQ(status(), texts::listRead);
  EXPECT_EQ(vc->numberOfRows(), 8);
  EXPECT_EQ(server.requestCount(kSignaturePath), 0u);
  clickRow(kRowEmpty);
  EXPECT_EQ(status().rfind(' ', 0), 0u) << status();
}
