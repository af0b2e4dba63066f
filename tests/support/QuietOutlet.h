#pragma once
// An exchange's outlet that asks for nothing and hears nothing: a test, the
// fuzzer or a benchmark overrides only what it watches.
#include "update/ExchangeOutlet.h"

struct QuietOutlet : update::ExchangeOutlet {
  void pause(double, std::uint64_t) override {}
  void deadline(double, std::uint64_t) override {}
  void arm(std::int64_t, std::int64_t) override {}
};
