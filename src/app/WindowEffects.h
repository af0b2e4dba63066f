#pragma once
#include <QObject>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "update/ExchangeOutlet.h"

// Carries status texts, progress and enabled states from any thread to the
// window, in the order they were given. They are applied in batches on the
// window's thread: a run of appended texts becomes one change of the status
// line, so that an adapter that floods the tool with replies cannot freeze it.
class WindowEffects : public update::ExchangeOutlet {
 public:
  struct View {
    std::function<void(const std::vector<std::string>& texts)> statuses;  // in order, applied as one change
    std::function<void(bool)> progressShown;
    std::function<void(double)> progress;
    std::function<void(bool)> updateButtonEnabled;
    std::function<void(bool)> tableEnabled;
    std::function<void(bool)> keepAwake;
  };
  // Batches are applied on `context`'s thread, and dropped once it is gone.
  WindowEffects(QObject* context, View view);

  void status(std::string_view text) override;
  void progressShown(bool shown) override;
  void progress(double percent) override;
  void updateButtonEnabled(bool enabled) override;
  void tableEnabled(bool enabled) override;
  void keepAwake(bool awake) override;
  void pause(double, std::uint64_t) override {}
  void deadline(double, std::uint64_t) override {}
  void arm(std::int64_t, std::int64_t) override {}

 private:
  enum class Kind { status, progressShown, progress, updateButton, table, awake };
  struct Effect {
    Kind kind;
    std::string text;
    double value = 0;
  };
  void push(Effect effect);
  void flush();

  QObject* context_;
  View view_;
  std::mutex mutex_;
  std::vector<Effect> pending_;
  bool flushQueued_ = false;
};
