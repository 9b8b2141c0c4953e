#include "resolver/ProgressTimer.h"

#include <gtest/gtest.h>

#include "results/ResultTable.h"

namespace ip2h {
namespace {

class ProgressTimerTest : public ::testing::Test {
protected:
    void SetRows(int count, int pending, int success) {
        m_table->ResetRows();
        for (int i = 0; i < count; ++i) {
            m_table->WriteNewRow(i, "10.0.0.1");
            m_table->Rows[i].Status =
                i < pending ? Pending : (i < pending + success ? Success : Failure);
        }
        m_table->RowCount = count;
    }

    std::unique_ptr<ResultTable> m_table = ResultTable::Create();
    ProgressTimer m_timer;
};

TEST(ProgressTimerFormats, DivisorsAndTexts) {
    const std::pair<int, int> divisors[] = {{0, 5},     {2560, 5},  {2561, 10}, {5120, 10},
                                            {5121, 15}, {7680, 15}, {7681, 20}, {9999, 20}};
    for (const auto& [rows, divisor] : divisors) {
        EXPECT_EQ(ProgressTimer::RefreshDivisor(rows), divisor) << rows;
    }
    StatusTexts t = ProgressTimer::FormatTexts(3723004, {10, 5, 3}, false);
    EXPECT_EQ(t.Time, " Time Required : 01:02:03.004 ");
    EXPECT_EQ(t.Progress, " Progress :    5/  10");
    EXPECT_EQ(t.Success, " Success :    3/  10");
    t = ProgressTimer::FormatTexts(90000000, {0, 0, 0}, false);
    EXPECT_EQ(t.Time, " Time Required : 25:00:00.000 ");  // hours do not wrap at 24
    EXPECT_EQ(t.Progress, " Progress :    0/   0");
    t = ProgressTimer::FormatTexts(0, {9999, 0, 9999}, true);
    EXPECT_EQ(t.Time, " 所要タイム : 00:00:00.000 ");
    EXPECT_EQ(t.Progress, " 進捗 : 9999/9999");
    EXPECT_EQ(t.Success, " 成功 : 9999/9999");
}

TEST_F(ProgressTimerTest, RefreshesEveryFifthTickWhileRowsArePending) {
    SetRows(10, 10, 0);
    std::uint32_t now = 1000;
    int refreshes = 0;
    for (int tick = 1; tick <= 20; ++tick) {
        const auto result = m_timer.OnTick(now += 100, *m_table, true, false);
        if (result.Refresh) {
            ++refreshes;
            EXPECT_EQ(tick % 5, 0) << tick;
        }
    }
    EXPECT_EQ(refreshes, 4);

    SetRows(10, 0, 10);  // nothing pending: no refresh at all
    for (int tick = 0; tick < 20; ++tick) {
        EXPECT_FALSE(m_timer.OnTick(now += 100, *m_table, true, false).Refresh);
    }
}

TEST_F(ProgressTimerTest, RunTimeIsKeptAfterTheRunAndTextsAreWrittenOnlyOnChange) {
    std::uint32_t now = 0xFFFFFF00u;  // the clock wraps during the run
    SetRows(4, 0, 0);
    auto first = m_timer.OnTick(now, *m_table, true, false);
    ASSERT_TRUE(first.Show.has_value());  // the first tick always writes
    EXPECT_EQ(first.Show->Time, " Time Required : 00:00:00.000 ");
    EXPECT_FALSE(m_timer.OnTick(now += 100, *m_table, true, false).Show.has_value());

    SetRows(4, 4, 0);
    for (int tick = 0; tick < 15; ++tick) {
        const auto result = m_timer.OnTick(now += 100, *m_table, true, false);
        ASSERT_TRUE(result.Show.has_value());  // the time moves on every tick of a run
    }
    EXPECT_EQ(m_timer.LastShownElapsed(), 1500u);

    SetRows(4, 0, 3);  // the run is over
    const auto after = m_timer.OnTick(now += 100, *m_table, true, false);
    ASSERT_TRUE(after.Show.has_value());
    EXPECT_EQ(after.Show->Time, " Time Required : 00:00:01.500 ");
    EXPECT_EQ(after.Show->Progress, " Progress :    4/   4");
    EXPECT_EQ(after.Show->Success, " Success :    3/   4");
    EXPECT_FALSE(m_timer.OnTick(now += 100, *m_table, true, false).Show.has_value());

    // Without a status bar the run is still timed, but nothing is shown.
    SetRows(4, 4, 0);
    // A run already pending at the first tick after opening is timed from the opening.
    ProgressTimer opened;
    opened.Start(now);
    const auto firstTick = opened.OnTick(now + 100, *m_table, true, false);
    ASSERT_TRUE(firstTick.Show.has_value());
    EXPECT_EQ(firstTick.Show->Time, " Time Required : 00:00:00.100 ");
    EXPECT_FALSE(m_timer.OnTick(now += 100, *m_table, false, false).Show.has_value());
    EXPECT_EQ(m_timer.LastShownElapsed(), 1500u);
}

}  // namespace
}  // namespace ip2h
