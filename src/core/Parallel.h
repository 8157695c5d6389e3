#pragma once

#include <cstddef>
#include <functional>

// Threads the numeric routines may use (default: one per core, or
// WELMO_THREADS from the environment). Every
// result is the same for any count; the count only changes the speed.
int parallelThreads();
// 0 or less restores one per core.
void setParallelThreads(int count);

// Runs task(i) for every i in [0, count) on up to parallelThreads()
// threads, the calling thread among them, and returns when all are done.
// The other threads are workers of a pool started on first use and kept
// until the program ends. Without `afterOwnTask`, tasks are handed out in
// index order and a thread runs the task it took at once: when task i
// starts, every task before it has started, so a task may wait for one
// before it (never for a later one), on any thread count. `afterOwnTask`,
// when set, runs on the calling thread only, after each task that thread
// finished, with the number of tasks finished by all threads so far; it
// is where a long step reports progress, so the calling thread then keeps
// every few tasks for itself, out of that order. A runTasks inside a
// task, or while another thread's runTasks holds the pool, runs its tasks
// on the calling thread alone. Tasks must not throw.
void runTasks(std::size_t count, const std::function<void(std::size_t)>& task,
    const std::function<void(std::size_t finished)>& afterOwnTask = {});
