#include "platform/packet/CaptureReadAhead.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace vq {
namespace {

// The fewest bytes per frame a block holds before its entries run out: a block of small frames
// fills up early, one of typical frames by its bytes. Bounds the entries a block reserves, so
// that filling it never allocates.
constexpr size_t kBytesPerEntry = 256;

} // namespace

CaptureReadAhead::CaptureReadAhead(std::unique_ptr<CaptureFileReader> reader, uint32_t frameCapacity)
    : reader_(std::move(reader)), frameCapacity_(frameCapacity), maxEntries_(kBlockBytes / kBytesPerEntry),
      blocks_(std::make_unique<Block[]>(kBlocks)) {
    if (frameCapacity_ == 0 || frameCapacity_ > kBlockBytes)
        throw std::invalid_argument("read-ahead frame capacity out of range");
    // Left unwritten: the pages a short file never reaches cost no memory.
    for (uint32_t index = 0; index < kBlocks; ++index) {
        blocks_[index].bytes = std::make_unique_for_overwrite<uint8_t[]>(kBlockBytes);
        blocks_[index].entries.reserve(maxEntries_);
    }
    thread_ = std::thread([this] { Run(); });
}

CaptureReadAhead::~CaptureReadAhead() {
    stopping_.store(true);
    // A change of the count the reader may sleep on, so that its wait returns.
    released_.fetch_add(kBlocks);
    released_.notify_one();
    thread_.join();
}

void CaptureReadAhead::Run() {
    for (uint32_t block = 0;; ++block) {
        // Sleep while the ring is full, and then until half of it is free again: a wake brings
        // several blocks of work, not one.
        if (block - released_.load() >= kBlocks) {
            for (;;) {
                readerSleeps_.store(true);
                const uint32_t released = released_.load();
                if (stopping_.load() || block - released <= kBlocks / 2) break;
                released_.wait(released);
            }
            readerSleeps_.store(false);
        }
        if (stopping_.load()) return;
        Block& filling = blocks_[block % kBlocks];
        Fill(filling);
        filled_.store(block + 1);
        if (playerSleeps_.exchange(false)) filled_.notify_one();
        if (filling.last) return;
    }
}

void CaptureReadAhead::Fill(Block& block) {
    block.entries.clear();
    block.last = false;
    size_t used = 0;
    RecordedFrame frame;
    while (block.entries.size() < maxEntries_ && used + frameCapacity_ <= kBlockBytes) {
        if (!reader_->Next(frame)) {
            block.last = true;
            return;
        }
        const uint32_t kept = std::min(frame.capturedLength, frameCapacity_);
        std::memcpy(block.bytes.get() + used, frame.data, kept);
        block.entries.push_back({frame.time, static_cast<uint32_t>(used), kept, frame.originalLength,
                                 frame.dropsBefore});
        used += kept;
    }
}

void CaptureReadAhead::Advance() {
    if (started_) {
        // The frame before the current one may still lie in the block before this one.
        if (playing_ > 0) {
            const uint32_t released = playing_;
            released_.store(released);
            if (filled_.load() - released <= kBlocks / 2 && readerSleeps_.exchange(false))
                released_.notify_one();
        }
        ++playing_;
    }
    started_ = true;
    nextEntry_ = 0;
    while (filled_.load() == playing_) {
        playerSleeps_.store(true);
        const uint32_t filled = filled_.load();
        if (filled == playing_) filled_.wait(filled);
        playerSleeps_.store(false);
    }
}

bool CaptureReadAhead::Next(RecordedFrame& frame) {
    if (!started_) Advance();
    for (;;) {
        const Block& block = blocks_[playing_ % kBlocks];
        if (nextEntry_ < block.entries.size()) break;
        if (block.last) return false;
        Advance();
    }
    const Block& block = blocks_[playing_ % kBlocks];
    const Entry& entry = block.entries[nextEntry_++];
    frame.time = entry.time;
    frame.capturedLength = entry.capturedLength;
    frame.originalLength = entry.originalLength;
    frame.dropsBefore = entry.dropsBefore;
    frame.data = block.bytes.get() + entry.offset;
    return true;
}

} // namespace vq
