#include "monitor/AlarmThreshold.h"

#include "monitor/AlarmThresholds.h"

#include <gtest/gtest.h>
#include <vector>

namespace vq {
namespace {

TEST(AlarmThresholdTest, OneTestOfALimitFollowsItsTable) {
    struct Case {
        int32_t mode;
        double current, previous;
        int32_t before;
        bool fires;
        int32_t after;
    };
    // Limit at 100; every row of the rising and the falling table.
    const Case cases[] = {
        {MODE_RISING, 110, 90, 0, true, 1},    {MODE_RISING, 110, 90, 2, true, 1},
        {MODE_RISING, 110, 100, 2, true, 1},   {MODE_RISING, 110, 100, 0, false, 0},
        {MODE_RISING, 110, 100, 1, false, 0},  {MODE_RISING, 110, 120, 1, false, 0},
        {MODE_RISING, 100, 90, 0, true, 1},    {MODE_RISING, 100, 100, 2, false, 2},
        {MODE_RISING, 100, 100, 1, false, 1},  {MODE_RISING, 100, 120, 1, false, 0},
        {MODE_RISING, 90, 80, 1, false, 0},    {MODE_RISING, 90, 120, 2, false, 0},
        {MODE_FALLING, 90, 110, 0, true, 2},   {MODE_FALLING, 90, 110, 1, true, 2},
        {MODE_FALLING, 90, 100, 1, true, 2},   {MODE_FALLING, 90, 100, 0, false, 0},
        {MODE_FALLING, 90, 100, 2, false, 0},  {MODE_FALLING, 90, 80, 2, false, 0},
        {MODE_FALLING, 100, 110, 0, true, 2},  {MODE_FALLING, 100, 100, 1, false, 1},
        {MODE_FALLING, 100, 100, 2, false, 2}, {MODE_FALLING, 100, 80, 2, false, 0},
        {MODE_FALLING, 110, 120, 2, false, 0}, {MODE_FALLING, 110, 80, 1, false, 0},
        {MODE_UNSET, 110, 90, 1, false, 1},    {7, 110, 90, 2, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "mode " << c.mode << " c " << c.current << " p " << c.previous << " s " << c.before);
        ThresholdLimit limit;
        limit.Set(100, c.mode);
        limit.m_State = c.before;
        EXPECT_EQ(limit.Test(c.current, c.previous), c.fires);
        EXPECT_EQ(bool(limit.m_Fired), c.fires);
        EXPECT_EQ(limit.m_State, c.after);
        EXPECT_EQ(limit.m_PreviousState, c.before);
    }
}

TEST(AlarmThresholdTest, SequencesOfValuesFireOnlyOnCrossings) {
    struct Case {
        const char* name;
        int32_t mode;
        std::vector<double> values;
        std::vector<bool> fired;
        std::vector<int32_t> states;
    };
    const Case cases[] = {
        {"rising from the initial 0", MODE_RISING, {150, 160, 170}, {true, false, false}, {1, 0, 0}},
        {"reaching the limit fires", MODE_RISING, {90, 100, 110}, {false, true, false}, {0, 1, 0}},
        {"crossing both ways", MODE_CROSSING, {110, 100, 110}, {true, true, true}, {1, 2, 1}},
        {"falling towards a rising limit",
         MODE_RISING,
         {120, 110, 100, 110},
         {true, false, false, false},
         {1, 0, 0, 0}},
        {"staying on the limit keeps the state",
         MODE_RISING,
         {100, 100, 100},
         {true, false, false},
         {1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AlarmThreshold threshold(100, c.mode, kLimitNotSet, MODE_UNSET);
        for (size_t i = 0; i < c.values.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(threshold.Update(c.values[i]), c.fired[i]);
            EXPECT_EQ(threshold.m_RisingLimit.m_State, c.states[i]);
            EXPECT_EQ(threshold.m_CurrentValue, c.values[i]);
            EXPECT_EQ(threshold.m_PreviousValue, i == 0 ? 0.0 : c.values[i - 1]);
        }
    }
}

TEST(AlarmThresholdTest, SecondLimitIsTestedOnlyWhenTheFirstDidNotFire) {
    AlarmThreshold threshold(100, MODE_RISING, 50, MODE_RISING);
    threshold.m_FallingLimit.m_State = 2;
    threshold.m_FallingLimit.m_PreviousState = 1;
    EXPECT_TRUE(threshold.Update(150));
    EXPECT_EQ(threshold.m_RisingLimit.m_State, 1);
    EXPECT_EQ(threshold.m_FallingLimit.m_State, 2);
    EXPECT_EQ(threshold.m_FallingLimit.m_PreviousState, 1);
    EXPECT_FALSE(threshold.m_FallingLimit.m_Fired);

    AlarmThreshold second(200, MODE_RISING, 50, MODE_RISING);
    EXPECT_TRUE(second.Update(150));
    EXPECT_FALSE(second.m_RisingLimit.m_Fired);
    EXPECT_TRUE(second.m_FallingLimit.m_Fired);
}

TEST(AlarmThresholdTest, ModesDefaultOnlyForSetValuesWithoutAMode) {
    struct Case {
        double firstValue;
        int32_t firstMode;
        double secondValue;
        int32_t secondMode;
        int32_t expectedFirst, expectedSecond;
    };
    const Case cases[] = {
        {100, MODE_UNSET, kLimitNotSet, MODE_UNSET, MODE_RISING, MODE_UNSET},
        {100, MODE_CROSSING, 50, MODE_UNSET, MODE_CROSSING, MODE_CROSSING},
        {100, MODE_RISING, 50, MODE_UNSET, MODE_RISING, MODE_FALLING},
        {100, MODE_UNSET, 50, MODE_UNSET, MODE_RISING, MODE_FALLING},
        {kLimitNotSet, MODE_UNSET, 50, MODE_UNSET, MODE_UNSET, MODE_FALLING},
        {100, MODE_FALLING, 50, MODE_RISING, MODE_FALLING, MODE_RISING},
        {kLimitNotSet, MODE_CROSSING, kLimitNotSet, MODE_UNSET, MODE_CROSSING, MODE_UNSET},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstMode << " " << c.secondValue << " " << c.secondMode);
        const AlarmThreshold threshold(c.firstValue, c.firstMode, c.secondValue, c.secondMode);
        EXPECT_EQ(threshold.m_RisingLimit.m_Mode, c.expectedFirst);
        EXPECT_EQ(threshold.m_FallingLimit.m_Mode, c.expectedSecond);
        EXPECT_EQ(threshold.m_Index, -1);
    }
}

TEST(AlarmThresholdTest, OnlyFiredThresholdsAreCopiedAndRenumbered) {
    AlarmThresholds thresholds;
    thresholds.Add(std::make_unique<AlarmThreshold>(500, MODE_RISING, kLimitNotSet, MODE_UNSET));
    thresholds.Add(std::make_unique<AlarmThreshold>(100, MODE_CROSSING, kLimitNotSet, MODE_UNSET));
    EXPECT_EQ(thresholds.GetAt(1)->m_Index, 1);
    EXPECT_TRUE(thresholds.Update(120));

    AlarmThresholds fired;
    fired.CopyFired(thresholds);
    ASSERT_EQ(fired.GetCount(), 1u);
    EXPECT_EQ(fired.GetAt(0)->m_Index, 0);
    EXPECT_EQ(fired.GetAt(0)->m_CurrentValue, 120);
    EXPECT_EQ(fired.GetAt(0)->m_RisingLimit.m_State, 1);

    EXPECT_FALSE(thresholds.Update(130));
    AlarmThresholds none;
    none.CopyFired(thresholds);
    EXPECT_EQ(none.GetCount(), 0u);
}

} // namespace
} // namespace vq
