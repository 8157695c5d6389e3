#pragma once

#include <cstddef>
#include <functional>

// Runs work(first, end) over the pieces of [0, count) on the threads of
// runTasks, each piece at least `smallestPiece` long; when there is one
// thread or too little for two pieces, work(0, count) runs on the calling
// thread alone. For element-wise steps whose elements are independent.
void runInRanges(std::size_t count, std::size_t smallestPiece,
    const std::function<void(std::size_t first, std::size_t end)>& work);
