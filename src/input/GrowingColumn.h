#pragma once

#include "core/FloatBuffer.h"

#include <cstddef>
#include <cstdint>

// The samples of a read whose length is known only at its end: entries
// 0..rows, grown as the rows come. Growing moves the entries to a larger
// block (in place where the system can), so that besides the samples read
// there is at most one spare copy of them at any time, and only while a
// block is moved.
class GrowingColumn {
public:
    GrowingColumn() = default;
    ~GrowingColumn();
    GrowingColumn(const GrowingColumn&) = delete;
    GrowingColumn& operator=(const GrowingColumn&) = delete;

    // Room for entries 0..rows. False, with the entries kept and failed()
    // set, when memory is short; data() may move on success.
    bool reserve(std::uint64_t rows);
    // Room for about `rows` entries asked ahead, backed by large pages, so
    // that the column need not move as it grows; only untouched room is
    // taken. Nothing changes when memory is short or the column has
    // entries.
    void expect(std::uint64_t rows);
    float* data() { return m_data; }
    bool failed() const { return m_failed; }

    // Hands entries 0..rows over to `series` as exactly rows+1 entries and
    // empties this column, without a copy. False, with `series` and the
    // column's entries as they were, when memory is short.
    bool moveInto(FloatBuffer& series, std::uint64_t rows);

private:
    float* m_data = nullptr;
    std::size_t m_capacity = 0; // entries
    bool m_failed = false;
};
