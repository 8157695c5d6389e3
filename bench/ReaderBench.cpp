// The reader and row count on one and on two threads beside the plain
// fscanf("%lf") loop, on one table of 4,000,000 rows of three "%.10g"
// numbers under a one-line header. The table is written once per run into
// the temporary folder, and before anything is timed all readers must give
// the same samples, bit for bit, and all counts the same number of rows.
// Arguments: the thread count.

#include "core/AnalysisState.h"
#include "core/CFormat.h"
#include "core/Parallel.h"
#include "input/TimeSeriesReader.h"
#include "support/PlainReader.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned ROWS = 4'000'000;
constexpr int COLUMNS = 3;
constexpr int HEADER_TOKENS = 3;
constexpr int KEPT_COLUMN = 3;

class BenchTable {
public:
    static const BenchTable& get()
    {
        static const BenchTable table;
        return table;
    }
    ~BenchTable() { std::remove(m_path.c_str()); }

    const std::string& path() const { return m_path; }
    // Empty when the readers agree.
    const std::string& disagreement() const { return m_disagreement; }

private:
    BenchTable()
        : m_path((std::filesystem::temp_directory_path()
            / ("welmo_reader_bench_" + std::to_string(::getpid()) + ".dat"))
                     .string())
    {
        if (!write())
            m_disagreement = "cannot write " + m_path;
        else
            m_disagreement = compareReaders();
    }

    // A time column, a tone and small noise, so that the numbers come in
    // every shape "%.10g" writes: integers, fractions and exponents.
    bool write() const
    {
        CLocaleScope cLocale;
        std::FILE* file = std::fopen(m_path.c_str(), "w");
        if (!file)
            return false;
        std::mt19937_64 random(4000000);
        std::normal_distribution<double> noise(0.0, 1e-3);
        std::fputs("time signal noise\n", file);
        for (unsigned r = 0; r < ROWS; ++r) {
            const double t = r * 0.001;
            std::fprintf(
                file, "%.10g %.10g %.10g\n", t, std::sin(2 * M_PI * 0.0123 * r), noise(random));
        }
        return std::fclose(file) == 0;
    }

    std::string compareReaders() const
    {
        for (int threads : { 1, 2 }) {
            setParallelThreads(threads);
            std::string disagreement = compareWithPlainLoop();
            setParallelThreads(0);
            if (!disagreement.empty())
                return disagreement + " on " + std::to_string(threads) + " threads";
        }
        return {};
    }

    std::string compareWithPlainLoop() const
    {
        AnalysisState state;
        state.dataFileName = m_path;
        state.headerTokens = HEADER_TOKENS;
        state.columnCount = COLUMNS;
        state.dataColumn = KEPT_COLUMN;
        if (!state.series.allocate(ROWS + 1))
            return "no memory for the series";
        std::vector<float> plain(ROWS + 1);
        unsigned stored = 0;
        if (readTimeSeries(state, ROWS) != 0
            || plainReadTimeSeries(
                   m_path, HEADER_TOKENS, COLUMNS, KEPT_COLUMN, ROWS, plain.data(), stored)
                != 0)
            return "a reader failed";
        if (std::memcmp(state.series.data(), plain.data(), plain.size() * sizeof(float)) != 0)
            return "the readers give different samples";
        unsigned rows = 0, plainRows = 0;
        if (countTimeSeriesRows(m_path, HEADER_TOKENS, COLUMNS, rows) != 0
            || plainCountRows(m_path, HEADER_TOKENS, COLUMNS, plainRows) != 0 || rows != ROWS
            || plainRows != ROWS)
            return "the row counts differ";
        FloatBuffer whole;
        rows = 0;
        if (readWholeTimeSeries(state, whole, rows) != 0 || rows != ROWS
            || std::memcmp(whole.data(), plain.data(), plain.size() * sizeof(float)) != 0)
            return "the one-pass read differs";
        return {};
    }

    std::string m_path;
    std::string m_disagreement;
};

bool tableReady(benchmark::State& state)
{
    const BenchTable& table = BenchTable::get();
    if (!table.disagreement().empty()) {
        state.SkipWithError(table.disagreement().c_str());
        return false;
    }
    return true;
}

void BM_PlainReader(benchmark::State& state)
{
    if (!tableReady(state))
        return;
    const std::string& path = BenchTable::get().path();
    std::vector<float> series(ROWS + 1);
    for (auto _ : state) {
        unsigned stored = 0;
        benchmark::DoNotOptimize(plainReadTimeSeries(
            path, HEADER_TOKENS, COLUMNS, KEPT_COLUMN, ROWS, series.data(), stored));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ROWS);
}

// Sets the thread count for one benchmark and restores it after.
class ThreadScope {
public:
    explicit ThreadScope(const benchmark::State& state)
    {
        setParallelThreads(static_cast<int>(state.range(0)));
    }
    ~ThreadScope() { setParallelThreads(0); }
};

AnalysisState benchRecord(const std::string& path)
{
    AnalysisState record;
    record.dataFileName = path;
    record.headerTokens = HEADER_TOKENS;
    record.columnCount = COLUMNS;
    record.dataColumn = KEPT_COLUMN;
    record.series.allocate(ROWS + 1);
    return record;
}

// "Get and Check" and then the read, as Retrieve Data runs them.
void BM_PlainCountAndRead(benchmark::State& state)
{
    if (!tableReady(state))
        return;
    const std::string& path = BenchTable::get().path();
    std::vector<float> series(ROWS + 1);
    for (auto _ : state) {
        unsigned rows = 0, stored = 0;
        plainCountRows(path, HEADER_TOKENS, COLUMNS, rows);
        benchmark::DoNotOptimize(plainReadTimeSeries(
            path, HEADER_TOKENS, COLUMNS, KEPT_COLUMN, rows, series.data(), stored));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ROWS);
}

void BM_CountAndRead(benchmark::State& state)
{
    if (!tableReady(state))
        return;
    const ThreadScope threads(state);
    AnalysisState record = benchRecord(BenchTable::get().path());
    if (record.series.size() <= ROWS) {
        state.SkipWithError("no memory for the series");
        return;
    }
    for (auto _ : state) {
        unsigned rows = 0;
        countTimeSeriesRows(record.dataFileName, HEADER_TOKENS, COLUMNS, rows);
        benchmark::DoNotOptimize(readTimeSeries(record, rows));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ROWS);
}

// Count and read of the table named by WELMO_READER_BENCH_FILE (same
// layout), once, without writing or checking the bench table: a process
// that runs only this is timed whole against other programs by
// bench/external/loadtxt_compare.py. Argument: the thread count (0: one
// per core).
void BM_CountAndReadNamedFile(benchmark::State& state)
{
    const ThreadScope threads(state);
    const char* path = std::getenv("WELMO_READER_BENCH_FILE");
    if (path == nullptr) {
        state.SkipWithError("WELMO_READER_BENCH_FILE is not set");
        return;
    }
    AnalysisState record = benchRecord(path);
    for (auto _ : state) {
        unsigned rows = 0;
        if (countTimeSeriesRows(path, HEADER_TOKENS, COLUMNS, rows) != 0
            || !record.series.allocate(static_cast<std::size_t>(rows) + 1)
            || readTimeSeries(record, rows) != 0) {
            state.SkipWithError("the named file cannot be read");
            return;
        }
        state.counters["rows"] = rows;
    }
}

// The one-pass read of the named file, as BM_CountAndReadNamedFile.
void BM_ReadWholeNamedFile(benchmark::State& state)
{
    const ThreadScope threads(state);
    const char* path = std::getenv("WELMO_READER_BENCH_FILE");
    if (path == nullptr) {
        state.SkipWithError("WELMO_READER_BENCH_FILE is not set");
        return;
    }
    AnalysisState record = benchRecord(path);
    record.series.release();
    for (auto _ : state) {
        unsigned rows = 0;
        if (readWholeTimeSeries(record, record.series, rows) != 0) {
            state.SkipWithError("the named file cannot be read");
            return;
        }
        state.counters["rows"] = rows;
    }
}

// The plain fscanf count and read of the named file, as
// BM_CountAndReadNamedFile.
void BM_PlainCountAndReadNamedFile(benchmark::State& state)
{
    const char* path = std::getenv("WELMO_READER_BENCH_FILE");
    if (path == nullptr) {
        state.SkipWithError("WELMO_READER_BENCH_FILE is not set");
        return;
    }
    for (auto _ : state) {
        unsigned rows = 0, stored = 0;
        std::vector<float> series;
        if (plainCountRows(path, HEADER_TOKENS, COLUMNS, rows) != 0
            || (series.resize(static_cast<std::size_t>(rows) + 1),
                   plainReadTimeSeries(
                       path, HEADER_TOKENS, COLUMNS, KEPT_COLUMN, rows, series.data(), stored))
                != 0) {
            state.SkipWithError("the named file cannot be read");
            return;
        }
        state.counters["rows"] = rows;
    }
}

// The one-pass read beside the count and read (BM_CountAndRead).
void BM_ReadWholeTimeSeries(benchmark::State& state)
{
    if (!tableReady(state))
        return;
    const ThreadScope threads(state);
    AnalysisState record = benchRecord(BenchTable::get().path());
    for (auto _ : state) {
        unsigned rows = 0;
        FloatBuffer series;
        benchmark::DoNotOptimize(readWholeTimeSeries(record, series, rows));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ROWS);
}

void BM_ReadTimeSeries(benchmark::State& state)
{
    if (!tableReady(state))
        return;
    const ThreadScope threads(state);
    AnalysisState record = benchRecord(BenchTable::get().path());
    if (record.series.size() <= ROWS) {
        state.SkipWithError("no memory for the series");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(readTimeSeries(record, ROWS));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ROWS);
}

void BM_PlainRowCount(benchmark::State& state)
{
    if (!tableReady(state))
        return;
    for (auto _ : state) {
        unsigned rows = 0;
        benchmark::DoNotOptimize(
            plainCountRows(BenchTable::get().path(), HEADER_TOKENS, COLUMNS, rows));
    }
    state.SetItemsProcessed(state.iterations() * ROWS);
}

void BM_CountTimeSeriesRows(benchmark::State& state)
{
    if (!tableReady(state))
        return;
    const ThreadScope threads(state);
    for (auto _ : state) {
        unsigned rows = 0;
        benchmark::DoNotOptimize(
            countTimeSeriesRows(BenchTable::get().path(), HEADER_TOKENS, COLUMNS, rows));
    }
    state.SetItemsProcessed(state.iterations() * ROWS);
}

} // namespace

BENCHMARK(BM_PlainReader)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadTimeSeries)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PlainRowCount)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CountTimeSeriesRows)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_PlainCountAndRead)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_CountAndRead)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_CountAndReadNamedFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReadWholeTimeSeries)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ReadWholeNamedFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PlainCountAndReadNamedFile)->Unit(benchmark::kMillisecond)->Iterations(1);
