#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QObject>

#include <string>
#include <vector>

#include "app/WindowEffects.h"

using update::Outcome;

namespace {

// The window's view as one line per change, in the order it changed.
struct RecordedView {
  QObject context;
  std::vector<std::string> changes;
  WindowEffects effects{&context, view()};

  WindowEffects::View view() {
    auto flag = [this](std::string what) {
      return [this, what](bool on) { changes.push_back(what + (on ? " on" : " off")); };
    };
    return {[this](const std::vector<std::string>& texts) {
              for (const auto& t : texts) changes.push_back("text " + t);
            },
            flag("bar"),
            [this](double percent) { changes.push_back("progress " + std::to_string(percent).substr(0, 5)); },
            flag("button"),
            flag("table"),
            flag("awake")};
  }
  std::vector<std::string> take() {
    QCoreApplication::processEvents();
    return std::exchange(changes, {});
  }
};

// A transfer takes the table and the button away and shows the bar; its end
// gives back what a user needs next, which depends on how it ended.
TEST(WindowEffects, ATransferShowsItsProgressAndItsEndGivesBackWhatItsOutcomeNeeds) {
  RecordedView v;
  v.effects.finished(Outcome::mismatch);  // refused before any transfer: nothing of the view changes
  EXPECT_TRUE(v.take().empty());

  const auto start = std::vector<std::string>{"bar on", "progress 0.000", "button off", "table off"};
  v.effects.transferStarted(32);
  EXPECT_EQ(v.take(), start);
  v.effects.pieceSent(1, 32);
  v.effects.pieceSent(32, 32);  // the last: no reply awaited, the end follows
  EXPECT_EQ(v.take(), (std::vector<std::string>{"progress 3.125", "table on"}));
  v.effects.finished(Outcome::done);
  EXPECT_EQ(v.take(), std::vector<std::string>{"bar off"});

  v.effects.transferStarted(32);
  v.effects.finished(Outcome::silent);
  auto failed = start;
  failed.insert(failed.end(), {"button on", "table on"});
  EXPECT_EQ(v.take(), failed);

  v.effects.transferStarted(32);
  v.effects.finished(Outcome::left);  // no button: there is no adapter to write
  auto left = start;
  left.push_back("table on");
  EXPECT_EQ(v.take(), left);
  v.effects.finished(Outcome::lensShown);  // after the end, nothing more
  EXPECT_TRUE(v.take().empty());
}

// Texts and view changes keep their order across the batch they are applied in.
TEST(WindowEffects, TextsAndChangesAreAppliedInTheOrderTheyCame) {
  RecordedView v;
  v.effects.status("\r\n固件写入中......");
  v.effects.transferStarted(2);
  v.effects.keepAwake(true);
  v.effects.status("设备已断开");
  v.effects.status("\r\n固件写入未完成");
  EXPECT_EQ(v.take(),
            (std::vector<std::string>{"text \r\n固件写入中......", "bar on", "progress 0.000", "button off",
                                      "table off", "awake on", "text 设备已断开", "text \r\n固件写入未完成"}));
}

}  // namespace
