#include "monitor/HistoryStandIn.h"

#include "monitor/HistoryMessages.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorGlobals.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"

#include <new>

namespace vq {

HistoryStandIn::HistoryStandIn(std::string databasePath, int32_t flags)
    : HistoryService(std::move(databasePath), flags) {}

bool HistoryStandIn::InitInstance() {
    CreateWindowAndTimers();
    m_TickTimer->SetDefaultPeriod(TimeSpan(10, Unit::Seconds));
    m_MemoryTimer->Enable();
    if (Monitor* monitor = TheMonitorGlobals().m_Monitor.load()) {
        try {
            auto* request = new HistoryCheckpointRequestMessage(this);
            if (!request->Send(monitor)) delete request;
        } catch (const std::bad_alloc&) {
        }
    }
    return HistoryService::InitInstance();
}

void HistoryStandIn::OnThreadMessage(const QueueEntry& entry) {
    switch (entry.message) {
    case WM_Checkpoint_Update:
    case WM_History_Restart:
    case WM_Database_Request:
        break;
    default:
        return;
    }
    // None of the three has an answer class: a history request stays unanswered, as one for which
    // nothing is stored.
    auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
    if (!message || !message->Receive()) return;
    if (message->Complete()) delete message;
}

} // namespace vq
