#include "input/GrowingColumn.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// A first block of a quarter MiB; each growth adds half of what is there,
// so that the moves cost a few passes over the samples in all.
constexpr std::size_t FIRST_ENTRIES = std::size_t(1) << 16;

// The handover's copy asks whether to go on after each block of 16 MiB, a
// few milliseconds of copying.
constexpr std::size_t COPY_BLOCK_ENTRIES = std::size_t(1) << 22;

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

GrowingColumn::Handover GrowingColumn::moveInto(
    FloatBuffer& series, std::uint64_t rows, const std::function<bool()>& goOn)
{
    if (!reserve(rows))
        return Handover::NO_MEMORY;
    const auto entries = static_cast<std::size_t>(rows) + 1;
    // Giving back the unused room first keeps the two copies at their
    // length while the samples are handed over.
    if (auto* shrunk = static_cast<float*>(std::realloc(m_data, entries * sizeof(float)))) {
        m_data = shrunk;
        m_capacity = entries;
    }
    FloatBuffer handed;
    if (!handed.allocate(entries))
        return Handover::NO_MEMORY;
    for (std::size_t done = 0; done < entries; done += COPY_BLOCK_ENTRIES) {
        if (goOn && !goOn())
            return Handover::STOPPED;
        const std::size_t block = std::min(COPY_BLOCK_ENTRIES, entries - done);
        std::memcpy(handed.data() + done, m_data + done, block * sizeof(float));
    }
    std::free(m_data);
    m_data = nullptr;
    m_capacity = 0;
    series = std::move(handed);
    return Handover::DONE;
}
