#pragma once
#include <QObject>
#include <functional>

namespace platform {
// The main queue: a block runs later on the GUI thread, after those queued
// before it. The context object stands for the receiver; blocks queued for a
// context that has been destroyed are dropped instead of run.
void mainQueueAsync(QObject* context, std::function<void()> block);
}
