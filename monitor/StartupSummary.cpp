#include "monitor/StartupSummary.h"

#include "monitor/HistoryBuffer.h"
#include "netmodel/Tuple.h"
#include "netmodel/TupleKey.h"
#include "runtime/TimeUnits.h"

#include <new>

namespace vq {

StartupSummary::StartupSummary(const void* monitor, const RingGeometry& geometry, StartupSummary*& holder)
    : MonitorSummary(monitor, SOURCE_HISTORY, SCOPE_DATA_SET, TimeSpan(300'000, Unit::Milliseconds), 0,
                     geometry),
      m_Holder(holder) {}

StartupSummary::~StartupSummary() {
    if (m_Holder == this) m_Holder = nullptr;
}

StartupSummary* StartupSummary::Book(const void* monitor, const std::string& historyPath,
                                     const HistoryBuffer& ring, const CaptureAdapters& adapters,
                                     StartupSummary*& holder) {
    // Its own ring's shape: nothing here reads a copy kept for other threads.
    const RingGeometry geometry{ring.GetInterval(), ring.GetCount()};
    std::unique_ptr<StartupSummary> summary(new StartupSummary(monitor, geometry, holder));
    summary->SetName(historyPath);
    // Every interface, every tuple.
    summary->AddSelection(std::make_unique<Tuple>(uint16_t(0xFFFF), KEY_Interface));
    summary->AddPeriod(ring.GetInterval());
    summary->AddDefaultElement();
    summary->SetAdapters(adapters);
    holder = summary.get();
    summary->Start(nullptr);
    // Waiting in the history map, it belongs to the holder until the answer starts it.
    if (summary->GetHistoryMap() == nullptr) return nullptr;
    return summary.release();
}

} // namespace vq
