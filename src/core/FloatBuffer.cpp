#include "core/FloatBuffer.h"

#include <cstdint>
#include <new>
#include <utility>

#include <sys/mman.h>

namespace {

AllocationHook g_allocationHook = nullptr;

// Asks the system to back a large buffer with 2 MiB pages where it can: a
// fresh buffer's first touch then takes a few hundred page faults instead
// of hundreds of thousands (a series of millions of samples is written
// once, from end to end, as it is read), and the transforms, which sweep
// their buffers in strides far apart, keep their address translations
// cached. Only a hint; without it everything works the same, only slower.
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

} // namespace

void setAllocationHook(AllocationHook hook)
{
    g_allocationHook = hook;
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
    if (g_allocationHook && !g_allocationHook(count))
        return false;
    m_data.reset(new (std::nothrow) float[count]);
    if (!m_data)
        return false;
    m_size = count;
    adviseLargePages(m_data.get(), count);
    return true;
}

void FloatBuffer::release()
{
    m_data.reset();
    m_size = 0;
}
