#pragma once
#include <cstddef>
#include <new>

namespace platform {

// Buffers of 2 MiB and more (an image, a long list) are placed on whole 2 MiB
// blocks that may be huge pages: where the kernel grants them, filling a fresh
// 15 MiB image faults eight times instead of thousands, and under a hypervisor
// each fault of a fresh 4 KiB page costs an exit to the host. Smaller buffers
// are allocated as usual.
void* allocateBlocks(std::size_t bytes);
void deallocateBlocks(void* p, std::size_t bytes) noexcept;

template <class T>
struct BlockAllocator {
  using value_type = T;
  BlockAllocator() = default;
  template <class U>
  BlockAllocator(const BlockAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return static_cast<T*>(allocateBlocks(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { deallocateBlocks(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const BlockAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace platform
