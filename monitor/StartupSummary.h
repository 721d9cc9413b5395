#pragma once

#include "monitor/MonitorSummary.h"

#include <memory>
#include <string>

namespace vq {

class CaptureAdapters;
class HistoryBuffer;

// The summary the monitor books at start-up over all of the default history: its only effect is
// its history request, which has the history thread load the database. It waits in no pool, its
// answers have no receiver, and once started with the data it finds itself not installed and goes.
// The holder it is given is cleared when it goes.
class StartupSummary final : public MonitorSummary {
public:
    ~StartupSummary() override;

    // Booked in the monitor's history map; null when the request could not be booked.
    static StartupSummary* Book(const void* monitor, const std::string& historyPath,
                                const HistoryBuffer& ring, const CaptureAdapters& adapters,
                                StartupSummary*& holder);

private:
    StartupSummary(const void* monitor, const RingGeometry& geometry, StartupSummary*& holder);

    StartupSummary*& m_Holder;
};

} // namespace vq
