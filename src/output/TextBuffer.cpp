#include "output/TextBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

bool TextBuffer::grow(std::size_t count)
{
    const std::size_t capacity = std::max(2 * m_capacity, m_size + count);
    std::unique_ptr<char[]> data(new (std::nothrow) char[capacity]);
    if (!data)
        return false;
    if (m_size > 0)
        std::memcpy(data.get(), m_data.get(), m_size);
    m_data = std::move(data);
    m_capacity = capacity;
    return true;
}
