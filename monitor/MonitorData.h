#pragma once

#include "runtime/MemberDescription.h"
#include "runtime/TimeRange.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <span>
#include <string>

namespace vq {

class DataSet;
class HistoryMap;

enum MonitorTarget : int32_t { TARGET_NONE = 0, TARGET_TOTAL = 1, TARGET_CURRENT = 2, TARGET_LATEST = 4 };
enum MonitorDataType : int32_t { DATA_NONE = 0, DATA_PERIODIC = 1, DATA_CUMULATIVE = 2 };
enum MonitorReplyMode : int32_t { MODE_INITIALIZE = 0, MODE_UPDATE = 1 };

// Where an action's data come from and what it works on.
enum MonitorSource : int32_t { SOURCE_LIVE = 2, SOURCE_LIVE_RING = 3, SOURCE_HISTORY = 4 };
enum MonitorScope : int32_t { SCOPE_DATA_SET = 1, SCOPE_TUPLES = 2 };

// The request half of every monitor action: what is wanted, how often, from where and for whom.
class MonitorData : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(MonitorData)

public:
    // The first due time is the first multiple of the period on the absolute clock after now; a
    // period that is not positive makes the action due on every tick from now on.
    MonitorData(const void* identifier, int32_t source, int32_t scope, int32_t target, int32_t dataType,
                const TimeSpan& period, uint32_t repetitions, std::string name);
    // A copy has no range of its own: the copied range is the one its replies carry back.
    MonitorData(const MonitorData& other);
    MonitorData& operator=(const MonitorData&) = delete;
    virtual ~MonitorData();

    // The kind of history query the action asks for.
    virtual int32_t GetHistoryKind() const { return 1; }
    // Deletes the action: touch nothing of it afterwards.
    virtual void Uninstall();
    virtual bool Start(DataSet* dataSet) = 0;

    void SetRange(const TimeRange& range) { m_Range = range; }
    void SetName(std::string name) { m_Name = std::move(name); }

    int32_t GetTarget() const { return m_Target; }
    int32_t GetDataType() const { return m_DataType; }
    const TimeSpan& GetPeriod() const { return m_Period; }
    const Timestamp& GetCreateTime() const { return m_CreateTime; }
    const Timestamp& GetUpdateTime() const { return m_UpdateTime; }
    uint32_t GetRepetitions() const { return m_Repetitions; }
    const void* GetIdentifier() const { return m_Identifier; }
    int32_t GetScope() const { return m_Scope; }
    int32_t GetSource() const { return m_Source; }
    const std::string& GetName() const { return m_Name; }
    const TimeRange& GetRange() const { return m_Range; }
    const TimeRange& GetReplyRange() const { return m_ReplyRange; }
    bool IsInstalled() const { return m_Installed; }
    void SetInstalled(bool installed) { m_Installed = installed; }
    // The history map in which the action waits for its data; it leaves it when deleted.
    HistoryMap* GetHistoryMap() const { return m_WaitingIn; }
    void SetHistoryMap(HistoryMap* map) { m_WaitingIn = map; }

    static const char* TargetName(int32_t target);
    static const char* DataTypeName(int32_t dataType);
    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

    int32_t m_Target;
    int32_t m_DataType;
    TimeSpan m_Period;
    Timestamp m_CreateTime;
    Timestamp m_UpdateTime;
    uint32_t m_Repetitions;
    const void* m_Identifier;
    int32_t m_Scope;
    int32_t m_Source;
    std::string m_Name;
    TimeRange m_Range;
    TimeRange m_ReplyRange;
    bool m_Installed = false;

private:
    HistoryMap* m_WaitingIn = nullptr;
};

// How many elements an action keeps: none older than the age (zero: no limit), always at least the
// minimum, at most the maximum (-1: no limit).
class MonitorDataItemDisplay {
public:
    MonitorDataItemDisplay() = default;
    MonitorDataItemDisplay(const TimeSpan& maxAge, int32_t minCount, int32_t maxCount);
    MonitorDataItemDisplay(int32_t minCount, int32_t maxCount);

    void Assign(const MonitorDataItemDisplay& other) { *this = other; }
    void SetMaxAge(const TimeSpan& age) { m_MaxAge = age; }
    void SetMinCount(int32_t count) { m_MinCount = count; }
    // 0 stands for no limit.
    void SetMaxCount(int32_t count) { m_MaxCount = count == 0 ? -1 : count; }

    const TimeSpan& GetMaxAge() const { return m_MaxAge; }
    int32_t GetMinCount() const { return m_MinCount; }
    int32_t GetMaxCount() const { return m_MaxCount; }

private:
    TimeSpan m_MaxAge;
    int32_t m_MinCount = 0;
    int32_t m_MaxCount = -1;
};

// The start of every reply to a monitor action.
class MonitorDataReply : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(MonitorDataReply)

public:
    MonitorDataReply(const void* identifier, int32_t mode, const TimeRange& range);
    MonitorDataReply(const MonitorDataReply&) = default;

    const void* GetIdentifier() const { return m_Identifier; }
    int32_t GetMode() const { return m_Mode; }
    const TimeRange& GetRange() const { return m_Range; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    const void* m_Identifier;
    int32_t m_Mode;
    TimeRange m_Range;
};

} // namespace vq
