#pragma once

#include "platform/packet/FrameSource.h"
#include "platform/packet/Overlapped.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace vq {

// One open adapter: its frame source and the reader thread that alone calls the source and fills
// posted reads in posting order. Posting wakes the reader only when it sleeps for want of reads,
// and a completion signals the read's event, so a burst costs no descriptor write per frame.
class AdapterHandle : private FrameSink {
public:
    explicit AdapterHandle(std::unique_ptr<FrameSource> source);
    ~AdapterHandle() override; // joins the reader

    AdapterHandle(const AdapterHandle&) = delete;
    AdapterHandle& operator=(const AdapterHandle&) = delete;

    void Post(DriverRecord* record, uint32_t* bytesReturned, Overlapped* overlapped);
    uint32_t MakeRequest(NdisRequest& request);
    bool IsFinished() const { return finished_.load(std::memory_order_acquire); }

private:
    struct Read {
        DriverRecord* record;
        uint32_t* bytesReturned;
        Overlapped* overlapped;
    };

    void Run();
    void WaitForWork();
    void ApplyFilter();
    void Deliver(const Frame& frame) override;
    int PostedCount();
    void Wake();
    uint32_t SetFilter(uint32_t filter);
    uint32_t Answer(NdisRequest& request);

    std::unique_ptr<FrameSource> source_;
    int wakeFd_ = -1;

    std::mutex mutex_;
    std::condition_variable filterApplied_;
    std::deque<Read> posted_;
    uint32_t wantedFilter_ = 0;
    uint64_t filterRequests_ = 0;
    uint64_t filterApplies_ = 0;
    bool stopping_ = false;

    size_t largestPosted_ = 0;
    size_t completedSinceWake_ = 0; // reader thread only

    std::atomic<bool> idle_{false}; // the reader sleeps until enough reads are posted
    std::atomic<size_t> wakeThreshold_{1};
    std::atomic<bool> finished_{false};
    std::thread reader_;
};

} // namespace vq
