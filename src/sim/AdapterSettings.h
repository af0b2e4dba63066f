#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace sim {

// What a simulated adapter is and how it behaves; tests turn these knobs.
struct AdapterSettings {
  std::int64_t vendorId = 0;
  std::int64_t productId = 0;
  std::string product = "Simulated lens mount adapter";
  std::optional<std::int64_t> maxInputReportSize = 64;  // none: the property is missing
  std::int64_t locationId = 0x01100000;
  std::string node = "/dev/hidraw0";
  std::array<std::uint8_t, 3> version{1, 0, 0};
  std::uint16_t lensId = 0x00FF;
  double replyDelaySeconds = 0.0;
  std::size_t replyLength = 64;                       // shorter replies carry fewer bytes
  std::optional<std::size_t> silentAfterReports;      // answers nothing after this many reports
  std::optional<std::size_t> unplugAfterDataReports;  // leaves right after this data report
  std::optional<std::size_t> unplugAfterReports;      // leaves right after this report of any kind
  bool accessDenied = false;                          // its node may not be opened by the user
  std::optional<int> refuseKind;                      // does not take reports of this kind (ReceivedReport::Kind)
  std::string port;                                   // its USB port path; "" on the simulated bus: one of its own
  std::string serial;                                 // its USB serial number; "" for none
  // After a re-seat it runs the version last written to it, when the write
  // was whole: this many pieces, or any number when not given.
  std::optional<std::size_t> wholePieces;
  bool keepsVersion = false;  // runs its old version after the re-seat all the same
};

}  // namespace sim
