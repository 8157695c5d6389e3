#include "input/TableScan.h"

#include "core/Parallel.h"
#include "core/TaskBuffers.h"
#include "core/Tuning.h"
#include "input/BlockText.h"
#include "input/GrowingColumn.h"
#include "input/NumberScanner.h"
#include "input/TableChunk.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// Rows between two progress reports of the sequential scan.
constexpr std::uint64_t SLICE_ROWS = std::uint64_t(1) << 14;

std::atomic<std::size_t> blockBytesSetting { 0 };

std::size_t blockBytes()
{
    const std::size_t set = blockBytesSetting.load(std::memory_order_relaxed);
    return set > 0 ? set : tuning::kReaderBlockBytes;
}

// A token longer than this past its block's end is left to the sequential
// scan, so that the memory stays bounded whatever the file holds.
std::size_t tailBytesFor(std::size_t block)
{
    return block / 4 + 64;
}

// Returns whether the step goes on.
bool reportOffset(StepProgress& progress, const ByteStream& stream)
{
    if (stream.size() == 0)
        return progress.poll();
    return progress.advance(
        static_cast<double>(stream.offset()) / static_cast<double>(stream.size()));
}

// The entries of a growing column, which holds floats; a column of
// doubles is always read into a buffer of known length.
float* growingData(GrowingColumn* growing, float*)
{
    return growing->data();
}
double* growingData(GrowingColumn*, double*)
{
    return nullptr;
}

// Where the rows go: out[1], out[2], ... of a buffer of known length, the
// entries after `before` of a growing column, or nowhere (only counted).
template <typename Value> struct RowSink {
    Value* out = nullptr;
    GrowingColumn* growing = nullptr;
    std::uint64_t before = 0;

    bool stores() const { return out != nullptr || growing != nullptr; }
    // out[1..rows] after `done` rows, with room for them; null when there
    // is none.
    Value* room(std::uint64_t done, std::uint64_t rows) const
    {
        if (!growing)
            return out + done;
        if (!growing->reserve(before + done + rows))
            return nullptr;
        return growingData(growing, out) + before + done;
    }
};

// The sequential scan in slices of rows, reporting between them.
template <typename Value>
std::uint64_t scanSequentially(ByteStream& stream, int columns, int kept, std::uint64_t rows,
    const RowSink<Value>& sink, StepProgress& progress)
{
    std::uint64_t done = 0;
    while (done < rows) {
        const std::uint64_t slice = std::min(SLICE_ROWS, rows - done);
        std::uint64_t got = 0;
        if (sink.stores()) {
            Value* const out = sink.room(done, slice);
            if (!out)
                break;
            got = readColumn(stream, columns, kept, slice, out);
        } else {
            got = countRows(stream, columns, slice);
        }
        done += got;
        if (got < slice || !reportOffset(progress, stream))
            break;
    }
    return done;
}

// A block's bytes, and the text made of them where their syntax needs one.
struct BlockBuffer {
    std::unique_ptr<char[]> bytes;
    BlockTextRoom text;
};

// Joins the chunks' results in file order into rows, and takes over
// sequentially where a chunk had to stop short. A table in another syntax
// is scanned by lines, from a line's start, and handed back to the caller
// where a chunk stops short (see resumeAt).
template <typename Value> class ParallelScan {
public:
    ParallelScan(ByteStream& stream, int columns, int kept, std::uint64_t rows,
        const RowSink<Value>& sink, StepProgress& progress, const TableSyntax& syntax = {},
        std::size_t block = 0)
        : m_stream(stream)
        , m_columns(columns)
        , m_kept(kept - 1)
        , m_rows(rows)
        , m_wanted(rows * static_cast<std::uint64_t>(columns))
        , m_stores(sink.stores())
        , m_growing(sink.growing)
        , m_out(sink.growing ? growingData(sink.growing, sink.out) : sink.out)
        , m_progress(progress)
        , m_batchBlocks(static_cast<std::size_t>(std::max(parallelThreads(), 1))
              * tuning::kReaderBlocksPerThread)
        , m_block(block > 0 ? block : blockBytes())
        , m_syntax(syntax)
    {
    }

    // Goes on from a scan in file order that stands at the stream's offset.
    void continueFrom(const TableScanPlace<Value>& place)
    {
        m_numbers = place.numbers;
        m_pending = place.pending;
        m_pendingRow = place.pendingRow;
    }
    TableScanPlace<Value> place() const { return { m_numbers, m_pending, m_pendingRow }; }

    std::uint64_t run();

    // Where the caller's sequential scan of another syntax takes over, at a
    // line's start; NO_RESUME when the scan has ended.
    static constexpr std::uint64_t NO_RESUME = UINT64_MAX;
    std::uint64_t resumeAt() const { return m_resumeAt; }

private:
    // Blocks that one round of the threads takes, from `start` on.
    struct Batch {
        std::vector<TableChunk<Value>> chunks;
        // One more than the numbers before each block, as guessed from the
        // token counts; 0 while the blocks before it are still counting.
        std::unique_ptr<std::atomic<std::uint64_t>[]> numbersBefore;
        std::uint64_t start = 0;
        std::size_t blocks = 0;
    };

    bool allocate(Batch& batch);
    void plan(Batch& batch, std::uint64_t start) const;
    void load(Batch& batch, std::size_t i, BlockBuffer& buffer) const;
    void loadAndScan(Batch& batch, std::size_t i);
    int guessPosition(Batch& batch, std::size_t i, std::uint64_t tokens) const;
    std::size_t checkPositions(Batch& batch);
    bool makeRoom(const Batch& batch, std::size_t used);
    void storeRows(const TableChunk<Value>& chunk);
    std::uint64_t continueSequentially(std::uint64_t offset);

    static bool endsScan(const TableChunk<Value>& chunk)
    {
        return chunk.result().failed || chunk.isCut() || chunk.endsData();
    }

    ByteStream& m_stream;
    const int m_columns;
    const int m_kept; // from 0
    const std::uint64_t m_rows;
    const std::uint64_t m_wanted;
    const bool m_stores;
    GrowingColumn* const m_growing; // null when out has room for all rows
    Value* m_out;
    StepProgress& m_progress;
    const std::size_t m_batchBlocks;
    const std::size_t m_block;
    const TableSyntax m_syntax;
    // Block buffers, one to each running task (see TaskBuffers).
    TaskBuffers<BlockBuffer> m_buffers;
    std::uint64_t m_resumeAt = NO_RESUME;
    std::uint64_t m_boundary = 0;
    std::uint64_t m_numbers = 0; // taken so far, in file order
    // The kept value of the row still open after the chunks joined so far.
    Value m_pending = 0;
    std::uint64_t m_pendingRow = 0;
    // Whether a block's position is guessed from its first line (see
    // loadAndScan); changed only between the rounds of the threads.
    bool m_rowsByLines = true;
};

template <typename Value> bool ParallelScan<Value>::allocate(Batch& batch)
{
    const std::size_t bufferBytes = TableChunk<Value>::bufferBytes(m_block, tailBytesFor(m_block));
    if (!m_buffers.allocate([&](BlockBuffer& buffer) {
            buffer.bytes.reset(new (std::nothrow) char[bufferBytes]);
            return buffer.bytes != nullptr;
        }))
        return false;
    batch.chunks.resize(m_batchBlocks);
    batch.numbersBefore.reset(new (std::nothrow) std::atomic<std::uint64_t>[m_batchBlocks + 1]);
    if (!batch.numbersBefore)
        return false;
    for (TableChunk<Value>& chunk : batch.chunks) {
        if (!chunk.allocate(m_block, tailBytesFor(m_block), m_columns, m_stores, m_syntax))
            return false;
    }
    return true;
}

template <typename Value> void ParallelScan<Value>::plan(Batch& batch, std::uint64_t start) const
{
    const std::uint64_t fileSize = m_stream.size();
    batch.start = start;
    batch.blocks = start < fileSize && m_numbers < m_wanted
        ? static_cast<std::size_t>(
            std::min<std::uint64_t>(m_batchBlocks, (fileSize - start + m_block - 1) / m_block))
        : 0;
    batch.numbersBefore[0].store(m_numbers + 1, std::memory_order_relaxed);
    for (std::size_t i = 1; i <= batch.blocks; ++i)
        batch.numbersBefore[i].store(0, std::memory_order_relaxed);
}

template <typename Value>
void ParallelScan<Value>::load(Batch& batch, std::size_t i, BlockBuffer& buffer) const
{
    const std::uint64_t fileSize = m_stream.size();
    const std::uint64_t blockStart = batch.start + i * m_block;
    batch.chunks[i].load(buffer.bytes.get(), m_stream.descriptor(), blockStart,
        std::min<std::uint64_t>(blockStart + m_block, fileSize), m_boundary, fileSize,
        &buffer.text);
}

// The block is read, and scanned while it is still in the cache.
template <typename Value> void ParallelScan<Value>::loadAndScan(Batch& batch, std::size_t i)
{
    auto lease = m_buffers.lend();
    load(batch, i, lease.buffer());
    TableChunk<Value>& chunk = batch.chunks[i];
    if (!m_stores) {
        chunk.scan(m_columns, 0, -1);
        return;
    }
    // In most tables a line is a row, so that a block's position follows
    // from the tokens before its first line end, with no wait for the
    // blocks before it. The first block of a round knows its position.
    int position = 0;
    if (!m_rowsByLines)
        position = guessPosition(batch, i, chunk.countTokens());
    else if (i == 0)
        position = static_cast<int>(m_numbers % static_cast<std::uint64_t>(m_columns));
    else
        position = std::max(chunk.rowPositionByLines(m_columns), 0);
    chunk.scan(m_columns, position, m_kept);
}

// Where a block's numbers fall in their rows is known only once the blocks
// before it are scanned. It is guessed from their token counts (in a table
// a token is one number), checked in file order, and the few blocks
// guessed wrong are scanned again. Each block passes its count on before
// it scans, so a block waits only for the counts before it, which take a
// small part of a scan. No block waits for a later one, and runTasks
// starts no block before the ones ahead of it, so the blocks it waits for
// are being worked on.
template <typename Value>
int ParallelScan<Value>::guessPosition(Batch& batch, std::size_t i, std::uint64_t tokens) const
{
    std::atomic<std::uint64_t>& before = batch.numbersBefore[i];
    std::uint64_t known;
    while ((known = before.load(std::memory_order_acquire)) == 0)
        before.wait(0, std::memory_order_acquire);
    std::atomic<std::uint64_t>& after = batch.numbersBefore[i + 1];
    after.store(known + tokens, std::memory_order_release);
    after.notify_all();
    return static_cast<int>((known - 1) % static_cast<std::uint64_t>(m_columns));
}

// A growing column gets room for the rows that the first `used` blocks of
// the batch complete; false when memory is short.
template <typename Value> bool ParallelScan<Value>::makeRoom(const Batch& batch, std::size_t used)
{
    if (!m_growing)
        return true;
    std::uint64_t numbers = m_numbers;
    for (std::size_t i = 0; i < used; ++i)
        numbers += batch.chunks[i].result().numbers;
    if (!m_growing->reserve(std::min(m_wanted, numbers) / static_cast<std::uint64_t>(m_columns)))
        return false;
    m_out = growingData(m_growing, m_out);
    return true;
}

// Returns how many blocks of the batch count.
template <typename Value> std::size_t ParallelScan<Value>::checkPositions(Batch& batch)
{
    std::vector<std::pair<std::size_t, int>> wrong;
    std::uint64_t exact = m_numbers;
    for (std::size_t i = 0; i < batch.blocks; ++i) {
        const TableChunk<Value>& chunk = batch.chunks[i];
        const int position = static_cast<int>(exact % static_cast<std::uint64_t>(m_columns));
        if (m_stores && chunk.position() != position)
            wrong.emplace_back(i, position);
        exact += chunk.result().numbers;
        if (endsScan(chunk)) {
            batch.blocks = i + 1;
            break;
        }
    }
    if (!wrong.empty()) {
        // Rows that do not keep to lines make the line guess a waste.
        m_rowsByLines = false;
        // The block is read again: its buffer has gone on to others.
        runTasks(wrong.size(), [&](std::size_t w) {
            auto lease = m_buffers.lend();
            load(batch, wrong[w].first, lease.buffer());
            batch.chunks[wrong[w].first].scan(m_columns, wrong[w].second, m_kept);
        });
    }
    return batch.blocks;
}

template <typename Value> void ParallelScan<Value>::storeRows(const TableChunk<Value>& chunk)
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
    std::memcpy(m_out + firstRow, chunk.values(), whole * sizeof(Value));
    if (whole < stored && firstRow + whole <= m_rows) {
        m_pending = chunk.values()[whole];
        m_pendingRow = firstRow + whole;
    }
}

template <typename Value>
std::uint64_t ParallelScan<Value>::continueSequentially(std::uint64_t offset)
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
                = m_stores && j == m_kept ? readNumber(m_stream, value) : skipNumber(m_stream);
            if (!converted)
                return rows;
        }
        if (m_growing) {
            if (!m_growing->reserve(rows + 1))
                return rows;
            m_out = growingData(m_growing, m_out);
        }
        ++rows;
        if (m_stores)
            m_out[rows] = m_kept >= position ? static_cast<Value>(value) : m_pending;
    }
    RowSink<Value> rest;
    if (m_growing) {
        rest.growing = m_growing;
        rest.before = rows;
    } else if (m_stores) {
        rest.out = m_out + rows;
    }
    return rows
        + scanSequentially(m_stream, m_columns, m_kept + 1, m_rows - rows, rest, m_progress);
}

template <typename Value> std::uint64_t ParallelScan<Value>::run()
{
    m_boundary = m_stream.offset();
    Batch batch;
    const bool allocated = allocate(batch);
    if (!allocated && !m_syntax.plain()) {
        m_resumeAt = m_boundary;
        return m_numbers / static_cast<std::uint64_t>(m_columns);
    }
    if (!allocated) {
        batch.chunks.clear();
        RowSink<Value> sink;
        sink.out = m_growing ? nullptr : m_out;
        sink.growing = m_growing;
        return scanSequentially(m_stream, m_columns, m_kept + 1, m_rows, sink, m_progress);
    }
    const auto columns = static_cast<std::uint64_t>(m_columns);
    std::uint64_t start = m_boundary;
    for (plan(batch, start); batch.blocks > 0; plan(batch, start)) {
        runTasks(batch.blocks, [&](std::size_t i) { loadAndScan(batch, i); });
        start = batch.start + batch.blocks * m_block;
        const std::size_t used = checkPositions(batch);
        if (!makeRoom(batch, used))
            return m_numbers / columns;
        for (std::size_t i = 0; i < used; ++i) {
            const TableChunk<Value>& chunk = batch.chunks[i];
            if (m_stores)
                storeRows(chunk);
            m_numbers = std::min(m_wanted, m_numbers + chunk.result().numbers);
            if (m_numbers >= m_wanted || chunk.result().failed || chunk.endsData())
                return m_numbers / columns;
            if (chunk.isCut() && !m_syntax.plain()) {
                m_resumeAt = chunk.cutOffset();
                return m_numbers / columns;
            }
            if (chunk.isCut())
                return continueSequentially(chunk.cutOffset());
        }
        if (!m_progress.advance(static_cast<double>(start) / static_cast<double>(m_stream.size())))
            return m_numbers / columns;
    }
    return m_numbers / columns;
}

bool runsInParallel(const ByteStream& stream)
{
    // Pipes and other files of no known size are read as a stream.
    return parallelThreads() > 1 && stream.size() > 0 && stream.descriptor() >= 0;
}

template <typename Value>
std::uint64_t scanTable(ByteStream& stream, int columns, int kept, std::uint64_t rows,
    const RowSink<Value>& sink, StepProgress& progress)
{
    if (!runsInParallel(stream))
        return scanSequentially(stream, columns, kept, rows, sink, progress);
    return ParallelScan<Value>(stream, columns, kept, rows, sink, progress).run();
}

template <typename Value>
bool scanLines(ByteStream& stream, const TableSyntax& syntax, std::size_t blockBytes, int columns,
    int kept, std::uint64_t rows, const RowSink<Value>& sink, TableScanPlace<Value>& place,
    std::uint64_t& resumeAt, StepProgress& progress)
{
    ParallelScan<Value> scan(stream, columns, kept, rows, sink, progress, syntax, blockBytes);
    scan.continueFrom(place);
    scan.run();
    place = scan.place();
    if (scan.resumeAt() == ParallelScan<Value>::NO_RESUME)
        return false;
    resumeAt = scan.resumeAt();
    return true;
}

} // namespace

std::uint64_t readTableColumn(ByteStream& stream, int columns, int kept, std::uint64_t count,
    float* out, StepProgress& progress)
{
    RowSink<float> sink;
    sink.out = out;
    return scanTable(stream, columns, kept, count, sink, progress);
}

std::uint64_t readTableColumn(ByteStream& stream, int columns, int kept, std::uint64_t count,
    double* out, StepProgress& progress)
{
    RowSink<double> sink;
    sink.out = out;
    return scanTable(stream, columns, kept, count, sink, progress);
}

std::uint64_t readWholeTableColumn(ByteStream& stream, int columns, int kept, std::uint64_t maxRows,
    GrowingColumn& out, StepProgress& progress)
{
    RowSink<float> sink;
    sink.growing = &out;
    return scanTable(stream, columns, kept, maxRows, sink, progress);
}

std::uint64_t countTableRows(
    ByteStream& stream, int columns, std::uint64_t maxRows, StepProgress& progress)
{
    return scanTable(stream, columns, 1, maxRows, RowSink<float> {}, progress);
}

bool scanSyntaxTableLines(ByteStream& stream, const TableSyntax& syntax, std::size_t blockBytes,
    int columns, int kept, std::uint64_t rows, float* out, GrowingColumn* growing,
    TableScanPlace<float>& place, std::uint64_t& resumeAt, StepProgress& progress)
{
    RowSink<float> sink;
    sink.out = out;
    sink.growing = growing;
    return scanLines(
        stream, syntax, blockBytes, columns, kept, rows, sink, place, resumeAt, progress);
}

bool scanSyntaxTableLines(ByteStream& stream, const TableSyntax& syntax, std::size_t blockBytes,
    int columns, int kept, std::uint64_t rows, double* out, TableScanPlace<double>& place,
    std::uint64_t& resumeAt, StepProgress& progress)
{
    RowSink<double> sink;
    sink.out = out;
    return scanLines(
        stream, syntax, blockBytes, columns, kept, rows, sink, place, resumeAt, progress);
}

void setTableBlockBytes(std::size_t bytes)
{
    blockBytesSetting.store(bytes, std::memory_order_relaxed);
}
