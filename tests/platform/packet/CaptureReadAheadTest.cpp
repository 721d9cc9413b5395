#include "platform/packet/CaptureReadAhead.h"

#include <gtest/gtest.h>
#include <vector>

namespace vq {
namespace {

// Frame `n` has n % 1700 captured bytes, each (n + offset) % 251, and reports n in its other
// fields; every call reuses one buffer, as the file readers do.
class CountingReader : public CaptureFileReader {
public:
    explicit CountingReader(uint64_t frames) : frames_(frames), buffer_(1700) {}

    static uint32_t LengthOf(uint64_t n) { return static_cast<uint32_t>(n % 1700); }
    static uint8_t ByteOf(uint64_t n, uint32_t offset) { return static_cast<uint8_t>((n + offset) % 251); }

    bool Next(RecordedFrame& frame) override {
        if (next_ == frames_) return false;
        const uint64_t n = next_++;
        frame.capturedLength = LengthOf(n);
        for (uint32_t offset = 0; offset < frame.capturedLength; ++offset)
            buffer_[offset] = ByteOf(n, offset);
        frame.time = n * 10;
        frame.originalLength = static_cast<uint32_t>(n + 5000);
        frame.dropsBefore = static_cast<uint32_t>(n % 3);
        frame.data = buffer_.data();
        return true;
    }

private:
    uint64_t frames_;
    uint64_t next_ = 0;
    std::vector<uint8_t> buffer_;
};

bool HoldsFrame(const RecordedFrame& frame, uint64_t n, uint32_t capacity) {
    const uint32_t kept = std::min(CountingReader::LengthOf(n), capacity);
    if (frame.capturedLength != kept || frame.time != n * 10 || frame.originalLength != n + 5000 ||
        frame.dropsBefore != n % 3)
        return false;
    for (uint32_t offset = 0; offset < kept; ++offset)
        if (frame.data[offset] != CountingReader::ByteOf(n, offset)) return false;
    return true;
}

// Enough frames to go round the ring of blocks several times, so the reader sleeps and is woken
// again; each frame is checked whole, and so is the one before it, which a player may still copy
// after looking one frame ahead.
TEST(CaptureReadAhead, EveryFrameArrivesInOrderWholeAndTheOneBeforeStaysValid) {
    constexpr uint64_t kFrames = 60000;
    constexpr uint32_t kCapacity = 1536;
    CaptureReadAhead frames(std::make_unique<CountingReader>(kFrames), kCapacity);
    RecordedFrame previous;
    RecordedFrame frame;
    for (uint64_t n = 0; n < kFrames; ++n) {
        ASSERT_TRUE(frames.Next(frame)) << n;
        ASSERT_TRUE(HoldsFrame(frame, n, kCapacity)) << n;
        if (n > 0) {
            ASSERT_TRUE(HoldsFrame(previous, n - 1, kCapacity)) << n;
        }
        previous = frame;
    }
    EXPECT_FALSE(frames.Next(frame));
    EXPECT_FALSE(frames.Next(frame));
}

TEST(CaptureReadAhead, EmptyFilesEndAndAPlayerMayStopAtAnyPoint) {
    {
        CaptureReadAhead frames(std::make_unique<CountingReader>(0), 1536);
        RecordedFrame frame;
        EXPECT_FALSE(frames.Next(frame));
    }
    for (uint64_t taken : {0, 1, 5000}) {
        CaptureReadAhead frames(std::make_unique<CountingReader>(100000), 1536);
        RecordedFrame frame;
        for (uint64_t n = 0; n < taken; ++n)
            ASSERT_TRUE(frames.Next(frame));
        // Leaving with the reader asleep on a full ring or still reading must not hang.
    }
}

} // namespace
} // namespace vq
