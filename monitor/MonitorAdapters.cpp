#include "monitor/MonitorAdapters.h"

#include "capture/Adapter.h"
#include "capture/AdapterInfo.h"
#include "monitor/MonitorStateMessage.h"

namespace vq {

MonitorAdapters::MonitorAdapters(uint32_t slotCount, PacketSink* sink)
    : m_Set(std::make_unique<AdapterSet>(slotCount, m_Reports, sink)) {}

MonitorAdapters::~MonitorAdapters() = default;

// Adapters hold contiguous runs of slots in adapter order, so the slots come out ascending.
void MonitorAdapters::CollectWaitSlots(std::vector<Event*>& events, std::vector<int32_t>& slots) const {
    const std::span<Event* const> all = m_Set->GetEvents();
    for (int index = 0; index < m_Set->GetSize(); ++index) {
        const Adapter* adapter = m_Set->GetAdapter(index);
        if (!adapter || !adapter->IsReceiving() || adapter->GetFirstSlot() < 0) continue;
        const int32_t end = adapter->GetFirstSlot() + adapter->GetSlotCount();
        for (int32_t slot = adapter->GetFirstSlot(); slot < end && slot < int32_t(all.size()); ++slot) {
            if (!all[size_t(slot)]) continue;
            events.push_back(all[size_t(slot)]);
            slots.push_back(slot);
        }
    }
}

bool MonitorAdapters::IsCapturing(int index) const {
    const Adapter* adapter = m_Set->GetAdapter(index);
    return adapter && adapter->IsReceiving();
}

void MonitorAdapters::Reports::Announce(std::unique_ptr<AdapterInfoSet> adapters, int value) {
    MonitorStateAdaptersMessage::Announce(std::move(adapters), value);
}

uint64_t MonitorAdapters::GetLinkSpeed(int index) const {
    const Adapter* adapter = m_Set->GetAdapter(index);
    return adapter ? adapter->GetInfo().linkSpeed : 0;
}

} // namespace vq
