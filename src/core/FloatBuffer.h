#pragma once

#include "core/LargePages.h"

#include <cstddef>
#include <memory>

// An owned array of floats that knows its length, so that no reader goes
// past what was allocated. Allocation never throws: it reports failure and
// leaves the buffer empty.
class FloatBuffer {
public:
    FloatBuffer() = default;
    // The moved-from buffer is left empty.
    FloatBuffer(FloatBuffer&& other) noexcept;
    FloatBuffer& operator=(FloatBuffer&& other) noexcept;

    // Releases the current entries and allocates `count` new ones (contents
    // undefined). Returns false, with the buffer empty, when that fails.
    bool allocate(std::size_t count);
    // Takes over `count` entries that allocateOnLargePages, std::malloc or
    // std::realloc gave, the
    // old ones released; the buffer frees them.
    void adopt(float* data, std::size_t count);
    void release();

    float* data() { return m_data.get(); }
    const float* data() const { return m_data.get(); }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    float& operator[](std::size_t i) { return m_data[i]; }
    const float& operator[](std::size_t i) const { return m_data[i]; }

private:
    std::unique_ptr<float[], FreeLargePages> m_data;
    std::size_t m_size = 0;
};

// Test seam: when set, the hook is asked before every allocation and a
// false answer makes it fail as if memory ran out.
using AllocationHook = bool (*)(std::size_t count);
void setAllocationHook(AllocationHook hook);
