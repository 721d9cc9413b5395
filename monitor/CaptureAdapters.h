#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vq {

class AdapterList;
class Event;
class PacketSink;

// What the monitor thread uses of its adapter set: the receive slots it waits on, servicing one of
// them, switching adapters between states, and the link speeds.
class CaptureAdapters {
public:
    // Adapter indexes; an empty list means every adapter.
    using List = std::vector<uint16_t>;

    virtual ~CaptureAdapters() = default;

    // Whether reads are posted on any adapter.
    virtual bool IsReceiving() const = 0;
    // Appends the event of every registered slot whose adapter receives and the slot number it
    // stands for, lowest slot first.
    virtual void CollectWaitSlots(std::vector<Event*>& events, std::vector<int32_t>& slots) const = 0;
    virtual bool ServiceSlot(int32_t slot) = 0;
    // Posts the receive buffers of the listed adapters.
    virtual bool Start(const List& list) = 0;
    virtual void Stop(const List& list) = 0;
    virtual void AfterStop(const List& list) = 0;
    // Pausing every adapter clears the global capture flag, resuming sets it.
    virtual void Pause(const List& list) = 0;
    virtual void Resume(const List& list) = 0;
    // Writing the frames of the listed adapters to capture files.
    virtual void StartCapture(const List& list) = 0;
    virtual void StopCapture(const List& list) = 0;
    // Whether reads are posted on the adapter.
    virtual bool IsCapturing(int index) const = 0;
    virtual int GetAdapterCount() const = 0;
    // Bits per second.
    virtual uint64_t GetLinkSpeed(int index) const = 0;
    // What the network model reads of the adapters; null when there is nothing to read.
    virtual const AdapterList* GetAdapterList() const { return nullptr; }
    // Where the adapters deliver their analysed frames; adapters that deliver none ignore it.
    virtual void SetPacketSink(PacketSink*) {}
};

// Opens the adapters with the given number of event slots.
using CaptureAdaptersFactory = std::function<std::unique_ptr<CaptureAdapters>(uint32_t slotCount)>;

} // namespace vq
