#pragma once

#include "events/SystemEventInfo.h"
#include "platform/time/OleDateTime.h"

#include <memory>
#include <string>

namespace vq {

class COstrelixSystemDoc;
class EventInfo;
class LogPopup;

// One entry of the event log: a fired configured event or a recorded system event, with its hit
// count against the event's "Report after" and the steps it takes until it is reset and removed.
class EventActive {
public:
    enum Origin : int { kConfigured = 0, kSystem = 4 };
    enum State : int { kRemoved = 0, kActive = 1, kAcknowledged = 2, kCleared = 3, kReset = 4 };

    // The entry points back from the event while it exists.
    EventActive(EventInfo& info, const OleDateTime& time, const COstrelixSystemDoc& model, int clearMinutes);
    EventActive(std::unique_ptr<SystemEventInfo> info, const OleDateTime& time, int clearMinutes);
    virtual ~EventActive();
    EventActive(const EventActive&) = delete;
    EventActive& operator=(const EventActive&) = delete;

    void CountHit();
    void ClearIfNormal();
    // Works out the next state and its minutes after entering `step`; answers the next state.
    int Evaluate(int step);

    EventInfo* GetInfo() const { return m_Origin == kConfigured ? m_Info : nullptr; }
    SystemEventInfo* GetSystemInfo() const { return m_SystemInfo.get(); }
    bool IsSystem() const { return m_Origin == kSystem; }

    int m_HitCount = 0;
    bool m_Reported = false;
    int m_Origin = kConfigured;
    // The pop-up window that shows this entry; cleared when it goes.
    LogPopup* m_Popup = nullptr;
    OleDateTime m_Time;
    int m_Minutes = 0;
    int m_State = kActive;
    int m_NextState = kRemoved;
    std::string m_GroupName;
    std::string m_SecondaryGroupName;
    // The object's status counter was raised for this entry and not yet lowered.
    bool m_StatusRaised = false;

private:
    EventInfo* m_Info = nullptr;
    std::unique_ptr<SystemEventInfo> m_SystemInfo;
    const COstrelixSystemDoc* m_Model = nullptr;
    int m_ClearMinutes = 10;
};

} // namespace vq
