#pragma once

#include "events/CEventHandler.h"
#include "events/LogDoc.h"
#include "shell/COstrelixApp.h"

#include <string>
#include <utility>
#include <vector>

namespace vq::test {

// An event handler that only records what the application asks of it.
class RecordingEventHandler : public CEventHandler {
public:
    struct AlarmValue {
        std::uint64_t serial;
        int value;
        bool crossing;
        bool operator==(const AlarmValue&) const = default;
    };

    explicit RecordingEventHandler(COstrelixApp& app) : CEventHandler(app) {}
    void ArmAll(const ExplorerObjectList&) override { ++armAllCalls; }
    void OnAlarmValue(std::uint64_t serial, int value, bool crossing) override {
        values.push_back({serial, value, crossing});
    }

    int armAllCalls = 0;
    std::vector<AlarmValue> values;
};

inline RecordingEventHandler& RecordEventHandler(COstrelixApp& app) {
    auto handler = std::make_unique<RecordingEventHandler>(app);
    RecordingEventHandler& kept = *handler;
    app.SetEventHandler(std::move(handler));
    return kept;
}

// The system events the log recorded, oldest first, each as its code and detail text.
inline std::vector<std::pair<int, std::string>> SystemEvents(const LogDoc& log) {
    std::vector<std::pair<int, std::string>> events;
    for (auto it = log.GetTransactions().rbegin(); it != log.GetTransactions().rend(); ++it)
        if (it->m_Type == SystemEventInfo::kType) events.emplace_back(it->m_Code, it->m_Message);
    return events;
}

inline std::vector<int> SystemEventCodes(const LogDoc& log) {
    std::vector<int> codes;
    for (const auto& [code, text] : SystemEvents(log))
        codes.push_back(code);
    return codes;
}

} // namespace vq::test
