#include "platform/net/LookupService.h"

#include <memory>
#include <system_error>

namespace vq::net {

LookupService::~LookupService() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

bool LookupService::Enqueue(Job job, bool ahead) {
    {
        std::lock_guard lock(mutex_);
        if (!worker_.joinable()) {
            try {
                worker_ = std::thread([this] { Run(); });
            } catch (const std::system_error&) {
                return false;
            }
        }
        if (ahead)
            jobs_.push_front(std::move(job));
        else
            jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
    return true;
}

void LookupService::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
        if (stopping_) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

size_t LookupService::GetPendingCount() const {
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

bool LookupService::LookupAddress(const Ipv4Bytes& address, Done done) {
    return Enqueue([address, done = std::move(done)] { done(Resolver::Current()->HostByAddress(address)); },
                   false);
}

HostAnswer LookupService::LookupName(const std::string& name, std::chrono::milliseconds limit) {
    // Shared with the job, so a late answer lands in a state nobody waits for any more.
    struct Pending {
        std::mutex mutex;
        std::condition_variable ready;
        std::optional<HostAnswer> answer;
    };
    auto pending = std::make_shared<Pending>();
    const bool queued = Enqueue(
        [name, pending] {
            HostAnswer answer = Resolver::Current()->HostByName(name);
            {
                std::lock_guard lock(pending->mutex);
                pending->answer = std::move(answer);
            }
            pending->ready.notify_all();
        },
        true);
    if (!queued) return {LookupTryAgain, {}};
    std::unique_lock lock(pending->mutex);
    if (!pending->ready.wait_for(lock, limit, [&] { return pending->answer.has_value(); }))
        return {LookupTryAgain, {}};
    return std::move(*pending->answer);
}

} // namespace vq::net
