#include "Prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

void prefault(void* buffer, std::size_t bytes) {
  constexpr std::size_t kWorthACall = 256 * 1024;
  if (bytes < kWorthACall) return;
#ifdef MADV_POPULATE_WRITE
  // Only whole pages inside the buffer: its neighbours are none of our business.
  // A hint: failure is harmless.
  const auto start = reinterpret_cast<std::uintptr_t>(buffer);
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t first = (start + page - 1) & ~(page - 1);
  const std::uintptr_t end = (start + bytes) & ~(page - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)buffer;
#endif
}

}  // namespace platform
