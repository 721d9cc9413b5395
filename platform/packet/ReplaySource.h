#pragma once

#include "platform/packet/CaptureReadAhead.h"
#include "platform/packet/DeviceName.h"
#include "platform/packet/FrameSource.h"

#include <memory>

namespace vq {

// Frames of a capture file delivered as a live adapter would, with the sequence faults its
// options ask for. Frames wait while the filter accepts nothing. The file is read ahead on a
// thread of its own, so whichever thread plays it only copies each frame into its read.
class ReplaySource : public FrameSource {
public:
    // Throws std::system_error as CaptureFileReader::Open says, EIO when told to fail.
    ReplaySource(const std::string& path, const ReplayOptions& options);

    int Dispatch(int limit, FrameSink& sink) override;
    SourceWait Wait() override;
    void SetAccepting(bool accepting) override;
    bool IsFinished() const override { return finished_; }
    bool IsAlwaysReady() const override { return options_.pace <= 0; }
    AdapterFacts Facts() const override;

private:
    void Load();
    uint64_t NextSequence(uint64_t frameNumber, uint32_t drops);
    uint32_t StatusOf(uint64_t frameNumber) const;
    // Whether the pending frame's time has come in a paced replay.
    bool Due();

    ReplayOptions options_;
    std::unique_ptr<CaptureReadAhead> frames_;
    bool accepting_ = false;
    bool finished_ = false;
    bool loaded_ = false;
    RecordedFrame pending_;
    uint64_t frameNumber_ = 0;
    uint64_t sequence_ = 0;
    // Pace: the wall time (monotonic ns) at which the file time `paceFileStart_` is due.
    bool paceStarted_ = false;
    int64_t paceWallStart_ = 0;
    uint64_t paceFileStart_ = 0;
    timespec waitFor_{};
};

} // namespace vq
