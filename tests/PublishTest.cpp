// The publisher's tool: a list's image fields filled in from the server's
// document root and the list signed in place, as the field and the stock
// minisign read it, with keys made with a password and without.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "catalogue/ImageCheck.h"
#include "catalogue/ListSignature.h"
#include "catalogue/TrustedComment.h"
#include "publish/ListFilling.h"
#include "publish/Publishing.h"
#include "server/SampleCatalogue.h"
#include "support/MinisignInterop.h"

using publish::PublishFault;

namespace {

platform::Data bytesOf(const std::string& text) { return platform::Data(text.begin(), text.end()); }

std::string line(const std::string& url, const std::string& check) {
  return "EF-RF;f1a5;0001;Ver 1.0.1;d;" + url + ";http://h/d.txt" + check;
}

// A document root with one image, and a list beside it.
class PublishFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ringflash-publish-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    std::filesystem::create_directories(dir + "/www/fw");
    write("www/fw/a.bin", "abc");
    write("secret.bin", "outside the root");
    request.list = dir + "/MIRAVEL_LST.txt";
    request.root = dir + "/www";
    request.secretKey = std::string(RINGFLASH_DEMO_KEY) + ".sec";
    request.now = 1796770080;
    request.password = [this] { return ++passwordAsked, std::optional<std::string>(); };
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(dir + "/" + name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(dir + "/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  bool untouched(const std::string& list) const {
    return read("MIRAVEL_LST.txt") == list && !std::filesystem::exists(request.list + ".minisig");
  }
  std::string dir;
  publish::PublishRequest request;
  int passwordAsked = 0;
};

}  // namespace

TEST_F(PublishFolder, ImagesAreLookedUpUnderTheRootOnly) {
  const ImageLookup image = imagesUnderRoot(request.root);
  for (const char* url :
       {"http://h/fw/a.bin", "http://h:8917/fw/a.bin?x=1", "http://h/fw/%61.bin", "http://h//fw/a.bin"})
    EXPECT_EQ(image(url), bytesOf("abc")) << url;
  for (const char* url :
       {"http://h/../secret.bin", "http://h/fw/%2e%2e/../secret.bin", "http://h/fw/..%2f..%2fsecret.bin", "http://h/fw",
        "http://h/", "fw/a.bin", "http://h/fw/a.bin%00x", "no url at all"})
    EXPECT_FALSE(image(url)) << url;
}

// The line whose image is there gets its hash and size, even over stale
// ones; a line whose image is served from elsewhere keeps its own; other
// lines stay byte for byte.
TEST_F(PublishFolder, AListIsFilledAndSignedInPlace) {
  const std::string kept = line("http://cdn/b.bin", ";" + std::string(64, 'b') + ";5");
  write("MIRAVEL_LST.txt",
        line("http://h/fw/a.bin", ";" + std::string(64, 'f') + ";9") + "\r\n" + kept + "\r\nnotes;x\r\n");
  request.expiresInDays = 30;
  const publish::Published published = publish::publishList(request);
  ASSERT_EQ(published.fault, PublishFault::none);
  EXPECT_EQ(published.filled, 1);
  ASSERT_EQ(published.unfound.size(), 1u);
  EXPECT_EQ(published.unfound[0].line, 2);
  EXPECT_TRUE(published.unfound[0].hasHash);
  EXPECT_EQ(passwordAsked, 0);

  const std::string list = read("MIRAVEL_LST.txt");
  EXPECT_EQ(list, line("http://h/fw/a.bin", ";" + catalogue::sha256Hex(bytesOf("abc")) + ";3") + "\r\n" + kept +
                      "\r\nnotes;x\r\n");
  std::string comment;
  EXPECT_EQ(catalogue::verifyListSignature(bytesOf(list), bytesOf(read("MIRAVEL_LST.txt.minisig")),
                                           {demoSecretKey().publicKey()}, &comment),
            catalogue::SignatureVerdict::verified);
  const catalogue::TrustedComment items = catalogue::readTrustedComment(comment);
  EXPECT_EQ(items.signedAt, request.now);
  EXPECT_EQ(items.file, "MIRAVEL_LST.txt");
  EXPECT_EQ(items.expiresAt, request.now + 30 * 86400);
}

// A signed list with an entry that cannot be checked would refuse that entry
// in the field; a key that cannot be used, or a signature that cannot be
// put in place, leaves the published pair as it was.
TEST_F(PublishFolder, NothingIsWrittenWhenTheResultWouldNotServe) {
  const std::string list = line("http://h/fw/a.bin", "") + "\n" + line("http://h/fw/missing.bin", "") + "\n";
  write("MIRAVEL_LST.txt", list);
  publish::Published published = publish::publishList(request);
  EXPECT_EQ(published.fault, PublishFault::hashMissing);
  EXPECT_EQ(published.line, 2);
  EXPECT_TRUE(untouched(list));

  write("MIRAVEL_LST.txt", line("http://h/fw/a.bin", "") + "\n");
  const std::string good = read("MIRAVEL_LST.txt");
  for (const auto& [key, kind] : {std::pair{std::string(RINGFLASH_DEMO_KEY) + ".pub", PublishFault::notAKey},
                                  {dir + "/none.sec", PublishFault::keyNotRead},
                                  {dir + "/www", PublishFault::keyNotRead}}) {
    request.secretKey = key;
    EXPECT_EQ(publish::publishList(request).fault, kind) << key;
    EXPECT_TRUE(untouched(good)) << key;
  }
  request.secretKey = std::string(RINGFLASH_DEMO_KEY) + ".sec";
  std::filesystem::create_directory(request.list + ".minisig");
  EXPECT_EQ(publish::publishList(request).fault, PublishFault::notWritten);
  EXPECT_EQ(read("MIRAVEL_LST.txt"), good);
  request.list = dir + "/none.txt";
  EXPECT_EQ(publish::publishList(request).fault, PublishFault::listNotRead);
  write("latin1.txt", line("http://h/fw/a.bin", ";d\xe9j\xe0") + "\n");  // the tools would say it is no text
  request.list = dir + "/latin1.txt";
  EXPECT_EQ(publish::publishList(request).fault, PublishFault::listNotText);
  EXPECT_FALSE(std::filesystem::exists(request.list + ".minisig"));
}

// The program over the stock tool's keys: what it signs, `minisign -V`
// verifies, the expiry in the comment it shows.
TEST_F(MinisignInterop, WhatThePublishersToolSignsVerifiesWithTheStockTool) {
  std::filesystem::create_directories(dir + "/www/fw");
  write("www/fw/a.bin", "abc");
  write("MIRAVEL_LST.txt", line("http://h/fw/a.bin", "") + "\n");
  const std::string publish = std::string(RINGFLASH_PUBLISH_PROGRAM) + " MIRAVEL_LST.txt --root www --secret-key k.sec";
  EXPECT_EQ(exitOf(publish + " --expires-in 0"), 2);
  EXPECT_EQ(exitOf(std::string(RINGFLASH_PUBLISH_PROGRAM) + " MIRAVEL_LST.txt --secret-key k.sec"), 2);
  // A disk that fills up halfway through a file: nothing replaced, nothing said to be signed.
  const std::string list = read("MIRAVEL_LST.txt");
  EXPECT_EQ(exitOf("prlimit --fsize=100 -- sh -c 'trap \"\" XFSZ; exec " + publish + "'"), 1) << read("out.log");
  EXPECT_EQ(read("MIRAVEL_LST.txt"), list);
  EXPECT_FALSE(exists("MIRAVEL_LST.txt.minisig"));
  ASSERT_TRUE(run(publish + " --expires-in 7")) << read("out.log");
  EXPECT_NE(read("MIRAVEL_LST.txt").find(catalogue::sha256Hex(bytesOf("abc")) + ";3"), std::string::npos);
  ASSERT_TRUE(run("minisign -V -p k.pub -m MIRAVEL_LST.txt")) << read("out.log");
  EXPECT_NE(read("out.log").find("\texpires:"), std::string::npos) << read("out.log");
}

// A key made with a password: read from a file, or typed on the terminal
// with its echo off; a wrong one, or none to be had, writes nothing.
TEST_F(MinisignInterop, AKeyWithAPasswordIsAskedForOnTheTerminalOrReadFromAFile) {
  const std::string answer = std::string("python3 ") + RINGFLASH_ANSWER_PASSWORD;
  ASSERT_TRUE(run(answer + " 's3cret' minisign -G -p p.pub -s p.sec")) << read("out.log");
  std::filesystem::create_directories(dir + "/www/fw");
  write("www/fw/a.bin", "abc");
  const std::string list = line("http://h/fw/a.bin", "") + "\n";
  write("MIRAVEL_LST.txt", list);
  write("wrong.txt", "s3cret!\n");
  write("right.txt", "s3cret\n");
  const std::string publish = std::string(RINGFLASH_PUBLISH_PROGRAM) + " MIRAVEL_LST.txt --root www --secret-key p.sec";

  EXPECT_EQ(exitOf(publish + " --password-file wrong.txt"), 1);
  EXPECT_EQ(exitOf("setsid -w " + publish + " < /dev/null"), 1);  // no terminal to ask on
  EXPECT_EQ(read("MIRAVEL_LST.txt"), list);
  EXPECT_FALSE(exists("MIRAVEL_LST.txt.minisig"));

  ASSERT_TRUE(run(publish + " --password-file right.txt")) << read("out.log");
  EXPECT_TRUE(run("minisign -V -p p.pub -m MIRAVEL_LST.txt")) << read("out.log");
  write("MIRAVEL_LST.txt", list);
  ASSERT_TRUE(run(answer + " 's3cret' " + publish)) << read("out.log");
  EXPECT_TRUE(run("minisign -V -p p.pub -m MIRAVEL_LST.txt")) << read("out.log");
}
