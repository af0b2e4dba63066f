#pragma once
#include <QDBusUnixFileDescriptor>

// Keeps the system from sleeping, shutting down or acting on the lid while it
// lives: a systemd-logind "block" inhibitor lock, released when the
// descriptor logind handed out is closed. Without logind, or without the
// permission, it prints one line and holds nothing; the update goes on.
class SleepInhibitor {
 public:
  SleepInhibitor();
  bool holds() const { return lock_.isValid(); }

 private:
  QDBusUnixFileDescriptor lock_;  // closes its descriptor when destroyed
};
