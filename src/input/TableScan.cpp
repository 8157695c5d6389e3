#include "input/TableScan.h"

#include "core/Parallel.h"
#include "input/NumberScanner.h"
#include "input/TableChunk.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

namespace {

// A few MiB per thread: large enough that starting the threads costs
// little beside the scan, small enough to stay in the shared cache.
constexpr std::size_t DEFAULT_BLOCK_BYTES = std::size_t(2) << 20;
// Rows between two progress reports of the sequential scan.
constexpr std::uint64_t SLICE_ROWS = std::uint64_t(1) << 14;

std::atomic<std::size_t> blockBytesSetting { 0 };

std::size_t blockBytes()
{
    const std::size_t set = blockBytesSetting.load(std::memory_order_relaxed);
    return set > 0 ? set : DEFAULT_BLOCK_BYTES;
}

// A token longer than this past its block's end is left to the sequential
// scan, so that the memory stays bounded whatever the file holds.
std::size_t tailBytesFor(std::size_t block)
{
    return block / 4 + 64;
}

void reportOffset(StepProgress& progress, const ByteStream& stream)
{
    if (stream.size() > 0)
        progress.advance(static_cast<double>(stream.offset()) / static_cast<double>(stream.size()));
}

// The sequential scan in slices of rows, reporting between them; out null
// only counts.
std::uint64_t scanSequentially(ByteStream& stream, int columns, int kept, std::uint64_t rows,
    float* out, StepProgress& progress)
{
    std::uint64_t done = 0;
    while (done < rows) {
        const std::uint64_t slice = std::min(SLICE_ROWS, rows - done);
        const std::uint64_t got = out ? readColumn(stream, columns, kept, slice, out + done)
                                      : countRows(stream, columns, slice);
        done += got;
        if (got < slice)
            break;
        reportOffset(progress, stream);
    }
    return done;
}

// Joins the chunks' results in file order into rows, and takes over
// sequentially where a chunk had to stop short.
class ParallelScan {
public:
    ParallelScan(ByteStream& stream, int columns, int kept, std::uint64_t rows, float* out,
        StepProgress& progress)
        : m_stream(stream)
        , m_columns(columns)
        , m_kept(kept - 1)
        , m_rows(rows)
        , m_wanted(rows * static_cast<std::uint64_t>(columns))
        , m_out(out)
        , m_progress(progress)
    {
    }

    std::uint64_t run();

private:
    bool allocate(std::size_t threads, std::size_t block);
    // Loads (and when only counting, scans) the blocks of one batch;
    // returns how many blocks of it count.
    std::size_t scanBatch(std::uint64_t start, std::size_t blocks, std::size_t block);
    void storeRows(const TableChunk& chunk);
    std::uint64_t continueSequentially(std::uint64_t offset);

    static bool endsScan(const TableChunk& chunk)
    {
        return chunk.result().failed || chunk.isCut() || chunk.endsData();
    }

    ByteStream& m_stream;
    const int m_columns;
    const int m_kept; // from 0
    const std::uint64_t m_rows;
    const std::uint64_t m_wanted;
    float* const m_out;
    StepProgress& m_progress;
    std::vector<TableChunk> m_chunks;
    std::uint64_t m_boundary = 0;
    std::uint64_t m_numbers = 0; // taken so far, in file order
    // The kept value of the row still open after the chunks joined so far.
    float m_pending = 0.0f;
    std::uint64_t m_pendingRow = 0;
};

bool ParallelScan::allocate(std::size_t threads, std::size_t block)
{
    m_chunks.resize(threads);
    for (TableChunk& chunk : m_chunks) {
        if (!chunk.allocate(block, tailBytesFor(block), m_columns, m_out != nullptr))
            return false;
    }
    return true;
}

std::size_t ParallelScan::scanBatch(std::uint64_t start, std::size_t blocks, std::size_t block)
{
    const int descriptor = m_stream.descriptor();
    const std::uint64_t fileSize = m_stream.size();
    const bool store = m_out != nullptr;
    runTasks(blocks, [&](std::size_t i) {
        const std::uint64_t blockStart = start + i * block;
        TableChunk& chunk = m_chunks[i];
        chunk.load(descriptor, blockStart, std::min<std::uint64_t>(blockStart + block, fileSize),
            m_boundary, fileSize);
        if (!store)
            chunk.scan(m_columns, 0, -1);
    });
    if (!store) {
        for (std::size_t i = 0; i < blocks; ++i) {
            if (endsScan(m_chunks[i]))
                return i + 1;
        }
        return blocks;
    }

    // Where each block's numbers fall in their rows is known only once the
    // blocks before it are scanned. Guessed from their token counts (a
    // token is one number in a table), it is checked in file order and
    // the few blocks guessed wrong are scanned again.
    std::vector<std::uint64_t> tokens(blocks);
    runTasks(blocks, [&](std::size_t i) { tokens[i] = m_chunks[i].countTokens(); });
    std::vector<int> guessed(blocks);
    std::uint64_t guess = m_numbers;
    for (std::size_t i = 0; i < blocks; ++i) {
        guessed[i] = static_cast<int>(guess % static_cast<std::uint64_t>(m_columns));
        guess += tokens[i];
    }
    runTasks(blocks, [&](std::size_t i) { m_chunks[i].scan(m_columns, guessed[i], m_kept); });

    std::vector<std::pair<std::size_t, int>> wrong;
    std::uint64_t exact = m_numbers;
    std::size_t used = blocks;
    for (std::size_t i = 0; i < blocks; ++i) {
        const int position = static_cast<int>(exact % static_cast<std::uint64_t>(m_columns));
        if (m_chunks[i].position() != position)
            wrong.emplace_back(i, position);
        exact += m_chunks[i].result().numbers;
        if (endsScan(m_chunks[i])) {
            used = i + 1;
            break;
        }
    }
    if (!wrong.empty()) {
        runTasks(wrong.size(), [&](std::size_t w) {
            m_chunks[wrong[w].first].scan(m_columns, wrong[w].second, m_kept);
        });
    }
    return used;
}

void ParallelScan::storeRows(const TableChunk& chunk)
{
    const auto columns = static_cast<std::uint64_t>(m_columns);
    const std::uint64_t complete = std::min(m_rows, (m_numbers + chunk.result().numbers) / columns);
    if (m_pendingRow != 0 && m_pendingRow <= complete) {
        m_out[m_pendingRow] = m_pending;
        m_pendingRow = 0;
    }
    const std::uint64_t stored = chunk.result().stored;
    if (stored == 0)
        return;
    const auto first
        = static_cast<std::uint64_t>((m_kept - chunk.position() + m_columns) % m_columns);
    const std::uint64_t firstRow = (m_numbers + first) / columns + 1;
    const std::uint64_t whole
        = complete >= firstRow ? std::min(stored, complete - firstRow + 1) : 0;
    std::memcpy(m_out + firstRow, chunk.values(), whole * sizeof(float));
    if (whole < stored && firstRow + whole <= m_rows) {
        m_pending = chunk.values()[whole];
        m_pendingRow = firstRow + whole;
    }
}

std::uint64_t ParallelScan::continueSequentially(std::uint64_t offset)
{
    const auto columns = static_cast<std::uint64_t>(m_columns);
    std::uint64_t rows = m_numbers / columns;
    if (!m_stream.seek(offset))
        return rows;
    const int position = static_cast<int>(m_numbers % columns);
    if (position != 0) {
        double value = 0.0;
        for (int j = position; j < m_columns; ++j) {
            const bool converted
                = m_out && j == m_kept ? readNumber(m_stream, value) : skipNumber(m_stream);
            if (!converted)
                return rows;
        }
        ++rows;
        if (m_out)
            m_out[rows] = m_kept >= position ? static_cast<float>(value) : m_pending;
    }
    return rows
        + scanSequentially(m_stream, m_columns, m_kept + 1, m_rows - rows,
            m_out ? m_out + rows : nullptr, m_progress);
}

std::uint64_t ParallelScan::run()
{
    const std::uint64_t fileSize = m_stream.size();
    const std::size_t threads = static_cast<std::size_t>(std::max(parallelThreads(), 1));
    const std::size_t block = blockBytes();
    m_boundary = m_stream.offset();
    if (!allocate(threads, block)) {
        m_chunks.clear();
        return scanSequentially(m_stream, m_columns, m_kept + 1, m_rows, m_out, m_progress);
    }
    const auto columns = static_cast<std::uint64_t>(m_columns);
    for (std::uint64_t start = m_boundary; m_numbers < m_wanted && start < fileSize;) {
        const std::size_t blocks = static_cast<std::size_t>(
            std::min<std::uint64_t>(threads, (fileSize - start + block - 1) / block));
        const std::size_t used = scanBatch(start, blocks, block);
        for (std::size_t i = 0; i < used; ++i) {
            const TableChunk& chunk = m_chunks[i];
            if (m_out)
                storeRows(chunk);
            m_numbers = std::min(m_wanted, m_numbers + chunk.result().numbers);
            if (m_numbers >= m_wanted || chunk.result().failed || chunk.endsData())
                return m_numbers / columns;
            if (chunk.isCut())
                return continueSequentially(chunk.cutOffset());
        }
        start += blocks * block;
        m_progress.advance(static_cast<double>(start) / static_cast<double>(fileSize));
    }
    return m_numbers / columns;
}

bool runsInParallel(const ByteStream& stream)
{
    // Pipes and other files of no known size are read as a stream.
    return parallelThreads() > 1 && stream.size() > 0 && stream.descriptor() >= 0;
}

} // namespace

std::uint64_t readTableColumn(ByteStream& stream, int columns, int kept, std::uint64_t count,
    float* out, StepProgress& progress)
{
    if (!runsInParallel(stream))
        return scanSequentially(stream, columns, kept, count, out, progress);
    return ParallelScan(stream, columns, kept, count, out, progress).run();
}

std::uint64_t countTableRows(
    ByteStream& stream, int columns, std::uint64_t maxRows, StepProgress& progress)
{
    if (!runsInParallel(stream))
        return scanSequentially(stream, columns, 0, maxRows, nullptr, progress);
    return ParallelScan(stream, columns, 1, maxRows, nullptr, progress).run();
}

void setTableBlockBytes(std::size_t bytes)
{
    blockBytesSetting.store(bytes, std::memory_order_relaxed);
}
