#include "core/LargePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Buffers on either side of the size from which they are laid on whole
// large pages: usable to their last byte, grown by realloc with their
// bytes kept, released by free.
TEST(LargePages, GivesBuffersThatTheAllocatorKeepsUsing)
{
    constexpr std::size_t MiB = std::size_t { 1 } << 20;
    for (const std::size_t bytes :
        { std::size_t { 0 }, std::size_t { 1 }, MiB - 1, MiB, 3 * MiB + 5 }) {
        SCOPED_TRACE(bytes);
        auto* data = static_cast<unsigned char*>(allocateOnLargePages(bytes));
        ASSERT_NE(data, nullptr);
        if (bytes >= 2 * MiB) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % (2 * MiB), 0u);
        }
        std::memset(data, 0x5a, bytes);
        auto* grown = static_cast<unsigned char*>(std::realloc(data, 2 * bytes + 1));
        ASSERT_NE(grown, nullptr);
        for (std::size_t i = 0; i < bytes; i += 4093)
            ASSERT_EQ(grown[i], 0x5a) << i;
        std::free(grown);
    }
    EXPECT_EQ(allocateOnLargePages(SIZE_MAX - 1), nullptr);
}

} // namespace
