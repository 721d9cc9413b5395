#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace vq {

class CaptureAdapters;
class FrameView;
class Traffic;

// The counters of one data root: the network model's traffic, one conversation per tuple.
class TrafficStore {
public:
    virtual ~TrafficStore() = default;

    // Counts one analysed frame on the conversation of its tuple.
    virtual void AddPacket(const FrameView& frame) = 0;
    virtual void Clear() = 0;
    // Becomes an exact copy of the other's conversations.
    virtual void CopyFrom(const TrafficStore& other) = 0;
    // Adds the other's counters, conversation by conversation.
    virtual void Add(const TrafficStore& other) = 0;
    // These counters were moved in where a copy of them was due: they become what CopyFrom would have
    // made of them.
    virtual void SettleAsCopy() {}
    // The network model's conversations behind the counters; null for counters that keep none.
    // Checkpoints and history replies copy and fill them.
    virtual Traffic* GetConversations() const { return nullptr; }
    // The adapter set when it is set, and again on every tick; nothing counted depends on it.
    virtual void SetAdapters(const CaptureAdapters&) {}
    virtual void UpdateAdapters(const CaptureAdapters&) {}
};

// Makes the counters of a data root of a kind (1 for interval data). An empty factory gives data
// roots that count nothing.
using TrafficStoreFactory = std::function<std::unique_ptr<TrafficStore>(int32_t kind)>;

} // namespace vq
