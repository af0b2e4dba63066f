#include <gtest/gtest.h>

#include <vector>

#include "platform/ReportDescriptor.h"

using platform::maxInputReportSize;

namespace {
std::optional<std::int64_t> sizeOf(const std::vector<std::uint8_t>& d) {
  return maxInputReportSize(d.data(), d.size());
}

// A vendor-defined page with 64-byte input and output reports and no ids,
// the shape of the adapter's descriptor.
const std::vector<std::uint8_t> kVendor64 = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02,
                                             0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40,
                                             0x81, 0x02, 0x09, 0x03, 0x95, 0x40, 0x91, 0x02, 0xC0};
}  // namespace

TEST(ReportDescriptor, VendorPageWithoutIds) { EXPECT_EQ(sizeOf(kVendor64), 64); }

TEST(ReportDescriptor, NumberedReportsAddTheIdByteAndSumRepeatedIds) {
  const std::vector<std::uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85,
                                       0x01, 0x75, 0x08, 0x95, 0x10, 0x81, 0x02,        // id 1: 16 bytes
                                       0x85, 0x02, 0x75, 0x08, 0x95, 0x20, 0x81, 0x02,  // id 2: 32 bytes
                                       0x85, 0x02, 0x75, 0x01, 0x95, 0x03, 0x81, 0x03,  // id 2 again: 3 padding bits
                                       0x85, 0x03, 0x75, 0x08, 0x95, 0x7F, 0x91, 0x02,  // output only: not counted
                                       0xC0};
  EXPECT_EQ(sizeOf(d), 32 + 1 + 1);
}

TEST(ReportDescriptor, PushAndPopRestoreTheWholeGlobalState) {
  const std::vector<std::uint8_t> d = {0x85, 0x01, 0x75, 0x08, 0x95, 0x04,  // id 1, 4 bytes
                                       0xA4,                                // push
                                       0x85, 0x02, 0x95, 0x30, 0x81, 0x02,  // id 2, 48 bytes
                                       0xB4,                                // pop: back to id 1, count 4
                                       0x81, 0x02, 0x81, 0x02};             // id 1: 8 bytes
  EXPECT_EQ(sizeOf(d), 49);
}

TEST(ReportDescriptor, LongItemsAreSkipped) {
  std::vector<std::uint8_t> d = {0xFE, 0x03, 0x10, 0x81, 0x02, 0x95};  // a long item whose data looks like items
  d.insert(d.end(), kVendor64.begin(), kVendor64.end());
  EXPECT_EQ(sizeOf(d), 64);
}

TEST(ReportDescriptor, MalformedDescriptorsHaveNoSize) {
  EXPECT_EQ(sizeOf({0x75, 0x08, 0x95}), std::nullopt);        // item cut short
  EXPECT_EQ(sizeOf({0x27, 0xFF, 0xFF}), std::nullopt);        // 4-byte item, 2 bytes left
  EXPECT_EQ(sizeOf({0xFE, 0x10, 0x00, 0x01}), std::nullopt);  // long item past the end
  EXPECT_EQ(sizeOf({0xFE}), std::nullopt);
  EXPECT_EQ(sizeOf({0x85, 0x00}), std::nullopt);        // report id 0
  EXPECT_EQ(sizeOf({0x76, 0x01, 0x01}), std::nullopt);  // report size 257
  EXPECT_EQ(sizeOf({0xB4}), std::nullopt);              // pop of an empty stack
}

TEST(ReportDescriptor, HostileInputStaysBounded) {
  std::vector<std::uint8_t> pushes(100, 0xA4);
  EXPECT_EQ(sizeOf(pushes), std::nullopt);
  // The largest counts and sizes cannot overflow the sum.
  std::vector<std::uint8_t> big;
  for (int i = 0; i < 1000; ++i) big.insert(big.end(), {0x76, 0x00, 0x01, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02});
  // ... and a size no hidraw report can have is no size at all.
  EXPECT_EQ(sizeOf(big), std::nullopt);
  EXPECT_EQ(sizeOf({}), 0);
  // 16384 one-byte fields is the largest report.
  EXPECT_EQ(sizeOf({0x75, 0x08, 0x96, 0x00, 0x40, 0x81, 0x02}), 16384);
  EXPECT_EQ(sizeOf({0x75, 0x08, 0x96, 0x01, 0x40, 0x81, 0x02}), std::nullopt);
}
