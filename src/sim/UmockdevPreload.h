#pragma once

namespace sim {
// An emulated device node exists only inside umockdev's preload: runs the
// program again under it (with the same arguments) unless it already runs
// there.
void runUnderUmockdevPreload(char** argv);
}
