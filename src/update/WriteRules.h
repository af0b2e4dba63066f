#pragma once

namespace update {

// Whether an update writes an adapter that already runs the entry's version,
// or a newer one. The window writes what its user chose; the command line
// asks the adapter first, and writes neither unless told to.
struct WriteRules {
  bool sameVersion = true;
  bool olderVersion = true;
};

}  // namespace update
