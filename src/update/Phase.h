#pragma once

namespace update {

// Where an update or a lens query stands. The integer `state` the window
// shows stays as it was; what the exchange may do next follows from this.
enum class Phase {
  idle,
  downloading,        // the update was pressed; its image is on the way
  adapterForUpdate,   // 1 s for a monitor to find the adapter, before the query
  querying,           // the query before an update went out; its reply is awaited
  adapterForLens,     // 1 s before the lens query
  lensQuerying,       // the lens query went out; its reply is awaited
  afterStart,         // the start report went out: 0.5 s
  beforePiece,        // 0.1 s before the next piece
  extraPause,         // 0.2 s after the piece that found the counter at 16
  awaitingPiece,      // a piece went out; the reply that releases the next is awaited
  adapterForConfirm,  // 1 s for a written adapter that came back, before its query
  confirming,         // its query went out; the reply that says its version is awaited
};

constexpr bool isTransfer(Phase p) {
  return p == Phase::afterStart || p == Phase::beforePiece || p == Phase::extraPause || p == Phase::awaitingPiece;
}
constexpr bool isUpdate(Phase p) {
  return p == Phase::downloading || p == Phase::adapterForUpdate || p == Phase::querying || isTransfer(p);
}
// Pauses of the protocol itself: the adapter's replies wait for their end.
constexpr bool isProtocolPause(Phase p) {
  return p == Phase::afterStart || p == Phase::beforePiece || p == Phase::extraPause;
}
constexpr bool isPause(Phase p) {
  return p == Phase::adapterForUpdate || p == Phase::adapterForLens || isProtocolPause(p);
}

// How an update or a lens query ended, for callers that act on it.
enum class Outcome {
  done,               // the last piece went out
  lensShown,          // the lens id was shown
  noAdapter,          // no adapter with the entry's ids
  severalAdapters,    // more than one: which one is meant is not known
  mismatch,           // the adapter is not the one the entry is for
  denied,             // there, but its node may not be opened
  versionOutOfRange,  // the entry's version does not fit the start report
  writeFailed,        // the adapter did not take a report
  silent,             // the adapter stopped answering
  left,               // the adapter went away
  busy,               // another exchange or process is writing it: nothing was sent
  interrupted,        // stopped by the user, written in part or not at all
  upToDate,           // the adapter runs the entry's version already: nothing written
  olderThanAdapter,   // the adapter runs a newer version: nothing written
};
inline constexpr Outcome kLastOutcome = Outcome::olderThanAdapter;

}  // namespace update
