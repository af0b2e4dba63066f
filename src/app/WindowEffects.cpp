#include "WindowEffects.h"

#include "platform/MainQueue.h"

WindowEffects::WindowEffects(QObject* context, View view) : context_(context), view_(std::move(view)) {}

void WindowEffects::status(std::string_view text) { push({Kind::status, std::string(text)}); }
void WindowEffects::progressShown(bool shown) { push({Kind::progressShown, {}, shown ? 1.0 : 0.0}); }
void WindowEffects::progress(double percent) { push({Kind::progress, {}, percent}); }
void WindowEffects::updateButtonEnabled(bool enabled) { push({Kind::updateButton, {}, enabled ? 1.0 : 0.0}); }
void WindowEffects::tableEnabled(bool enabled) { push({Kind::table, {}, enabled ? 1.0 : 0.0}); }
void WindowEffects::keepAwake(bool awake) { push({Kind::awake, {}, awake ? 1.0 : 0.0}); }

void WindowEffects::push(Effect effect) {
  bool queue;
  {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(effect));
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
      if (effect.text.rfind("\r\n", 0) != 0) showTexts();
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
