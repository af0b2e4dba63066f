// The list's signature: the minisign format read and verified, and written by
// the publisher's side, against each other and against the stock minisign.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "catalogue/FirmwareList.h"
#include "catalogue/ImageCheck.h"
#include "catalogue/ListAddress.h"
#include "catalogue/ListReading.h"
#include "catalogue/ListSignature.h"
#include "catalogue/TrustedComment.h"
#include "publish/SignatureWriting.h"
#include "server/FirmwareServer.h"
#include "server/SampleCatalogue.h"
#include "support/MinisignInterop.h"

using namespace catalogue;
using Verdict = SignatureVerdict;

namespace {

platform::Data bytesOf(const std::string& text) { return platform::Data(text.begin(), text.end()); }

const std::string kList =
    "EF-RF;f1a5;0001;Ver 1.0.0;d;http://h/fw/a.bin;http://h/d.txt;" + std::string(64, 'a') + ";3\n";

Verdict verify(const std::string& list, const std::string& signature, const std::vector<PublicKey>& keys) {
  return verifyListSignature(bytesOf(list), bytesOf(signature), keys);
}

}  // namespace

TEST(ListSignature, BothFormsVerifyUnderATrustedKeyAmongSeveral) {
  const SecretKey old = SecretKey::generate(), current = SecretKey::generate();
  const std::vector<PublicKey> both{old.publicKey(), current.publicKey()};
  for (bool prehashed : {true, false}) {
    const std::string signature = signatureFile(bytesOf(kList), current, "t", prehashed);
    EXPECT_EQ(readSignatureFile(bytesOf(signature))->prehashed, prehashed);
    EXPECT_EQ(verify(kList, signature, both), Verdict::verified) << prehashed;
    EXPECT_EQ(verify(kList, signature, {old.publicKey()}), Verdict::unknownKey) << prehashed;
  }
}

// What an attacker on the path may try, each with its own verdict; the
// untrusted comment alone is free to change.
TEST(ListSignature, EachChangeHasItsVerdict) {
  const SecretKey key = SecretKey::generate();
  const std::vector<PublicKey> trusted{key.publicKey()};
  const std::string signature = signatureFile(bytesOf(kList), key, "timestamp:1\tfile:l\thashed");
  std::string altered = kList;
  altered[kList.find("1.0.0") + 4] = '9';
  EXPECT_EQ(verify(altered, signature, trusted), Verdict::listAltered);
  EXPECT_EQ(verify(kList + "\n", signature, trusted), Verdict::listAltered);

  std::string comment = signature;
  comment.replace(comment.find("timestamp:1"), 11, "timestamp:2");
  EXPECT_EQ(verify(kList, comment, trusted), Verdict::commentAltered);

  // Another key that claims the trusted key's id.
  SecretKey impostor = SecretKey::generate();
  impostor.id = key.id;
  EXPECT_EQ(verify(kList, signatureFile(bytesOf(kList), impostor, "t"), trusted), Verdict::listAltered);

  // The legacy signature of the same list presented as prehashed: "Ed" and
  // "ED" differ in the second base64 digit only.
  std::string legacy = signatureFile(bytesOf(kList), key, "t", false);
  legacy[legacy.find('\n') + 2] = 'U';
  ASSERT_TRUE(readSignatureFile(bytesOf(legacy)));
  EXPECT_EQ(verify(kList, legacy, trusted), Verdict::listAltered);

  std::string untrusted = signature;
  untrusted.replace(0, untrusted.find('\n'), "untrusted comment: anything at all");
  EXPECT_EQ(verify(kList, untrusted, trusted), Verdict::verified);
}

TEST(ListSignature, AFileCutShortOrOutOfFormIsMalformed) {
  const SecretKey key = SecretKey::generate();
  const std::vector<PublicKey> trusted{key.publicKey()};
  const std::string signature = signatureFile(bytesOf(kList), key, "t");
  // Only the last line end may go.
  for (std::size_t n = 0; n + 1 < signature.size(); ++n)
    EXPECT_EQ(verify(kList, signature.substr(0, n), trusted), Verdict::malformed) << n;
  EXPECT_EQ(verify(kList, signature.substr(0, signature.size() - 1), trusted), Verdict::verified);

  std::string crlf;
  for (char c : signature) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(verify(kList, crlf, trusted), Verdict::verified);

  const auto lineStart = [&](int line) {
    std::size_t at = 0;
    for (int i = 0; i < line; ++i) at = signature.find('\n', at) + 1;
    return at;
  };
  for (const auto& [at, length, to] :
       {std::tuple{lineStart(0), 1, "U"}, std::tuple{lineStart(1) + 1, 1, "X"},  // algorithm "Et"
        std::tuple{lineStart(2), 17, "trusted comment:"}, std::tuple{lineStart(3), 0, " "}}) {
    std::string changed = signature;
    changed.replace(at, length, to);
    EXPECT_EQ(verify(kList, changed, trusted), Verdict::malformed) << to;
  }
}

TEST(ListSignature, KeysReadOnlyFromTheirOwnForm) {
  const std::string line = demoPublicKeyLine();
  ASSERT_TRUE(readPublicKey(line));
  EXPECT_EQ(readPublicKey(" " + line + "\r\n")->key, readPublicKey(line)->key);
  EXPECT_EQ(readPublicKey(line)->key, demoSecretKey().publicKey().key);
  EXPECT_EQ(readPublicKey(line)->id, demoSecretKey().id);
  for (const std::string& bad : {std::string(), line.substr(1), line + "A", "RX" + line.substr(2), line + " x"})
    EXPECT_FALSE(readPublicKey(bad)) << bad;

  std::ifstream in(std::string(RINGFLASH_DEMO_KEY) + ".sec");
  const std::string secret((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_TRUE(readSecretKey(secret));
  std::string withPassword = secret;
  withPassword.replace(secret.find('\n') + 1, 8, "RWRTY0Iy");  // key derivation "Sc"
  EXPECT_FALSE(readSecretKey(withPassword));
  std::string damaged = secret;
  char& digit = damaged[damaged.find('\n') + 100];
  digit = digit == 'A' ? 'B' : 'A';  // the secret half no longer gives the public one
  EXPECT_FALSE(readSecretKey(damaged));
}

TEST(ListSignature, ASignedListNeedsEveryHash) {
  ImageCheck check;
  const auto withHash = splitFields(kList.substr(0, kList.size() - 1));
  EXPECT_EQ(readImageCheck(withHash, check, true), ImageCheckReading::ok);
  for (const char* line : {"t;1;2;v;d;i;u", "t;1;2;v;d;i;u;;3"}) {
    EXPECT_EQ(readImageCheck(splitFields(line), check, true), ImageCheckReading::missingHash) << line;
    EXPECT_EQ(readImageCheck(splitFields(line), check, false), ImageCheckReading::ok) << line;
  }
}

TEST_F(MinisignInterop, ItsSignaturesVerifyHereInBothForms) {
  write("list.txt", kList);
  for (const char* options : {"", "-l", "-t 'timestamp:5\tfile:x'"}) {
    ASSERT_TRUE(run(std::string("minisign -S -s k.sec -m list.txt ") + options)) << read("out.log");
    EXPECT_EQ(verify(kList, read("list.txt.minisig"), {publicKey()}), Verdict::verified) << options;
    EXPECT_EQ(verify(kList + " ", read("list.txt.minisig"), {publicKey()}), Verdict::listAltered) << options;
  }
}

TEST_F(MinisignInterop, SignaturesWrittenHereVerifyWithIt) {
  write("list.txt", kList);
  const auto key = readSecretKey(read("k.sec"));
  ASSERT_TRUE(key);
  EXPECT_EQ(key->publicKey().key, publicKey().key);
  for (bool prehashed : {true, false}) {
    write("list.txt.minisig", signatureFile(bytesOf(kList), *key, "timestamp:1\tfile:list.txt", prehashed));
    EXPECT_TRUE(run("minisign -V -p k.pub -m list.txt")) << prehashed << read("out.log");
  }
  write("list.txt", kList + "x");
  EXPECT_FALSE(run("minisign -V -p k.pub -m list.txt"));
}

// The items a publisher's comment holds; a time out of form or an item given
// twice leaves which one was meant unknown.
TEST(TrustedComments, ItemsAsMinisignAndPublishersWriteThem) {
  const TrustedComment stock = readTrustedComment("timestamp:1796770080\tfile:MIRAVEL_LST.txt\thashed");
  EXPECT_TRUE(stock.wellFormed);
  EXPECT_EQ(stock.signedAt, 1796770080);
  EXPECT_EQ(stock.file, "MIRAVEL_LST.txt");
  EXPECT_FALSE(stock.expiresAt);
  EXPECT_EQ(readTrustedComment("timestamp:5\texpires:99\tchannel:beta").expiresAt, 99);
  EXPECT_TRUE(readTrustedComment("").wellFormed);
  EXPECT_TRUE(readTrustedComment("signed by the shop").wellFormed);
  for (const char* bad :
       {"expires:soon", "expires:", "expires:-1", "timestamp:1x", "expires:1\texpires:2", "file:a\tfile:b"})
    EXPECT_FALSE(readTrustedComment(bad).wellFormed) << bad;
}

// Lists signed with the stock tool and served under the list's own name: the
// comment it writes by default is accepted; an expiry passed and a file of
// another name are refused, each with its own kind, after the signature
// verified.
TEST_F(MinisignInterop, TheTrustedCommentKeepsAListCurrentAndItsOwn) {
  FirmwareServer server;
  ASSERT_TRUE(server.start());
  const std::string url = server.base() + catalogue::kListPath;
  auto served = [&](const std::string& signed_, const std::string& signature) {
    server.put(catalogue::kListPath, bytesOf(read(signed_)));
    server.put(std::string(catalogue::kListPath) + ".minisig", bytesOf(read(signature)));
    return readFirmwareList(url, platform::UrlReadOptions::forText(), {publicKey()});
  };
  write("MIRAVEL_LST.txt", kList);
  ASSERT_TRUE(run("minisign -S -s k.sec -m MIRAVEL_LST.txt")) << read("out.log");
  const ListReading stock = served("MIRAVEL_LST.txt", "MIRAVEL_LST.txt.minisig");
  EXPECT_EQ(stock.failure, Fault::none);
  EXPECT_TRUE(stock.signedList);
  EXPECT_NEAR(static_cast<double>(stock.comment.signedAt.value_or(0)), static_cast<double>(std::time(nullptr)), 600);

  const std::string now = std::to_string(std::time(nullptr));
  const std::string past = std::to_string(std::time(nullptr) - 86400);
  const std::string later = std::to_string(std::time(nullptr) + 86400);
  ASSERT_TRUE(run("minisign -S -s k.sec -m MIRAVEL_LST.txt -t 'timestamp:" + now +
                  "\tfile:MIRAVEL_LST.txt\texpires:" + past + "'"));
  const ListReading expired = served("MIRAVEL_LST.txt", "MIRAVEL_LST.txt.minisig");
  EXPECT_EQ(expired.failure, Fault::listExpired);
  EXPECT_FALSE(expired.lines);
  ASSERT_TRUE(run("minisign -S -s k.sec -m MIRAVEL_LST.txt -t 'timestamp:" + now + "\texpires:" + later + "'"));
  EXPECT_EQ(served("MIRAVEL_LST.txt", "MIRAVEL_LST.txt.minisig").failure, Fault::none);
  // A publisher's comment may name the file with the path it was signed at.
  ASSERT_TRUE(run("minisign -S -s k.sec -m MIRAVEL_LST.txt -t 'file:/srv/www/product/MIRAVEL_LST.txt'"));
  EXPECT_EQ(served("MIRAVEL_LST.txt", "MIRAVEL_LST.txt.minisig").failure, Fault::none);

  write("beta.txt", kList);
  ASSERT_TRUE(run("minisign -S -s k.sec -m beta.txt"));
  const ListReading other = served("beta.txt", "beta.txt.minisig");
  EXPECT_EQ(other.failure, Fault::listOtherFile);
  EXPECT_EQ(other.comment.file, "beta.txt");
}
