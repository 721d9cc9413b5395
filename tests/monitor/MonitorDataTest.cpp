#include "monitor/MonitorData.h"

#include "../runtime/EngineTestClock.h"
#include "platform/core/Format.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>
#include <regex>

namespace vq {
namespace {

class Request : public MonitorData {
public:
    explicit Request(const TimeSpan& period, int32_t target = TARGET_TOTAL, int32_t dataType = DATA_PERIODIC)
        : MonitorData(this, SOURCE_LIVE, SCOPE_TUPLES, target, dataType, period, 3, "") {}
    bool Start(DataSet*) override { return true; }
};

constexpr std::uint64_t kMs = 10'000;
constexpr std::uint64_t kTen = EngineTestClock::kStart + 10 * 3'600'000 * kMs;

TEST(MonitorDataTest, FirstDueTimeIsTheNextPeriodBoundaryOfTheAbsoluteClock) {
    struct Case {
        const char* name;
        std::uint64_t createdMs; // after 2026-01-01 (a Thursday) 10:00 UTC
        TimeSpan period;
        std::int64_t dueMs; // after the same 10:00
    };
    const Case cases[] = {
        {"inside a period", 7'300, TimeSpan(5, Unit::Seconds), 10'000},
        {"on a boundary", 10'000, TimeSpan(5, Unit::Seconds), 15'000},
        {"a week from 1601 falls on Monday", 0, TimeSpan(1, Unit::Weeks), (4 * 24 - 10) * 3'600'000LL},
        {"zero period is due at once", 7'300, TimeSpan(), 7'300},
        {"negative period is due at once", 7'300, TimeSpan(-5, Unit::Seconds), 7'300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineTestClock clock;
        clock.AdvanceMilliseconds(std::int64_t(kTen - EngineTestClock::kStart) / 10'000 +
                                  std::int64_t(c.createdMs));
        Request request(c.period);
        EXPECT_EQ(std::int64_t(request.GetUpdateTime().GetTicks() - kTen) / 10'000, c.dueMs);
        EXPECT_EQ(request.GetCreateTime().GetTicks(), kTen + c.createdMs * kMs);
    }
}

TEST(MonitorDataTest, ACopyCarriesTheRangeBackInsteadOfRequestingIt) {
    EngineTestClock clock;
    Request request(TimeSpan(1, Unit::Minutes));
    const TimeRange range(Timestamp(kTen), Timestamp(kTen + 3'600'000 * kMs));
    request.SetRange(range);
    request.SetName("other.vqh");
    request.SetInstalled(true);
    const Request copy(request);
    EXPECT_FALSE(copy.GetRange().IsValid());
    EXPECT_EQ(copy.GetRange().GetStart(), NULL_TIME);
    EXPECT_EQ(copy.GetReplyRange().GetStart(), range.GetStart());
    EXPECT_EQ(copy.GetReplyRange().GetEnd(), range.GetEnd());
    EXPECT_EQ(copy.GetName(), "other.vqh");
    EXPECT_EQ(copy.GetUpdateTime(), request.GetUpdateTime());
    EXPECT_EQ(copy.GetIdentifier(), request.GetIdentifier());
    EXPECT_FALSE(copy.IsInstalled());
}

TEST(MonitorDataTest, ItemDisplayTakesZeroAsNoMaximum) {
    MonitorDataItemDisplay display;
    EXPECT_EQ(display.GetMaxCount(), -1);
    display.SetMaxCount(5);
    EXPECT_EQ(display.GetMaxCount(), 5);
    display.SetMaxCount(0);
    EXPECT_EQ(display.GetMaxCount(), -1);
}

TEST(MonitorDataTest, DescriptionNamesTargetAndDataTypeAndShowsPeriodAndTimes) {
    EngineTestClock clock;
    clock.AdvanceMilliseconds(36'007'300);
    struct Case {
        int32_t target;
        int32_t dataType;
        const char* names;
    };
    const Case cases[] = {
        {TARGET_NONE, DATA_NONE, "TARGET_NONE DATA_NONE"},
        {TARGET_TOTAL, DATA_PERIODIC, "TARGET_TOTAL DATA_PERIODIC"},
        {TARGET_CURRENT, DATA_CUMULATIVE, "TARGET_CURRENT DATA_CUMULATIVE"},
        {TARGET_LATEST, DATA_PERIODIC, "TARGET_LATEST DATA_PERIODIC"},
        {3, 3, "target? type?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names);
        const Request request(TimeSpan(90, Unit::Seconds), c.target, c.dataType);
        // Local times of the tests' Berlin zone; 1 min 30 s periods fall due on the 90 s grid.
        EXPECT_EQ(
            std::regex_replace(request.DescribeMembers(1 | 4, 0, false), std::regex("0x[0-9a-f]+"), "%p"),
            std::string("$%p ") + c.names + " 0h 1m 30s 2026/01/01/11:00:07 2026/01/01/11:01:30 3");
    }
    EXPECT_EQ(Request(TimeSpan()).DescribeColumns(12, true),
              "ID        Target         DataType        Period    CreateT   UpdateT   Reps      ");
}

TEST(MonitorDataTest, ReplyDescriptionGivesIdentifierModeAndRange) {
    int owner = 0;
    const MonitorDataReply reply(&owner, MODE_UPDATE, TimeRange(NULL_TIME, NULL_TIME));
    EXPECT_EQ(reply.DescribeMembers(1 | 4, 0, false),
              Format("$%p", static_cast<const void*>(&owner)) + " 1 <<NULL_TIME>> <<NULL_TIME>>");
    EXPECT_EQ(reply.DescribeColumns(8, false), "ID,mode,range");
}

} // namespace
} // namespace vq
