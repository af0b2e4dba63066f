#pragma once
#include <memory>
#include <vector>

#include "DemoOptions.h"
#include "TranscriptCheck.h"
#include "app/ViewController.h"
#include "sim/SimulatedAdapter.h"
#include "sim/SimulatedBus.h"

// Runs the timed script against the window and the simulated adapter, then
// waits until the exchange has been idle for a moment.
// The simulated adapters, A first; one not plugged in yet is there all the same.
using DemoAdapters = std::vector<std::shared_ptr<sim::SimulatedAdapter>>;

void runScript(ViewController& vc, const DemoOptions& o, sim::SimulatedBus* bus, const DemoAdapters& adapters,
               TranscriptCheck& check);

void clickRow(ViewController& vc, int row);
