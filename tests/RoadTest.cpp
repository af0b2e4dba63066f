// The road at its own level: each malformed field of an entry has its own
// kind, and a line with several faults is refused for the first one the
// window checks, so that the same line always says the same thing; the one
// adapter a command talks to, or the kind of why there is none.
#include <gtest/gtest.h>

#include "catalogue/FirmwareList.h"
#include "road/AttachedAdapters.h"
#include "road/ChosenEntry.h"

using catalogue::Fault;
using update::Outcome;

namespace {

const std::string kHash(64, 'a');

Fault faultOf(const std::string& line, bool signedList = false) {
  update::FirmwareEntry entry;
  catalogue::ImageCheck check;
  return road::entryFault(catalogue::splitFields(line), entry, check, signedList);
}

}  // namespace

TEST(Road, EachMalformedFieldOfAnEntryHasItsKind) {
  const std::string good = "t;f1a5;0001;Ver 1.2.3;d;http://h/a.bin;http://h/d.txt";
  EXPECT_EQ(faultOf(good), Fault::none);
  EXPECT_EQ(faultOf(good + ";" + kHash + ";1000", true), Fault::none);
  EXPECT_EQ(faultOf("t;f1a5;0001;Ver 1.2.3;d;http://h/a.bin"), Fault::entryIncomplete);
  EXPECT_EQ(faultOf("t;f1a5;0001;Ver 1.2.3;d;http://h/a.bin;file:///etc/passwd"), Fault::entryBadDescriptionUrl);
  EXPECT_EQ(faultOf("t;f1a5;xyz;Ver 1.2.3;d;http://h/a.bin;http://h/d.txt"), Fault::entryBadIds);
  EXPECT_EQ(faultOf("t;f1a5;0001;Ver 1.x;d;http://h/a.bin;http://h/d.txt"), Fault::entryBadVersion);
  EXPECT_EQ(faultOf(good + ";abc"), Fault::entryBadHash);
  EXPECT_EQ(faultOf(good + ";" + kHash + ";-5"), Fault::entryBadSize);
  EXPECT_EQ(faultOf(good, true), Fault::entryHashMissing);

  update::FirmwareEntry entry;
  catalogue::ImageCheck check;
  ASSERT_EQ(road::entryFault(catalogue::splitFields(good + ";" + kHash + ";1000"), entry, check, true), Fault::none);
  EXPECT_EQ(entry.vendorId, 0xF1A5u);
  EXPECT_EQ(entry.productId, 1u);
  EXPECT_EQ(entry.version, (std::array<std::int64_t, 3>{1, 2, 3}));
  EXPECT_TRUE(check.checksAnything());
}

TEST(Road, ALineWithSeveralFaultsIsRefusedForTheFirstOneChecked) {
  EXPECT_EQ(faultOf("t;zz;0001;bad;d;http://h/a.bin;ftp://h/d.txt;abc;-1", true), Fault::entryBadDescriptionUrl);
  EXPECT_EQ(faultOf("t;zz;0001;bad;d;http://h/a.bin;http://h/d.txt;abc;-1", true), Fault::entryBadIds);
  EXPECT_EQ(faultOf("t;f1a5;0001;bad;d;http://h/a.bin;http://h/d.txt;abc;-1", true), Fault::entryBadVersion);
  EXPECT_EQ(faultOf("t;f1a5;0001;Ver 1.2.3;d;http://h/a.bin;http://h/d.txt;abc;-1", true), Fault::entryBadHash);
}

namespace {
platform::HidrawNode nodeAt(std::string port, std::int64_t product, bool denied = false) {
  return {"/dev/hidraw" + port, port, 0xF1A5, product, "", "", denied};
}
}  // namespace

TEST(Road, TheAdapterChosenOrTheKindOfWhyNone) {
  const std::vector<road::IdPair> ids{{0xF1A5, 1}};
  const auto one = nodeAt("1-1", 1), two = nodeAt("1-2", 1), other = nodeAt("1-3", 7);
  auto choose = [&](std::vector<platform::HidrawNode> attached, std::string port) {
    return road::chooseAdapter(attached, ids, port);
  };
  EXPECT_EQ(choose({}, "").refused, Outcome::noAdapter);
  EXPECT_EQ(choose({other}, "").refused, Outcome::noAdapter);  // another kind of device is not an adapter for it
  const auto only = choose({other, one}, "");
  ASSERT_TRUE(only.adapter);
  EXPECT_EQ(only.adapter->port, "1-1");
  EXPECT_FALSE(only.refused);

  const auto several = choose({one, two}, "");
  EXPECT_EQ(several.refused, Outcome::severalAdapters);
  EXPECT_FALSE(several.adapter);
  EXPECT_EQ(several.candidates.size(), 2u);
  const auto named = choose({one, two}, "1-2");
  ASSERT_TRUE(named.adapter);
  EXPECT_EQ(named.adapter->port, "1-2");

  EXPECT_EQ(choose({one, other}, "1-3").refused, Outcome::mismatch);  // something is there, not for this entry
  EXPECT_EQ(choose({one}, "2-9").refused, Outcome::noAdapter);
  const auto denied = choose({nodeAt("1-1", 1, true)}, "");
  EXPECT_EQ(denied.refused, Outcome::denied);
  ASSERT_TRUE(denied.adapter);  // named, so that its node can be said
  EXPECT_EQ(denied.adapter->node, "/dev/hidraw1-1");
}

TEST(Road, TheIdsOfAListAreEachPairOnceInTheirOrder) {
  const std::string text =
      "a;f1a5;0002;Ver 1.0.0;d;u;u\r\nb;f1a5;0001;Ver 1.0.0;d;u;u\r\nc;f1a5;0002;Ver 2.0.0;d;u;u\r\n"
      "d;zz;0003;Ver 1.0.0;d;u;u\r\ne;f1a5\r\n";
  const catalogue::ListLines lines(platform::Data(text.begin(), text.end()));
  EXPECT_EQ(road::idsInList(lines), (std::vector<road::IdPair>{{0xF1A5, 2}, {0xF1A5, 1}}));
}
