// writePsdFile beside the plain fprintf loop, on one spectrum of 2^23
// bins (8,388,606 lines) in both formats. Each fast run is compared byte
// for byte with the plain loop's file of the same format; a difference
// fails the benchmark.

#include "output/PsdExport.h"
#include "support/PlainExport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int M = 1 << 23;
constexpr double DT = 0.001;
constexpr double MIN_LOG = -15.0;

// A falling spectrum with a peak and noise, a few bins under the floor.
const std::vector<float>& benchSpectrum()
{
    static const std::vector<float> psd = [] {
        std::vector<float> levels(static_cast<std::size_t>(M) + 1);
        std::mt19937 random(23);
        std::normal_distribution<float> noise(0.0f, 0.4f);
        for (int i = 0; i <= M; ++i) {
            const double f = i / (2.0 * M);
            const double peak = 3.0 * std::exp(-std::pow((f - 0.123) / 0.002, 2));
            levels[static_cast<std::size_t>(i)]
                = static_cast<float>(-4.0 - 9.0 * f + peak) + noise(random);
        }
        return levels;
    }();
    return psd;
}

std::string benchPath(const char* role, bool normalScales)
{
    return (std::filesystem::temp_directory_path()
        / ("welmo_export_bench_" + std::to_string(::getpid()) + "_" + role
            + (normalScales ? "_linear" : "_loglog") + ".dat"))
        .string();
}

bool sameFiles(const std::string& first, const std::string& second)
{
    std::ifstream a(first, std::ios::binary);
    std::ifstream b(second, std::ios::binary);
    std::vector<char> chunkA(1 << 20);
    std::vector<char> chunkB(1 << 20);
    while (a && b) {
        a.read(chunkA.data(), static_cast<std::streamsize>(chunkA.size()));
        b.read(chunkB.data(), static_cast<std::streamsize>(chunkB.size()));
        if (a.gcount() != b.gcount()
            || !std::equal(chunkA.begin(), chunkA.begin() + a.gcount(), chunkB.begin()))
            return false;
    }
    return a.eof() && b.eof();
}

// The plain loop's file of one format, written once and removed at exit.
class PlainReference {
public:
    explicit PlainReference(bool normalScales)
        : m_normalScales(normalScales)
        , m_path(benchPath("plain", normalScales))
    {
    }
    ~PlainReference() { std::remove(m_path.c_str()); }

    const std::string& path() const { return m_path; }
    bool write() const
    {
        return plainWritePsdFile(m_path, benchSpectrum().data(), M, m_normalScales, DT, MIN_LOG)
            == 0;
    }
    bool ensure()
    {
        if (!m_written)
            m_written = write();
        return m_written;
    }
    void markWritten() { m_written = true; }

private:
    bool m_normalScales;
    std::string m_path;
    bool m_written = false;
};

PlainReference& reference(bool normalScales)
{
    static PlainReference logLog(false);
    static PlainReference linear(true);
    return normalScales ? linear : logLog;
}

void BM_PlainExport(benchmark::State& state)
{
    const bool normalScales = state.range(0) != 0;
    PlainReference& plain = reference(normalScales);
    benchSpectrum();
    for (auto _ : state) {
        if (!plain.write()) {
            state.SkipWithError("the plain loop cannot write its file");
            return;
        }
    }
    plain.markWritten();
    state.SetItemsProcessed(state.iterations() * (M - 2));
}

void BM_WritePsdFile(benchmark::State& state)
{
    const bool normalScales = state.range(0) != 0;
    const std::string path = benchPath("fast", normalScales);
    benchSpectrum();
    for (auto _ : state) {
        double minLog = MIN_LOG;
        std::string error;
        if (writePsdFile(path, benchSpectrum().data(), M, normalScales, DT, minLog, error) != 0) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * (M - 2));
    const bool same
        = reference(normalScales).ensure() && sameFiles(path, reference(normalScales).path());
    std::remove(path.c_str());
    if (!same)
        state.SkipWithError("the export differs from the plain loop's file");
}

} // namespace

BENCHMARK(BM_PlainExport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WritePsdFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
