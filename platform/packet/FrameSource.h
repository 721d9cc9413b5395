#pragma once

#include "platform/packet/DriverRecord.h"

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

namespace vq {

// One frame as a source hands it to the reader thread; data stays valid only during the call.
struct Frame {
    uint32_t status = 0;
    uint64_t sequence = 0;
    uint64_t time = 0; // 100-ns ticks since 1601
    uint32_t capturedLength = 0;
    uint32_t originalLength = 0;
    const uint8_t* data = nullptr;
};

// What the requests of an adapter answer.
struct AdapterFacts {
    std::array<uint8_t, 6> mac{};
    uint64_t speed = 0; // bits per second, 0 when unknown
    uint32_t mtu = 1500;
    std::string vendor;
};

// Receives frames from a source.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    virtual void Deliver(const Frame& frame) = 0;
};

// What the reader thread waits on when a source has nothing to deliver now.
struct SourceWait {
    int fd = -1;             // readable when frames may be there; -1 none
    const timespec* timeout; // null: until the fd or the wake descriptor
};

// Where an adapter's frames come from: a live interface or a capture file. Every call comes from
// the handle's reader thread (the posting thread for a source that is always ready), except Facts.
class FrameSource {
public:
    virtual ~FrameSource() = default;

    // Hands up to `limit` frames to the sink; returns how many.
    virtual int Dispatch(int limit, FrameSink& sink) = 0;
    // What to wait on after a dispatch that delivered nothing.
    virtual SourceWait Wait() = 0;
    // Accept-all or accept-nothing; going to accept-nothing discards what is buffered.
    virtual void SetAccepting(bool accepting) = 0;
    virtual bool IsFinished() const { return false; }
    // Whether every frame is there the moment it is asked for (a file played as fast as reads are
    // posted): such a source needs no reader thread, its reads complete on the posting thread.
    virtual bool IsAlwaysReady() const { return false; }

    // Read fresh on every call; safe from any thread.
    virtual AdapterFacts Facts() const = 0;
};

} // namespace vq
