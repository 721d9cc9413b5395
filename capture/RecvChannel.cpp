#include "capture/RecvChannel.h"

namespace vq {

bool RecvChannel::Start() {
    bool started = Channel::Start();
    return ScheduleAll() && started;
}

uint32_t RecvChannel::LostBefore(uint32_t sequence, uint32_t last) {
    if (last == 0) return 0;
    uint32_t expected = last + 1;
    return expected < sequence ? sequence - expected : expected - sequence;
}

bool RecvChannel::Process(uint32_t) {
    ++framesReceived_;
    return true;
}

bool RecvChannel::Service() {
    if (bufferCount_ == 0) return true;
    for (uint32_t step = 0; step < bufferCount_; ++step) {
        uint32_t index = current_;
        // A buffer whose re-post failed completes nothing: post it again now, behind the others.
        if (IsPosted(index)) {
            if (!BufferReady(index)) return true;
            Process(index);
        }
        ScheduleRecv(index);
        current_ = index + 1 == bufferCount_ ? 0 : index + 1;
    }
    return true;
}

} // namespace vq
