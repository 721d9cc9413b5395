#pragma once

#include "config/Schedule.h"

#include <cstdint>
#include <map>
#include <memory>

namespace vq {

class COstrelixApp;
class EventInfo;
class ExplorerObjectList;
class MonitorAlarm;
class ThreadObject;

// Turns the configured events of devices and network interfaces into monitor alarms and judges the
// values their alarms and the active tests report. Alarms and active tests name an event by its
// serial, never by its address, so a late report for an event that is gone is recognised and
// dropped. Main thread only.
class CEventHandler {
public:
    explicit CEventHandler(COstrelixApp& app);
    virtual ~CEventHandler();
    CEventHandler(const CEventHandler&) = delete;
    CEventHandler& operator=(const CEventHandler&) = delete;

    // Arms every event of the devices and network interfaces of the list.
    virtual void ArmAll(const ExplorerObjectList& objects);
    void ArmEvent(EventInfo& info, bool force);
    void DisarmEvent(EventInfo& info);
    void DisarmAll();
    // A value reported for the armed event with the serial; unknown serials are dropped.
    virtual void OnAlarmValue(std::uint64_t serial, int value, bool reachedUpward);
    // Once a minute: events whose period has elapsed are armed again.
    void RearmScheduled();

    bool IsStarted() const { return m_Started; }
    bool IsArmed(const EventInfo& info) const;
    bool IsScheduled(const EventInfo& info) const;
    // Where alarms go; the application's monitor unless set.
    void SetMonitorThread(ThreadObject* thread) { m_MonitorThread = thread; }

    // The alarm identifier of an event: its serial.
    static const void* AlarmIdentifier(const EventInfo& info);

private:
    std::unique_ptr<MonitorAlarm> BuildAlarm(EventInfo& info);
    bool AddDeviceSelections(EventInfo& info, MonitorAlarm& alarm) const;
    ThreadObject* MonitorThread() const;

    COstrelixApp& m_App;
    std::map<std::uint64_t, EventInfo*> m_ArmedEvents;
    std::map<std::uint64_t, ScheduleCountdown> m_ScheduledEvents;
    bool m_Started = false;
    ThreadObject* m_MonitorThread = nullptr;
    std::map<std::int32_t, std::int32_t> m_ProtocolsByTreePosition;
};

} // namespace vq
