#include "BlockAllocator.h"

#include <sys/mman.h>

#include <mutex>

namespace platform {
namespace {

constexpr std::size_t kBlock = 2u << 20;

std::size_t wholeBlocks(std::size_t bytes) { return (bytes + kBlock - 1) & ~(kBlock - 1); }

// The last buffer given back, kept for the next of its size: a second download
// of the same image, or the same list read again, then finds its pages mapped,
// as the C library's heap would have kept them. One at most, so what is kept
// is never more than the largest buffer the tool has had.
struct Spare {
  std::mutex mutex;
  void* block = nullptr;
  std::size_t size = 0;
};

// Never destroyed: a buffer that outlives the statics may still be given back.
Spare& spare() {
  static auto* s = new Spare;
  return *s;
}

void* takeSpare(std::size_t size) {
  Spare& s = spare();
  std::lock_guard lock(s.mutex);
  if (!s.block || s.size != size) return nullptr;
  void* block = s.block;
  s.block = nullptr;
  return block;
}

// The block kept before is freed: the one just given back is the newer need.
void keepSpare(void* block, std::size_t size) {
  Spare& s = spare();
  void* before = nullptr;
  {
    std::lock_guard lock(s.mutex);
    before = s.block;
    s.block = block;
    s.size = size;
  }
  if (before) ::operator delete (before, std::align_val_t{kBlock});
}

}  // namespace

void* allocateBlocks(std::size_t bytes) {
  if (bytes < kBlock) return ::operator new(bytes);
  const std::size_t size = wholeBlocks(bytes);
  if (void* block = takeSpare(size)) return block;
  void* block = ::operator new (size, std::align_val_t{kBlock});
  // A hint: where the kernel has no huge pages to give, the pages stay small.
  madvise(block, size, MADV_HUGEPAGE);
  return block;
}

void deallocateBlocks(void* p, std::size_t bytes) noexcept {
  if (bytes < kBlock) ::operator delete(p);
  else keepSpare(p, wholeBlocks(bytes));
}

}  // namespace platform
