#include "spectrum/RangeTasks.h"

#include "core/Parallel.h"
#include "core/Tuning.h"

#include <algorithm>

void runInRanges(std::size_t count, std::size_t smallestPiece,
    const std::function<void(std::size_t first, std::size_t end)>& work)
{
    const std::size_t threads = static_cast<std::size_t>(parallelThreads());
    const std::size_t pieces = std::min(
        count / std::max<std::size_t>(smallestPiece, 1), threads * tuning::kPiecesPerThread);
    if (threads < 2 || pieces < 2) {
        if (count > 0)
            work(0, count);
        return;
    }
    runTasks(pieces, [&](std::size_t i) { work(i * count / pieces, (i + 1) * count / pieces); });
}

bool runInPolledRanges(std::size_t count, std::size_t smallestPiece, std::size_t round,
    const StageProgress& progress,
    const std::function<void(std::size_t first, std::size_t end)>& work)
{
    round = std::max<std::size_t>(round, 1);
    for (std::size_t first = 0; first < count; first += round) {
        const std::size_t end = std::min(count, first + round);
        runInRanges(end - first, smallestPiece,
            [&](std::size_t a, std::size_t b) { work(first + a, first + b); });
        if (!progress.at(static_cast<double>(end) / count))
            return false;
    }
    return true;
}
