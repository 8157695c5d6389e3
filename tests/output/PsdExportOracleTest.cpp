#include "output/PsdExport.h"

#include "core/Parallel.h"
#include "support/FileContents.h"
#include "support/PlainExport.h"
#include "support/TempFolder.h"
#include "support/ThreadCount.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Levels as an estimate leaves them, with the values that take other
// roads through the writer: below the minimum, not a number, infinite,
// and stretches of powers of ten hundreds of digits long.
std::vector<float> awkwardSpectrum(int M)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float special[] = { std::numeric_limits<float>::quiet_NaN(), -inf, inf, -0.0f, 0.0f,
        FLT_MAX, -FLT_MAX, FLT_TRUE_MIN, 300.0f, 38.5f, -40.0f };
    std::mt19937 random(static_cast<unsigned>(M));
    std::uniform_real_distribution<float> level(-32.0f, 4.0f);
    std::vector<float> psd(static_cast<std::size_t>(M) + 1);
    for (std::size_t i = 0; i < psd.size(); ++i)
        psd[i] = random() % 16 == 0 ? special[random() % std::size(special)] : level(random);
    for (std::size_t i = 5000; i < std::min<std::size_t>(psd.size(), 9000); ++i)
        psd[i] = 250.0f + static_cast<float>(i % 50);
    return psd;
}

struct ProgressRecord {
    std::vector<std::pair<std::string, double>> reports;
    bool onCallingThread = true;

    ProgressCallback callback()
    {
        const std::thread::id caller = std::this_thread::get_id();
        return [this, caller](std::string_view step, double fraction) {
            reports.emplace_back(std::string(step), fraction);
            onCallingThread = onCallingThread && std::this_thread::get_id() == caller;
        };
    }

    // Empty when the reports run 0 first, never back, 1 last, a few
    // hundred at most, all for the export, all on the calling thread.
    std::string fault() const
    {
        if (reports.size() < 2 || reports.size() > 300)
            return std::to_string(reports.size()) + " reports";
        if (reports.front().second != 0.0 || reports.back().second != 1.0)
            return "does not run from 0 to 1";
        for (std::size_t k = 0; k < reports.size(); ++k) {
            if (reports[k].first != PROGRESS_EXPORT)
                return "step " + reports[k].first;
            if (k > 0 && reports[k].second < reports[k - 1].second)
                return "goes back at report " + std::to_string(k);
        }
        return onCallingThread ? "" : "reported from a worker";
    }
};

} // namespace

TEST(PsdExportOracle, FileSameAsThePlainLoopForAnyThreadCount)
{
    TempFolder folder("welmo_export_oracle");
    struct Case {
        int M;
        bool normalScales;
        double dt;
        double minLog;
    } cases[] = {
        { 3, false, 1.0, -15.0 },
        { 3, true, 1.0, -15.0 },
        { 4096 + 3, false, 1.0, -15.0 }, // a second block of one line
        { 4096 + 3, true, 1e-290, -15.0 }, // frequencies of 290 digits
        { 1 << 17, false, 1.0, -15.0 },
        { 1 << 17, false, 1.0, -1e300 },
        { 1 << 17, true, 1.0, -15.0 },
        { 1 << 17, true, 0.001, -5.0 },
        { 1 << 17, true, -2.5, -30.0 },
    };
    for (const Case& c : cases) {
        const std::vector<float> psd = awkwardSpectrum(c.M);
        const std::string oracle = folder.file("oracle.dat");
        ASSERT_EQ(plainWritePsdFile(oracle, psd.data(), c.M, c.normalScales, c.dt, c.minLog), 0);
        const std::string expected = fileBytes(oracle);
        for (int threads : { 1, 2 }) {
            ThreadCount count(threads);
            double minLog = c.minLog;
            std::string error;
            const std::string target = folder.file("fast.dat");
            ASSERT_EQ(writePsdFile(target, psd.data(), c.M, c.normalScales, c.dt, minLog, error), 0)
                << error;
            const std::string written = fileBytes(target);
            EXPECT_EQ(written.size(), expected.size())
                << "M " << c.M << " linear " << c.normalScales << " threads " << threads;
            EXPECT_TRUE(written == expected) << "M " << c.M << " linear " << c.normalScales
                                             << " dt " << c.dt << " threads " << threads;
        }
    }
}

TEST(PsdExportOracle, TimeStepsTheLinearFormatTakes)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct Case {
        double dt;
        bool valid;
    } cases[] = {
        { 1.0, true },
        { -2.5, true },
        { 1e-9, true },
        { 1e300, true },
        { 1e-290, true },
        { 0.0, false },
        { -0.0, false },
        { inf, false },
        { -inf, false },
        { std::numeric_limits<double>::quiet_NaN(), false },
        { 1e-300, false }, // 2 pi / dt * i overflows
        { DBL_TRUE_MIN, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(exportTimeStepValid(c.dt), c.valid) << c.dt;
}

TEST(PsdExportOracle, RefusedTimeStepWritesNothingAndKeepsTheOldFile)
{
    TempFolder folder("welmo_export_dt");
    const std::string target = folder.file("old.dat");
    std::ofstream(target) << "old contents\n";
    const std::vector<float> psd(9, -2.0f);
    for (double dt : { 0.0, -0.0, std::numeric_limits<double>::infinity(),
             std::numeric_limits<double>::quiet_NaN(), 1e-300 }) {
        double minLog = -15.0;
        std::string error;
        EXPECT_EQ(writePsdFile(target, psd.data(), 8, true, dt, minLog, error), 1) << dt;
        EXPECT_EQ(error, INVALID_TIME_STEP_REASON) << dt;
        EXPECT_EQ(minLog, -15.0) << "a refused export raises nothing";
    }
    EXPECT_EQ(fileBytes(target), "old contents\n");
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> { "old.dat" });

    // The log-log format has no use for the time step.
    double minLog = -15.0;
    std::string error;
    ASSERT_EQ(writePsdFile(target, psd.data(), 8, false, 0.0, minLog, error), 0) << error;
    EXPECT_EQ(fileBytes(target).substr(0, 20), "-0.903090 -2.000000\n");
}

TEST(PsdExportOracle, ProgressRunsFromZeroToOneOnTheCallingThread)
{
    TempFolder folder("welmo_export_progress");
    const std::vector<float> psd = awkwardSpectrum(1 << 20);
    struct Case {
        std::string target;
        int M;
        double dt;
        int status;
    } cases[] = {
        { folder.file("large.dat"), 1 << 20, 1.0, 0 },
        { folder.file("short.dat"), 8, 1.0, 0 },
        { folder.file("none.dat"), 2, 1.0, 0 },
        { folder.file("missing/out.dat"), 1 << 20, 1.0, 1 },
        { folder.file("refused.dat"), 1 << 20, 0.0, 1 },
    };
    for (const Case& c : cases) {
        for (int threads : { 1, 2 }) {
            ThreadCount count(threads);
            ProgressRecord record;
            double minLog = -15.0;
            std::string error;
            EXPECT_EQ(writePsdFile(
                          c.target, psd.data(), c.M, true, c.dt, minLog, error, record.callback()),
                c.status)
                << c.target;
            EXPECT_EQ(record.fault(), "") << c.target << " threads " << threads;
        }
    }
    AnalysisState state;
    state.psdFileName = folder.file("record.dat");
    ProgressRecord refused;
    std::string error;
    EXPECT_EQ(exportPsd(state, false, 1.0, error, refused.callback()), 1);
    EXPECT_EQ(refused.fault(), "") << "no spectrum to export";
}

TEST(PsdExportOracle, ProgressEndsAlsoWhenAWriteFailsMidway)
{
    // A child whose file-size limit stops the export in its first blocks,
    // as a full disk would; its exit status carries the export's status
    // and whether the progress ran from 0 to 1.
    TempFolder folder("welmo_export_full");
    const std::string target = folder.file("old.dat");
    std::ofstream(target) << "old contents\n";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = { 100000, 100000 };
        setrlimit(RLIMIT_FSIZE, &limit);
        setParallelThreads(2);
        const std::vector<float> psd(1 << 18, -2.0f);
        ProgressRecord record;
        double minLog = -15.0;
        std::string error;
        const int status = writePsdFile(
            target, psd.data(), (1 << 18) - 1, false, 1.0, minLog, error, record.callback());
        _exit(status + (record.fault().empty() ? 0 : 2) + (error == std::strerror(EFBIG) ? 0 : 4));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "1: failed, reported EFBIG, progress from 0 to 1";
    EXPECT_EQ(fileBytes(target), "old contents\n");
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> { "old.dat" });
}
