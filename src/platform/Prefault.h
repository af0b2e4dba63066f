#pragma once
#include <cstddef>

namespace platform {
// Maps the pages of a large buffer that is about to be filled in one call,
// instead of one page fault per page as the bytes arrive: under some
// hypervisors a fault costs about 10 µs, 9 ms for a 3.4 MB list. A Data buffer
// of 2 MiB and more lies on huge pages where the kernel gives them (see
// BlockAllocator), one fault per 2 MiB. Contents are unchanged. Small buffers,
// and kernels before 5.14, are left as they are.
void prefault(void* buffer, std::size_t bytes);
}
