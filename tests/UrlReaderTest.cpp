#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/Mirror.h"
#include "platform/UrlReader.h"
#include "server/FirmwareServer.h"

using platform::readURL;
using Status = platform::UrlReadResult::Status;
using Fault = FirmwareServer::Behaviour::Fault;

class UrlReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.start());
    server.put("/a", body);
  }
  std::string url(const std::string& path) const { return server.base() + path; }
  FirmwareServer server;
  platform::Data body = platform::Data(3000, 0x5A);
};

TEST_F(UrlReaderTest, ReadsTheWholeBody) {
  auto r = readURL(url("/a"));
  EXPECT_EQ(r.status, Status::ok);
  EXPECT_EQ(r.bytes, body);
  EXPECT_EQ(r.contentType, "application/octet-stream");  // what the download's rules look at
}

TEST_F(UrlReaderTest, NotFoundCutAndWrongLengthAreFailedReads) {
  EXPECT_EQ(readURL(url("/missing")).status, Status::failed);
  server.setBehaviour("/a", FirmwareServer::Behaviour::cut(1000));
  auto cut = readURL(url("/a"));
  EXPECT_EQ(cut.status, Status::failed);
  EXPECT_TRUE(cut.bytes.empty());
  server.setBehaviour("/a", FirmwareServer::Behaviour::of(Fault::wrongLength));
  EXPECT_EQ(readURL(url("/a")).status, Status::failed);
}

TEST_F(UrlReaderTest, RefusedConnectionIsAFailedRead) {
  const std::string dead = url("/a");
  server.stop();
  EXPECT_EQ(readURL(dead).status, Status::failed);
}

using Behaviour = FirmwareServer::Behaviour;

TEST_F(UrlReaderTest, OnlyAWholeAnswerCountsWhateverBodyCameWithTheStatus) {
  for (int status : {204, 206, 300, 301, 304, 399}) {
    server.setBehaviour("/a", Behaviour::answerWith(status));
    auto r = readURL(url("/a"));
    EXPECT_EQ(r.status, Status::failed) << status;
    EXPECT_TRUE(r.bytes.empty()) << status;
  }
  server.setBehaviour("/a", Behaviour::answerWith(203));
  EXPECT_EQ(readURL(url("/a")).bytes, body);
}

TEST_F(UrlReaderTest, KnownCodingsAreDecodedAndTheLimitCountsDecodedBytes) {
  for (const char* coding : {"gzip", "deflate"}) {
    server.setBehaviour("/a", Behaviour::encodedAs(coding));
    auto r = readURL(url("/a"));
    EXPECT_EQ(r.status, Status::ok) << coding;
    EXPECT_EQ(r.bytes, body) << coding;
    platform::UrlReadOptions o;
    o.maxBytes = 2999;  // the encoded body is far smaller than that
    EXPECT_EQ(readURL(url("/a"), o).status, Status::tooLarge) << coding;
  }
  server.setBehaviour("/a", Behaviour::encodedAs("x-squash"));
  auto unknown = readURL(url("/a"));
  EXPECT_EQ(unknown.status, Status::failed);
  EXPECT_TRUE(unknown.bytes.empty());
}

TEST_F(UrlReaderTest, ConflictingContentLengthsAreRefused) {
  server.setBehaviour("/a", Behaviour::secondLength(100));
  auto r = readURL(url("/a"));
  EXPECT_EQ(r.status, Status::failed);
  EXPECT_TRUE(r.bytes.empty());
  server.setBehaviour("/a", Behaviour::secondLength(body.size()));  // the same value twice is one length
  EXPECT_EQ(readURL(url("/a")).bytes, body);
}

TEST_F(UrlReaderTest, ATricklingServerMissesTheDeadlineOrTheMinimumRate) {
  server.setBehaviour("/a", Behaviour::trickling(50));
  platform::UrlReadOptions deadline;
  deadline.deadlineSeconds = 1;
  EXPECT_EQ(readURL(url("/a"), deadline).status, Status::failed);
  platform::UrlReadOptions rate;
  rate.minBytesPerSecond = 1024;
  rate.lowSpeedWindowSeconds = 1;
  EXPECT_EQ(readURL(url("/a"), rate).status, Status::failed);
  server.put("/small", platform::Data(20, 1));
  server.setBehaviour("/small", Behaviour::trickling(50));
  EXPECT_EQ(readURL(url("/small"), deadline).status, Status::ok);  // in time
}

TEST_F(UrlReaderTest, OnlyHttpAndHttpsAlsoAfterARedirect) {
  // libcurl follows a redirect to ftp unless told not to; nothing listens on port 1.
  server.setBehaviour("/to-ftp", Behaviour::redirectTo("ftp://127.0.0.1:1/x"));
  EXPECT_EQ(readURL(url("/to-ftp")).status, Status::badScheme);
  EXPECT_EQ(readURL("file:///etc/passwd").status, Status::badScheme);
  EXPECT_EQ(readURL("ftp://127.0.0.1/x").status, Status::badScheme);
  EXPECT_EQ(readURL("").status, Status::badScheme);
  server.setBehaviour("/to-file", FirmwareServer::Behaviour::redirectTo("file:///etc/passwd"));
  auto r = readURL(url("/to-file"));
  EXPECT_NE(r.status, Status::ok);
  EXPECT_TRUE(r.bytes.empty());
  server.setBehaviour("/hop", FirmwareServer::Behaviour::redirectTo(url("/a")));
  EXPECT_EQ(readURL(url("/hop")).bytes, body);
}

TEST_F(UrlReaderTest, AtMostFiveRedirects) {
  for (int i = 0; i < 7; ++i)
    server.setBehaviour("/r" + std::to_string(i),
                        FirmwareServer::Behaviour::redirectTo(url("/r" + std::to_string(i + 1))));
  server.put("/r7", body);
  EXPECT_EQ(readURL(url("/r2")).status, Status::ok);      // five hops
  EXPECT_EQ(readURL(url("/r1")).status, Status::failed);  // six
}

TEST_F(UrlReaderTest, StopsReadingPastTheLimit) {
  platform::UrlReadOptions o;
  o.maxBytes = 2999;
  auto r = readURL(url("/a"), o);
  EXPECT_EQ(r.status, Status::tooLarge);
  EXPECT_TRUE(r.bytes.empty());
  o.maxBytes = 3000;
  EXPECT_EQ(readURL(url("/a"), o).status, Status::ok);
}

TEST_F(UrlReaderTest, AStalledBodyIsGivenUpAfterTheLowSpeedWindow) {
  server.setBehaviour("/a", FirmwareServer::Behaviour::of(Fault::stall));
  platform::UrlReadOptions o;
  o.lowSpeedWindowSeconds = 1;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(readURL(url("/a"), o).status, Status::failed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(UrlShape, WhatCountsAsAUrl) {
  EXPECT_TRUE(platform::isHttpURL("http://127.0.0.1:8917/product/MIRAVEL_LST.txt"));
  EXPECT_TRUE(platform::isHttpURL("HTTPS://host/x"));
  EXPECT_FALSE(platform::isHttpURL("http://"));
  EXPECT_FALSE(platform::isHttpURL("http:///path"));
  EXPECT_FALSE(platform::isHttpURL("http://host/a b"));
  EXPECT_FALSE(platform::isHttpURL("host/x"));
}

// A mirror keeps each URL at HOST_PORT/PATH; nothing a list names can lead
// out of the mirror's folder, and the read's limits hold there too.
TEST(Mirror, EachUrlHasOnePlaceInsideTheMirror) {
  using platform::mirrorPathOf;
  EXPECT_EQ(mirrorPathOf("/m", "http://Fw.Example.NET/product/MIRAVEL_LST.txt"),
            "/m/fw.example.net_80/product/MIRAVEL_LST.txt");
  EXPECT_EQ(mirrorPathOf("/m", "https://h:8443/fw/a%20b.bin?v=2#x"), "/m/h_8443/fw/a b.bin");
  EXPECT_EQ(mirrorPathOf("/m", "http://[::1]:8917//fw/a.bin"), "/m/[--1]_8917/fw/a.bin");
  EXPECT_EQ(mirrorPathOf("/m", "http://h/a/../b.bin"), "/m/h_80/b.bin");  // as the server resolves it
  for (const char* url : {"http://h/fw/%2e%2e/%2e%2e/etc/passwd", "http://h/fw/..%2f..%2fetc", "http://h/fw/",
                          "http://h/", "http://h/a%00b", "file:///etc/passwd", "ftp://h/a.bin", "/fw/a.bin"})
    EXPECT_FALSE(mirrorPathOf("/m", url)) << url;

  char made[] = "/tmp/ringflash-mirror-read-XXXXXX";
  ASSERT_TRUE(::mkdtemp(made));
  const std::string root = made;
  std::filesystem::create_directories(root + "/h_80/fw");
  std::ofstream(root + "/h_80/fw/a.bin") << "abcdef";
  platform::UrlReadOptions options;
  EXPECT_EQ(platform::readMirrored(root, "http://h/fw/a.bin", options).bytes,
            (platform::Data{'a', 'b', 'c', 'd', 'e', 'f'}));
  options.maxBytes = 5;
  EXPECT_EQ(platform::readMirrored(root, "http://h/fw/a.bin", options).status,
            platform::UrlReadResult::Status::tooLarge);
  EXPECT_EQ(platform::readMirrored(root, "http://h/fw/b.bin", {}).status, platform::UrlReadResult::Status::failed);
  EXPECT_EQ(platform::readMirrored(root, "http://h/fw", {}).status, platform::UrlReadResult::Status::failed);
  EXPECT_EQ(platform::readMirrored(root, "file://" + root + "/h_80/fw/a.bin", {}).status,
            platform::UrlReadResult::Status::badScheme);
  std::filesystem::remove_all(root);
}
