#pragma once

#include "platform/time/OleDateTime.h"
#include "platform/time/OleDateTimeSpan.h"
#include "shell/ActiveTestResult.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

class ExplorerInfo;

// One response event of a device under test with the settings it is judged by, copied on the
// main thread: the configuration record may be edited or freed while the test runs.
struct ActiveTestEvent {
    enum Type : int { kSlowResponse = 13, kNoResponse = 14, kResponds = 15 };
    enum State : std::int32_t { kFired = 0, kArmed = 1 };

    std::int32_t m_State = kArmed;
    std::int32_t m_HitCount = 0;
    // The EventInfo it fires, by serial: the event handler drops serials of events gone since.
    std::uint64_t m_EventSerial = 0;
    int m_Type = 0;
    // Type 13: milliseconds; 14: failures; 15: answers.
    std::int32_t m_Threshold = 0;
    std::int32_t m_Limit = 0;

    // The number of consecutive hits at which the event fires; 0 and 1 fire at every hit.
    std::int32_t RequiredCount() const { return m_Type == kSlowResponse ? m_Limit : m_Threshold; }
};

// One device under test. Everything the manager and the worker read of the device is copied here
// on the main thread when the test is made; the device record itself is read only for its valid
// flag.
struct ActiveTestInfo {
    // The test of a device, with its response events (types 13 to 15 in the device's order).
    // Main thread only.
    static std::unique_ptr<ActiveTestInfo> ForDevice(ExplorerInfo& device);
    // A request naming only the device, as removing a test and opening its dialog need.
    static std::unique_ptr<ActiveTestInfo> Naming(ExplorerInfo& device);

    // What the monitor window is handed: the name, address, slot, test time and remaining span,
    // without events; its last result is the window's own.
    ActiveTestInfo CopyForWindow() const;

    // The last result shown for the test; set only in the monitor window's copies, which own it.
    std::unique_ptr<ActiveTestResult> m_LastResult;
    // The key of the worker running the test now, 0 when none.
    std::uint64_t m_Exec = 0;
    std::vector<ActiveTestEvent> m_Events;
    std::int32_t m_Slot = 0;
    OleDateTimeSpan m_Remaining;
    OleDateTime m_Interval;
    ExplorerInfo* m_Device = nullptr;
    std::string m_DeviceName;
    std::string m_Address;
    // Given by the manager when it takes the test; results name their test by it.
    std::uint64_t m_Serial = 0;
    // When the test was first turned away for want of a worker (the manager numbers turn-aways);
    // 0 while it is not waiting.
    std::int64_t m_WaitingSince = 0;
};

} // namespace vq
