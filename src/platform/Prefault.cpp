#include "Prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {
namespace {

// The whole blocks of `unit` bytes inside [start, start + bytes).
bool innerBlocks(std::uintptr_t start, std::size_t bytes, std::uintptr_t unit, std::uintptr_t& first,
                 std::uintptr_t& end) {
  first = (start + unit - 1) & ~(unit - 1);
  end = (start + bytes) & ~(unit - 1);
  return end > first;
}

}  // namespace

void prefault(void* buffer, std::size_t bytes) {
  constexpr std::size_t kWorthACall = 256 * 1024;
  if (bytes < kWorthACall) return;
  const auto start = reinterpret_cast<std::uintptr_t>(buffer);
  std::uintptr_t first = 0, end = 0;
  // The buffer's whole 2 MiB blocks as huge pages: one fault each instead of
  // 512, which is most of a fresh 15 MiB image's first read. Only whole pages
  // and blocks inside the buffer: its neighbours are none of our business.
  // Both calls are hints: failure is harmless.
  constexpr std::uintptr_t kHugePage = 2u << 20;
  if (innerBlocks(start, bytes, kHugePage, first, end))
    madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  if (innerBlocks(start, bytes, page, first, end))
    madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#endif
}

}  // namespace platform
