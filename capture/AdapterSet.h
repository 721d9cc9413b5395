#pragma once

#include "capture/Adapter.h"
#include "netmodel/AdapterList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace vq {

class CaptureReports;
class CaptureSettings;
class PacketSink;
class RecvChannel;
class RegistryNdis;

// Every opened adapter, the event slots that the monitor waits on and the receive channel behind
// each slot. It lives on the monitor thread from start-up to exit.
class AdapterSet : public AdapterList {
public:
    static constexpr int kMaxAdapters = 31;
    using List = std::vector<uint16_t>; // adapter indexes; empty means every adapter

    // Finds and opens the adapters and announces them (value 1). Opening nothing is no error: the
    // set stays empty and is announced all the same.
    AdapterSet(uint32_t slotCount, CaptureReports& reports, PacketSink* sink = nullptr);
    ~AdapterSet() override;
    AdapterSet(const AdapterSet&) = delete;
    AdapterSet& operator=(const AdapterSet&) = delete;

    virtual bool Start(const List& list);
    virtual void Stop(const List& list);
    virtual void Pause(const List& list);
    virtual void Resume(const List& list);
    virtual void AfterStop(const List& list);
    virtual bool StartCaptureOne(int index);
    virtual void StartCapture(const List& list);
    virtual bool StopCaptureOne(int index);
    virtual void StopCapture(const List& list);
    virtual void RegisterSlot(RecvChannel* channel, Event* event, int32_t bufferIndex, int32_t slot);
    virtual bool ServiceSlot(int32_t slot);
    virtual bool Open(RegistryNdis& reader);
    virtual void CloseAll();
    virtual std::unique_ptr<Adapter> CreateAdapter(int index, const AdapterInfo& info);
    virtual bool AllocateSlots();
    virtual int ForEach(bool (AdapterSet::*operation)(int), const List& list);
    virtual bool StartOne(int index);
    virtual bool StopOne(int index);
    virtual bool PauseOne(int index);
    virtual bool ResumeOne(int index);
    virtual bool AfterStopOne(int index);

    int GetSize() const { return static_cast<int>(adapters_.size()); }
    Adapter* GetAdapter(int index) const;
    uint32_t GetSlotCount() const { return slotCount_; }
    // The events the monitor waits on, one per slot; null where no buffer is registered.
    std::span<Event* const> GetEvents() const { return events_; }
    uint64_t GetTotalLinkSpeed() const { return totalLinkSpeed_; }
    bool IsOpened() const { return opened_; }
    bool IsReceiving() const { return receiving_; }
    // Whether every adapter replays a file that it has delivered whole.
    bool IsReplayFinished() const;

    // Whether an adapter other than `except` owns the hardware or IPv4 address.
    bool IsOwnAddress(std::span<const uint8_t, 6> mac, const Adapter* except) const;
    bool IsOwnIpAddress(uint32_t address, const Adapter* except) const;

    // What the interface table reads of the adapters.
    int GetAdapterCount() const override { return GetSize(); }
    std::string GetServiceName(int index) const override;
    std::string GetDescription(int index) const override;
    std::string GetIpAddressText(int index) const override;
    const uint8_t* GetCurrentAddress(int index) const override;
    uint32_t GetMedium(int index) const override;
    uint32_t GetMaximumTotalSize(int index) const override;
    // Bits per second, held at 2^32 - 1 for faster links.
    uint64_t GetLinkSpeed(int index) const override;

    CaptureReports& GetReports() const { return reports_; }
    PacketSink* GetPacketSink() const { return sink_; }
    void SetPacketSink(PacketSink* sink) { sink_ = sink; }
    const CaptureSettings* GetCaptureSettings() const { return captureSettings_; }
    void SetCaptureSettings(const CaptureSettings* settings) { captureSettings_ = settings; }

private:
    void Announce();

    uint32_t slotCount_;
    CaptureReports& reports_;
    PacketSink* sink_;
    const CaptureSettings* captureSettings_ = nullptr;
    std::vector<Event*> events_;
    std::vector<RecvChannel*> channels_;
    uint64_t totalLinkSpeed_ = 0;
    bool opened_ = false;
    bool receiving_ = false;
    std::vector<std::unique_ptr<Adapter>> adapters_;
};

} // namespace vq
