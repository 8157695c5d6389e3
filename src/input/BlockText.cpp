#include "input/BlockText.h"

#include "input/ByteClasses.h"
#include "input/ByteStream.h"
#include "input/TableText.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// The bytes of a window that decide whether its lines change in place,
// bit i for byte i.
struct LineMarks {
    std::uint64_t separators = 0;
    std::uint64_t lineEnds = 0;
    // Bytes up to the blank but line ends and the separator: white space,
    // and control bytes, which only make a field look empty.
    std::uint64_t blanks = 0;
    bool stops = false; // a quote or a comment marker: only the cleaner takes them
};

// Finds the marks of a window of a table with a separator and makes in it
// the changes the cleaner makes one for one, in the same pass: a separator
// becomes a blank (a tab one stays, being white space to the plain scan as
// the blank is), a decimal comma a point. The syntax's parts are template
// arguments, so that a window takes no step it does not need.
template <bool withComment, bool withComma> class WindowChange {
public:
    explicit WindowChange(const TableSyntax& syntax)
        : m_separator(syntax.separator)
        , m_separatorTo(syntax.separator == '\t' ? '\t' : ' ')
        , m_comment(syntax.comment)
    {
    }

    // MASK_WINDOW bytes from p.
    LineMarks change(char* p) const
    {
        LineMarks marks;
#ifdef __SSE2__
        const auto mask = [](__m128i set) {
            return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(set)));
        };
        __m128i stops = _mm_setzero_si128();
        for (int part = 0; part < 4; ++part) {
            auto* const at = reinterpret_cast<__m128i*>(p + 16 * part);
            __m128i bytes = _mm_loadu_si128(at);
            // Every byte up to the blank counts as one, the control bytes
            // too: a field taken for empty goes to the cleaner, which knows.
            const __m128i space = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(' ')), bytes);
            const __m128i separator = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(m_separator));
            const __m128i lineEnd = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'));
            stops = _mm_or_si128(stops, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')));
            if constexpr (withComment)
                stops = _mm_or_si128(stops, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(m_comment)));
            const int shift = 16 * part;
            marks.separators |= mask(separator) << shift;
            marks.lineEnds |= mask(lineEnd) << shift;
            marks.blanks |= mask(_mm_andnot_si128(_mm_or_si128(separator, lineEnd), space))
                << shift;
            bytes = _mm_xor_si128(bytes,
                _mm_and_si128(
                    separator, _mm_set1_epi8(static_cast<char>(m_separator ^ m_separatorTo))));
            if constexpr (withComma) {
                const __m128i comma = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(','));
                bytes = _mm_xor_si128(bytes, _mm_and_si128(comma, _mm_set1_epi8(',' ^ '.')));
            }
            _mm_storeu_si128(at, bytes);
        }
        marks.stops = _mm_movemask_epi8(stops) != 0;
#else
        for (std::size_t i = 0; i < MASK_WINDOW; ++i) {
            const std::uint64_t bit = std::uint64_t(1) << i;
            const char c = p[i];
            const bool separator = c == m_separator;
            marks.separators |= separator ? bit : 0;
            marks.lineEnds |= c == '\n' ? bit : 0;
            if (!separator && c != '\n' && static_cast<unsigned char>(c) <= ' ')
                marks.blanks |= bit;
            marks.stops = marks.stops || c == '"' || (withComment && c == m_comment);
            if (separator)
                p[i] = m_separatorTo;
            else if (withComma && c == ',')
                p[i] = '.';
        }
#endif
        return marks;
    }

private:
    const char m_separator;
    const char m_separatorTo;
    const char m_comment;
};

// For each start bit, the first bit at or above it that is not blank: a
// start inside blanks begins their run (the bit below it is a field end),
// and adding it to the blanks carries through the run to the bit above.
std::uint64_t firstAfterBlanks(std::uint64_t starts, std::uint64_t blanks)
{
    return (starts & ~blanks) | ((blanks + (starts & blanks)) & ~blanks);
}

// Changes the lines as the cleaner would, where it changes bytes only one
// for one: with no quote, no comment marker, and no empty field, which the
// cleaner makes a "nan". A field is empty when only blanks lie between its
// start (a separator, or a line's start on a line with a separator) and
// its end (a separator or a line end). False, with the lines partly
// changed, where they need the cleaner.
template <typename Change>
bool changeInPlace(char* begin, char* end, bool endsData, const Change& change)
{
    // The last field end so far when only blanks follow it: the block
    // starts at a line's start.
    std::uint64_t openLine = 1;
    std::uint64_t openField = 0;
    for (char* p = begin; p < end; p += MASK_WINDOW) {
        LineMarks marks;
        const auto left = static_cast<std::size_t>(end - p);
        if (left >= MASK_WINDOW) {
            marks = change.change(p);
        } else {
            // Blanks after the end start no field and end none.
            char last[MASK_WINDOW];
            std::memset(last, ' ', MASK_WINDOW);
            std::memcpy(last, p, left);
            marks = change.change(last);
            std::memcpy(p, last, left);
        }
        const std::uint64_t ends = marks.separators | marks.lineEnds;
        const std::uint64_t lineStarts = (marks.lineEnds << 1) | openLine;
        const std::uint64_t fieldStarts = (marks.separators << 1) | openField;
        if (marks.stops || (firstAfterBlanks(fieldStarts, marks.blanks) & ends) != 0
            || (firstAfterBlanks(lineStarts, marks.blanks) & marks.separators) != 0)
            return false;
        if (ends == 0) {
            if (marks.blanks != ~std::uint64_t(0))
                openLine = openField = 0;
            continue;
        }
        const int lastEnd = 63 - std::countl_zero(ends);
        const std::uint64_t after = lastEnd == 63 ? 0 : ~std::uint64_t(0) << (lastEnd + 1);
        const bool open = (marks.blanks & after) == after;
        openLine = open ? (marks.lineEnds >> lastEnd) & 1 : 0;
        openField = open ? (marks.separators >> lastEnd) & 1 : 0;
    }
    // At the file's end a last field left empty is a missing value too.
    return !(endsData && openField != 0);
}

// Without a separator only a comment marker asks for the cleaner, and
// nothing changes.
bool changesInPlace(char* begin, char* end, bool endsData, const TableSyntax& syntax)
{
    const auto bytes = static_cast<std::size_t>(end - begin);
    if (syntax.separator == 0)
        return std::memchr(begin, syntax.comment, bytes) == nullptr;
    if (syntax.comment != 0 && syntax.hasDecimalComma())
        return changeInPlace(begin, end, endsData, WindowChange<true, true>(syntax));
    if (syntax.comment != 0)
        return changeInPlace(begin, end, endsData, WindowChange<true, false>(syntax));
    if (syntax.hasDecimalComma())
        return changeInPlace(begin, end, endsData, WindowChange<false, true>(syntax));
    return changeInPlace(begin, end, endsData, WindowChange<false, false>(syntax));
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
