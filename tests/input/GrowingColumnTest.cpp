#include "input/GrowingColumn.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// More entries than three of the handover's blocks, so that it asks
// between blocks as well as before the first.
constexpr std::uint64_t ROWS = (std::uint64_t(1) << 22) * 3 + 5;

void fill(GrowingColumn& column)
{
    ASSERT_TRUE(column.reserve(ROWS));
    for (std::uint64_t i = 0; i <= ROWS; ++i)
        column.data()[i] = static_cast<float>(i % 65521);
}

TEST(GrowingColumn, HandoverStopsAtAnyQuestionAndLeavesBothSides)
{
    for (int answered : { 0, 1, 3 }) {
        SCOPED_TRACE(answered);
        GrowingColumn column;
        fill(column);
        FloatBuffer series;
        ASSERT_TRUE(series.allocate(2));
        series[0] = 7.0f;
        int asked = 0;
        const auto result = column.moveInto(series, ROWS, [&] { return asked++ < answered; });
        EXPECT_EQ(result, GrowingColumn::Handover::STOPPED);
        EXPECT_EQ(asked, answered + 1);
        ASSERT_EQ(series.size(), 2u);
        EXPECT_EQ(series[0], 7.0f);
        EXPECT_EQ(column.data()[ROWS], static_cast<float>(ROWS % 65521));
    }
}

TEST(GrowingColumn, HandoverCopiesEveryEntryAcrossBlocks)
{
    GrowingColumn column;
    fill(column);
    FloatBuffer series;
    int asked = 0;
    ASSERT_EQ(
        column.moveInto(series, ROWS, [&] { return ++asked > 0; }), GrowingColumn::Handover::DONE);
    EXPECT_EQ(asked, 4);
    ASSERT_EQ(series.size(), ROWS + 1);
    for (std::uint64_t i = 0; i <= ROWS; ++i)
        ASSERT_EQ(series[i], static_cast<float>(i % 65521)) << i;
    EXPECT_EQ(column.data(), nullptr);
}

} // namespace
