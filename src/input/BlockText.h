#pragma once

#include "core/TableSyntax.h"

#include <cstddef>
#include <functional>
#include <memory>

// Memory for the cleaned text of one block, kept from block to block.
class BlockTextRoom {
public:
    // At least `bytes` bytes; null when memory is short.
    char* get(std::size_t bytes);

private:
    std::unique_ptr<char[]> m_text;
    std::size_t m_bytes = 0;
};

struct BlockText {
    const char* begin = nullptr;
    const char* end = nullptr;
};

// What the plain scan reads for the whole lines [begin, end) of a table in
// `syntax` (not the plain one), the file ending at `end` when endsData:
// their cleaned text (TableText.h), followed by ByteStream::PADDING NUL
// bytes. Where that text differs from the lines only in bytes changed one
// for one (no quote, no comment marker, no empty field: separators become
// blanks, decimal commas points), the lines are changed in place, and the
// caller's memory must hold PADDING bytes after `end`. Else the text is
// written into `room` from the lines as readAgain(begin, bytes) puts them
// back (the check changes them as it goes, and needs the cleaner so seldom
// that reading them again costs less than keeping a copy). begin is null
// when the room cannot be had or readAgain returns false.
BlockText blockTableText(char* begin, char* end, bool endsData, const TableSyntax& syntax,
    BlockTextRoom& room, const std::function<bool(char*, std::size_t)>& readAgain);

// The check of a block's lines exists for several instruction sets, which
// give the same text; the best one the processor has is taken unless one
// is pinned (for tests and benchmarks). An unsupported set is refused:
// false, and nothing changes.
enum class BlockCheckSet { automatic, baseline, avx2 };
bool pinBlockCheckSet(BlockCheckSet set);
