#pragma once

#include "shell/SystemEventInfo.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

// The event log document, standing in until the event log is built: it keeps the system events
// it is given, in order, so the application's reports can be seen.
class LogDoc {
public:
    // Takes the event over.
    void OnSystemEvent(std::unique_ptr<SystemEventInfo> event) { m_Events.push_back(std::move(*event)); }
    // From any thread in the full event log; here on the main thread only.
    void PostSystemEvent(int code, const std::string& text) { m_Events.push_back({code, {}, text}); }

    const std::vector<SystemEventInfo>& GetRecordedEvents() const { return m_Events; }

private:
    std::vector<SystemEventInfo> m_Events;
};

} // namespace vq
