#include "input/SyntaxTableScan.h"

#include "core/Tuning.h"
#include "input/ByteClasses.h"
#include "input/NumberScanner.h"
#include "input/TableScan.h"
#include "input/TableText.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// A token still open after this many cleaned bytes ends the data: no
// number is that long, and the memory stays bounded whatever the file
// holds.
constexpr std::size_t MAX_OPEN_TOKEN = std::size_t(1) << 26;
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

// Keeps its values as floats, or as doubles for a column that a float
// holds too coarsely (never into a growing column).
template <typename Value> class SyntaxScan {
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
    std::uint64_t run(Value* out, GrowingColumn* growing);

private:
    bool nextText();
    std::size_t skipHeader(std::size_t from, std::size_t end);
    bool scanNumbers(std::size_t from, std::size_t end);
    bool storeValues(std::uint64_t numbersBefore, const StretchScan& scan, const Value* values);
    bool goesParallel() const;
    bool runParallel();
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
    Value* m_out = nullptr;
    GrowingColumn* m_growing = nullptr;
    bool m_stores = false;
    std::string m_text;
    std::string m_open; // an unfinished token, carried to the next piece
    std::vector<Value> m_values;
    bool m_ended = false;
    bool m_atLineStart = true; // the file bytes taken so far end a line
    std::uint64_t m_numbers = 0;
    Value m_pending = 0;
    std::uint64_t m_pendingRow = 0;
};

// Cleans the next piece of the file after the open token; false once the
// data has ended. A piece ends at a line's end where it can.
template <typename Value> bool SyntaxScan<Value>::nextText()
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

template <typename Value> std::size_t SyntaxScan<Value>::skipHeader(std::size_t p, std::size_t end)
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
template <typename Value>
bool SyntaxScan<Value>::storeValues(
    std::uint64_t numbersBefore, const StretchScan& scan, const Value* values)
{
    const std::uint64_t complete = std::min(m_rows, (numbersBefore + scan.numbers) / m_columns);
    if constexpr (std::is_same_v<Value, float>) {
        if (m_growing) {
            if (!m_growing->reserve(complete))
                return false;
            m_out = m_growing->data();
        }
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
template <typename Value> bool SyntaxScan<Value>::scanNumbers(std::size_t from, std::size_t end)
{
    if (from == end)
        return true;
    // The stretch is followed by the padding the scanners look ahead into.
    m_text.resize(end);
    m_text.append(ByteStream::PADDING, '\0');
    ByteStream stretch(m_text.data() + from, m_text.data() + end);
    const std::uint64_t before = m_numbers;
    const auto position = static_cast<int>(before % m_columns);
    Value* values = nullptr;
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

template <typename Value> bool SyntaxScan<Value>::reportOffset(std::uint64_t offset)
{
    const double size = static_cast<double>(m_stream.size());
    return m_progress.advance(size > 0 ? static_cast<double>(offset) / size : 0.0);
}

// After the header, at a line start, the rest of a regular file goes to
// the scan by blocks, which makes no cleaned copy of lines that need none;
// on one thread too, where its blocks take their turns.
template <typename Value> bool SyntaxScan<Value>::goesParallel() const
{
    return m_headerLeft == 0 && m_atLineStart && m_open.empty() && !m_ended
        && m_stream.size() > m_stream.offset() && m_stream.descriptor() >= 0;
}

// Returns whether the sequential scan goes on from where the stream now is.
template <typename Value> bool SyntaxScan<Value>::runParallel()
{
    TableScanPlace<Value> place { m_numbers, m_pending, m_pendingRow };
    std::uint64_t resumeAt = 0;
    const auto columns = static_cast<int>(m_columns);
    bool resumes = false;
    if constexpr (std::is_same_v<Value, float>) {
        resumes = scanSyntaxTableLines(m_stream, m_syntax, blockBytes(), columns, m_kept + 1,
            m_rows, m_growing ? nullptr : m_out, m_growing, place, resumeAt, m_progress);
        if (m_growing)
            m_out = m_growing->data();
    } else {
        resumes = scanSyntaxTableLines(m_stream, m_syntax, blockBytes(), columns, m_kept + 1,
            m_rows, m_out, place, resumeAt, m_progress);
    }
    m_numbers = place.numbers;
    m_pending = place.pending;
    m_pendingRow = place.pendingRow;
    m_atLineStart = true;
    return resumes && m_stream.seek(resumeAt);
}

template <typename Value> std::uint64_t SyntaxScan<Value>::run(Value* out, GrowingColumn* growing)
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
    return SyntaxScan<float>(stream, syntax, headerTokens, columns, kept, count, progress)
        .run(out, nullptr);
}

std::uint64_t readSyntaxTableColumn(ByteStream& stream, const TableSyntax& syntax, int headerTokens,
    int columns, int kept, std::uint64_t count, double* out, StepProgress& progress)
{
    return SyntaxScan<double>(stream, syntax, headerTokens, columns, kept, count, progress)
        .run(out, nullptr);
}

std::uint64_t readWholeSyntaxTableColumn(ByteStream& stream, const TableSyntax& syntax,
    int headerTokens, int columns, int kept, std::uint64_t maxRows, GrowingColumn& out,
    StepProgress& progress)
{
    return SyntaxScan<float>(stream, syntax, headerTokens, columns, kept, maxRows, progress)
        .run(nullptr, &out);
}

std::uint64_t countSyntaxTableRows(ByteStream& stream, const TableSyntax& syntax, int headerTokens,
    int columns, std::uint64_t maxRows, StepProgress& progress)
{
    return SyntaxScan<float>(stream, syntax, headerTokens, columns, 1, maxRows, progress)
        .run(nullptr, nullptr);
}

void setSyntaxBlockBytes(std::size_t bytes)
{
    blockBytesSetting.store(bytes, std::memory_order_relaxed);
}
