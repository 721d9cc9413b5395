#pragma once

#include "netmodel/TrafficData.h"
#include "runtime/TimeSpan.h"

#include <cstdint>

namespace vq {

class Conversation;
class Tuple;

// Which number a statistic gives; 1, 2 and 4-11 are the counter numbers of TrafficData.
enum StatisticMode : int32_t {
    MODE_DEFAULT = 0,
    MODE_OCTETS = 1,
    MODE_PACKETS = 2,
    MODE_SIZE_UNDER64 = 4,
    MODE_SIZE_64 = 5,
    MODE_SIZE_65TO127 = 6,
    MODE_SIZE_128TO255 = 7,
    MODE_SIZE_256TO511 = 8,
    MODE_SIZE_512TO1023 = 9,
    MODE_SIZE_1024TO1518 = 10,
    MODE_SIZE_OVER1518 = 11,
    MODE_AVERAGE = 12,
    MODE_BANDWIDTH = 13,
};

enum StatisticEvaluation : int32_t { EVALUATE_DEFAULT = 0, EVALUATE_RAW = 1, EVALUATE_RATE = 2 };

// Counters together with the rule that turns them into one number: a counter or ratio, raw or as
// a rate over the interval. Alarms, trends, summaries and the displays all read them this way.
class MonitorDataStatistic : public TrafficData {
    VQ_DECLARE_RUNTIME_CLASS(MonitorDataStatistic)

public:
    explicit MonitorDataStatistic(uint8_t kind = 0);
    // Everything but the element index.
    MonitorDataStatistic(const MonitorDataStatistic& other);
    MonitorDataStatistic(const TimeSpan& interval, int32_t mode, int32_t evaluation, double rateBase);
    MonitorDataStatistic(const TimeSpan& interval, double rateBase);

    // A mode or evaluation of 0 stores the defaults.
    void SetParameters(const TimeSpan& interval, int32_t mode, int32_t evaluation, double rateBase,
                       double capacity);
    void Copy(const MonitorDataStatistic& other, bool withParameters);
    using TrafficData::Copy;
    void SetIndex(int32_t index) { m_Index = index; }
    void SetRateBase(double rateBase) { m_RateBase = rateBase; }
    void SetCapacity(double capacity) { m_Capacity = capacity; }

    // A mode, evaluation or rate base of 0 stands for the statistic's own.
    double GetValue(int32_t mode = MODE_DEFAULT, int32_t evaluation = EVALUATE_DEFAULT,
                    double rateBase = 0.0) const;
    double GetOctets(int32_t evaluation = EVALUATE_DEFAULT, double rateBase = 0.0) const;
    double GetPackets(int32_t evaluation = EVALUATE_DEFAULT, double rateBase = 0.0) const;
    // One of the size buckets, MODE_SIZE_UNDER64 to MODE_SIZE_OVER1518.
    double GetBucket(int32_t mode, int32_t evaluation = EVALUATE_DEFAULT, double rateBase = 0.0) const;
    double GetAverage() const;
    double GetBandwidth() const;

    // A statistic without parameters yet (capacity 0) first takes the other's, but not its mode.
    void Add(const MonitorDataStatistic& other);
    using TrafficData::Add;
    void CopyConversation(const Conversation& conversation);

    // Counts the frame when it belongs to this element: `key` is the action's key bit and
    // `selector` the tuple that selects the element (null counts every frame).
    void CountPacket(const FrameView& frame, const Conversation& conversation, int32_t key,
                     const Tuple* selector);
    bool Belongs(const Conversation& conversation, int32_t key, const Tuple* selector) const;

    int32_t GetMode() const { return m_Mode; }
    int32_t GetEvaluate() const { return m_Evaluate; }
    const TimeSpan& GetInterval() const { return m_Interval; }
    double GetRateBase() const { return m_RateBase; }
    double GetCapacity() const { return m_Capacity; }
    int32_t GetIndex() const { return m_Index; }

    static const char* ModeName(int32_t mode);
    static const char* EvaluationName(int32_t evaluation);
    // The counters' rows, then the evaluation parameters.
    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    double Evaluated(int64_t count, int32_t evaluation, double rateBase) const;

    int32_t m_Mode = MODE_PACKETS;
    int32_t m_Evaluate = EVALUATE_RAW;
    TimeSpan m_Interval;
    double m_RateBase = 1000.0;
    double m_Capacity = 0.0;
    int32_t m_Index = -1;
};

// The statistic of a summary item: its own class, nothing more.
class SummaryStatistic : public MonitorDataStatistic {
    VQ_DECLARE_RUNTIME_CLASS(SummaryStatistic)

public:
    using MonitorDataStatistic::MonitorDataStatistic;
    SummaryStatistic(const SummaryStatistic& other) = default;
};

} // namespace vq
