#include "input/TableChunk.h"

#include "input/ByteClasses.h"
#include "input/ByteStream.h"
#include "input/PositionedRead.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

using byteClasses::bitCount;
using byteClasses::isSpace;

// The tail of a long token is read in pieces of this size, so that an
// ordinary token costs one small read.
constexpr std::size_t TAIL_PIECE = 4096;

bool isSpaceByte(char c)
{
    return isSpace(static_cast<unsigned char>(c));
}

// Room for the values of a text of `bytes` bytes: every number takes at
// least one byte.
std::size_t valuesFor(std::size_t bytes, int columns)
{
    return bytes / static_cast<std::size_t>(std::max(columns, 1)) + 2;
}

} // namespace

template <typename Value>
bool TableChunk<Value>::allocate(std::size_t blockBytes, std::size_t tailBytes, int columns,
    bool storeValues, const TableSyntax& syntax)
{
    m_blockBytes = blockBytes;
    m_tailBytes = tailBytes;
    m_syntax = syntax;
    m_columns = columns;
    m_valueRoom = 0;
    if (storeValues) {
        const std::size_t room = valuesFor(1 + blockBytes + tailBytes, columns);
        m_values.reset(new (std::nothrow) Value[room]);
        if (!m_values)
            return false;
        m_valueRoom = room;
    }
    return true;
}

template <typename Value> bool TableChunk<Value>::endsPiece(char c) const
{
    return m_syntax.plain() ? isSpaceByte(c) : c == '\n';
}

template <typename Value>
std::size_t TableChunk<Value>::bufferBytes(std::size_t blockBytes, std::size_t tailBytes)
{
    // One byte before the block tells whether its first token began earlier.
    return 1 + blockBytes + tailBytes + ByteStream::PADDING;
}

template <typename Value>
void TableChunk<Value>::load(char* const buffer, int descriptor, std::uint64_t blockStart,
    std::uint64_t blockEnd, std::uint64_t boundary, std::uint64_t fileSize, BlockTextRoom* room)
{
    m_cut = false;
    m_result = {};
    const bool lookBack = blockStart > boundary;
    const std::uint64_t readFrom = blockStart - (lookBack ? 1 : 0);
    const auto wanted = static_cast<std::size_t>(blockEnd - readFrom);
    const std::size_t got = readAt(descriptor, buffer, wanted, readFrom);
    m_endsData = got < wanted || blockEnd >= fileSize;

    char* const dataEnd = buffer + got;
    char* begin = std::min(buffer + (lookBack ? 1 : 0), dataEnd);
    if (lookBack && got > 0 && !endsPiece(buffer[0])) {
        while (begin < dataEnd && !endsPiece(*begin))
            ++begin;
        // A line is taken from its first byte, so that the text is made
        // from a line's start.
        if (!m_syntax.plain() && begin < dataEnd)
            ++begin;
    }

    char* end = dataEnd;
    if (!m_endsData && begin < dataEnd && !endsPiece(dataEnd[-1])) {
        char* const tailLimit = buffer + 1 + m_blockBytes + m_tailBytes;
        std::uint64_t offset = blockEnd;
        for (;;) {
            if (end == tailLimit) {
                char* start = dataEnd;
                while (start > begin && !endsPiece(start[-1]))
                    --start;
                end = start;
                m_cut = true;
                m_cutOffset = readFrom + static_cast<std::uint64_t>(start - buffer);
                break;
            }
            const std::size_t piece
                = std::min(TAIL_PIECE, static_cast<std::size_t>(tailLimit - end));
            const std::size_t n = readAt(descriptor, end, piece, offset);
            char* const space = std::find_if(end, end + n, [this](char c) { return endsPiece(c); });
            if (space < end + n) {
                // The white space after the token makes the scan's end
                // look as a token's end, never as the file's.
                end = space + 1;
                break;
            }
            end += n;
            offset += n;
            if (n < piece) {
                m_endsData = true;
                break;
            }
        }
    }
    std::memset(end, 0, ByteStream::PADDING);
    m_begin = begin;
    m_end = end;
    if (!m_syntax.plain())
        makeText(
            begin, end, descriptor, readFrom + static_cast<std::uint64_t>(begin - buffer), room);
}

template <typename Value>
void TableChunk<Value>::makeText(
    char* begin, char* end, int descriptor, std::uint64_t beginOffset, BlockTextRoom* room)
{
    const BlockText text = blockTableText(
        begin, end, m_endsData, m_syntax, *room, [&](char* lines, std::size_t bytes) {
            return readAt(descriptor, lines, bytes, beginOffset) == bytes;
        });
    bool valuesFit = true;
    if (text.begin != nullptr && m_values) {
        // The cleaned text may be longer than the lines.
        const std::size_t values
            = valuesFor(static_cast<std::size_t>(text.end - text.begin), m_columns);
        if (values > m_valueRoom) {
            m_values.reset(new (std::nothrow) Value[values]);
            m_valueRoom = m_values ? values : 0;
            valuesFit = m_values != nullptr;
        }
    }
    if (text.begin == nullptr || !valuesFit) {
        // Without memory the sequential scan takes the block's lines.
        m_cut = true;
        m_cutOffset = beginOffset;
        std::memset(begin, 0, ByteStream::PADDING);
        m_begin = m_end = begin;
        return;
    }
    m_begin = text.begin;
    m_end = text.end;
}

namespace {

// Tokens in [p, end), which starts at a token's first byte or at white
// space.
std::uint64_t countTokensIn(const char* p, const char* end)
{
    std::uint64_t tokens = 0;
    std::uint64_t previousSpace = 1;
    for (; static_cast<std::size_t>(end - p) >= byteClasses::MASK_WINDOW;
         p += byteClasses::MASK_WINDOW) {
        const std::uint64_t spaces = byteClasses::spaceMask(p);
        tokens += static_cast<std::uint64_t>(bitCount(~spaces & ((spaces << 1) | previousSpace)));
        previousSpace = spaces >> 63;
    }
    for (; p < end; ++p) {
        const bool space = isSpaceByte(*p);
        tokens += !space && previousSpace;
        previousSpace = space;
    }
    return tokens;
}

} // namespace

template <typename Value> std::uint64_t TableChunk<Value>::countTokens() const
{
    return countTokensIn(m_begin, m_end);
}

template <typename Value> int TableChunk<Value>::rowPositionByLines(int columns) const
{
    if (!m_syntax.plain())
        return 0;
    const auto* lineEnd = static_cast<const char*>(
        std::memchr(m_begin, '\n', static_cast<std::size_t>(m_end - m_begin)));
    if (lineEnd == nullptr)
        return -1;
    const auto perRow = static_cast<std::uint64_t>(columns);
    return static_cast<int>((perRow - countTokensIn(m_begin, lineEnd) % perRow) % perRow);
}

template <typename Value> void TableChunk<Value>::scan(int columns, int position, int kept)
{
    ByteStream stretch(m_begin, m_end);
    m_position = position;
    m_result = scanStretch(
        stretch, columns, position, kept < 0 ? 0 : kept, kept < 0 ? nullptr : m_values.get());
}

template class TableChunk<float>;
template class TableChunk<double>;
