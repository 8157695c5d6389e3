#include "core/Parallel.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <system_error>
#include <thread>
#include <vector>

namespace {

std::atomic<int> requestedThreads { 0 };

int coreCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min(cores, 64u));
}

// WELMO_THREADS in the environment sets the default, for benchmarks.
int defaultThreads()
{
    if (const char* text = std::getenv("WELMO_THREADS")) {
        const long count = std::strtol(text, nullptr, 10);
        if (count > 0 && count <= 64)
            return static_cast<int>(count);
    }
    return coreCount();
}

} // namespace

int parallelThreads()
{
    const int requested = requestedThreads.load(std::memory_order_relaxed);
    static const int fallback = defaultThreads();
    return requested > 0 ? requested : fallback;
}

void setParallelThreads(int count)
{
    requestedThreads.store(count > 0 ? count : 0, std::memory_order_relaxed);
}

void runTasks(std::size_t count, const std::function<void(std::size_t)>& task,
    const std::function<void(std::size_t finished)>& afterOwnTask)
{
    std::atomic<std::size_t> next { 0 };
    std::atomic<std::size_t> finished { 0 };
    auto work = [&](bool caller) {
        for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
            task(i);
            const std::size_t done = finished.fetch_add(1, std::memory_order_acq_rel) + 1;
            if (caller && afterOwnTask)
                afterOwnTask(done);
        }
    };
    const std::size_t helpers
        = std::min<std::size_t>(static_cast<std::size_t>(parallelThreads()), count) - (count > 0);
    {
        std::vector<std::jthread> workers;
        workers.reserve(helpers);
        // A thread the system refuses leaves its share to the others.
        try {
            for (std::size_t t = 0; t < helpers; ++t)
                workers.emplace_back([&] { work(false); });
        } catch (...) {
        }
        work(true);
    }
    if (afterOwnTask && count > 0)
        afterOwnTask(finished.load());
}
