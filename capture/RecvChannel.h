#pragma once

#include "capture/Channel.h"

namespace vq {

// A receive channel: a ring of buffers whose reads complete in posting order, taken one by one
// from the current position.
class RecvChannel : public Channel {
public:
    explicit RecvChannel(Adapter* adapter) : Channel(adapter, kReceive) {}

    bool Start() override;

    // Takes every completed buffer from the current one on, at most one ring's worth, so that
    // a flood on one adapter leaves the monitor's queue its turn. True also for an event whose
    // buffer was not ready.
    virtual bool Service();
    // Counts one received frame; false keeps the frame out of the data set.
    virtual bool Process(uint32_t index);
    virtual bool ScheduleRecv(uint32_t index) = 0;
    virtual bool ScheduleAll() = 0;
    virtual bool BufferReady(uint32_t index) = 0;
    // Whether the read of a buffer is posted; a buffer whose re-post failed is not.
    virtual bool IsPosted(uint32_t index) const = 0;

    // Lost frames before a frame with this sequence number, from the last one's (0: none yet),
    // both on their low 32 bits; a repeated or backward number counts its distance.
    static uint32_t LostBefore(uint32_t sequence, uint32_t last);

    uint64_t GetBadFrames() const { return badFrames_; }
    uint64_t GetCutFrames() const { return cutFrames_; }
    uint64_t GetShortFrames() const { return shortFrames_; }

protected:
    uint64_t badFrames_ = 0;
    uint64_t cutFrames_ = 0;
    uint64_t shortFrames_ = 0;
};

} // namespace vq
