#pragma once
#include <QObject>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "update/ExchangeEvents.h"

// Turns what the exchange tells into changes of the window's view, the one
// place that does: the status texts, the progress bar, the update button and
// the table. Texts may come from any thread too. The changes are applied in
// the order they were given, in batches on the window's thread: a run of
// appended texts becomes one change of the status line, so that an adapter
// that floods the tool with replies cannot freeze it.
class WindowEffects : public update::ExchangeEvents {
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
  void transferStarted(std::size_t pieces) override;
  void pieceSent(std::size_t piece, std::size_t pieces) override;
  void keepAwake(bool awake) override;
  void finished(update::Outcome outcome) override;

 private:
  enum class Kind { status, progressShown, progress, updateButton, table, awake };
  struct Effect {
    Kind kind;
    std::string text;
    double value = 0;
  };
  void push(std::initializer_list<Effect> effects);
  void flush();

  QObject* context_;
  View view_;
  std::mutex mutex_;
  std::vector<Effect> pending_;
  bool flushQueued_ = false;
  bool transferring_ = false;  // between transferStarted and finished, on the exchange's thread
};
