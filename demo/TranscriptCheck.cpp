#include "TranscriptCheck.h"

#include "translation/StatusTranslation.h"
#include "update/ExchangeTexts.h"

using Kind = sim::ReceivedReport::Kind;

void TranscriptCheck::report(std::size_t adapter, Kind kind) {
  std::lock_guard lock(mutex_);
  Transfer& t = transfers_[adapter];
  if (kind == Kind::data) {
    if (!t.open) violation("a data report outside a transfer");
    ++t.pieces;
    return;
  }
  if (t.open && t.pieces > 0)
    violation(kind == Kind::query ? "a query among the pieces" : "a start report among the pieces");
  if (kind == Kind::start) {
    t.open = true;
    t.pieces = 0;
  }
}

namespace {
std::string shown(const char* text) { return translation::translatedStatus(text).toStdString(); }
}  // namespace

// Only what a change adds counts: the line keeps the texts of earlier updates.
// The texts are those the window shows, in the user's language.
void TranscriptCheck::status(const std::string& text) {
  std::lock_guard lock(mutex_);
  const bool appended = text.size() >= lastStatus_.size() && text.compare(0, lastStatus_.size(), lastStatus_) == 0;
  const std::string added = appended ? text.substr(lastStatus_.size()) : text;
  lastStatus_ = text;
  if (added.find(shown(texts::removeAdapter)) != std::string::npos ||
      added.find(shown(texts::writeFailed)) != std::string::npos ||
      added.find(shown(texts::pieceUnanswered)) != std::string::npos || added.rfind(shown(texts::disconnected), 0) == 0)
    for (auto& [adapter, t] : transfers_) t.open = false;
}

void TranscriptCheck::departed(std::size_t adapter) {
  std::lock_guard lock(mutex_);
  transfers_[adapter].open = false;
}

void TranscriptCheck::violation(const std::string& what) { violations_.push_back(what); }

std::vector<std::string> TranscriptCheck::violations() const {
  std::lock_guard lock(mutex_);
  return violations_;
}
