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
    std::uint64_t blanks = 0; // white space but line ends and the separator
    std::uint64_t stops = 0; // quotes and comment markers: only the cleaner takes them
};

class MarkFinder {
public:
    explicit MarkFinder(const TableSyntax& syntax)
        : m_separator(syntax.separator)
        , m_comment(syntax.comment)
        , m_separatorOn(syntax.separator != 0 ? ~std::uint64_t(0) : 0)
        , m_quoteOn(syntax.separator != 0 ? ~std::uint64_t(0) : 0)
        , m_commentOn(syntax.comment != 0 ? ~std::uint64_t(0) : 0)
    {
    }

    // The marks of MASK_WINDOW bytes from p.
    LineMarks find(const char* p) const
    {
        std::uint64_t separators = 0, lineEnds = 0, spaces = 0, quotes = 0, comments = 0;
#ifdef __SSE2__
        const auto mask = [](__m128i set) {
            return static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(set)));
        };
        for (int part = 0; part < 4; ++part) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * part));
            // \t..\r are 9..13: after subtracting 9, the bytes up to 4.
            const __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8('\t'));
            const __m128i control
                = _mm_cmpeq_epi8(_mm_min_epu8(shifted, _mm_set1_epi8(4)), shifted);
            const __m128i space = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')), control);
            const int shift = 16 * part;
            separators |= mask(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(m_separator))) << shift;
            lineEnds |= mask(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))) << shift;
            spaces |= mask(space) << shift;
            quotes |= mask(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))) << shift;
            comments |= mask(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(m_comment))) << shift;
        }
#else
        for (std::size_t i = 0; i < MASK_WINDOW; ++i) {
            const std::uint64_t bit = std::uint64_t(1) << i;
            separators |= p[i] == m_separator ? bit : 0;
            lineEnds |= p[i] == '\n' ? bit : 0;
            spaces |= byteClasses::isSpace(static_cast<unsigned char>(p[i])) ? bit : 0;
            quotes |= p[i] == '"' ? bit : 0;
            comments |= p[i] == m_comment ? bit : 0;
        }
#endif
        LineMarks marks;
        marks.separators = separators & m_separatorOn;
        marks.lineEnds = lineEnds;
        marks.blanks = spaces & ~lineEnds & ~marks.separators;
        marks.stops = (quotes & m_quoteOn) | (comments & m_commentOn);
        return marks;
    }

private:
    const char m_separator;
    const char m_comment;
    const std::uint64_t m_separatorOn;
    const std::uint64_t m_quoteOn;
    const std::uint64_t m_commentOn;
};

// For each start bit, the first bit at or above it that is not blank: a
// start inside blanks begins their run (the bit below it is a field end),
// and adding it to the blanks carries through the run to the bit above.
std::uint64_t firstAfterBlanks(std::uint64_t starts, std::uint64_t blanks)
{
    return (starts & ~blanks) | ((blanks + (starts & blanks)) & ~blanks);
}

// Whether the cleaned text of the lines is their bytes changed one for
// one: no quote, no comment marker, and no empty field, which the cleaner
// makes a "nan". A field is empty when only blanks lie between its start
// (a separator, or a line's start on a line with a separator) and its end
// (a separator or a line end).
bool changesInPlace(const char* begin, const char* end, bool endsData, const MarkFinder& finder)
{
    // The last field end so far when only blanks follow it: the block
    // starts at a line's start.
    std::uint64_t openLine = 1;
    std::uint64_t openField = 0;
    char last[MASK_WINDOW];
    for (const char* p = begin; p < end; p += MASK_WINDOW) {
        const char* window = p;
        if (static_cast<std::size_t>(end - p) < MASK_WINDOW) {
            // Blanks after the end start no field and end none.
            std::memset(last, ' ', MASK_WINDOW);
            std::memcpy(last, p, static_cast<std::size_t>(end - p));
            window = last;
        }
        const LineMarks marks = finder.find(window);
        const std::uint64_t ends = marks.separators | marks.lineEnds;
        const std::uint64_t lineStarts = (marks.lineEnds << 1) | openLine;
        const std::uint64_t fieldStarts = (marks.separators << 1) | openField;
        if (marks.stops != 0 || (firstAfterBlanks(fieldStarts, marks.blanks) & ends) != 0
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

// A tab separator is white space to the plain scan as the cleaner's blank
// is, so only the other separators and the decimal comma are rewritten.
void changeBytes(char* p, char* const end, const TableSyntax& syntax)
{
    const bool separatorChanges = syntax.separator != 0 && syntax.separator != '\t';
    const bool commaChanges = syntax.hasDecimalComma();
    if (!separatorChanges && !commaChanges)
        return;
    // An absent change stands in as a blank made a blank.
    const char separator = separatorChanges ? syntax.separator : ' ';
    const char comma = commaChanges ? ',' : ' ';
    const char commaTo = commaChanges ? '.' : ' ';
#ifdef __SSE2__
    const __m128i separators = _mm_set1_epi8(separator);
    const __m128i blanks = _mm_set1_epi8(' ');
    const __m128i commas = _mm_set1_epi8(comma);
    const __m128i points = _mm_set1_epi8(commaTo);
    for (; end - p >= 16; p += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i isSeparator = _mm_cmpeq_epi8(bytes, separators);
        bytes = _mm_or_si128(
            _mm_andnot_si128(isSeparator, bytes), _mm_and_si128(isSeparator, blanks));
        const __m128i isComma = _mm_cmpeq_epi8(bytes, commas);
        bytes = _mm_or_si128(_mm_andnot_si128(isComma, bytes), _mm_and_si128(isComma, points));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), bytes);
    }
#endif
    for (; p < end; ++p) {
        if (*p == separator)
            *p = ' ';
        else if (*p == comma)
            *p = commaTo;
    }
}

} // namespace

BlockText blockTableText(
    char* begin, char* end, bool endsData, const TableSyntax& syntax, BlockTextRoom& room)
{
    if (changesInPlace(begin, end, endsData, MarkFinder(syntax))) {
        changeBytes(begin, end, syntax);
        std::memset(end, 0, ByteStream::PADDING);
        return { begin, end };
    }
    const auto bytes = static_cast<std::size_t>(end - begin);
    char* const text = room.get(TableTextCleaner::roomFor(bytes) + ByteStream::PADDING);
    if (!text)
        return {};
    TableTextCleaner cleaner(syntax);
    char* last = cleaner.feed(begin, end, text);
    if (endsData)
        last = cleaner.finish(last);
    std::memset(last, 0, ByteStream::PADDING);
    return { text, last };
}
