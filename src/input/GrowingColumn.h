#pragma once

#include "core/FloatBuffer.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// The samples of a read whose length is known only at its end: entries
// 0..rows, grown as the rows come. Growing moves the entries to a larger
// block (in place where the system can), so that besides the samples read
// there is at most one spare copy of them at any time, and only while a
// block is moved or handed over.
class GrowingColumn {
public:
    GrowingColumn() = default;
    ~GrowingColumn();
    GrowingColumn(const GrowingColumn&) = delete;
    GrowingColumn& operator=(const GrowingColumn&) = delete;

    // Room for entries 0..rows. False, with the entries kept and failed()
    // set, when memory is short; data() may move on success.
    bool reserve(std::uint64_t rows);
    float* data() { return m_data; }
    bool failed() const { return m_failed; }

    enum class Handover { DONE, NO_MEMORY, STOPPED };
    // Hands entries 0..rows over to `series` as exactly rows+1 entries and
    // empties this column. The copy asks `goOn` between blocks of bounded
    // size; with NO_MEMORY or STOPPED `series` and the column's entries
    // are as they were.
    Handover moveInto(
        FloatBuffer& series, std::uint64_t rows, const std::function<bool()>& goOn = {});

private:
    float* m_data = nullptr;
    std::size_t m_capacity = 0; // entries
    bool m_failed = false;
};
