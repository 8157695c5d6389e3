#pragma once

#include "core/Parallel.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <memory>
#include <new>
#include <thread>

// Buffers lent to the tasks of runTasks, one to each task while it runs.
// With no more tasks running at once than there are buffers, a task finds
// a free one at once, and it is still in the core's cache from the task
// before.
template <typename Buffer> class TaskBuffers {
public:
    // A buffer held for one task; given back when the lease ends.
    class Lease {
    public:
        Lease(TaskBuffers& owner, std::size_t index)
            : m_owner(owner)
            , m_index(index)
        {
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        ~Lease() { m_owner.m_busy[m_index].store(false, std::memory_order_release); }
        Buffer& buffer() { return m_owner.m_buffers[m_index]; }

    private:
        TaskBuffers& m_owner;
        std::size_t m_index;
    };

    // One buffer for each task that may run at once: the thread budget of
    // runTasks, parallelThreads(). Each is set up by make(buffer), which
    // returns false when memory is short; then this does too.
    template <typename Make> bool allocate(Make make)
    {
        return allocate(static_cast<std::size_t>(std::max(parallelThreads(), 1)), make);
    }

    // `count` buffers, for callers whose runTasks have fewer tasks than
    // the thread budget; more tasks than buffers at once wait their turn.
    template <typename Make> bool allocate(std::size_t count, Make make)
    {
        m_count = 0;
        m_buffers.reset(new (std::nothrow) Buffer[count]);
        m_busy.reset(new (std::nothrow) std::atomic<bool>[count]);
        if (!m_buffers || !m_busy)
            return false;
        for (std::size_t b = 0; b < count; ++b) {
            m_busy[b].store(false, std::memory_order_relaxed);
            if (!make(m_buffers[b]))
                return false;
        }
        m_count = count;
        return true;
    }

    Lease lend()
    {
        for (;;) {
            for (std::size_t b = 0; b < m_count; ++b) {
                bool expected = false;
                if (m_busy[b].compare_exchange_strong(expected, true, std::memory_order_acquire))
                    return Lease(*this, b);
            }
            std::this_thread::yield();
        }
    }

private:
    std::unique_ptr<Buffer[]> m_buffers;
    std::unique_ptr<std::atomic<bool>[]> m_busy;
    std::size_t m_count = 0;
};
