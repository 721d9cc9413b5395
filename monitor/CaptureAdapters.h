#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vq {

class AdapterList;
class Event;

// What the monitor thread uses of its adapter set: the receive slots it waits on, servicing one of
// them, pausing and resuming every adapter, and the link speeds.
class CaptureAdapters {
public:
    virtual ~CaptureAdapters() = default;

    // Whether reads are posted on any adapter.
    virtual bool IsReceiving() const = 0;
    // Appends the event of every registered slot whose adapter receives and the slot number it
    // stands for, lowest slot first.
    virtual void CollectWaitSlots(std::vector<Event*>& events, std::vector<int32_t>& slots) const = 0;
    virtual bool ServiceSlot(int32_t slot) = 0;
    // Every adapter; clears the global capture flag.
    virtual void Pause() = 0;
    // Every adapter; sets the global capture flag.
    virtual void Resume() = 0;
    virtual int GetAdapterCount() const = 0;
    // Bits per second.
    virtual uint64_t GetLinkSpeed(int index) const = 0;
    // What the network model reads of the adapters; null when there is nothing to read.
    virtual const AdapterList* GetAdapterList() const { return nullptr; }
};

// Opens the adapters with the given number of event slots.
using CaptureAdaptersFactory = std::function<std::unique_ptr<CaptureAdapters>(uint32_t slotCount)>;

} // namespace vq
