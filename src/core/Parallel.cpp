#include "core/Parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int kMostThreads = 64;

std::atomic<int> requestedThreads { 0 };

int coreCount()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMostThreads));
}

// WELMO_THREADS in the environment sets the default, for benchmarks.
int defaultThreads()
{
    if (const char* text = std::getenv("WELMO_THREADS")) {
        const long count = std::strtol(text, nullptr, 10);
        if (count > 0 && count <= kMostThreads)
            return static_cast<int>(count);
    }
    return coreCount();
}

// Set while a thread runs a task of runTasks: a runTasks inside a task runs
// its tasks on that thread, since the pool's workers may all be busy with
// the outer call and would never come to the inner one.
thread_local bool t_insideTask = false;

// One call of runTasks: its tasks are claimed by index, by the calling
// thread and the workers that join it.
struct Job {
    const std::function<void(std::size_t)>& task;
    std::size_t count;
    std::atomic<std::size_t> next { 0 };
    std::atomic<std::size_t> finished { 0 };

    // Returns after the last task is claimed; `afterEach` (may be empty)
    // runs after each task this thread finished.
    void work(const std::function<void(std::size_t)>& afterEach)
    {
        const bool outer = t_insideTask;
        t_insideTask = true;
        for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
            task(i);
            const std::size_t done = finished.fetch_add(1, std::memory_order_acq_rel) + 1;
            if (afterEach)
                afterEach(done);
        }
        t_insideTask = outer;
    }
};

// Workers started on first use and kept until the program ends, so that a
// call of runTasks costs a wake-up, not a thread start. One job at a time:
// a caller that finds the pool busy runs its tasks itself.
class WorkerPool {
public:
    ~WorkerPool()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread& worker : m_workers)
            worker.join();
    }

    void run(std::size_t helpers, Job& job, const std::function<void(std::size_t)>& afterEach)
    {
        std::unique_lock<std::mutex> busy(m_busy, std::try_to_lock);
        if (!busy) {
            job.work(afterEach);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            startWorkers(helpers);
            m_job = &job;
            m_openSeats = std::min(helpers, m_workers.size());
        }
        m_wake.notify_all();
        job.work(afterEach);
        std::unique_lock<std::mutex> lock(m_mutex);
        // Every task is claimed: a worker that has not joined yet would find
        // nothing to do, and must not touch the job once this call returns.
        m_openSeats = 0;
        m_left.wait(lock, [this] { return m_seated == 0; });
        m_job = nullptr;
    }

private:
    // A thread the system refuses leaves its share to the others.
    void startWorkers(std::size_t wanted)
    {
        try {
            while (m_workers.size() < wanted)
                m_workers.emplace_back([this] { serve(); });
        } catch (...) {
        }
    }

    void serve()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || m_openSeats > 0; });
            if (m_stopping)
                return;
            --m_openSeats;
            ++m_seated;
            Job* job = m_job;
            lock.unlock();
            job->work({});
            lock.lock();
            if (--m_seated == 0)
                m_left.notify_all();
        }
    }

    std::mutex m_busy;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_left;
    std::vector<std::thread> m_workers;
    Job* m_job = nullptr;
    std::size_t m_openSeats = 0;
    std::size_t m_seated = 0;
    bool m_stopping = false;
};

WorkerPool& workerPool()
{
    static WorkerPool pool;
    return pool;
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
    Job job { task, count };
    const std::size_t helpers
        = std::min<std::size_t>(static_cast<std::size_t>(parallelThreads()), count) - (count > 0);
    if (helpers == 0 || t_insideTask)
        job.work(afterOwnTask);
    else
        workerPool().run(helpers, job, afterOwnTask);
    if (afterOwnTask && count > 0)
        afterOwnTask(job.finished.load());
}
