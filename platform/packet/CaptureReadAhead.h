#pragma once

#include "platform/packet/CaptureFileReader.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace vq {

// Reads a capture file on a thread of its own, ahead of the thread that plays it, so that the
// player's frames cost a look into memory instead of the file reads and the format's parsing.
// Frames travel in a few large blocks through a single-producer single-consumer ring of atomics:
// no lock per frame, and a wake only when one side sleeps, at most once per half ring of blocks.
// The blocks are large so that a file of hundreds of megabytes costs the reader a few hundred
// sleeps at most.
class CaptureReadAhead {
public:
    // Keeps at most `frameCapacity` bytes of each frame.
    CaptureReadAhead(std::unique_ptr<CaptureFileReader> reader, uint32_t frameCapacity);
    ~CaptureReadAhead(); // stops and joins the reading thread

    CaptureReadAhead(const CaptureReadAhead&) = delete;
    CaptureReadAhead& operator=(const CaptureReadAhead&) = delete;

    // The next frame, waiting for the reading thread when it is behind; false at the end of the
    // file. The data of the two latest frames stays valid: a player may look one frame ahead.
    bool Next(RecordedFrame& frame);

private:
    static constexpr uint32_t kBlocks = 6;
    static constexpr size_t kBlockBytes = 1 << 20;

    struct Entry {
        uint64_t time;
        uint32_t offset;
        uint32_t capturedLength;
        uint32_t originalLength;
        uint32_t dropsBefore;
    };
    struct Block {
        std::unique_ptr<uint8_t[]> bytes;
        std::vector<Entry> entries;
        bool last = false; // the file ends with this block's frames
    };

    void Run();
    void Fill(Block& block);
    // Player: moves on to the next block, handing back the one before the current.
    void Advance();

    std::unique_ptr<CaptureFileReader> reader_;
    const uint32_t frameCapacity_;
    const size_t maxEntries_;
    std::unique_ptr<Block[]> blocks_;

    // Blocks counted from the start of the file, modulo 2^32. Only the reader writes `filled_`,
    // only the player writes `released_`: a block is published by the store of `filled_` that
    // follows its filling and handed back by the store of `released_` after the player's last
    // look into it. Each side announces its sleep in its flag before looking at the other's
    // counter one last time; both sequentially consistent, so either the sleeper sees the new
    // count or the other side sees the flag and wakes it.
    std::atomic<uint32_t> filled_{0};
    std::atomic<uint32_t> released_{0};
    std::atomic<bool> playerSleeps_{false};
    std::atomic<bool> readerSleeps_{false};
    std::atomic<bool> stopping_{false};

    // Player only.
    uint32_t playing_ = 0; // the block the player reads, valid once `started_`
    size_t nextEntry_ = 0;
    bool started_ = false;

    std::thread thread_;
};

} // namespace vq
