#include "core/FloatBuffer.h"

#include <new>

namespace {
AllocationHook g_allocationHook = nullptr;
}

void setAllocationHook(AllocationHook hook)
{
    g_allocationHook = hook;
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
    return true;
}

void FloatBuffer::release()
{
    m_data.reset();
    m_size = 0;
}
