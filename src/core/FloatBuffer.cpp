#include "core/FloatBuffer.h"

#include <cstdlib>
#include <limits>
#include <utility>

namespace {

AllocationHook g_allocationHook = nullptr;

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
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(float))
        return false;
    if (g_allocationHook && !g_allocationHook(count))
        return false;
    // A series of millions of samples is written once, from end to end, as
    // it is read: on large pages that takes a few hundred page faults
    // instead of hundreds of thousands.
    m_data.reset(static_cast<float*>(allocateOnLargePages(count * sizeof(float))));
    if (!m_data)
        return false;
    m_size = count;
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
