#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/time/OleDateTime.h"

#include <cstdint>
#include <string>

namespace vq {

class CCfgEvent;
class EventActive;
class ExplorerInfo;

// One configured event bound to the object it watches: a device, class or network interface.
class EventInfo : public Object {
    VQ_DECLARE_RUNTIME_CLASS(EventInfo)
public:
    enum Kind : int { kDevice = 1, kClass = 2, kNetwork = 3, kSystem = 4 };

    EventInfo();
    // Everything but the raised entry; the copy gets a serial of its own.
    EventInfo(const EventInfo& other);
    EventInfo& operator=(const EventInfo&) = delete;

    bool GetResetWhenNormal() const;
    std::string GetTypeName() const;
    std::string GetObjectName() const;
    std::string GetObjectDescription() const;
    std::string GetDisplayMessage() const;
    std::string GetMessage() const;
    // The log group and level of the primary (1) or secondary (2) report pair.
    std::string GetLogGroupName(int pair) const;
    std::string GetLevelName(int pair) const;
    // The configured threshold, or 0 for an event without one.
    int GetThreshold() const;
    int GetSeverity() const;
    // Numbers every record of the run, so a message can name one that may be gone by its arrival.
    std::uint64_t GetSerial() const { return m_Serial; }

    double m_RemainingDays = 0;
    OleDateTime m_Schedule;
    ExplorerInfo* m_Owner = nullptr;
    int m_Type = 0;
    int m_Kind = kDevice;
    // The configuration record of the watched object; not owned.
    Object* m_Object = nullptr;
    // Owned by the configuration model, or by the edit copy that made it.
    CCfgEvent* m_CfgEvent = nullptr;
    // The raised entry of this event in the event log, while there is one.
    EventActive* m_ActiveEntry = nullptr;

private:
    bool HasRecord() const;

    std::uint64_t m_Serial;
};

} // namespace vq
