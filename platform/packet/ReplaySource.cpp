#include "platform/packet/ReplaySource.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <time.h>

namespace vq {
namespace {

int64_t MonotonicNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

ReplaySource::ReplaySource(const std::string& path, const ReplayOptions& options) : options_(options) {
    if (options.openFail) throw std::system_error(EIO, std::generic_category(), "replay told to fail");
    frames_ = std::make_unique<CaptureReadAhead>(CaptureFileReader::Open(path), DriverRecord::kDataCapacity);
    Load();
}

void ReplaySource::Load() {
    loaded_ = frames_->Next(pending_);
    finished_ = !loaded_;
    // Another thread wrote the frame: start bringing it into this core's cache now, so that the
    // copy into its read, one frame's work later, does not wait for it.
    if (loaded_)
        for (uint32_t offset = 0; offset < pending_.capturedLength; offset += 64)
            __builtin_prefetch(pending_.data + offset);
}

uint64_t ReplaySource::NextSequence(uint64_t frameNumber, uint32_t drops) {
    uint64_t sequence = sequence_ + 1 + drops;
    for (const auto& gap : options_.gaps)
        if (gap.frame == frameNumber) sequence += gap.count;
    for (const auto& back : options_.backs)
        if (back.frame == frameNumber) sequence -= back.count;
    if (std::find(options_.duplicates.begin(), options_.duplicates.end(), frameNumber) !=
        options_.duplicates.end())
        sequence = sequence_;
    sequence_ = sequence;
    return sequence;
}

uint32_t ReplaySource::StatusOf(uint64_t frameNumber) const {
    for (const auto& status : options_.statuses)
        if (status.frame == frameNumber) return status.code;
    return 0;
}

bool ReplaySource::Due() {
    int64_t now = MonotonicNanoseconds();
    if (!paceStarted_) {
        paceStarted_ = true;
        paceWallStart_ = now;
        paceFileStart_ = pending_.time;
        return true;
    }
    if (pending_.time <= paceFileStart_) return true;
    double offset = double(pending_.time - paceFileStart_) * 100.0 / options_.pace;
    int64_t due = paceWallStart_ + static_cast<int64_t>(std::min(offset, 4.0e18));
    if (now >= due) return true;
    int64_t remaining = due - now;
    waitFor_ = {static_cast<time_t>(remaining / 1000000000), static_cast<long>(remaining % 1000000000)};
    return false;
}

int ReplaySource::Dispatch(int limit, FrameSink& sink) {
    int delivered = 0;
    while (delivered < limit && accepting_ && loaded_ && (options_.pace <= 0 || Due())) {
        ++frameNumber_;
        Frame frame;
        frame.sequence = NextSequence(frameNumber_, pending_.dropsBefore);
        frame.status = StatusOf(frameNumber_);
        frame.time = pending_.time;
        frame.capturedLength = pending_.capturedLength;
        frame.originalLength = pending_.originalLength;
        // Read ahead first, so the end of the file is known before the last frame completes; the
        // frame's data stays valid across one more read.
        frame.data = pending_.data;
        Load();
        sink.Deliver(frame);
        ++delivered;
    }
    return delivered;
}

SourceWait ReplaySource::Wait() {
    if (!accepting_ || !loaded_) return {-1, nullptr};
    return {-1, &waitFor_};
}

void ReplaySource::SetAccepting(bool accepting) {
    // A paced replay goes on from where it was paused, not from where the clock now stands.
    if (accepting && !accepting_) paceStarted_ = false;
    accepting_ = accepting;
}

AdapterFacts ReplaySource::Facts() const {
    AdapterFacts facts;
    facts.mac = options_.mac;
    facts.speed = options_.speed;
    facts.vendor = "replay";
    return facts;
}

} // namespace vq
