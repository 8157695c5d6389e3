#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Asks the system to back the whole 2 MiB pages within [data, data + bytes)
// with huge pages where it does so only on request. A work buffer of tens
// of megabytes otherwise takes a page fault for every 4 KiB on its first
// sweep, and the transform's long strides miss the address translation
// cache on nearly every row. Only a hint: nothing changes where it is
// refused or unknown. Call before the buffer is first written.
inline void adviseHugePages(void* data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHuge = std::uintptr_t { 1 } << 21;
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t end = (begin + bytes) & ~(kHuge - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}
