#include "DemoScript.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <csignal>

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
    case ScriptStep::Action::close: return "close";
    case ScriptStep::Action::sigterm: return "sigterm";
    case ScriptStep::Action::sighup: return "sighup";
    case ScriptStep::Action::sigquit: return "sigquit";
  }
  return "?";
}

// What the window did with a request to close it: asked, or closed.
void sayWhatTheWindowDid(ViewController& vc) {
  settle(100);
  const auto* question = vc.findChild<QMessageBox*>(QStringLiteral("closeQuestion"));
  if (!vc.isVisible()) say("close: closed");
  else if (question && question->isVisible()) say("close: asked");
  else say("close: nothing");
}

void perform(const ScriptStep& step, ViewController& vc, sim::SimulatedBus* bus, const DemoAdapters& adapters,
             TranscriptCheck& check) {
  using A = ScriptStep::Action;
  const auto& adapter = step.adapter < adapters.size() ? adapters[step.adapter] : nullptr;
  switch (step.action) {
    case A::update: QTest::mouseClick(vc.updateBtn, Qt::LeftButton); break;
    case A::lens: QTest::mouseClick(vc.imagebutton, Qt::LeftButton); break;
    case A::row: clickRow(vc, step.row); break;
    case A::unplug:
      if (bus && adapter && adapter->isPlugged()) bus->unplug(adapter), check.departed(step.adapter);
      break;
    case A::plug:
      if (bus && adapter && !adapter->isPlugged()) bus->plug(adapter);
      break;
    case A::poke:
      if (adapter) adapter->poke();
      break;
    case A::close:
      vc.close();
      sayWhatTheWindowDid(vc);
      break;
    case A::sigterm:
    case A::sighup:
    case A::sigquit:
      std::raise(step.action == A::sigterm ? SIGTERM : step.action == A::sighup ? SIGHUP : SIGQUIT);
      sayWhatTheWindowDid(vc);
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

void runScript(ViewController& vc, const DemoOptions& o, sim::SimulatedBus* bus, const DemoAdapters& adapters,
               TranscriptCheck& check) {
  if (o.rowGiven) clickRow(vc, o.row);
  QElapsedTimer clock;
  clock.start();
  for (const auto& step : o.script) {
    waitFor([&] { return clock.elapsed() >= static_cast<qint64>(step.seconds * 1000); }, 24 * 3600 * 1000);
    std::string line = "at " + std::to_string(clock.elapsed() / 1000.0).substr(0, 5) + ": " + nameOf(step.action);
    if (step.action == ScriptStep::Action::row) line += "=" + std::to_string(step.row);
    if (step.adapter > 0) line += "=" + std::string(1, static_cast<char>('A' + step.adapter));
    say(line);
    perform(step, vc, bus, adapters, check);
    if (!vc.isVisible()) break;
  }
  waitUntilSettled(vc);
  if (o.linger <= 0) return;
  settle(static_cast<int>(o.linger * 1000));
  waitUntilSettled(vc);
}
