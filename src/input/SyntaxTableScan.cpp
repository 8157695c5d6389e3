#include "input/SyntaxTableScan.h"

#include "core/Parallel.h"
#include "core/Tuning.h"
#include "input/ByteClasses.h"
#include "input/NumberScanner.h"
#include "input/PositionedRead.h"
#include "input/TableText.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

// A token still open after this many cleaned bytes ends the data: no
// number is that long, and the memory stays bounded whatever the file
// holds.
constexpr std::size_t MAX_OPEN_TOKEN = std::size_t(1) << 26;
// The blocks of one round of the threads, per thread and in all: each
// holds its bytes, its cleaned text and its values at once.
constexpr std::size_t BLOCKS_PER_THREAD = 4;
constexpr std::size_t MAX_BLOCKS = 32;
// A line that runs on past its block's end is read in pieces of this size.
constexpr std::size_t TAIL_PIECE = 4096;

std::atomic<std::size_t> blockBytesSetting { 0 };

std::size_t blockBytes()
{
    const std::size_t set = blockBytesSetting.load(std::memory_order_relaxed);
    return set > 0 ? set : tuning::kReaderBlockBytes;
}

bool isSpaceByte(char c)
{
    return byteClasses::isSpace(static_cast<unsigned char>(c));
}

// Tokens in [p, end), which starts at a token's first byte or at white
// space.
std::uint64_t countTokens(const char* p, const char* end)
{
    std::uint64_t tokens = 0;
    std::uint64_t previousSpace = 1;
    for (; static_cast<std::size_t>(end - p) >= byteClasses::MASK_WINDOW;
         p += byteClasses::MASK_WINDOW) {
        const std::uint64_t spaces = byteClasses::spaceMask(p);
        tokens += static_cast<std::uint64_t>(
            byteClasses::bitCount(~spaces & ((spaces << 1) | previousSpace)));
        previousSpace = spaces >> 63;
    }
    for (; p < end; ++p) {
        const bool space = isSpaceByte(*p);
        tokens += !space && previousSpace;
        previousSpace = space;
    }
    return tokens;
}

// The lines that start in one block of the file, cleaned on their own:
// the cleaner's state is the same at every line start, so a block that
// begins at one needs nothing of the blocks before it. The line running
// on past the block's end is read on to its end, up to a bound.
struct SyntaxBlock {
    std::string raw;
    // Cleaned, followed by the scanners' padding; kept from load to load.
    std::unique_ptr<char[]> text;
    std::size_t textRoom = 0;
    std::size_t textEnd = 0;
    std::uint64_t firstLine = 0; // file offset of the block's first line
    std::uint64_t tokens = 0;
    std::vector<float> values;
    StretchScan scan;
    int position = 0;
    bool endsData = false;
    // Its last line runs past the bound, or memory is short: the block is
    // left to the sequential scan.
    bool tooLong = false;

    void load(const TableSyntax& syntax, int descriptor, std::uint64_t start, std::uint64_t end,
        std::uint64_t boundary, std::uint64_t fileSize, std::size_t tailBytes);
    void scanFrom(int columns, int at, int kept, bool stores);
};

void SyntaxBlock::load(const TableSyntax& syntax, int descriptor, std::uint64_t start,
    std::uint64_t end, std::uint64_t boundary, std::uint64_t fileSize, std::size_t tailBytes)
{
    tooLong = false;
    scan = {};
    const bool lookBack = start > boundary;
    const std::uint64_t readFrom = start - (lookBack ? 1 : 0);
    const auto wanted = static_cast<std::size_t>(end - readFrom);
    raw.resize(wanted + tailBytes);
    std::size_t got = readAt(descriptor, raw.data(), wanted, readFrom);
    endsData = got < wanted || end >= fileSize;
    // A line that starts before the block belongs to the block before.
    std::size_t begin = 0;
    if (lookBack) {
        const void* lineEnd = std::memchr(raw.data(), '\n', got);
        begin = lineEnd
            ? static_cast<std::size_t>(static_cast<const char*>(lineEnd) - raw.data()) + 1
            : got;
    }
    firstLine = readFrom + begin;
    if (!endsData && begin < got && raw[got - 1] != '\n') {
        std::uint64_t offset = end;
        for (;;) {
            if (got == raw.size()) {
                tooLong = true;
                break;
            }
            const std::size_t piece = std::min(TAIL_PIECE, raw.size() - got);
            const std::size_t n = readAt(descriptor, raw.data() + got, piece, offset);
            const void* lineEnd = std::memchr(raw.data() + got, '\n', n);
            if (lineEnd) {
                got = static_cast<std::size_t>(static_cast<const char*>(lineEnd) - raw.data()) + 1;
                break;
            }
            got += n;
            offset += n;
            if (n < piece) {
                endsData = true;
                break;
            }
        }
    }
    textEnd = 0;
    if (!tooLong && begin < got) {
        const std::size_t room = TableTextCleaner::roomFor(got - begin) + ByteStream::PADDING;
        if (room > textRoom) {
            text.reset(new (std::nothrow) char[room]);
            textRoom = text ? room : 0;
        }
        // Without memory for the text the sequential scan takes the block.
        tooLong = !text;
    }
    if (!tooLong && begin < got) {
        TableTextCleaner cleaner(syntax);
        char* end = cleaner.feed(raw.data() + begin, raw.data() + got, text.get());
        if (endsData)
            end = cleaner.finish(end);
        textEnd = static_cast<std::size_t>(end - text.get());
    }
    if (textRoom == 0) {
        text.reset(new (std::nothrow) char[ByteStream::PADDING]);
        textRoom = text ? ByteStream::PADDING : 0;
        tooLong = tooLong || !text;
    }
    tokens = 0;
    if (text) {
        std::memset(text.get() + textEnd, 0, ByteStream::PADDING);
        tokens = countTokens(text.get(), text.get() + textEnd);
    }
}

void SyntaxBlock::scanFrom(int columns, int at, int kept, bool stores)
{
    position = at;
    ByteStream stretch(text.get(), text.get() + textEnd);
    float* out = nullptr;
    if (stores) {
        values.resize(textEnd / static_cast<std::size_t>(columns) + 2);
        out = values.data();
    }
    scan = scanStretch(stretch, columns, at, kept, out);
}

class SyntaxScan {
public:
    SyntaxScan(ByteStream& stream, const TableSyntax& syntax, int headerTokens, int columns,
        int kept, std::uint64_t rows, StepProgress& progress)
        : m_stream(stream)
        , m_syntax(syntax)
        , m_cleaner(syntax)
        , m_headerLeft(std::max(headerTokens, 0))
        , m_columns(static_cast<std::uint64_t>(columns))
        , m_kept(kept - 1)
        , m_rows(rows)
        , m_wanted(rows * static_cast<std::uint64_t>(columns))
        , m_progress(progress)
    {
    }

    // out null with growing null only counts.
    std::uint64_t run(float* out, GrowingColumn* growing);

private:
    bool nextText();
    std::size_t skipHeader(std::size_t from, std::size_t end);
    bool scanNumbers(std::size_t from, std::size_t end);
    bool storeValues(std::uint64_t numbersBefore, const StretchScan& scan, const float* values);
    bool goesParallel() const;
    bool runParallel();
    bool takeBlocks(std::vector<SyntaxBlock>& blocks, std::size_t used, bool& goOn);
    bool reportOffset(std::uint64_t offset);

    ByteStream& m_stream;
    const TableSyntax m_syntax;
    TableTextCleaner m_cleaner;
    int m_headerLeft;
    const std::uint64_t m_columns;
    const int m_kept; // from 0
    const std::uint64_t m_rows;
    const std::uint64_t m_wanted;
    StepProgress& m_progress;
    float* m_out = nullptr;
    GrowingColumn* m_growing = nullptr;
    bool m_stores = false;
    std::string m_text;
    std::string m_open; // an unfinished token, carried to the next piece
    std::vector<float> m_values;
    bool m_ended = false;
    bool m_atLineStart = true; // the file bytes taken so far end a line
    std::uint64_t m_numbers = 0;
    float m_pending = 0.0f;
    std::uint64_t m_pendingRow = 0;
};

// Cleans the next piece of the file after the open token; false once the
// data has ended. A piece ends at a line's end where it can.
bool SyntaxScan::nextText()
{
    if (m_ended)
        return false;
    m_text.swap(m_open);
    m_open.clear();
    // As much as a block of the threads, so that they take over soon.
    const std::size_t piece = blockBytes();
    const std::size_t got = m_stream.ensure(piece);
    const char* const begin = m_stream.cursor();
    std::size_t taken = std::min(got, piece);
    for (std::size_t i = taken; i > 0; --i) {
        if (begin[i - 1] == '\n') {
            taken = i;
            break;
        }
    }
    m_cleaner.feed(begin, begin + taken, m_text);
    m_stream.moveTo(begin + taken);
    if (taken == 0) {
        m_cleaner.finish(m_text);
        m_ended = true;
        return true;
    }
    m_atLineStart = begin[taken - 1] == '\n';
    // The scan takes whole tokens: what follows the last white space waits
    // for the next piece.
    std::size_t whole = m_text.size();
    while (whole > 0 && !isSpaceByte(m_text[whole - 1]))
        --whole;
    if (m_text.size() - whole > MAX_OPEN_TOKEN) {
        m_text.resize(whole);
        m_ended = true;
        return true;
    }
    m_open.assign(m_text, whole, std::string::npos);
    m_text.resize(whole);
    return true;
}

std::size_t SyntaxScan::skipHeader(std::size_t p, std::size_t end)
{
    while (m_headerLeft > 0) {
        while (p < end && isSpaceByte(m_text[p]))
            ++p;
        if (p == end)
            return p;
        while (p < end && !isSpaceByte(m_text[p]))
            ++p;
        --m_headerLeft;
    }
    return p;
}

// The kept values of a stretch go to their rows once the rows are
// complete; the value of a row still open waits.
bool SyntaxScan::storeValues(
    std::uint64_t numbersBefore, const StretchScan& scan, const float* values)
{
    const std::uint64_t complete = std::min(m_rows, (numbersBefore + scan.numbers) / m_columns);
    if (m_growing) {
        if (!m_growing->reserve(complete))
            return false;
        m_out = m_growing->data();
    }
    if (m_pendingRow != 0 && m_pendingRow <= complete) {
        m_out[m_pendingRow] = m_pending;
        m_pendingRow = 0;
    }
    if (scan.stored == 0)
        return true;
    const std::uint64_t position = numbersBefore % m_columns;
    const std::uint64_t first
        = (static_cast<std::uint64_t>(m_kept) + m_columns - position) % m_columns;
    const std::uint64_t firstRow = (numbersBefore + first) / m_columns + 1;
    const std::uint64_t whole
        = complete >= firstRow ? std::min(scan.stored, complete - firstRow + 1) : 0;
    std::copy_n(values, whole, m_out + firstRow);
    if (whole < scan.stored && firstRow + whole <= m_rows) {
        m_pending = values[whole];
        m_pendingRow = firstRow + whole;
    }
    return true;
}

// Returns whether the scan goes on.
bool SyntaxScan::scanNumbers(std::size_t from, std::size_t end)
{
    if (from == end)
        return true;
    // The stretch is followed by the padding the scanners look ahead into.
    m_text.resize(end);
    m_text.append(ByteStream::PADDING, '\0');
    ByteStream stretch(m_text.data() + from, m_text.data() + end);
    const std::uint64_t before = m_numbers;
    const auto position = static_cast<int>(before % m_columns);
    float* values = nullptr;
    if (m_stores) {
        m_values.resize((end - from) / m_columns + 2);
        values = m_values.data();
    }
    const StretchScan scan
        = scanStretch(stretch, static_cast<int>(m_columns), position, m_kept, values);
    if (m_stores && !storeValues(before, scan, values))
        return false;
    m_numbers = std::min(m_wanted, before + scan.numbers);
    return !scan.failed && m_numbers < m_wanted;
}

bool SyntaxScan::reportOffset(std::uint64_t offset)
{
    const double size = static_cast<double>(m_stream.size());
    return m_progress.advance(size > 0 ? static_cast<double>(offset) / size : 0.0);
}

// After the header, at a line start, the rest of a regular file goes to
// the threads.
bool SyntaxScan::goesParallel() const
{
    return m_headerLeft == 0 && m_atLineStart && m_open.empty() && !m_ended && parallelThreads() > 1
        && m_stream.size() > m_stream.offset() && m_stream.descriptor() >= 0;
}

// Joins the blocks' results in file order. Returns false when the scan
// ends; goOn false when it ends at the end of the data.
bool SyntaxScan::takeBlocks(std::vector<SyntaxBlock>& blocks, std::size_t used, bool& goOn)
{
    goOn = false;
    for (std::size_t i = 0; i < used; ++i) {
        SyntaxBlock& block = blocks[i];
        if (block.tooLong) {
            // The sequential scan takes over at the block's first line.
            goOn = m_stream.seek(block.firstLine);
            m_atLineStart = true;
            return false;
        }
        const auto exact = static_cast<int>(m_numbers % m_columns);
        if (m_stores && block.position != exact)
            block.scanFrom(static_cast<int>(m_columns), exact, m_kept, true);
        if (m_stores && !storeValues(m_numbers, block.scan, block.values.data()))
            return false;
        m_numbers = std::min(m_wanted, m_numbers + block.scan.numbers);
        if (block.scan.failed || m_numbers >= m_wanted || block.endsData)
            return false;
    }
    return true;
}

// Returns whether the sequential scan goes on from where the stream now is.
bool SyntaxScan::runParallel()
{
    const std::uint64_t fileSize = m_stream.size();
    const std::size_t block = blockBytes();
    const std::size_t tail = block / 4 + 64;
    const std::uint64_t boundary = m_stream.offset();
    std::vector<SyntaxBlock> blocks(std::min(
        MAX_BLOCKS, static_cast<std::size_t>(std::max(parallelThreads(), 1)) * BLOCKS_PER_THREAD));
    const int columns = static_cast<int>(m_columns);
    for (std::uint64_t start = boundary; start < fileSize;) {
        const std::size_t used = static_cast<std::size_t>(
            std::min<std::uint64_t>(blocks.size(), (fileSize - start + block - 1) / block));
        runTasks(used, [&](std::size_t i) {
            const std::uint64_t from = start + i * block;
            blocks[i].load(m_syntax, m_stream.descriptor(), from,
                std::min<std::uint64_t>(from + block, fileSize), boundary, fileSize, tail);
        });
        // A block's first number is guessed to stand where the tokens
        // before it put it (a token is one number in a table); the few
        // blocks guessed wrong are scanned again in file order.
        std::vector<int> guesses(used);
        std::uint64_t tokens = m_numbers;
        for (std::size_t i = 0; i < used; ++i) {
            guesses[i] = static_cast<int>(tokens % m_columns);
            tokens += blocks[i].tokens;
        }
        runTasks(used, [&](std::size_t i) {
            if (!blocks[i].tooLong)
                blocks[i].scanFrom(columns, guesses[i], m_kept, m_stores);
        });
        bool goOn = false;
        if (!takeBlocks(blocks, used, goOn))
            return goOn;
        start += used * block;
        if (!reportOffset(start))
            return false;
    }
    return false;
}

std::uint64_t SyntaxScan::run(float* out, GrowingColumn* growing)
{
    m_out = out;
    m_growing = growing;
    m_stores = out != nullptr || growing != nullptr;
    if (m_wanted == 0)
        return 0;
    while (nextText()) {
        const std::size_t end = m_text.size();
        const std::size_t from = skipHeader(0, end);
        if (!scanNumbers(from, end) || !reportOffset(m_stream.offset()))
            break;
        if (goesParallel() && !runParallel())
            break;
    }
    return m_numbers / m_columns;
}

} // namespace

std::uint64_t readSyntaxTableColumn(ByteStream& stream, const TableSyntax& syntax, int headerTokens,
    int columns, int kept, std::uint64_t count, float* out, StepProgress& progress)
{
    return SyntaxScan(stream, syntax, headerTokens, columns, kept, count, progress)
        .run(out, nullptr);
}

std::uint64_t readWholeSyntaxTableColumn(ByteStream& stream, const TableSyntax& syntax,
    int headerTokens, int columns, int kept, std::uint64_t maxRows, GrowingColumn& out,
    StepProgress& progress)
{
    return SyntaxScan(stream, syntax, headerTokens, columns, kept, maxRows, progress)
        .run(nullptr, &out);
}

std::uint64_t countSyntaxTableRows(ByteStream& stream, const TableSyntax& syntax, int headerTokens,
    int columns, std::uint64_t maxRows, StepProgress& progress)
{
    return SyntaxScan(stream, syntax, headerTokens, columns, 1, maxRows, progress)
        .run(nullptr, nullptr);
}

void setSyntaxBlockBytes(std::size_t bytes)
{
    blockBytesSetting.store(bytes, std::memory_order_relaxed);
}
