// A follow look beside a full Retrieve Data and the estimate alone, on a
// table of 20,000,000 rows of one "%.9g" number that grew by 200,000 rows.
// The look starts each time from the record that Retrieve Data of the
// first 20,000,000 rows left (copied outside the timing), and must give
// the record that Retrieve Data of the grown file gives, bit for bit,
// before anything is timed. The three run side by side in each iteration;
// the counters give the look's bytes and its time beyond the estimate, each
// over Retrieve Data's.

#include "commands/Commands.h"
#include "core/AnalysisState.h"
#include "core/CFormat.h"
#include "spectrum/PsdEstimator.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr unsigned ROWS = 20'000'000;
constexpr unsigned APPENDED = 200'000;

// The data dialog's OK for every row of one column.
struct QuietHost : CommandHost {
    std::string file;
    std::optional<TimeSeriesChoice> runTimeSeriesDialog() override
    {
        TimeSeriesChoice choice;
        choice.dataFileName = file;
        return choice;
    }
    std::optional<PsdChoice> runPsdConfigDialog() override { return std::nullopt; }
    std::optional<SegmentChoice> runSelectSegmentDialog() override { return std::nullopt; }
    std::optional<int> runRunningAverageDialog() override { return std::nullopt; }
    std::optional<ExportChoice> runExportPsdDialog() override { return std::nullopt; }
    void message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void waitCursor() override { }
    void arrowCursor() override { }
    void invalidateWindow() override { }
    // When the estimate step began and ended, on the bench's clock.
    bool progress(std::string_view step, double fraction) override
    {
        if (step == PROGRESS_ESTIMATE && fraction <= 0.0 && !estimateBegan)
            estimateBegan = std::chrono::steady_clock::now();
        if (step == PROGRESS_ESTIMATE && fraction >= 1.0)
            estimateEnded = std::chrono::steady_clock::now();
        return true;
    }
    double estimateSeconds() const
    {
        return estimateBegan && estimateEnded
            ? std::chrono::duration<double>(*estimateEnded - *estimateBegan).count()
            : 0.0;
    }
    std::optional<std::chrono::steady_clock::time_point> estimateBegan;
    std::optional<std::chrono::steady_clock::time_point> estimateEnded;
};

bool sameBits(const FloatBuffer& a, const FloatBuffer& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

void copyRecord(const AnalysisState& from, AnalysisState& to)
{
    static_cast<RecordValues&>(to) = from;
    for (const auto& [source, target] :
        { std::pair { &from.series, &to.series }, std::pair { &from.psd, &to.psd } }) {
        target->allocate(source->size());
        std::memcpy(target->data(), source->data(), source->size() * sizeof(float));
    }
}

class FollowTable {
public:
    static FollowTable& get()
    {
        static FollowTable table;
        return table;
    }
    ~FollowTable() { std::remove(m_path.c_str()); }

    const std::string& path() const { return m_path; }
    const std::string& failure() const { return m_failure; }
    // Retrieve Data of the first ROWS rows, and of the grown file.
    const AnalysisState& before() const { return m_before; }
    const AnalysisState& grown() const { return m_grown; }

private:
    FollowTable()
        : m_path((std::filesystem::temp_directory_path()
            / ("welmo_follow_bench_" + std::to_string(::getpid()) + ".dat"))
                     .string())
    {
        if (!write(0, ROWS, "w"))
            m_failure = "cannot write " + m_path;
        else if (!retrieve(m_before) || !write(ROWS, ROWS + APPENDED, "a") || !retrieve(m_grown))
            m_failure = "Retrieve Data failed";
        else
            m_failure = compare();
    }

    bool write(unsigned from, unsigned to, const char* mode) const
    {
        CLocaleScope cLocale;
        std::FILE* file = std::fopen(m_path.c_str(), mode);
        if (!file)
            return false;
        for (unsigned r = from; r < to; ++r)
            std::fprintf(file, "%.9g\n", std::sin(0.0123 * r) + 1e-3 * std::sin(0.71 * r));
        return std::fclose(file) == 0;
    }

    bool retrieve(AnalysisState& state) const
    {
        resetAnalysisState(state);
        QuietHost host;
        host.file = m_path;
        return retrieveData(state, host) == CommandOutcome::DONE;
    }

    std::string compare() const
    {
        AnalysisState followed;
        copyRecord(m_before, followed);
        QuietHost host;
        if (followStep(followed, host) != CommandOutcome::DONE)
            return "the follow step failed";
        if (!(static_cast<const RecordValues&>(followed) == m_grown)
            || !sameBits(followed.series, m_grown.series) || !sameBits(followed.psd, m_grown.psd))
            return "the follow step gives another record than Retrieve Data";
        return "";
    }

    std::string m_path;
    std::string m_failure;
    AnalysisState m_before;
    AnalysisState m_grown;
};

bool ready(benchmark::State& state)
{
    if (FollowTable::get().failure().empty())
        return true;
    state.SkipWithError(FollowTable::get().failure().c_str());
    return false;
}

double secondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The three side by side in each iteration, so that a machine whose load
// changes weighs on all of them alike: the iteration's time is the look's,
// and the counters give the full read and the estimate beside it.
void BM_FollowLookBesideRetrieveData(benchmark::State& state)
{
    if (!ready(state))
        return;
    const FollowTable& table = FollowTable::get();
    double retrieve = 0.0;
    double look = 0.0;
    double estimate = 0.0;
    double estimateInLook = 0.0;
    for (auto _ : state) {
        retrieve += secondsOf([&] {
            AnalysisState record;
            resetAnalysisState(record);
            QuietHost host;
            host.file = table.path();
            benchmark::DoNotOptimize(retrieveData(record, host));
        });
        AnalysisState followed;
        copyRecord(table.before(), followed);
        QuietHost lookHost;
        const double seconds = secondsOf([&] {
            benchmark::DoNotOptimize(followStep(followed, lookHost));
            followed = AnalysisState {};
        });
        look += seconds;
        estimateInLook += lookHost.estimateSeconds();
        state.SetIterationTime(seconds);
        AnalysisState grown;
        copyRecord(table.grown(), grown);
        estimate += secondsOf([&] {
            benchmark::DoNotOptimize(
                computeSpectrum(grown, [](std::string_view, double) { return true; }));
            grown = AnalysisState {};
        });
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["retrieve_ms"] = 1e3 * retrieve / n;
    state.counters["estimate_ms"] = 1e3 * estimate / n;
    state.counters["estimate_in_look_ms"] = 1e3 * estimateInLook / n;
    // At most 0.1: the look costs at most a tenth of Retrieve Data beyond
    // the estimate it cannot do without. The estimate timed within the look
    // is the same work as the one timed alone, without the noise of a
    // second run; both are given.
    state.counters["beyond_estimate_per_retrieve"] = (look - estimateInLook) / retrieve;
    state.counters["beyond_estimate_alone_per_retrieve"] = (look - estimate) / retrieve;
    const FollowMark& before = table.before().followMark;
    const FollowMark& after = table.grown().followMark;
    // At most 1/20.
    state.counters["bytes_per_retrieve"]
        = static_cast<double>(after.size - before.offset) / static_cast<double>(after.size);
}

BENCHMARK(BM_FollowLookBesideRetrieveData)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseManualTime();

} // namespace
