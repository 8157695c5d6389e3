#include "core/FloatBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

#include <sys/mman.h>

namespace {

AllocationHook g_allocationHook = nullptr;

} // namespace

void setAllocationHook(AllocationHook hook)
{
    g_allocationHook = hook;
}

// With 2 MiB pages a fresh buffer's first touch takes a few hundred page
// faults instead of hundreds of thousands (a series of millions of samples
// is written once, from end to end, as it is read), and the transforms,
// which sweep their buffers in strides far apart, keep their address
// translations cached. Without the hint everything works the same, only
// slower.
void adviseLargePages(float* data, std::size_t count)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kLargePage = std::uintptr_t { 1 } << 21;
    const std::uintptr_t begin
        = (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(data + count) & ~(kLargePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)count;
#endif
}

void FloatBuffer::Free::operator()(float* data) const
{
    std::free(data);
}

FloatBuffer::FloatBuffer(FloatBuffer&& other) noexcept
    : m_data(std::move(other.m_data))
    , m_size(std::exchange(other.m_size, 0))
{
}

FloatBuffer& FloatBuffer::operator=(FloatBuffer&& other) noexcept
{
    // Safe for a move into itself too.
    m_data = std::move(other.m_data);
    m_size = std::exchange(other.m_size, 0);
    return *this;
}

bool FloatBuffer::allocate(std::size_t count)
{
    release();
    if (count == 0)
        return true;
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(float))
        return false;
    if (g_allocationHook && !g_allocationHook(count))
        return false;
    m_data.reset(static_cast<float*>(std::malloc(count * sizeof(float))));
    if (!m_data)
        return false;
    m_size = count;
    adviseLargePages(m_data.get(), count);
    return true;
}

void FloatBuffer::adopt(float* data, std::size_t count)
{
    m_data.reset(data);
    m_size = data ? count : 0;
}

void FloatBuffer::release()
{
    m_data.reset();
    m_size = 0;
}
