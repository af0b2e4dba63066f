#pragma once
#include <QDBusUnixFileDescriptor>
#include <string>

namespace road {

// Keeps the system from sleeping, shutting down or acting on the lid while it
// lives: a systemd-logind "block" inhibitor lock, released when the
// descriptor logind handed out is closed. From the start report to the end
// of the transfer a half-written adapter must not be left by a suspend. Without
// logind, or without the permission, it holds nothing and says why; the
// update goes on.
class SleepInhibitor {
 public:
  SleepInhibitor();
  bool holds() const { return lock_.isValid(); }
  // Why no lock is held, as a line for the user; empty when one is.
  const std::string& failure() const { return failure_; }

 private:
  QDBusUnixFileDescriptor lock_;  // closes its descriptor when destroyed
  std::string failure_;
};

}  // namespace road
