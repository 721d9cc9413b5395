#pragma once

#include "capture/AdapterInfo.h"
#include "capture/PacketAdapter.h"
#include "netmodel/IpAddress.h"
#include "platform/packet/DriverRecord.h"
#include "platform/packet/Overlapped.h"
#include "platform/packet/PacketDriver.h"
#include "platform/thread/Event.h"

#include <memory>
#include <string>

namespace vq {

class AdapterSet;
class PacketSink;
class RecvChannel;

// One opened adapter: its driver handle, its receive channel, its IPv4 addresses and its
// description.
class Adapter : public PacketAdapter {
public:
    Adapter(AdapterSet* owner, const AdapterInfo& info);
    ~Adapter() override;
    Adapter(const Adapter&) = delete;
    Adapter& operator=(const Adapter&) = delete;

    virtual bool Open();
    virtual bool Close();
    virtual bool Prepare();
    virtual bool Start();
    virtual bool Stop();
    virtual bool Pause();
    virtual bool Resume();
    virtual bool SetFilterByMedium();
    virtual bool AfterStop() { return false; }
    virtual void AssignSlots(int32_t first, int32_t count);
    virtual void RegisterEvent(RecvChannel* channel, Event* event, int32_t bufferIndex);
    virtual bool OpenCaptureFile();
    virtual bool CloseCaptureFile();
    virtual bool SetPacketFilter(uint32_t filter);
    virtual bool AcquireMedium();
    virtual bool QueryVendorDescription();
    virtual bool QueryMaxTotalSize();
    virtual bool QueryLinkSpeed();
    virtual bool QueryCurrentAddress();
    virtual void CreateChannel() = 0;
    virtual uint32_t MakeRequest(NdisRequest& request) = 0;

    // What a packet asks of its adapter.
    int32_t GetMedium() const override { return info_.medium; }
    bool IsOwnAddress(std::span<const uint8_t, 6> mac, bool anyAdapter) const override;
    bool IsOwnIpAddress(uint32_t address, bool anyAdapter) const override;
    bool HasIpAddress() const override { return !info_.ipAddressText.empty(); }
    // Takes the address only when it is usable unicast: not 0.0.0.0, broadcast, multicast, 127/8
    // or 240/4.
    void LearnIpAddress(const std::string& text) override;
    int GetAdapterNumber() const override { return info_.index; }
    bool IsOwnIpxAddress(const uint8_t*, bool) const { return false; }
    bool IsOwnNetBiosName(const uint8_t*, bool) const { return false; }

    const AdapterInfo& GetInfo() const { return info_; }
    AdapterSet* GetOwner() const { return owner_; }
    PacketHandle GetHandle() const { return handle_; }
    RecvChannel* GetChannel() const { return channel_.get(); }
    int32_t GetFirstSlot() const { return firstSlot_; }
    int32_t GetSlotCount() const { return slotCount_; }
    bool IsOpen() const { return open_; }
    bool IsReceiving() const { return receiving_; }
    const IpAddress& GetIpAddress() const { return ipAddress_; }
    const IpAddress& GetNetworkAddress() const { return networkAddress_; }
    const IpAddress& GetMask() const { return mask_; }
    const IpAddress& GetBroadcastAddress() const { return broadcastAddress_; }
    PacketSink* GetPacketSink() const;
    void Report(int severity, const std::string& text, const char* className, const char* methodName) const;

protected:
    // Sets mask, network and broadcast addresses and their texts from the IP address and mask.
    void DeriveAddresses(uint32_t ip, uint32_t mask);
    bool Query(uint32_t oid, void* buffer, uint32_t size);

    AdapterSet* owner_;
    int32_t firstSlot_ = -1;
    bool open_ = false;
    bool receiving_ = false;
    PacketHandle handle_ = kInvalidPacketHandle;
    std::unique_ptr<Event> event_;
    Overlapped requestOverlap_;
    int32_t slotCount_ = 0;
    std::unique_ptr<RecvChannel> channel_;
    int32_t bufferCount_ = 0;
    IpAddress ipAddress_;
    IpAddress networkAddress_;
    IpAddress mask_;
    IpAddress broadcastAddress_;
    AdapterInfo info_;
};

// The adapter bound through the packet driver.
class WD_Adapter : public Adapter {
public:
    using Adapter::Adapter;
    ~WD_Adapter() override;

    bool Open() override;
    bool Close() override;
    void CreateChannel() override;
    uint32_t MakeRequest(NdisRequest& request) override;
};

} // namespace vq
