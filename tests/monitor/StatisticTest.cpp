#include "../netmodel/ModelFixtures.h"
#include "monitor/MonitorDataStatistic.h"
#include "monitor/StatisticElement.h"
#include "netmodel/Conversation.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/TimeUnits.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vq {
namespace {

constexpr int64_t kMs = 10'000;

TEST(StatisticTest, ValueFollowsModeEvaluationAndRateBase) {
    struct Case {
        const char* name;
        int64_t octets, packets;
        int64_t intervalTicks;
        int32_t ownMode, ownEvaluate;
        double ownRateBase, capacity;
        int32_t mode, evaluate;
        double rateBase, expected;
    };
    const Case cases[] = {
        {"mode 3 has no value", 900, 10, 5000 * kMs, MODE_OCTETS, EVALUATE_RAW, 1000.0, 0.0, 3, 0, 0.0, 0.0},
        {"mode 14 has no value", 900, 10, 5000 * kMs, MODE_OCTETS, EVALUATE_RAW, 1000.0, 0.0, 14, 0, 0.0,
         0.0},
        {"negative mode has no value", 900, 10, 5000 * kMs, MODE_OCTETS, EVALUATE_RAW, 1000.0, 0.0, -1, 0,
         0.0, 0.0},
        {"mode 0 takes the own mode", 900, 10, 5000 * kMs, MODE_OCTETS, EVALUATE_RAW, 1000.0, 0.0, 0, 0, 0.0,
         900.0},
        {"average", 15'140, 10, 5000 * kMs, MODE_AVERAGE, EVALUATE_RAW, 1000.0, 0.0, 0, 0, 0.0, 1514.0},
        {"average is never a rate", 15'140, 10, 5000 * kMs, MODE_AVERAGE, EVALUATE_RATE, 1000.0, 0.0, 0, 0,
         0.0, 1514.0},
        {"average of no packets", 15'140, 0, 5000 * kMs, MODE_AVERAGE, EVALUATE_RAW, 1000.0, 0.0, 0, 0, 0.0,
         0.0},
        {"average of negative packets", 15'140, -2, 5000 * kMs, MODE_AVERAGE, EVALUATE_RAW, 1000.0, 0.0, 0, 0,
         0.0, 0.0},
        {"bandwidth share", 312'500, 10, 5000 * kMs, MODE_BANDWIDTH, EVALUATE_RATE, 1000.0, 1'250'000.0, 0, 0,
         0.0, 0.25},
        {"bandwidth without capacity", 312'500, 10, 5000 * kMs, MODE_BANDWIDTH, EVALUATE_RAW, 1000.0, 0.0, 0,
         0, 0.0, 0.0},
        {"packets per second", 0, 500, 5000 * kMs, MODE_PACKETS, EVALUATE_RATE, 1000.0, 0.0, 0, 0, 0.0,
         100.0},
        {"rate asked in the call", 0, 500, 5000 * kMs, MODE_PACKETS, EVALUATE_RAW, 1000.0, 0.0, 0,
         EVALUATE_RATE, 0.0, 100.0},
        {"raw asked in the call", 0, 500, 5000 * kMs, MODE_PACKETS, EVALUATE_RATE, 1000.0, 0.0, 0,
         EVALUATE_RAW, 0.0, 500.0},
        {"1.5 ms counts as 1 ms", 0, 3, 15'000, MODE_PACKETS, EVALUATE_RATE, 1000.0, 0.0, 0, 0, 0.0, 3000.0},
        {"0.5 ms has no rate", 0, 3, 5'000, MODE_PACKETS, EVALUATE_RATE, 1000.0, 0.0, 0, 0, 0.0, 0.0},
        {"zero interval has no rate", 0, 3, 0, MODE_PACKETS, EVALUATE_RATE, 1000.0, 0.0, 0, 0, 0.0, 0.0},
        {"negative interval has no rate", 0, 3, -5000 * kMs, MODE_PACKETS, EVALUATE_RATE, 1000.0, 0.0, 0, 0,
         0.0, 0.0},
        {"own rate base per minute", 0, 500, 5000 * kMs, MODE_PACKETS, EVALUATE_RATE, 60'000.0, 0.0, 0, 0,
         0.0, 6000.0},
        {"no rate base anywhere is per second", 0, 500, 5000 * kMs, MODE_PACKETS, EVALUATE_RATE, 0.0, 0.0, 0,
         0, 0.0, 100.0},
        {"rate base of the call wins", 0, 500, 5000 * kMs, MODE_PACKETS, EVALUATE_RATE, 60'000.0, 0.0, 0, 0,
         1.0, 0.1},
        {"size bucket as rate", 0, 0, 2000 * kMs, MODE_SIZE_OVER1518, EVALUATE_RATE, 1000.0, 0.0, 0, 0, 0.0,
         21.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MonitorDataStatistic statistic;
        statistic.SetParameters(TimeSpan(c.intervalTicks), c.ownMode, c.ownEvaluate, c.ownRateBase,
                                c.capacity);
        statistic.m_Counters[TrafficData::Octets] = c.octets;
        statistic.m_Counters[TrafficData::Packets] = c.packets;
        statistic.m_Counters[TrafficData::SizeOver1518] = 42;
        const double value = statistic.GetValue(c.mode, c.evaluate, c.rateBase);
        EXPECT_TRUE(std::isfinite(value));
        EXPECT_DOUBLE_EQ(value, c.expected);
    }
}

TEST(StatisticTest, ParametersAndCopiesKeepTheirDefaults) {
    const MonitorDataStatistic fresh(7);
    EXPECT_EQ(fresh.GetMode(), MODE_PACKETS);
    EXPECT_EQ(fresh.GetEvaluate(), EVALUATE_RAW);
    EXPECT_EQ(fresh.GetInterval().GetTicks(), 1000 * kMs);
    EXPECT_EQ(fresh.GetKind(), 7);

    MonitorDataStatistic statistic(TimeSpan(5, Unit::Seconds), MODE_DEFAULT, EVALUATE_DEFAULT, 1000.0);
    EXPECT_EQ(statistic.GetMode(), MODE_PACKETS);
    EXPECT_EQ(statistic.GetEvaluate(), EVALUATE_RAW);
    statistic.SetIndex(4);
    const MonitorDataStatistic copy(statistic);
    EXPECT_EQ(copy.GetIndex(), -1);
    EXPECT_EQ(copy.GetKind(), 1);
    EXPECT_EQ(copy.GetInterval().GetTicks(), 5000 * kMs);
}

TEST(StatisticTest, AnElementsRateBaseSetsTheUnitOfItsRates) {
    StatisticElement element(TimeSpan(5, Unit::Seconds), MODE_PACKETS, EVALUATE_RATE, 1000.0);
    element.GetStatistic().m_Counters[TrafficData::Packets] = 500;
    EXPECT_DOUBLE_EQ(element.GetStatistic().GetValue(), 100.0);
    element.SetRateBase(60'000.0);
    EXPECT_DOUBLE_EQ(element.GetStatistic().GetValue(), 6000.0) << "per minute";
    EXPECT_DOUBLE_EQ(element.GetStatistic().GetValue(MODE_DEFAULT, EVALUATE_DEFAULT, 1000.0), 100.0)
        << "a base in the call still wins";
}

TEST(StatisticTest, AddIntoAFreshStatisticTakesParametersButNotTheMode) {
    MonitorDataStatistic other(TimeSpan(5, Unit::Seconds), MODE_OCTETS, EVALUATE_RATE, 60'000.0);
    other.SetCapacity(1'250'000.0);
    other.m_Counters[TrafficData::Packets] = 9;

    MonitorDataStatistic fresh;
    fresh.SetParameters(TimeSpan(1, Unit::Seconds), MODE_AVERAGE, EVALUATE_RAW, 1000.0, 0.0);
    fresh.Add(other);
    EXPECT_EQ(fresh.GetMode(), MODE_AVERAGE);
    EXPECT_EQ(fresh.GetEvaluate(), EVALUATE_RATE);
    EXPECT_EQ(fresh.GetInterval().GetTicks(), 5000 * kMs);
    EXPECT_DOUBLE_EQ(fresh.GetRateBase(), 60'000.0);
    EXPECT_DOUBLE_EQ(fresh.GetCapacity(), 1'250'000.0);
    EXPECT_EQ(fresh.Get(TrafficData::Packets), 9);

    MonitorDataStatistic set(TimeSpan(2, Unit::Seconds), MODE_PACKETS, EVALUATE_RAW, 1000.0);
    set.SetCapacity(10.0);
    set.Add(other);
    EXPECT_EQ(set.GetEvaluate(), EVALUATE_RAW);
    EXPECT_DOUBLE_EQ(set.GetCapacity(), 10.0);
}

Tuple::Fields OnInterface(uint16_t interface) {
    Tuple::Fields fields{};
    fields[FieldInterface] = interface;
    return fields;
}

TEST(StatisticTest, CountPacketCountsOnlyFramesOfItsSelection) {
    IpAddress a("10.0.0.1", false), b("10.0.0.2", false);
    Tuple fromA(new HostAddress(a, 0, true), new HostAddress(b, 0, true), OnInterface(7), 1);
    Tuple fromB(new HostAddress(b, 0, true), new HostAddress(a, 0, true), OnInterface(3), 1);
    Conversation conversationA(&fromA), conversationB(&fromB);

    Tuple anyInterface(NoInterface, KEY_Interface), interface7(7, KEY_Interface);
    Tuple sourceA(a, KEY_Source, true), destinationA(a, KEY_Destination, true);
    const Tuple openSource(HostAddress(), KEY_Source, DeepCopy);
    struct Case {
        const char* name;
        int32_t key;
        const Tuple* selector;
        int32_t index;
        int64_t expected;
    };
    const Case cases[] = {
        {"no key counts all", 0, &interface7, 0, 2},
        {"no index counts all", KEY_Interface, &interface7, -1, 2},
        {"interface wildcard", KEY_Interface, &anyInterface, 0, 2},
        {"interface 7 only", KEY_Interface, &interface7, 0, 1},
        {"source host", KEY_Source, &sourceA, 0, 1},
        {"destination host", KEY_Destination, &destinationA, 0, 1},
        {"host without address is a wildcard", KEY_Source, &openSource, 0, 2},
    };
    test::FakeFrame frame;
    frame.length = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MonitorDataStatistic statistic;
        statistic.SetIndex(c.index);
        statistic.CountPacket(frame, conversationA, c.key, c.selector);
        statistic.CountPacket(frame, conversationB, c.key, c.selector);
        EXPECT_EQ(statistic.Get(TrafficData::Packets), c.expected);
        EXPECT_EQ(statistic.Get(TrafficData::Octets), 100 * c.expected);
    }
}

} // namespace
} // namespace vq
