#include "DemoScript.h"

#include <QElapsedTimer>
#include <QTest>

#include "DemoOutput.h"
#include "EventWait.h"

namespace {

const char* nameOf(ScriptStep::Action a) {
  switch (a) {
    case ScriptStep::Action::update: return "update";
    case ScriptStep::Action::lens: return "lens";
    case ScriptStep::Action::row: return "row";
    case ScriptStep::Action::unplug: return "unplug";
    case ScriptStep::Action::plug: return "plug";
    case ScriptStep::Action::poke: return "poke";
  }
  return "?";
}

void perform(const ScriptStep& step, ViewController& vc, platform::sim::SimulatedBus* bus,
             const std::shared_ptr<platform::sim::SimulatedAdapter>& adapter, TranscriptCheck& check) {
  using A = ScriptStep::Action;
  switch (step.action) {
    case A::update: QTest::mouseClick(vc.updateBtn, Qt::LeftButton); break;
    case A::lens: QTest::mouseClick(vc.imagebutton, Qt::LeftButton); break;
    case A::row: clickRow(vc, step.row); break;
    case A::unplug:
      if (bus && adapter && adapter->isPlugged()) bus->unplug(adapter), check.departed();
      break;
    case A::plug:
      if (bus && adapter && !adapter->isPlugged()) bus->plug(adapter);
      break;
    case A::poke:
      if (adapter) adapter->poke();
      break;
  }
}

// The exchange idle, with nothing more arriving, for half a second in a row.
void waitUntilSettled(const ViewController& vc) {
  QElapsedTimer quiet, total;
  quiet.start();
  total.start();
  while (total.elapsed() < 600000) {
    if (vc.exchangeBusy()) quiet.restart();
    if (quiet.elapsed() >= 500) return;
    settle(20);
  }
}

}  // namespace

void clickRow(ViewController& vc, int row) {
  const QModelIndex index = vc.tableView->model()->index(row, 0);
  vc.tableView->scrollTo(index);
  QTest::mouseClick(vc.tableView->viewport(), Qt::LeftButton, {}, vc.tableView->visualRect(index).center());
}

void runScript(ViewController& vc, const DemoOptions& o, platform::sim::SimulatedBus* bus,
               const std::shared_ptr<platform::sim::SimulatedAdapter>& adapter, TranscriptCheck& check) {
  QElapsedTimer clock;
  clock.start();
  for (const auto& step : o.script) {
    waitFor([&] { return clock.elapsed() >= static_cast<qint64>(step.seconds * 1000); }, 24 * 3600 * 1000);
    std::string line = "at " + std::to_string(clock.elapsed() / 1000.0).substr(0, 5) + ": " + nameOf(step.action);
    if (step.action == ScriptStep::Action::row) line += "=" + std::to_string(step.row);
    say(line);
    perform(step, vc, bus, adapter, check);
  }
  waitUntilSettled(vc);
}
