#include "core/Parallel.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <unistd.h>
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
    // With a stride, every stride-th task from 0 on is the calling thread's
    // own, and the workers share the others; else all are shared.
    std::size_t stride = 0;
    std::atomic<std::size_t> next { 0 };
    std::atomic<std::size_t> finished { 0 };

    // Runs tasks until none is left to claim; `afterEach` (may be empty)
    // runs after each task this thread finished.
    void work(bool caller, const std::function<void(std::size_t)>& afterEach)
    {
        const bool outer = t_insideTask;
        t_insideTask = true;
        if (caller && stride > 0) {
            for (std::size_t i = 0; i < count; i += stride)
                runOne(i, afterEach);
        }
        const std::size_t own = stride > 0 ? (count + stride - 1) / stride : 0;
        for (std::size_t j; (j = next.fetch_add(1, std::memory_order_relaxed)) < count - own;)
            runOne(stride > 0 ? j + j / (stride - 1) + 1 : j, afterEach);
        t_insideTask = outer;
    }

    void runOne(std::size_t i, const std::function<void(std::size_t)>& afterEach)
    {
        task(i);
        const std::size_t done = finished.fetch_add(1, std::memory_order_acq_rel) + 1;
        if (afterEach)
            afterEach(done);
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
        for (std::thread& worker : m_workers) {
            if (forkedChild())
                worker.detach();
            else
                worker.join();
        }
    }

    void run(std::size_t helpers, Job& job, const std::function<void(std::size_t)>& afterEach)
    {
        std::unique_lock<std::mutex> busy(m_busy, std::try_to_lock);
        if (!busy || forkedChild()) {
            job.work(true, afterEach);
            return;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            startWorkers(helpers);
            const std::size_t seats = std::min(helpers, m_workers.size());
            // A caller that reports progress keeps a fixed share of the
            // tasks: were it to take them from the common count, the system
            // could hold it up while the workers did them all, and the step
            // would report nothing until its end.
            if (afterEach && seats > 0)
                job.stride = seats + 1;
            m_job = &job;
            m_openSeats = seats;
        }
        // Only as many workers as there are seats: waking them all would
        // have the spare ones compete with the calling thread for the cores.
        for (std::size_t seat = 0; seat < helpers; ++seat)
            m_wake.notify_one();
        job.work(true, afterEach);
        std::unique_lock<std::mutex> lock(m_mutex);
        // Every task is claimed: a worker that has not joined yet would find
        // nothing to do, and must not touch the job once this call returns.
        m_openSeats = 0;
        m_left.wait(lock, [this] { return m_seated == 0; });
        m_job = nullptr;
    }

private:
    // A child made by fork has none of the workers; it runs its tasks alone.
    bool forkedChild() const { return !m_workers.empty() && getpid() != m_parent; }

    // A thread the system refuses leaves its share to the others.
    void startWorkers(std::size_t wanted)
    {
        if (m_workers.empty())
            m_parent = getpid();
        try {
            while (m_workers.size() < wanted)
                m_workers.emplace_back([this] { serve(); });
        } catch (...) {
        }
    }

    void serve()
    {
        // A woken worker should not push the calling thread off its core
        // (which would then wait for the tasks it was to share): batch
        // threads do not preempt on wake-up.
        const sched_param batch {};
        pthread_setschedparam(pthread_self(), SCHED_BATCH, &batch);
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || m_openSeats > 0; });
            if (m_stopping)
                return;
            --m_openSeats;
            ++m_seated;
            Job* job = m_job;
            lock.unlock();
            job->work(false, {});
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
    pid_t m_parent = 0;
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
        job.work(true, afterOwnTask);
    else
        workerPool().run(helpers, job, afterOwnTask);
    if (afterOwnTask && count > 0)
        afterOwnTask(job.finished.load());
}
