#include "core/Parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

class ParallelThreads : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { setParallelThreads(GetParam()); }
    void TearDown() override { setParallelThreads(0); }
};

TEST_P(ParallelThreads, EveryTaskRunsExactlyOnce)
{
    for (std::size_t count : { 0u, 1u, 2u, 3u, 1000u }) {
        std::vector<std::atomic<int>> runs(count);
        runTasks(count, [&](std::size_t i) { runs[i].fetch_add(1); });
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(runs[i].load(), 1) << "task " << i << " of " << count;
    }
}

TEST_P(ParallelThreads, ProgressComesFromTheCallingThreadInOrderAndEndsAtTheCount)
{
    const auto caller = std::this_thread::get_id();
    std::vector<std::size_t> reports;
    bool otherThread = false;
    runTasks(
        200, [](std::size_t) {},
        [&](std::size_t finished) {
            otherThread |= std::this_thread::get_id() != caller;
            reports.push_back(finished);
        });
    EXPECT_FALSE(otherThread);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 200u);
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_LE(reports[i - 1], reports[i]);
}

INSTANTIATE_TEST_SUITE_P(OneAndTwo, ParallelThreads, ::testing::Values(1, 2));

TEST(ParallelThreadCount, ZeroOrLessMeansOnePerCore)
{
    setParallelThreads(3);
    EXPECT_EQ(parallelThreads(), 3);
    setParallelThreads(-1);
    EXPECT_GE(parallelThreads(), 1);
    setParallelThreads(0);
}

} // namespace
