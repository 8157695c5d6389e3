#include "input/GrowingColumn.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// More entries than the first block, so that the column grows and moves.
constexpr std::uint64_t ROWS = (std::uint64_t(1) << 22) * 3 + 5;

void fill(GrowingColumn& column, std::uint64_t rows)
{
    for (std::uint64_t i = 0; i <= rows; ++i) {
        ASSERT_TRUE(column.reserve(i));
        column.data()[i] = static_cast<float>(i % 65521);
    }
}

TEST(GrowingColumn, HandsOverExactlyTheEntriesGrownIn)
{
    for (const std::uint64_t rows : { std::uint64_t(0), std::uint64_t(70000), ROWS }) {
        SCOPED_TRACE(rows);
        GrowingColumn column;
        fill(column, rows);
        FloatBuffer series;
        ASSERT_TRUE(series.allocate(2));
        ASSERT_TRUE(column.moveInto(series, rows));
        ASSERT_EQ(series.size(), rows + 1);
        for (std::uint64_t i = 0; i <= rows; ++i)
            ASSERT_EQ(series[i], static_cast<float>(i % 65521)) << i;
        EXPECT_EQ(column.data(), nullptr);
    }
}

TEST(GrowingColumn, HandoverBeyondWhatMemoryHoldsLeavesBothSides)
{
    GrowingColumn column;
    fill(column, 10);
    FloatBuffer series;
    ASSERT_TRUE(series.allocate(2));
    series[0] = 7.0f;
    EXPECT_FALSE(column.moveInto(series, std::uint64_t(1) << 62));
    ASSERT_EQ(series.size(), 2u);
    EXPECT_EQ(series[0], 7.0f);
    EXPECT_EQ(column.data()[10], 10.0f);
}

} // namespace
