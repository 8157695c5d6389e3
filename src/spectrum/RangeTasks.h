#pragma once

#include "core/Progress.h"

#include <cstddef>
#include <functional>

// Runs work(first, end) over the pieces of [0, count) on the threads of
// runTasks, each piece at least `smallestPiece` long; when there is one
// thread or too little for two pieces, work(0, count) runs on the calling
// thread alone. For element-wise steps whose elements are independent.
void runInRanges(std::size_t count, std::size_t smallestPiece,
    const std::function<void(std::size_t first, std::size_t end)>& work);

// The part of a long step's fraction, from `from` to `to`, that one stage
// of it covers.
struct StageProgress {
    StepProgress& step;
    double from;
    double to;

    // Reports the stage `done` (0 to 1) through and returns whether the
    // step goes on.
    bool at(double done) const { return step.advance(from + (to - from) * done); }
};

// runInRanges over [0, count) in rounds of at most `round` elements, one
// after the other, asking the stage's progress after each; stops, with the
// later rounds undone, and returns false when it asks to stop. With a
// smallestPiece above `round` every round runs on the calling thread, in
// order, for work whose elements must be visited in order (sums).
bool runInPolledRanges(std::size_t count, std::size_t smallestPiece, std::size_t round,
    const StageProgress& progress,
    const std::function<void(std::size_t first, std::size_t end)>& work);
