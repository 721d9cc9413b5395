#include "shell/ActiveTestInfo.h"

#include "config/CCfgDevice.h"
#include "config/CCfgEvent.h"
#include "shell/EventInfo.h"
#include "shell/ExplorerInfo.h"

namespace vq {

std::unique_ptr<ActiveTestInfo> ActiveTestInfo::Naming(ExplorerInfo& device) {
    auto test = std::make_unique<ActiveTestInfo>();
    test->m_Device = &device;
    test->m_DeviceName = device.m_Name;
    return test;
}

std::unique_ptr<ActiveTestInfo> ActiveTestInfo::ForDevice(ExplorerInfo& device) {
    auto test = Naming(device);
    if (const CCfgDevice* record = device.GetDevice()) {
        test->m_Interval = record->GetTestTime();
        test->m_Address = record->GetAddress();
    }
    for (int i = 0; EventInfo* event = device.GetEventAt(i); ++i) {
        if (event->m_Type < ActiveTestEvent::kSlowResponse || event->m_Type > ActiveTestEvent::kResponds)
            continue;
        ActiveTestEvent tested;
        tested.m_EventSerial = event->GetSerial();
        tested.m_Type = event->m_Type;
        if (event->m_CfgEvent) {
            tested.m_Threshold = event->m_CfgEvent->GetThreshold();
            tested.m_Limit = event->m_CfgEvent->GetLimit();
        }
        test->m_Events.push_back(tested);
    }
    return test;
}

ActiveTestInfo ActiveTestInfo::CopyForWindow() const {
    ActiveTestInfo copy;
    copy.m_Slot = m_Slot;
    copy.m_Remaining = m_Remaining;
    copy.m_Interval = m_Interval;
    copy.m_Device = m_Device;
    copy.m_DeviceName = m_DeviceName;
    copy.m_Address = m_Address;
    return copy;
}

} // namespace vq
