#pragma once
#include <functional>

namespace platform {
// Every pause of the device protocol goes through one of these, so that tests
// can record the pacing instead of waiting it out.
using Sleeper = std::function<void(double seconds)>;
}
