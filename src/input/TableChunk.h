#pragma once

#include "core/TableSyntax.h"
#include "input/BlockText.h"
#include "input/NumberScanner.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// One block of a table file read into memory for a scan of its own: the
// tokens that start in the block, whole. A token that runs on past the
// block's end is read on to its end (up to a bound); one that started
// before the block is left to the block it started in. So every token
// belongs to exactly one block, and a scan of the block's tokens gives
// what the sequential scan gives for them.
//
// A table in another syntax is cut the same way into lines instead of
// tokens: the cleaner starts afresh at every line (TableText.h), so the
// lines of a block are made into the text of the plain scan on their own
// (BlockText.h), and the scan of that text gives what the sequential scan
// of the cleaned file gives for them.
//
// The values are kept as floats, or as doubles for a column that a float
// holds too coarsely.
template <typename Value> class TableChunk {
public:
    // Blocks of up to blockBytes bytes and a token (a line, for a syntax
    // other than the plain one) running tailBytes bytes past the block;
    // values for that many bytes in rows of `columns` numbers when
    // storeValues. False when memory is short.
    bool allocate(std::size_t blockBytes, std::size_t tailBytes, int columns, bool storeValues,
        const TableSyntax& syntax = {});

    // The size of the buffer that load reads into.
    static std::size_t bufferBytes(std::size_t blockBytes, std::size_t tailBytes);

    // Reads file bytes [blockStart, blockEnd) of `descriptor` into `buffer`
    // (of bufferBytes), and what its last token needs beyond; the buffer
    // must stay as it is until the scan is done. A token may start at blockStart only when
    // blockStart is `boundary` (a place where a token may start, such as
    // the end of the header) or the byte before it is white space (a line
    // starts there only at `boundary` or after a line end). The text of
    // lines that cannot change in place goes to `room`, which must then
    // stay too; without memory for it the block is cut at its first line.
    void load(char* buffer, int descriptor, std::uint64_t blockStart, std::uint64_t blockEnd,
        std::uint64_t boundary, std::uint64_t fileSize, BlockTextRoom* room = nullptr);

    // Tokens in the scan range, for a guess of the row position where the
    // block starts.
    std::uint64_t countTokens() const;

    // The row position of the block's first number if the line after its
    // first line end starts a row of `columns` numbers; -1 when the block
    // has no line end. 0 when the block starts at a line.
    int rowPositionByLines(int columns) const;

    // Scans the block's numbers, the first at row `position`. kept < 0
    // only counts.
    void scan(int columns, int position, int kept);

    // The file ends within this block (or cannot be read beyond it).
    bool endsData() const { return m_endsData; }
    // A token (line) too long for the tail room starts at cutOffset(); the scan
    // stops before it, and the caller takes it from there.
    bool isCut() const { return m_cut; }
    std::uint64_t cutOffset() const { return m_cutOffset; }

    int position() const { return m_position; }
    const StretchScan& result() const { return m_result; }
    const Value* values() const { return m_values.get(); }

private:
    bool endsPiece(char c) const;
    void makeText(
        char* begin, char* end, int descriptor, std::uint64_t beginOffset, BlockTextRoom* room);

    std::size_t m_blockBytes = 0;
    std::size_t m_tailBytes = 0;
    TableSyntax m_syntax;
    int m_columns = 1;
    std::unique_ptr<Value[]> m_values;
    std::size_t m_valueRoom = 0;
    const char* m_begin = nullptr;
    const char* m_end = nullptr;
    bool m_endsData = false;
    bool m_cut = false;
    std::uint64_t m_cutOffset = 0;
    int m_position = 0;
    StretchScan m_result;
};

extern template class TableChunk<float>;
extern template class TableChunk<double>;
