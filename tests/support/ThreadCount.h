#pragma once

#include "core/Parallel.h"

// Holds the pool at a thread count for a scope, then gives it back to the
// default (one per core, or WELMO_THREADS).
class ThreadCount {
public:
    explicit ThreadCount(int count) { setParallelThreads(count); }
    ~ThreadCount() { setParallelThreads(0); }
    ThreadCount(const ThreadCount&) = delete;
    ThreadCount& operator=(const ThreadCount&) = delete;
};
