#include "input/BlockText.h"

#include "input/ByteStream.h"
#include "input/SeparatedWindow.h"
#include "input/TableText.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

char* BlockTextRoom::get(std::size_t bytes)
{
    if (bytes > m_bytes) {
        m_text.reset(new (std::nothrow) char[bytes]);
        m_bytes = m_text ? bytes : 0;
    }
    return m_text.get();
}

namespace {

using byteClasses::MASK_WINDOW;
using separatedWindow::LineMarks;
using separatedWindow::WindowBytes;

// Each start bit moved to the first bit at or above it that is not blank:
// a start inside blanks begins their run (the bit below it is a field
// end), and adding it to the blanks carries through the run to the bit
// above, or out of the window, which `carry` tells.
std::uint64_t firstAfterBlanks(std::uint64_t starts, std::uint64_t blanks, bool& carry)
{
    std::uint64_t sum = 0;
    carry = __builtin_add_overflow(blanks, starts & blanks, &sum);
    return (starts | sum) & ~blanks;
}

// The check of the lines window by window, for the changes the cleaner
// makes one for one: a field is empty (the cleaner makes it a "nan") when
// only blanks lie between its start (a separator, or a line's start on a
// line with a separator) and its end (a separator or a line end).
class FieldCheck {
public:
    // False where the window holds an empty field or a quote or comment
    // marker.
    bool pass(const LineMarks& marks)
    {
        const std::uint64_t separators = marks.separators;
        const std::uint64_t lineStarts = (marks.lineEnds << 1) | m_openLine;
        const std::uint64_t fieldStarts = (separators << 1) | m_openField;
        const std::uint64_t ends = separators | marks.lineEnds;
        m_openLine = marks.lineEnds >> 63;
        m_openField = separators >> 63;
        // The usual window of a written-out table: each start is the first
        // byte of its field.
        if (marks.blanks == 0)
            return !marks.stops && ((fieldStarts & ends) | (lineStarts & separators)) == 0;
        bool lineCarry = false;
        bool fieldCarry = false;
        const std::uint64_t lineFirsts = firstAfterBlanks(lineStarts, marks.blanks, lineCarry);
        const std::uint64_t fieldFirsts = firstAfterBlanks(fieldStarts, marks.blanks, fieldCarry);
        m_openLine |= static_cast<std::uint64_t>(lineCarry);
        m_openField |= static_cast<std::uint64_t>(fieldCarry);
        return !marks.stops && ((fieldFirsts & ends) | (lineFirsts & separators)) == 0;
    }

    // At the file's end a last field left empty is a missing value too.
    bool passEnd() const { return m_openField == 0; }

private:
    // A line's or a field's start whose blanks reach the last window's
    // end; the block starts at a line's start.
    std::uint64_t m_openLine = 1;
    std::uint64_t m_openField = 0;
};

// Changes the lines as the cleaner would, where it changes bytes only one
// for one. False, with the lines partly changed, where they need the
// cleaner.
template <LineMarks (*change)(char*, const WindowBytes&)>
bool changeLines(char* begin, char* end, bool endsData, const WindowBytes& given)
{
    // A copy, which the changed bytes cannot alias: its broadcasts stay out
    // of the loop.
    const WindowBytes bytes = given;
    FieldCheck check;
    char* p = begin;
    for (; static_cast<std::size_t>(end - p) >= MASK_WINDOW; p += MASK_WINDOW)
        if (!check.pass(change(p, bytes)))
            return false;
    if (p < end) {
        // Blanks after the end start no field and end none.
        const auto left = static_cast<std::size_t>(end - p);
        char last[MASK_WINDOW];
        std::memset(last, ' ', MASK_WINDOW);
        std::memcpy(last, p, left);
        const LineMarks marks = change(last, bytes);
        std::memcpy(p, last, left);
        if (!check.pass(marks))
            return false;
    }
    return !endsData || check.passEnd();
}

// Each instruction set's check, with the window's steps inlined into it.
template <bool withComment, bool withComma>
[[gnu::flatten]] bool changeLinesBaseline(
    char* begin, char* end, bool endsData, const WindowBytes& bytes)
{
#ifdef __SSE2__
    return changeLines<separatedWindow::changeSse2<withComment, withComma>>(
        begin, end, endsData, bytes);
#else
    return changeLines<separatedWindow::changePortable<withComment, withComma>>(
        begin, end, endsData, bytes);
#endif
}

#ifdef __SSE2__
template <bool withComment, bool withComma>
[[gnu::target("avx2"), gnu::flatten]] bool changeLinesAvx2(
    char* begin, char* end, bool endsData, const WindowBytes& bytes)
{
    return changeLines<separatedWindow::changeAvx2<withComment, withComma>>(
        begin, end, endsData, bytes);
}
#endif

using ChangeLines = bool (*)(char*, char*, bool, const WindowBytes&);

// By instruction set, comment marker and decimal comma.
constexpr ChangeLines BASELINE_CHANGES[2][2] = {
    { changeLinesBaseline<false, false>, changeLinesBaseline<false, true> },
    { changeLinesBaseline<true, false>, changeLinesBaseline<true, true> },
};
#ifdef __SSE2__
constexpr ChangeLines AVX2_CHANGES[2][2] = {
    { changeLinesAvx2<false, false>, changeLinesAvx2<false, true> },
    { changeLinesAvx2<true, false>, changeLinesAvx2<true, true> },
};
#endif

std::atomic<BlockCheckSet> pinnedSet { BlockCheckSet::automatic };

bool avx2Supported()
{
#ifdef __SSE2__
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
#else
    return false;
#endif
}

ChangeLines changeLinesFor(const TableSyntax& syntax)
{
    const int comment = syntax.comment != 0 ? 1 : 0;
    const int comma = syntax.hasDecimalComma() ? 1 : 0;
#ifdef __SSE2__
    const BlockCheckSet pinned = pinnedSet.load(std::memory_order_relaxed);
    if (pinned == BlockCheckSet::avx2 || (pinned == BlockCheckSet::automatic && avx2Supported()))
        return AVX2_CHANGES[comment][comma];
#endif
    return BASELINE_CHANGES[comment][comma];
}

// Without a separator only a comment marker asks for the cleaner, and
// nothing changes.
bool changesInPlace(char* begin, char* end, bool endsData, const TableSyntax& syntax)
{
    if (syntax.separator == 0)
        return std::memchr(begin, syntax.comment, static_cast<std::size_t>(end - begin)) == nullptr;
    const WindowBytes bytes { syntax.separator, syntax.separator == '\t' ? '\t' : ' ',
        syntax.comment };
    return changeLinesFor(syntax)(begin, end, endsData, bytes);
}

} // namespace

BlockText blockTableText(char* begin, char* end, bool endsData, const TableSyntax& syntax,
    BlockTextRoom& room, const std::function<bool(char*, std::size_t)>& readAgain)
{
    const auto bytes = static_cast<std::size_t>(end - begin);
    if (changesInPlace(begin, end, endsData, syntax)) {
        std::memset(end, 0, ByteStream::PADDING);
        return { begin, end };
    }
    char* const text = room.get(TableTextCleaner::roomFor(bytes) + ByteStream::PADDING);
    if (!text || !readAgain(begin, bytes))
        return {};
    TableTextCleaner cleaner(syntax);
    char* last = cleaner.feed(begin, end, text);
    if (endsData)
        last = cleaner.finish(last);
    std::memset(last, 0, ByteStream::PADDING);
    return { text, last };
}

bool pinBlockCheckSet(BlockCheckSet set)
{
    if (set == BlockCheckSet::avx2 && !avx2Supported())
        return false;
    pinnedSet.store(set, std::memory_order_relaxed);
    return true;
}
