#include "platform/packet/AdapterHandle.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VQ_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define VQ_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define VQ_POISON(address, size) ((void)(address), (void)(size))
#define VQ_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace vq {
namespace {

bool IsOtherMediumAddress(uint32_t oid) {
    switch (oid) {
    case 0x02010102:
    case 0x03010102:
    case 0x04010102:
    case 0x05010102:
    case 0x06010102:
    case 0x08010105:
    case 0x0901010C:
        return true;
    default:
        return false;
    }
}

uint32_t Write(NdisRequest& request, const void* value, uint32_t size) {
    if (request.type != NdisRequest::kQuery) return ndis::kStatusNotSupported;
    request.bytesNeeded = size;
    if (request.buffer == nullptr || request.bufferLength < size) return ndis::kStatusBufferTooShort;
    std::memcpy(request.buffer, value, size);
    request.bytesWritten = size;
    return ndis::kStatusSuccess;
}

uint32_t WriteWord(NdisRequest& request, uint32_t value) {
    return Write(request, &value, sizeof value);
}

void DrainWake(int fd) {
    uint64_t count;
    while (read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

} // namespace

AdapterHandle::AdapterHandle(std::unique_ptr<FrameSource> source)
    : source_(std::move(source)), completesOnPost_(source_->IsAlwaysReady()),
      ring_(std::make_unique<Read[]>(kMaxPosted)) {
    finished_.store(source_->IsFinished());
    if (completesOnPost_) return;
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    reader_ = std::thread([this] { Run(); });
}

AdapterHandle::~AdapterHandle() {
    if (reader_.joinable()) {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        Wake();
        reader_.join();
    }
    if (wakeFd_ >= 0) close(wakeFd_);
    for (uint64_t index = tail_.load(); index != head_.load(); ++index)
        VQ_UNPOISON(ring_[index % kMaxPosted].record, sizeof(DriverRecord));
}

bool AdapterHandle::Post(DriverRecord* record, uint32_t* bytesReturned, Overlapped* overlapped) {
    const uint64_t head = head_.load(std::memory_order_relaxed);
    // Acquire: the reader is done with the slot it handed back.
    if (head - tail_.load(std::memory_order_acquire) >= kMaxPosted) return false;
    if (overlapped->event) overlapped->event->Reset();
    overlapped->completed.store(false, std::memory_order_relaxed);
    // Until it completes, the record belongs to the reader thread: touching it is a fault.
    VQ_POISON(record, sizeof *record);
    ring_[head % kMaxPosted] = {record, bytesReturned, overlapped};
    // Publishes the slot (and the reset above) to the reader. Sequentially consistent, as is the
    // exchange of `idle_` after it and the reader's store of `idle_` before it counts again: either
    // the reader sees this read or this thread sees the reader asleep and wakes it.
    head_.store(head + 1);
    if (completesOnPost_) {
        CompletePosted();
        return true;
    }
    const uint64_t count = head + 1 - tail_.load(std::memory_order_relaxed);
    if (count >= wakeThreshold_.load() && idle_.exchange(false)) Wake();
    return true;
}

void AdapterHandle::Wake() {
    uint64_t one = 1;
    while (write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

int AdapterHandle::PostedCount() {
    // Sequentially consistent, pairing with the store in Post; it also acquires the slots.
    const size_t posted = size_t(head_.load() - tail_.load(std::memory_order_relaxed));
    largestPosted_ = std::max(largestPosted_, posted);
    return static_cast<int>(posted);
}

void AdapterHandle::EndBurst() {
    completedSinceSignal_ = 0;
    if (Event* event = std::exchange(unsignalled_, nullptr)) event->WakeWaiter();
}

// With no reader thread every step below happens on the owner's thread in program order: the read
// is published, filled and marked complete (the same release store as on the reader) before Post
// or the filter request returns, so the owner's acquire load of `completed` sees the record, and a
// read never completes ahead of one posted before it because the ring is taken from its tail. An
// event set here wakes its waiter only if that waiter sleeps, which the owner itself never does
// while it posts.
void AdapterHandle::CompletePosted() {
    if (!accepting_) return;
    const int posted = PostedCount();
    if (posted > 0) source_->Dispatch(posted, *this);
    EndBurst();
}

void AdapterHandle::Run() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
        }
        ApplyFilter();
        int posted = PostedCount();
        if (posted == 0) {
            WaitForWork();
            continue;
        }
        const int delivered = source_->Dispatch(posted, *this);
        // Nothing more is ready, or every posted read is filled: the owner may take the burst.
        EndBurst();
        if (delivered > 0) continue;
        SourceWait wait = source_->Wait();
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {wait.fd, POLLIN, 0}};
        int count = ppoll(fds, wait.fd >= 0 ? 2 : 1, wait.timeout, nullptr);
        if (count > 0 && (fds[0].revents & POLLIN)) DrainWake(wakeFd_);
    }
}

void AdapterHandle::WaitForWork() {
    // After a burst the reads come back in a batch: waking for half of them, not for each, keeps
    // a flood from costing a wake per frame. Every read the reader filled is posted again in time,
    // so the threshold is always reached.
    wakeThreshold_.store(std::max<size_t>(1, std::min(completedSinceWake_, largestPosted_) / 2));
    completedSinceWake_ = 0;
    idle_.store(true);
    if (size_t(PostedCount()) >= wakeThreshold_.load()) {
        idle_.store(false);
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (stopping_ || filterApplies_ != filterRequests_) {
            idle_.store(false);
            return;
        }
    }
    pollfd fd{wakeFd_, POLLIN, 0};
    while (ppoll(&fd, 1, nullptr, nullptr) < 0 && errno == EINTR) {
    }
    idle_.store(false);
    DrainWake(wakeFd_);
}

void AdapterHandle::ApplyFilter() {
    std::unique_lock lock(mutex_);
    if (filterApplies_ == filterRequests_) return;
    uint64_t request = filterRequests_;
    bool accepting = wantedFilter_ != ndis::kFilterNone;
    lock.unlock();
    source_->SetAccepting(accepting);
    lock.lock();
    filterApplies_ = request;
    filterApplied_.notify_all();
}

// Called only for reads PostedCount saw, so the slot was published before.
void AdapterHandle::Deliver(const Frame& frame) {
    const uint64_t tail = tail_.load(std::memory_order_relaxed);
    const Read read = ring_[tail % kMaxPosted];
    // Release: the slot is copied out before the poster may write it again.
    tail_.store(tail + 1, std::memory_order_release);
    ++completedSinceWake_;
    VQ_UNPOISON(read.record, sizeof *read.record);
    DriverRecord& record = *read.record;
    uint32_t captured = std::min(frame.capturedLength, DriverRecord::kDataCapacity);
    record.status = frame.status;
    record.sequence = frame.sequence;
    record.time = frame.time;
    record.capturedLength = captured;
    record.originalLength = frame.originalLength;
    std::memcpy(record.data, frame.data, captured);
    uint32_t bytes = static_cast<uint32_t>(offsetof(DriverRecord, data)) + captured;
    *read.bytesReturned = bytes;
    read.overlapped->bytes = bytes;
    Event* event = read.overlapped->event;
    // Release: the record and the byte counts are written before the owner can see the read done.
    read.overlapped->completed.store(true, std::memory_order_release);
    // After the completion: whoever sees the source finished sees its last read complete.
    if (source_->IsFinished()) finished_.store(true, std::memory_order_release);
    if (event) {
        event->SetWithoutWake();
        unsignalled_ = event;
    }
    // Half the posted reads complete: let the owner start on them while the burst goes on.
    if (++completedSinceSignal_ >= std::max<size_t>(1, largestPosted_ / 2)) EndBurst();
}

uint32_t AdapterHandle::SetFilter(uint32_t filter) {
    if (filter != ndis::kFilterNone && filter != ndis::kFilterDirectedPromiscuous)
        return ndis::kStatusNotSupported;
    if (completesOnPost_) {
        accepting_ = filter != ndis::kFilterNone;
        source_->SetAccepting(accepting_);
        CompletePosted();
        return ndis::kStatusSuccess;
    }
    std::unique_lock lock(mutex_);
    wantedFilter_ = filter;
    uint64_t request = ++filterRequests_;
    lock.unlock();
    Wake();
    lock.lock();
    filterApplied_.wait(lock, [&] { return filterApplies_ >= request; });
    return ndis::kStatusSuccess;
}

uint32_t AdapterHandle::MakeRequest(NdisRequest& request) {
    request.bytesWritten = 0;
    request.bytesNeeded = 0;
    if (request.oid == ndis::kOidCurrentPacketFilter) {
        if (request.type != NdisRequest::kSet) return ndis::kStatusNotSupported;
        request.bytesNeeded = sizeof(uint32_t);
        if (request.buffer == nullptr || request.bufferLength < sizeof(uint32_t))
            return ndis::kStatusBufferTooShort;
        uint32_t filter;
        std::memcpy(&filter, request.buffer, sizeof filter);
        uint32_t status = SetFilter(filter);
        if (status == ndis::kStatusSuccess) request.bytesWritten = sizeof filter;
        return status;
    }
    return Answer(request);
}

uint32_t AdapterHandle::Answer(NdisRequest& request) {
    if (IsOtherMediumAddress(request.oid)) return ndis::kStatusNotSupported;
    switch (request.oid) {
    case ndis::kOidMediumInUse:
        return WriteWord(request, ndis::kMedium8023);
    case ndis::kOid8023CurrentAddress: {
        AdapterFacts facts = source_->Facts();
        return Write(request, facts.mac.data(), facts.mac.size());
    }
    case ndis::kOidLinkSpeed: {
        // The answer counts 100 bit/s units in 32 bits.
        uint64_t units = source_->Facts().speed / 100;
        return WriteWord(request, static_cast<uint32_t>(std::min<uint64_t>(units, UINT32_MAX)));
    }
    case ndis::kOidMaximumTotalSize:
        return WriteWord(request, source_->Facts().mtu + 14);
    case ndis::kOidVendorDescription: {
        std::string vendor = source_->Facts().vendor.substr(0, 79);
        return Write(request, vendor.c_str(), static_cast<uint32_t>(vendor.size() + 1));
    }
    default:
        return ndis::kStatusInvalidOid;
    }
}

} // namespace vq
