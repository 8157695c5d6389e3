#include "core/Parallel.h"
#include "output/PsdExport.h"
#include "support/CancelPoints.h"
#include "support/FileContents.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int M = 1 << 18;

AnalysisState recordWithSpectrum(const std::string& target)
{
    AnalysisState state;
    resetAnalysisState(state);
    state.psd.allocate(M + 1);
    for (int i = 0; i <= M; ++i)
        state.psd[i] = -static_cast<float>(i % 1000) / 50.0f;
    state.psdValid = 1;
    state.psdFileName = target;
    state.exportMinLog = -15.0;
    return state;
}

std::string contentsOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class CancelExport : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { setParallelThreads(GetParam()); }
    void TearDown() override { setParallelThreads(0); }
};

INSTANTIATE_TEST_SUITE_P(Threads, CancelExport, ::testing::Values(1, 2, 3));

} // namespace

TEST_P(CancelExport, ACancelledExportLeavesThePreviousFileAndNoOther)
{
    for (bool normalScales : { false, true }) {
        for (bool existing : { true, false }) {
            SCOPED_TRACE(std::string(normalScales ? "linear" : "log-log")
                + (existing ? ", over an earlier file" : ", no earlier file"));
            TempFolder folder("welmo_cancel_export");
            const std::string target = folder.file("spectrum.dat");
            std::vector<double> fractions;
            {
                AnalysisState first = recordWithSpectrum(folder.file("first.dat"));
                std::string error;
                ASSERT_EQ(
                    exportPsd(first, normalScales, 1.0, error, recordFractions(fractions)), 0);
                std::filesystem::remove(folder.file("first.dat"));
                ASSERT_GE(fractions.size(), 2u);
            }
            for (double point : cancelPoints(fractions)) {
                SCOPED_TRACE("cancel at " + std::to_string(point));
                bool asked = false;
                for (int attempt = 0; attempt < CANCEL_ATTEMPTS && !asked; ++attempt) {
                    std::filesystem::remove(target);
                    if (existing)
                        std::ofstream(target) << "earlier spectrum\n";
                    AnalysisState state = recordWithSpectrum(target);
                    const RecordImage before = recordImage(state);
                    std::string error = "untouched";
                    const int status
                        = exportPsd(state, normalScales, 1.0, error, stopLate(point, asked));
                    if (!asked)
                        continue;
                    EXPECT_EQ(status, STEP_CANCELLED);
                    EXPECT_EQ(error, "untouched");
                    EXPECT_TRUE(recordImage(state) == before);
                    EXPECT_EQ(folderNames(folder.path()),
                        existing ? std::vector<std::string> { "spectrum.dat" }
                                 : std::vector<std::string> {});
                    EXPECT_TRUE(!existing || contentsOf(target) == "earlier spectrum\n");
                }
                EXPECT_TRUE(asked);
            }
        }
    }
}
