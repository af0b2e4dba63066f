#pragma once
// An exchange's outlet that takes every effect and does nothing with it: a
// test, the fuzzer or a benchmark overrides only what it watches.
#include "update/ExchangeOutlet.h"

struct QuietOutlet : update::ExchangeOutlet {
  void pause(double, std::uint64_t) override {}
  void deadline(double, std::uint64_t) override {}
  void arm(std::int64_t, std::int64_t) override {}
  void status(std::string_view) override {}
  void progressShown(bool) override {}
  void progress(double) override {}
  void updateButtonEnabled(bool) override {}
  void tableEnabled(bool) override {}
  void keepAwake(bool) override {}
};
