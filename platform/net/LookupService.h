#pragma once

#include "platform/net/Resolver.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vq::net {

// Runs host look-ups on one worker thread so that no caller waits for the resolver unless it asks
// to. The worker starts with the first look-up and is joined when the service is destroyed, after
// the call it is in returns (the resolver's own time-outs bound that). Each look-up asks the
// resolver in place at the time it runs.
class LookupService {
public:
    using Done = std::function<void(HostAnswer)>;

    LookupService() = default;
    ~LookupService();
    LookupService(const LookupService&) = delete;
    LookupService& operator=(const LookupService&) = delete;

    // Queues a reverse look-up behind the others; `done` runs on the worker thread with the answer.
    // False when no worker thread can be started.
    bool LookupAddress(const Ipv4Bytes& address, Done done);
    // Runs a forward look-up ahead of every queued reverse one and waits at most `limit` for it;
    // when the answer is late the result is LookupTryAgain (the late answer is dropped).
    HostAnswer LookupName(const std::string& name, std::chrono::milliseconds limit);

    // Look-ups waiting for the worker (not counting the one it runs).
    size_t GetPendingCount() const;

private:
    using Job = std::function<void()>;

    bool Enqueue(Job job, bool ahead);
    void Run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace vq::net
