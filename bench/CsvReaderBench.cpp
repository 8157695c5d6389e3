// The one-pass read of a comma-separated table beside the same table with
// blanks, on one and on two threads: 4,000,000 rows of three "%.10g"
// numbers under a one-line header of quoted names. Both files are written
// once per run into the temporary folder, and before anything is timed the
// two reads must give the same samples, bit for bit, with each instruction
// set of the block check.
// Arguments: the thread count; for the CSV table also the block check's
// instruction set (0 baseline, 1 AVX2).

#include "core/AnalysisState.h"
#include "core/CFormat.h"
#include "core/Parallel.h"
#include "input/BlockText.h"
#include "input/TimeSeriesReader.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr unsigned ROWS = 4'000'000;
constexpr TableSyntax CSV { 0, ',', false };
constexpr BlockCheckSet SETS[] = { BlockCheckSet::baseline, BlockCheckSet::avx2 };

std::string benchPath(const char* name)
{
    return (std::filesystem::temp_directory_path()
        / ("welmo_csv_bench_" + std::to_string(::getpid()) + name))
        .string();
}

class CsvTables {
public:
    static const CsvTables& get()
    {
        static const CsvTables tables;
        return tables;
    }
    ~CsvTables()
    {
        std::remove(m_blanks.c_str());
        std::remove(m_commas.c_str());
    }

    const std::string& blanks() const { return m_blanks; }
    const std::string& commas() const { return m_commas; }
    const std::string& disagreement() const { return m_disagreement; }

private:
    CsvTables()
        : m_blanks(benchPath(".dat"))
        , m_commas(benchPath(".csv"))
    {
        if (!write())
            m_disagreement = "cannot write the tables";
        else
            m_disagreement = compare();
    }

    bool write() const
    {
        CLocaleScope cLocale;
        std::FILE* blanks = std::fopen(m_blanks.c_str(), "w");
        std::FILE* commas = std::fopen(m_commas.c_str(), "w");
        bool written = blanks && commas;
        if (written) {
            std::mt19937_64 random(4000000);
            std::normal_distribution<double> noise(0.0, 1e-3);
            std::fputs("time signal noise\n", blanks);
            std::fputs("\"time\",\"signal\",\"noise\"\n", commas);
            for (unsigned r = 0; r < ROWS; ++r) {
                const double t = r * 0.001;
                const double s = std::sin(2 * M_PI * 0.0123 * r);
                const double n = noise(random);
                std::fprintf(blanks, "%.10g %.10g %.10g\n", t, s, n);
                std::fprintf(commas, "%.10g,%.10g,%.10g\n", t, s, n);
            }
        }
        if (blanks)
            written = std::fclose(blanks) == 0 && written;
        if (commas)
            written = std::fclose(commas) == 0 && written;
        return written;
    }

    std::string compare() const
    {
        for (int threads : { 1, 2 }) {
            setParallelThreads(threads);
            for (int column = 1; column <= 3; ++column) {
                AnalysisState layout;
                layout.headerTokens = 3;
                layout.columnCount = 3;
                layout.dataColumn = column;
                layout.dataFileName = m_blanks;
                FloatBuffer plain, csv;
                unsigned plainRows = 0, csvRows = 0;
                const int plainStatus = readWholeTimeSeries(layout, plain, plainRows);
                layout.dataFileName = m_commas;
                for (const BlockCheckSet set : SETS) {
                    if (!pinBlockCheckSet(set))
                        continue;
                    const int csvStatus = readWholeTimeSeries(layout, CSV, csv, csvRows);
                    pinBlockCheckSet(BlockCheckSet::automatic);
                    if (plainStatus != 0 || csvStatus != 0 || plainRows != ROWS || csvRows != ROWS
                        || std::memcmp(plain.data(), csv.data(), (ROWS + 1) * sizeof(float)) != 0) {
                        setParallelThreads(0);
                        return "the two tables read differently";
                    }
                }
            }
            setParallelThreads(0);
        }
        return {};
    }

    std::string m_blanks;
    std::string m_commas;
    std::string m_disagreement;
};

void readWhole(benchmark::State& state, bool commas)
{
    const CsvTables& tables = CsvTables::get();
    if (!tables.disagreement().empty()) {
        state.SkipWithError(tables.disagreement().c_str());
        return;
    }
    if (commas && !pinBlockCheckSet(SETS[state.range(1)])) {
        state.SkipWithError("the processor lacks the instruction set");
        return;
    }
    setParallelThreads(static_cast<int>(state.range(0)));
    AnalysisState layout;
    layout.dataFileName = commas ? tables.commas() : tables.blanks();
    layout.headerTokens = 3;
    layout.columnCount = 3;
    layout.dataColumn = 3;
    for (auto _ : state) {
        FloatBuffer series;
        unsigned rows = 0;
        benchmark::DoNotOptimize(commas ? readWholeTimeSeries(layout, CSV, series, rows)
                                        : readWholeTimeSeries(layout, series, rows));
        benchmark::ClobberMemory();
    }
    setParallelThreads(0);
    pinBlockCheckSet(BlockCheckSet::automatic);
    state.SetItemsProcessed(state.iterations() * ROWS);
}

void BM_ReadWholeBlankTable(benchmark::State& state)
{
    readWhole(state, false);
}

void BM_ReadWholeCsvTable(benchmark::State& state)
{
    readWhole(state, true);
}

} // namespace

BENCHMARK(BM_ReadWholeBlankTable)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadWholeCsvTable)
    ->ArgsProduct({ { 1, 2 }, { 0, 1 } })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
