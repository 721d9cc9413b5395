#include "monitor/MonitorDataStatistic.h"

#include "netmodel/Conversation.h"
#include "netmodel/HostAddress.h"
#include "netmodel/Tuple.h"
#include "runtime/TimeUnits.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorDataStatistic, TrafficData)
VQ_IMPLEMENT_RUNTIME_CLASS(SummaryStatistic, MonitorDataStatistic)

namespace {

constexpr int64_t kTicksPerMillisecond = 10'000;
constexpr double kDefaultRateBase = 1000.0;

bool IsCounterMode(int32_t mode) {
    return mode == MODE_OCTETS || mode == MODE_PACKETS ||
           (mode >= MODE_SIZE_UNDER64 && mode <= MODE_SIZE_OVER1518);
}

std::string FormatMode(const Object& object, uint32_t, int) {
    return MonitorDataStatistic::ModeName(static_cast<const MonitorDataStatistic&>(object).GetMode());
}

std::string FormatEvaluate(const Object& object, uint32_t, int) {
    return MonitorDataStatistic::EvaluationName(
        static_cast<const MonitorDataStatistic&>(object).GetEvaluate());
}

std::string FormatInterval(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const MonitorDataStatistic&>(object).GetInterval(), SpanDumpFormat);
}

std::string FormatRateBase(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const MonitorDataStatistic&>(object).GetRateBase(), "%g");
}

std::string FormatCapacity(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const MonitorDataStatistic&>(object).GetCapacity(), "%g");
}

} // namespace

MonitorDataStatistic::MonitorDataStatistic(uint8_t kind) : TrafficData(kind), m_Interval(1, Unit::Seconds) {}

MonitorDataStatistic::MonitorDataStatistic(const MonitorDataStatistic& other)
    : TrafficData(other), m_Mode(other.m_Mode), m_Evaluate(other.m_Evaluate), m_Interval(other.m_Interval),
      m_RateBase(other.m_RateBase), m_Capacity(other.m_Capacity) {
    m_Kind = 1;
}

MonitorDataStatistic::MonitorDataStatistic(const TimeSpan& interval, int32_t mode, int32_t evaluation,
                                           double rateBase)
    : TrafficData(1) {
    SetParameters(interval, mode, evaluation, rateBase, 0.0);
}

MonitorDataStatistic::MonitorDataStatistic(const TimeSpan& interval, double rateBase)
    : MonitorDataStatistic(interval, MODE_DEFAULT, EVALUATE_DEFAULT, rateBase) {}

void MonitorDataStatistic::SetParameters(const TimeSpan& interval, int32_t mode, int32_t evaluation,
                                         double rateBase, double capacity) {
    m_Interval = interval;
    m_Mode = mode == MODE_DEFAULT ? MODE_PACKETS : mode;
    m_Evaluate = evaluation == EVALUATE_DEFAULT ? EVALUATE_RAW : evaluation;
    m_RateBase = rateBase;
    m_Capacity = capacity;
}

void MonitorDataStatistic::Copy(const MonitorDataStatistic& other, bool withParameters) {
    TrafficData::Copy(other);
    if (withParameters)
        SetParameters(other.m_Interval, other.m_Mode, other.m_Evaluate, other.m_RateBase, other.m_Capacity);
}

double MonitorDataStatistic::GetValue(int32_t mode, int32_t evaluation, double rateBase) const {
    if (mode == MODE_DEFAULT) mode = m_Mode;
    if (IsCounterMode(mode)) return Evaluated(m_Counters[size_t(mode - 1)], evaluation, rateBase);
    if (mode == MODE_AVERAGE) return GetAverage();
    if (mode == MODE_BANDWIDTH) return GetBandwidth();
    return 0.0;
}

double MonitorDataStatistic::GetOctets(int32_t evaluation, double rateBase) const {
    return Evaluated(m_Counters[Octets], evaluation, rateBase);
}

double MonitorDataStatistic::GetPackets(int32_t evaluation, double rateBase) const {
    return Evaluated(m_Counters[Packets], evaluation, rateBase);
}

double MonitorDataStatistic::GetBucket(int32_t mode, int32_t evaluation, double rateBase) const {
    if (mode < MODE_SIZE_UNDER64 || mode > MODE_SIZE_OVER1518) return 0.0;
    return Evaluated(m_Counters[size_t(mode - 1)], evaluation, rateBase);
}

double MonitorDataStatistic::GetAverage() const {
    const int64_t packets = m_Counters[Packets];
    return packets > 0 ? double(m_Counters[Octets]) / double(packets) : 0.0;
}

double MonitorDataStatistic::GetBandwidth() const {
    return m_Capacity > 0.0 ? double(m_Counters[Octets]) / m_Capacity : 0.0;
}

// An interval under one whole millisecond has no rate; 0.0 keeps infinities and NaN out of the
// alarms and displays.
double MonitorDataStatistic::Evaluated(int64_t count, int32_t evaluation, double rateBase) const {
    if (evaluation == EVALUATE_DEFAULT) evaluation = m_Evaluate;
    if (evaluation != EVALUATE_RATE) return double(count);
    const int64_t ms = m_Interval.GetTicks() / kTicksPerMillisecond;
    if (ms <= 0) return 0.0;
    double base = rateBase;
    if (base == 0.0) base = m_RateBase;
    if (base == 0.0) base = kDefaultRateBase;
    return double(count) / double(ms) * base;
}

void MonitorDataStatistic::Add(const MonitorDataStatistic& other) {
    if (m_Capacity == 0.0) {
        m_Evaluate = other.m_Evaluate;
        m_Interval = other.m_Interval;
        m_RateBase = other.m_RateBase;
        m_Capacity = other.m_Capacity;
    }
    TrafficData::Add(other);
}

void MonitorDataStatistic::CopyConversation(const Conversation& conversation) {
    TrafficData::Copy(conversation.GetTraffic());
}

void MonitorDataStatistic::CountPacket(const FrameView& frame, const Conversation& conversation, int32_t key,
                                       const Tuple* selector) {
    if (Belongs(conversation, key, selector)) AddPacket(frame, &conversation);
}

bool MonitorDataStatistic::Belongs(const Conversation& conversation, int32_t key,
                                   const Tuple* selector) const {
    if (key == 0 || m_Index < 0 || !selector) return true;
    const Tuple* tuple = conversation.GetTuple();
    if (key == KEY_Source || key == KEY_Destination) {
        const HostAddress& wanted = HostOrInvalid(selector->GetKeyHost(key));
        if (wanted.GetValidVector() == 0) return true;
        return tuple && HostOrInvalid(tuple->GetKeyHost(key)) == wanted;
    }
    const uint32_t wanted = selector->GetKeyValue(key);
    const uint32_t wildcard = key == KEY_Interface ? NoInterface : 0;
    if (wanted == wildcard) return true;
    return tuple && tuple->GetKeyValue(key) == wanted;
}

const char* MonitorDataStatistic::ModeName(int32_t mode) {
    static const char* const names[] = {
        "MODE_DEFAULT",       "MODE_OCTETS",         "MODE_PACKETS",         nullptr,
        "MODE_SIZE_UNDER64",  "MODE_SIZE_64",        "MODE_SIZE_65TO127",    "MODE_SIZE_128TO255",
        "MODE_SIZE_256TO511", "MODE_SIZE_512TO1023", "MODE_SIZE_1024TO1518", "MODE_SIZE_OVER1518",
        "MODE_AVERAGE",       "MODE_BANDWIDTH"};
    if (mode < 0 || size_t(mode) >= std::size(names) || !names[mode]) return "mode?";
    return names[mode];
}

const char* MonitorDataStatistic::EvaluationName(int32_t evaluation) {
    static const char* const names[] = {"EVALUATE_DEFAULT", "EVALUATE_RAW", "EVALUATE_RATE"};
    if (evaluation < 0 || size_t(evaluation) >= std::size(names)) return "eval?";
    return names[evaluation];
}

MemberTable MonitorDataStatistic::Members() {
    static constexpr MemberRow rows[] = {
        {"m_Mode", "Mode", 13, &FormatMode},           {"m_Evaluate", "Evaluate", 17, &FormatEvaluate},
        {"m_Interval", "Intrval", 8, &FormatInterval}, {"m_RateBase", "RateBas", 8, &FormatRateBase},
        {"m_Capacity", "Capacty", 8, &FormatCapacity},
    };
    return {Class(), rows, &TrafficData::Members};
}

} // namespace vq
