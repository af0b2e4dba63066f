// The road's entry checks at their own level: each malformed field has its
// own kind, and a line with several faults is refused for the first one the
// window checks, so that the same line always says the same thing.
#include <gtest/gtest.h>

#include "catalogue/FirmwareList.h"
#include "road/ChosenEntry.h"

using catalogue::Fault;

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
