#include "output/OrderedBlockWriter.h"

#include "core/Parallel.h"
#include "core/Progress.h"
#include "core/Tuning.h"
#include "output/FileReplacement.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace {

struct Slot {
    TextBuffer text;
    bool ready = false;
};

} // namespace

int writeBlocksInOrder(int descriptor, std::size_t blockCount, const BlockFormatter& formatBlock,
    const std::function<void(std::size_t blocksWritten)>& afterOwnBlock)
{
    const std::size_t slotCount = std::clamp<std::size_t>(
        2 * static_cast<std::size_t>(parallelThreads()), 2, tuning::kExportMostSlots);
    std::vector<Slot> slots(slotCount);
    std::mutex mutex;
    std::condition_variable slotFreed;
    std::size_t nextToWrite = 0; // guarded by mutex
    bool writing = false; // guarded by mutex: one thread at a time writes
    std::atomic<std::size_t> blocksWritten { 0 };
    std::atomic<int> failure { 0 };
    auto fail = [&failure](int error) {
        int none = 0;
        failure.compare_exchange_strong(none, error);
    };

    auto task = [&](std::size_t block) {
        Slot& slot = slots[block % slotCount];
        {
            // Blocks are handed out in order, so the block being waited for
            // is already in someone's hands and the wait always ends.
            std::unique_lock lock(mutex);
            slotFreed.wait(lock, [&] { return block < nextToWrite + slotCount; });
        }
        if (failure.load() == 0 && !formatBlock(block, slot.text))
            fail(ENOMEM);

        std::unique_lock lock(mutex);
        slot.ready = true;
        if (writing)
            return; // the writing thread takes this block when it comes to it
        writing = true;
        while (nextToWrite < blockCount && slots[nextToWrite % slotCount].ready) {
            Slot& next = slots[nextToWrite % slotCount];
            lock.unlock();
            if (failure.load() == 0) {
                if (const int error = writeAll(descriptor, next.text.data(), next.text.size()))
                    fail(error);
            }
            next.text.clear();
            lock.lock();
            next.ready = false;
            ++nextToWrite;
            blocksWritten.store(nextToWrite);
            slotFreed.notify_all();
        }
        writing = false;
    };
    auto report = [&](std::size_t) {
        if (afterOwnBlock)
            afterOwnBlock(blocksWritten.load());
    };
    runTasks(blockCount, task, report);
    return failure.load();
}
