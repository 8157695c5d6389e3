#pragma once

#include "output/TextBuffer.h"

#include <cstddef>
#include <functional>

// Fills `text` (given empty) with the text of one block; false when memory
// runs out. Runs on any of the parallel threads, blocks side by side.
using BlockFormatter = std::function<bool(std::size_t block, TextBuffer& text)>;

// Formats blocks 0 .. blockCount-1 on the parallel threads and writes
// their texts to `descriptor` in block order, so the file is the same for
// any thread count. Only a few blocks more than there are threads are held
// at a time, whatever the count. `afterOwnBlock`, when set, runs on the
// calling thread only, with the number of blocks written so far (never
// decreasing). Returns 0, or the error number of the first failure (ENOMEM
// when a formatter ran out of memory); after a failure the remaining
// blocks are neither formatted nor written.
int writeBlocksInOrder(int descriptor, std::size_t blockCount, const BlockFormatter& formatBlock,
    const std::function<void(std::size_t blocksWritten)>& afterOwnBlock = {});
