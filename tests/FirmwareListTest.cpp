#include <gtest/gtest.h>

#include "catalogue/FirmwareList.h"
#include "catalogue/ZeroFill.h"

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
