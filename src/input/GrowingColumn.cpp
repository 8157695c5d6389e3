#include "input/GrowingColumn.h"

#include "core/LargePages.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

// A first block of a quarter MiB; each growth adds half of what is there,
// so that the moves cost a few passes over the samples in all.
constexpr std::size_t FIRST_ENTRIES = std::size_t(1) << 16;

} // namespace

GrowingColumn::~GrowingColumn()
{
    std::free(m_data);
}

bool GrowingColumn::reserve(std::uint64_t rows)
{
    if (rows >= std::numeric_limits<std::size_t>::max() / sizeof(float)) {
        m_failed = true;
        return false;
    }
    const auto needed = static_cast<std::size_t>(rows) + 1;
    if (needed <= m_capacity)
        return true;
    const std::size_t grown = std::max({ needed, FIRST_ENTRIES, m_capacity + m_capacity / 2 });
    for (const std::size_t entries : { grown, needed }) {
        if (auto* moved = static_cast<float*>(std::realloc(m_data, entries * sizeof(float)))) {
            m_data = moved;
            m_capacity = entries;
            return true;
        }
    }
    m_failed = true;
    return false;
}

void GrowingColumn::expect(std::uint64_t rows)
{
    if (m_data || rows >= std::numeric_limits<std::size_t>::max() / sizeof(float))
        return;
    const auto entries = static_cast<std::size_t>(rows) + 1;
    // Only this block is laid out for large pages; should the rows outgrow
    // it, realloc moves them as it moves any block.
    if (auto* room = static_cast<float*>(allocateOnLargePages(entries * sizeof(float)))) {
        m_data = room;
        m_capacity = entries;
    }
}

bool GrowingColumn::moveInto(FloatBuffer& series, std::uint64_t rows)
{
    if (!reserve(rows))
        return false;
    const auto entries = static_cast<std::size_t>(rows) + 1;
    // The unused room goes back; a block that cannot shrink is handed
    // over as it is.
    if (auto* shrunk = static_cast<float*>(std::realloc(m_data, entries * sizeof(float))))
        m_data = shrunk;
    series.adopt(std::exchange(m_data, nullptr), entries);
    m_capacity = 0;
    return true;
}
