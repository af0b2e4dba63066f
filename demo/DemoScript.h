#pragma once
#include <memory>

#include "DemoOptions.h"
#include "TranscriptCheck.h"
#include "app/ViewController.h"
#include "sim/SimulatedAdapter.h"
#include "sim/SimulatedBus.h"

// Runs the timed script against the window and the simulated adapter, then
// waits until the exchange has been idle for a moment.
void runScript(ViewController& vc, const DemoOptions& o, platform::sim::SimulatedBus* bus,
               const std::shared_ptr<platform::sim::SimulatedAdapter>& adapter, TranscriptCheck& check);

void clickRow(ViewController& vc, int row);
