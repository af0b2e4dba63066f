#include "WindowEffects.h"

#include <utility>

#include "platform/MainQueue.h"

WindowEffects::WindowEffects(QObject* context, View view) : context_(context), view_(std::move(view)) {}

void WindowEffects::status(std::string_view text) { push({{Kind::status, std::string(text)}}); }
void WindowEffects::keepAwake(bool awake) { push({{Kind::awake, {}, awake ? 1.0 : 0.0}}); }

// The bar is shown at 0 and the entry can no longer be changed or pressed.
void WindowEffects::transferStarted(std::size_t) {
  transferring_ = true;
  push({{Kind::progressShown, {}, 1}, {Kind::progress, {}, 0}, {Kind::updateButton, {}, 0}, {Kind::table, {}, 0}});
}

// No reply is awaited after the last piece, and the end follows at once.
void WindowEffects::pieceSent(std::size_t piece, std::size_t pieces) {
  if (piece >= pieces) return;
  const double percent = static_cast<double>(piece) / static_cast<double>(pieces) * 100.0;
  push({{Kind::progress, {}, percent}, {Kind::table, {}, 1}});
}

// A written image hides the bar; a failed write gives the button back, so
// that the user may try again once the adapter is back, and the table, so
// that an entry can be chosen again; an adapter that left gets the table.
void WindowEffects::finished(update::Outcome outcome) {
  if (!std::exchange(transferring_, false)) return;
  if (outcome == update::Outcome::done) push({{Kind::progressShown, {}, 0}});
  else if (outcome == update::Outcome::left) push({{Kind::table, {}, 1}});
  else push({{Kind::updateButton, {}, 1}, {Kind::table, {}, 1}});
}

void WindowEffects::push(std::initializer_list<Effect> effects) {
  bool queue;
  {
    std::lock_guard lock(mutex_);
    pending_.insert(pending_.end(), effects.begin(), effects.end());
    queue = !flushQueued_;
    flushQueued_ = true;
  }
  if (queue) platform::mainQueueAsync(context_, [this] { flush(); });
}

// A text that replaces the line starts a new change, so that each replacing
// text is seen; texts appended after it join that change.
void WindowEffects::flush() {
  std::vector<Effect> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(pending_);
    flushQueued_ = false;
  }
  std::vector<std::string> texts;
  auto showTexts = [&] {
    if (!texts.empty()) view_.statuses(texts);
    texts.clear();
  };
  for (auto& effect : batch) {
    if (effect.kind == Kind::status) {
      if (!update::appendsToTheLine(effect.text)) showTexts();
      texts.push_back(std::move(effect.text));
      continue;
    }
    showTexts();
    switch (effect.kind) {
      case Kind::progressShown: view_.progressShown(effect.value != 0); break;
      case Kind::progress: view_.progress(effect.value); break;
      case Kind::updateButton: view_.updateButtonEnabled(effect.value != 0); break;
      case Kind::table: view_.tableEnabled(effect.value != 0); break;
      case Kind::awake: view_.keepAwake(effect.value != 0); break;
      case Kind::status: break;
    }
  }
  showTexts();
}
