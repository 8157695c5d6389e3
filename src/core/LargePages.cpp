#include "core/LargePages.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kLargePage = std::size_t { 1 } << 21;
// Below a large page a buffer is left to the allocator, which hands the
// memory of a freed one to the next without new page faults.
constexpr std::size_t kFromBytes = kLargePage;

// Asks the system to back the whole 2 MiB pages within [data, data + bytes)
// with large pages where it does so only on request. Only a hint: nothing
// changes where it is refused or unknown. Called before the buffer is first
// written.
void adviseLargePages(void* data, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~std::uintptr_t { kLargePage - 1 };
    const std::uintptr_t end = (begin + bytes) & ~std::uintptr_t { kLargePage - 1 };
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace

void* allocateOnLargePages(std::size_t bytes)
{
    if (bytes < kFromBytes)
        return std::malloc(bytes > 0 ? bytes : 1);
    if (bytes > SIZE_MAX - kLargePage)
        return nullptr;
    const std::size_t whole = (bytes + kLargePage - 1) & ~(kLargePage - 1);
    void* data = std::aligned_alloc(kLargePage, whole);
    if (data)
        adviseLargePages(data, whole);
    return data;
}

void FreeLargePages::operator()(void* data) const
{
    std::free(data);
}
