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

TEST_P(ParallelThreads, TasksStartInIndexOrderSoATaskMayWaitForTheOneBefore)
{
    // Each task waits until the one before has finished: a task started
    // ahead of one before it would hold its thread, and with every thread
    // so held the call would never return.
    constexpr std::size_t count = 500;
    std::vector<std::atomic<bool>> done(count);
    runTasks(count, [&](std::size_t i) {
        if (i > 0) {
            while (!done[i - 1].load(std::memory_order_acquire))
                done[i - 1].wait(false, std::memory_order_acquire);
        }
        done[i].store(true, std::memory_order_release);
        done[i].notify_all();
    });
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_TRUE(done[i].load()) << "task " << i;
}

TEST_P(ParallelThreads, TasksThatRunTasksFinishWithEveryInnerTaskOnce)
{
    // Tasks of the estimate may end in routines that split their own work;
    // the pool's workers are busy with the outer tasks then.
    const std::size_t outer = 7;
    const std::size_t inner = 50;
    std::vector<std::atomic<int>> runs(outer * inner);
    runTasks(outer, [&](std::size_t i) {
        runTasks(inner, [&](std::size_t j) { runs[i * inner + j].fetch_add(1); });
    });
    for (std::size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i].load(), 1) << "task " << i;
}

TEST_P(ParallelThreads, CallersOnSeveralThreadsAtOnceEachGetTheirTasksDone)
{
    constexpr int kCallers = 3;
    constexpr std::size_t kTasks = 300;
    std::vector<std::atomic<int>> runs(kCallers * kTasks);
    std::vector<std::thread> callers;
    for (int c = 0; c < kCallers; ++c) {
        callers.emplace_back([&, c] {
            for (int round = 0; round < 20; ++round)
                runTasks(kTasks, [&](std::size_t i) { runs[c * kTasks + i].fetch_add(1); });
        });
    }
    for (std::thread& caller : callers)
        caller.join();
    for (std::size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i].load(), 20) << "task " << i;
}

INSTANTIATE_TEST_SUITE_P(OneToFive, ParallelThreads, ::testing::Values(1, 2, 3, 5));

TEST(ParallelThreadCount, ZeroOrLessMeansOnePerCore)
{
    setParallelThreads(3);
    EXPECT_EQ(parallelThreads(), 3);
    setParallelThreads(-1);
    EXPECT_GE(parallelThreads(), 1);
    setParallelThreads(0);
}

} // namespace
