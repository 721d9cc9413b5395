#pragma once

#include "capture/AdapterSet.h"
#include "capture/CaptureReports.h"
#include "monitor/CaptureAdapters.h"

#include <memory>

namespace vq {

// The monitor's view of the capture adapter set: the slots of receiving adapters, the adapters'
// states and their 64-bit link speeds.
class MonitorAdapters : public CaptureAdapters {
public:
    // Opens the adapters with the slot count; frames go to the sink.
    MonitorAdapters(uint32_t slotCount, PacketSink* sink);
    ~MonitorAdapters() override;

    bool IsReceiving() const override { return m_Set->IsReceiving(); }
    void CollectWaitSlots(std::vector<Event*>& events, std::vector<int32_t>& slots) const override;
    bool ServiceSlot(int32_t slot) override { return m_Set->ServiceSlot(slot); }
    bool Start(const List& list) override { return m_Set->Start(list); }
    void Stop(const List& list) override { m_Set->Stop(list); }
    void AfterStop(const List& list) override { m_Set->AfterStop(list); }
    void Pause(const List& list) override { m_Set->Pause(list); }
    void Resume(const List& list) override { m_Set->Resume(list); }
    void StartCapture(const List& list) override { m_Set->StartCapture(list); }
    void StopCapture(const List& list) override { m_Set->StopCapture(list); }
    bool IsCapturing(int index) const override;
    int GetAdapterCount() const override { return m_Set->GetSize(); }
    uint64_t GetLinkSpeed(int index) const override;
    const AdapterList* GetAdapterList() const override { return m_Set.get(); }
    void SetPacketSink(PacketSink* sink) override { m_Set->SetPacketSink(sink); }

    AdapterSet& GetSet() const { return *m_Set; }

private:
    // Reports and snapshots of the set go to the main thread.
    class Reports : public NotifyingCaptureReports {
    public:
        void Announce(std::unique_ptr<AdapterInfoSet> adapters, int value) override;
    };

    Reports m_Reports;
    std::unique_ptr<AdapterSet> m_Set;
};

} // namespace vq
