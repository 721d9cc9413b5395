#pragma once

#include "runtime/MemberDescription.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <string>

namespace vq {

// A stretch of time divided into equal periods. The definition flags remember which parts were
// given, so that anchoring the range again keeps the way it was defined.
class TimeRange : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(TimeRange)

public:
    enum Definition : uint32_t { CountGiven = 1, PeriodGiven = 2, StartAnchored = 4, EndAnchored = 8 };

    TimeRange() = default;
    TimeRange(const TimeSpan& period, uint32_t count);
    TimeRange(const Timestamp& start, const Timestamp& end);
    TimeRange(const Timestamp& start, const Timestamp& end, const TimeSpan& period);
    TimeRange(const Timestamp& start, const Timestamp& end, uint32_t count);
    TimeRange(const Timestamp& start, const TimeSpan& period, uint32_t count);
    TimeRange(const TimeSpan& period, const Timestamp& end, uint32_t count);
    TimeRange(const TimeRange&) = default;
    TimeRange& operator=(const TimeRange&) = default;

    // Takes every value of the other range but keeps this range's definition flags.
    void Assign(const TimeRange& other);

    // NULL_TIME when i is not below the count or the start (end) is not set.
    Timestamp PeriodStart(uint32_t i) const;
    // Counts back from the end.
    Timestamp PeriodEnd(uint32_t i) const;
    // Divides the total into n periods; false (and nothing changed) when the period would be 0.
    bool SetCount(uint32_t n);
    // Divides the total into periods of p; false (and nothing changed) when p is not positive or
    // the count would not fit.
    bool SetPeriod(const TimeSpan& p);
    // Moves the range to new ends the way it was defined; a range of fixed period and count only
    // moves when the new ends are that far apart.
    bool Anchor(const Timestamp& start, const Timestamp& end);

    // The format applied to the start and end texts, in that order.
    std::string Format(const char* format) const;

    const Timestamp& GetStart() const { return m_RangeStart; }
    const Timestamp& GetEnd() const { return m_RangeEnd; }
    uint32_t GetCount() const { return m_Count; }
    const TimeSpan& GetPeriod() const { return m_Period; }
    const TimeSpan& GetTotal() const { return m_Total; }
    bool IsValid() const { return m_Valid != 0; }
    uint32_t GetDefinition() const { return m_Definition; }

protected:
    MemberTable DescribedMembers() const override;

private:
    static bool IsSet(const Timestamp& time) { return time.Compare(NULL_TIME) != 0; }
    void InitAnchored(const Timestamp& start, const Timestamp& end, uint32_t definition);
    static std::string FormatStart(const Object& object, uint32_t flags, int depth);
    static std::string FormatEnd(const Object& object, uint32_t flags, int depth);

    Timestamp m_RangeStart;
    Timestamp m_RangeEnd;
    uint32_t m_Count = 0;
    TimeSpan m_Period;
    TimeSpan m_Total;
    uint8_t m_Valid = 0;
    uint32_t m_Definition = 0;
};

// Zero period, count 0; built on first use.
const TimeRange& EMPTY_RANGE();

} // namespace vq
