#include <gtest/gtest.h>

#include "catalogue/CatalogueTexts.h"
#include "catalogue/FirmwareAnswer.h"
#include "catalogue/FirmwareList.h"
#include "catalogue/ImageCheck.h"
#include "catalogue/ListLines.h"
#include "catalogue/ZeroFill.h"
#include "publish/ListFilling.h"
#include "server/SampleCatalogue.h"

using namespace catalogue;

TEST(FirmwareListLines, CrLfAndLfGiveTheSameLinesAndCrInsideAFieldGoes) {
  const auto lf = splitLines("a;1;2\nb;3;4\n");
  EXPECT_EQ(splitLines("a;1;2\r\nb;3;4\r\n"), lf);
  EXPECT_EQ(splitLines("a;1\r;2\nb;3;4\n"), lf);
  ASSERT_EQ(lf.size(), 3u);
  EXPECT_EQ(lf[2], "");
}

TEST(FirmwareListLines, FinalNewlineAndEmptyLinesAreKept) {
  EXPECT_EQ(splitLines("x").size(), 1u);
  EXPECT_EQ(splitLines("x\n").size(), 2u);
  EXPECT_EQ(splitLines("x\n\ny"), (std::vector<std::string>{"x", "", "y"}));
  EXPECT_EQ(splitLines(""), (std::vector<std::string>{""}));
}

// The window keeps its lines in one text; they must be the lines the format gives.
TEST(FirmwareListLines, KeptLinesAreTheFormatsLines) {
  for (const std::string text :
       {"", "\n", "\r", "\r\n\r\n", "x", "x\n", "\rx\r\r\ny\r", "a;1\r;2\n\nb;3;4\n", "\n\nlast"}) {
    const ListLines kept(platform::Data(text.begin(), text.end()));
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < kept.size(); ++i) lines.emplace_back(kept[i]);
    EXPECT_EQ(lines, splitLines(text)) << text;
    EXPECT_EQ(kept.text().find('\r'), std::string_view::npos) << text;
  }
}

TEST(FirmwareListFields, EmptyFieldsKeepTheNumberingAndNothingIsTrimmed) {
  const auto f = splitFields("T;;0002; Ver 1.2.3 ;D;img;desc;extra");
  ASSERT_EQ(f.size(), 8u);
  EXPECT_EQ(f[fVendor], "");
  EXPECT_EQ(f[fProduct], "0002");
  EXPECT_EQ(f[fVersion], " Ver 1.2.3 ");
  EXPECT_EQ(f[fDescription], "desc");
  EXPECT_EQ(fieldOf(splitFields("only"), fDetail), "");
}

TEST(HexReading, CaseprefixAndLeadingSpaceGiveTheSameIdentifier) {
  for (const char* text : {"f1a5", "F1A5", "0xf1a5", "0XF1A5", "  f1a5", "\t\n0xF1a5;", "f1a5zz"}) {
    std::uint32_t v = 0;
    EXPECT_TRUE(readHexField(text, v)) << text;
    EXPECT_EQ(v, 0xF1A5u) << text;
  }
  std::uint32_t v = 7;
  EXPECT_TRUE(readHexField("10", v));
  EXPECT_EQ(v, 16u);
}

TEST(HexReading, NoDigitsLeavesTheTargetAndOverflowSaturates) {
  std::uint32_t v = 1234;
  EXPECT_FALSE(readHexField("g", v));  // the letter after f
  EXPECT_FALSE(readHexField("g1a5", v));
  EXPECT_EQ(v, 1234u);
  EXPECT_TRUE(readHexField("f1a5g", v));
  EXPECT_EQ(v, 0xF1A5u);
  v = 1234;
  EXPECT_FALSE(readHexField("", v));
  EXPECT_FALSE(readHexField("zz", v));
  EXPECT_FALSE(readHexField("-1", v));
  EXPECT_EQ(v, 1234u);
  EXPECT_TRUE(readHexField("123456789abcdef", v));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  EXPECT_TRUE(readHexField("0x", v));  // the 0 is a digit of its own
  EXPECT_EQ(v, 0u);
}

TEST(VersionReading, SpellingsOfTheSameVersion) {
  for (const char* text : {"Ver 1.2.3", "VER1.2.3", "ver 1 . 2 . 3", "1.2.3", "ver1..2.3", "Ver 1.2.3.9"}) {
    std::array<std::int64_t, 3> v{0, 0, 0};
    EXPECT_TRUE(readVersionField(text, v)) << text;
    EXPECT_EQ(v, (std::array<std::int64_t, 3>{1, 2, 3})) << text;
  }
  std::array<std::int64_t, 3> v{0, 0, 0};
  EXPECT_TRUE(readVersionField("ver 2.10.0", v));
  EXPECT_EQ(v, (std::array<std::int64_t, 3>{2, 10, 0}));
}

TEST(VersionReading, MissingPiecesLeaveTheirElementsAndAreReported) {
  std::array<std::int64_t, 3> v{7, 8, 9};
  EXPECT_FALSE(readVersionField("ver 4.5", v));
  EXPECT_EQ(v, (std::array<std::int64_t, 3>{4, 5, 9}));
  v = {7, 8, 9};
  EXPECT_FALSE(readVersionField("ver x.5.6", v));
  EXPECT_EQ(v, (std::array<std::int64_t, 3>{7, 5, 6}));
  EXPECT_TRUE(readVersionField("ver -1.+2.300", v));
  EXPECT_EQ(v, (std::array<std::int64_t, 3>{-1, 2, 300}));
  EXPECT_TRUE(readVersionField("ver 99999999999999999999.0.0", v));
  EXPECT_EQ(v[0], INT64_MAX);
}

TEST(VersionReading, TabsAreNotRemovedButSkippedAsLeadingWhitespace) {
  std::array<std::int64_t, 3> v{0, 0, 0};
  EXPECT_TRUE(readVersionField("ver\t1.\t2.3", v));
  EXPECT_EQ(v, (std::array<std::int64_t, 3>{1, 2, 3}));
}

TEST(ZeroFillTest, PadsToTheNextWholeBlockAlways) {
  for (auto [in, out] : {std::pair{0, 1024}, {1, 1024}, {1000, 1024}, {1023, 1024}, {1024, 2048}, {2048, 3072}}) {
    platform::Data image(static_cast<std::size_t>(in), 0xAB);
    zeroFill(image);
    ASSERT_EQ(image.size(), static_cast<std::size_t>(out)) << in;
    EXPECT_TRUE(std::all_of(image.begin() + in, image.end(), [](auto b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(image.begin(), image.begin() + in, [](auto b) { return b == 0xAB; }));
  }
}

// An answer that is nothing, or an HTML page however the server spells its
// type, is never firmware; any other declared type, or none, says nothing.
TEST(FirmwareAnswer, EmptyBodiesAndHtmlPagesAreNotFirmware) {
  const platform::Data bytes{1, 2, 3};
  EXPECT_EQ(whyNotFirmware({}, "application/octet-stream"), Fault::imageEmpty);
  EXPECT_EQ(whyNotFirmware({}, ""), Fault::imageEmpty);
  for (const char* html : {"text/html", "TEXT/HTML", "text/html; charset=utf-8", " text/html ;q=1"})
    EXPECT_EQ(whyNotFirmware(bytes, html), Fault::imageNotFirmware) << html;
  for (const char* other : {"", "application/octet-stream", "text/plain", "text/htmlx", "application/xhtml"})
    EXPECT_EQ(whyNotFirmware(bytes, other), Fault::none) << other;
}

TEST(ImageCheckFields, AbsentOrEmptySayNothingMalformedIsRefused) {
  const std::string hex(64, 'a');
  ImageCheck check;
  EXPECT_EQ(readImageCheck(splitFields("t;1;2;v;d;i;u"), check), ImageCheckReading::ok);
  EXPECT_EQ(readImageCheck(splitFields("t;1;2;v;d;i;u;;"), check), ImageCheckReading::ok);
  EXPECT_FALSE(check.checksAnything());
  for (const std::string& bad : {std::string(63, 'a'), std::string(65, 'a'), std::string(63, 'a') + "g", " " + hex,
                                 hex + " ", "0x" + std::string(62, 'a')})
    EXPECT_EQ(readImageCheck(splitFields("t;1;2;v;d;i;u;" + bad), check), ImageCheckReading::badHash) << bad;
  for (const char* bad : {"-1", "+1", " 1", "1 ", "1e3", "0x10", "18446744073709551616"})
    EXPECT_EQ(readImageCheck(splitFields("t;1;2;v;d;i;u;;" + std::string(bad)), check), ImageCheckReading::badSize)
        << bad;
  EXPECT_FALSE(check.checksAnything());

  const std::string mixed = "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852b855";
  ASSERT_EQ(readImageCheck(splitFields("t;1;2;v;d;i;u;" + mixed + ";0;extra"), check), ImageCheckReading::ok);
  EXPECT_EQ(check.sha256, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(check.size, 0u);
  ImageCheck big;
  EXPECT_EQ(readImageCheck(splitFields("t;1;2;v;d;i;u;;18446744073709551615"), big), ImageCheckReading::ok);
  EXPECT_EQ(big.size, UINT64_MAX);
}

TEST(ImageCheckFields, Sha256KnownVectors) {
  auto bytes = [](const std::string& s) { return platform::Data(s.begin(), s.end()); };
  EXPECT_EQ(sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(sha256Hex(bytes("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(sha256Hex(bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST(ImageCheckFields, AnImageMatchesOnlyWithItsOwnHashAndSize) {
  const platform::Data image = sampleImage(1000, "x");
  ImageCheck check;
  check.sha256 = sha256Hex(image);
  check.size = 1000;
  EXPECT_TRUE(check.matches(image));
  platform::Data flipped = image;
  flipped[500] ^= 0x01;
  EXPECT_FALSE(check.matches(flipped));
  EXPECT_FALSE(check.matches(platform::Data(image.begin(), image.end() - 1)));
  check.sha256.reset();
  check.size = 999;
  EXPECT_FALSE(check.matches(image));
}

// The bundled list's hashes and sizes are those the publisher's mode computes
// from the bundled images, but for the one entry that is wrong on purpose.
TEST(ListSigningTest, SigningTheSampleListReproducesItsHashes) {
  FirmwareServer server;
  const std::string list = sampleListText(server, RINGFLASH_DEMO_CATALOGUE);
  std::string unsigned_;
  for (const auto& line : splitLines(list)) {
    auto f = splitFields(line);
    if (f.size() > kFieldsToSelect) f.resize(kFieldsToSelect);
    for (std::size_t i = 0; i < f.size(); ++i) unsigned_ += (i ? ";" : "") + f[i];
    unsigned_ += "\n";
  }
  unsigned_.pop_back();
  std::map<std::string, std::size_t> sizes{
      {"ef-rf-1000.bin", 1000}, {"ef-rf-1024.bin", 1024}, {"pk-nz-2048.bin", 2048}, {"pk-nz-65536.bin", 65536}};
  const auto lookup = [&](const std::string& url) -> std::optional<platform::Data> {
    const std::string name = url.substr(url.rfind('/') + 1);
    if (!sizes.count(name)) return std::nullopt;
    return sampleImage(sizes[name], name);
  };
  const auto signedLines = splitLines(fillImageFields(unsigned_, lookup));
  const auto listed = splitLines(list);
  ASSERT_EQ(signedLines.size(), listed.size());
  for (std::size_t row = 0; row < listed.size(); ++row) {
    ImageCheck want, got;
    readImageCheck(splitFields(listed[row]), want);
    readImageCheck(splitFields(signedLines[row]), got);
    if (row == 6) EXPECT_NE(want.sha256, got.sha256);  // the deliberately wrong entry
    else EXPECT_EQ(want.sha256, got.sha256) << row;
    EXPECT_EQ(want.size, got.size) << row;
  }
  EXPECT_EQ(fillImageFields("a;b\r\n;;;;;x/u.bin;d\r\n", lookup),
            "a;b\r\n;;;;;x/u.bin;d\r\n");  // unknown image, short line
}
