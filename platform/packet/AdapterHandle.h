#pragma once

#include "platform/packet/FrameSource.h"
#include "platform/packet/Overlapped.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace vq {

// One open adapter: its frame source and the reader thread that alone calls the source and fills
// posted reads in posting order. Reads pass from the posting thread to the reader through a
// single-producer single-consumer ring of atomics, so neither side takes a lock per frame.
// Posting wakes the reader only when it sleeps for want of reads. The reader sets the event of every
// read it completes but wakes the waiting owner only at the end of a burst (the source has nothing
// ready, or half the posted reads are complete), and then only when it sleeps: a burst costs at
// most one descriptor write.
// A source that is always ready (a file played as fast as reads are posted) gets no reader thread:
// Post and the filter request fill posted reads on the calling thread, which must be the handle's
// owner, so such a replay costs no wake and no context switch at all.
class AdapterHandle : private FrameSink {
public:
    // The most reads posted at once; a power of two.
    static constexpr size_t kMaxPosted = 4096;

    explicit AdapterHandle(std::unique_ptr<FrameSource> source);
    ~AdapterHandle() override; // joins the reader

    AdapterHandle(const AdapterHandle&) = delete;
    AdapterHandle& operator=(const AdapterHandle&) = delete;

    // False when the ring already holds kMaxPosted reads.
    bool Post(DriverRecord* record, uint32_t* bytesReturned, Overlapped* overlapped);
    uint32_t MakeRequest(NdisRequest& request);
    bool IsFinished() const { return finished_.load(std::memory_order_acquire); }

private:
    struct Read {
        DriverRecord* record;
        uint32_t* bytesReturned;
        Overlapped* overlapped;
    };

    void Run();
    // Fills every posted read the source can, in posting order, on the calling thread.
    void CompletePosted();
    void WaitForWork();
    void ApplyFilter();
    void Deliver(const Frame& frame) override;
    // Reads posted and not yet taken; reader thread only.
    int PostedCount();
    // Wakes the owner for the reads completed since the last wake.
    void EndBurst();
    void Wake();
    uint32_t SetFilter(uint32_t filter);
    uint32_t Answer(NdisRequest& request);

    std::unique_ptr<FrameSource> source_;
    const bool completesOnPost_;
    bool accepting_ = false; // completesOnPost_ only: what the last filter request asked
    int wakeFd_ = -1;

    // The ring of posted reads. Only the posting thread writes a slot and `head_`, only the reader
    // writes `tail_`: a slot is published by the store of `head_` that follows it and handed back
    // by the store of `tail_` after the reader copied it.
    std::unique_ptr<Read[]> ring_;
    std::atomic<uint64_t> head_{0};
    std::atomic<uint64_t> tail_{0};

    std::mutex mutex_; // the filter request and the stop, never per frame
    std::condition_variable filterApplied_;
    uint32_t wantedFilter_ = 0;
    uint64_t filterRequests_ = 0;
    uint64_t filterApplies_ = 0;
    bool stopping_ = false;

    // Reader thread only (the posting thread when completesOnPost_).
    size_t largestPosted_ = 0;
    size_t completedSinceWake_ = 0;
    size_t completedSinceSignal_ = 0;
    Event* unsignalled_ = nullptr;

    std::atomic<bool> idle_{false}; // the reader sleeps until enough reads are posted
    std::atomic<size_t> wakeThreshold_{1};
    std::atomic<bool> finished_{false};
    std::thread reader_; // none when completesOnPost_
};

} // namespace vq
