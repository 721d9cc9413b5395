#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/time/OleDateTime.h"

#include <cstdint>

namespace vq {

class CCfgEvent;
class ExplorerInfo;

// One configured event bound to the object it watches. Stands in for the event handler's record
// until the event handler is built; the fields are the ones the explorer records use.
class EventInfo : public Object {
    VQ_DECLARE_RUNTIME_CLASS(EventInfo)
public:
    enum Kind : int { kDevice = 1, kClass = 2, kNetwork = 3, kSystem = 4 };

    EventInfo();
    // Everything but the raised entry; the copy gets a serial of its own.
    EventInfo(const EventInfo& other);
    EventInfo& operator=(const EventInfo&) = delete;

    bool GetResetWhenNormal() const;
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
    void* m_ActiveEntry = nullptr;

private:
    std::uint64_t m_Serial;
};

} // namespace vq
