#include "netmodel/WinSockIf.h"

#include "platform/thread/QueueRegistry.h"
#include "platform/time/Clock.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstring>
#include <new>

namespace vq {

namespace {

std::atomic<uint32_t> identifierCounter{0};

// Thread mode's reply: the error code above the 16 that stands for the answer's size.
uint32_t ReplyValue(int code) {
    return static_cast<uint32_t>(code & 0xFFFF) << 16 | 16;
}

} // namespace

WinSockIf::~WinSockIf() {
    Reset(true);
}

WinSockIf& WinSockIf::Instance() {
    static WinSockIf instance;
    return instance;
}

void WinSockIf::SetIdentifierCounter(uint32_t value) {
    identifierCounter.store(value);
}

uint32_t WinSockIf::NextIdentifier() {
    uint32_t current = identifierCounter.load();
    uint32_t next;
    do {
        next = current == 0xFFFFFFFF ? 1 : current + 1;
    } while (!identifierCounter.compare_exchange_weak(current, next));
    return next;
}

void WinSockIf::SetWindow(ReplyTarget target, uint32_t limit, uint32_t message, int family) {
    std::lock_guard lock(mutex_);
    target_ = target;
    message_ = message;
    family_ = family;
    if (limit != 0) limit_ = limit;
}

void WinSockIf::SetMaxAccepted(size_t count) {
    std::lock_guard lock(mutex_);
    maxAccepted_ = count;
}

uint32_t WinSockIf::Request(const uint8_t* address, int length) {
    const uint32_t identifier = NextIdentifier();
    std::lock_guard lock(mutex_);
    if (address == nullptr || length != static_cast<int>(net::Ipv4Bytes().size()) ||
        family_ != InternetFamily) {
        lastError_ = 10047; // only IPv4 addresses are looked up
        return 0;
    }
    if (running_.size() + queue_.size() >= maxAccepted_) {
        lastError_ = net::LookupWouldBlock;
        return 0;
    }
    try {
        LookupInfo info;
        info.identifier = identifier;
        std::memcpy(info.address.data(), address, info.address.size());
        if (OccupiedLocked() < limit_ && StartLocked(info)) return identifier;
        queue_.push_back(std::move(info));
        return identifier;
    } catch (const std::bad_alloc&) {
        lastError_ = net::LookupNoBuffers;
        return 0;
    }
}

bool WinSockIf::StartLocked(LookupInfo info) {
    const uint32_t identifier = info.identifier;
    const net::Ipv4Bytes address = info.address;
    info.startTime = CurrentClock().FileTimeNow();
    auto [slot, filed] = running_.emplace(identifier, std::move(info));
    if (!filed) return false;
    const bool started = worker_.LookupAddress(address, [this, identifier, address](net::HostAnswer answer) {
        OnAnswer(identifier, address, std::move(answer));
    });
    if (!started) running_.erase(slot);
    return started;
}

void WinSockIf::OnAnswer(uint32_t identifier, const net::Ipv4Bytes& address, net::HostAnswer answer) {
    ReplyTarget target;
    uint32_t message = 0;
    int code = answer.code;
    {
        std::lock_guard lock(mutex_);
        auto found = running_.find(identifier);
        if (found != running_.end()) {
            // An answer that does not list the address asked about is no answer.
            const auto& addresses = answer.entry.addresses;
            if (code == net::LookupOk &&
                std::find(addresses.begin(), addresses.end(), address) == addresses.end())
                code = net::LookupTryAgain;
            found->second.answered = true;
            if (code == net::LookupOk) found->second.answer = std::move(answer.entry);
            target = target_;
            message = message_;
        } else if (abandoned_ > 0) {
            // Dropped while the resolver worked: only its slot was still taken.
            --abandoned_;
        }
    }
    if (target.thread != 0)
        QueueRegistry::Instance().Post(
            target.thread,
            QueueEntry{target.window, message, identifier, static_cast<std::intptr_t>(ReplyValue(code))});
    else
        Pump();
}

bool WinSockIf::Release(uint32_t identifier, bool cancel) {
    {
        std::lock_guard lock(mutex_);
        auto found = running_.find(identifier);
        if (found == running_.end()) return false;
        (void)cancel; // a call in progress cannot be stopped; its answer is dropped either way
        if (!found->second.answered) ++abandoned_;
        running_.erase(found);
    }
    Pump();
    return true;
}

void WinSockIf::Pump() {
    std::lock_guard lock(mutex_);
    const size_t occupied = OccupiedLocked();
    const size_t free = occupied < limit_ ? limit_ - occupied : 0;
    std::deque<LookupInfo> asideQueue;
    size_t started = 0;
    try {
        while (started < free && !queue_.empty()) {
            LookupInfo info = std::move(queue_.front());
            queue_.pop_front();
            if (StartLocked(info))
                ++started;
            else
                asideQueue.push_back(std::move(info));
        }
        for (auto& info : asideQueue)
            queue_.push_back(std::move(info));
    } catch (const std::bad_alloc&) {
        // The look-ups in hand are lost; their requests time out.
    }
}

void WinSockIf::Reset(bool cancel) {
    std::lock_guard lock(mutex_);
    if (cancel) {
        for (const auto& [identifier, info] : running_)
            if (!info.answered) ++abandoned_;
        running_.clear();
    }
    queue_.clear();
}

std::optional<net::HostEntry> WinSockIf::TakeAnswer(uint32_t identifier) {
    std::lock_guard lock(mutex_);
    auto found = running_.find(identifier);
    if (found == running_.end() || !found->second.answer) return std::nullopt;
    std::optional<net::HostEntry> answer = std::move(found->second.answer);
    found->second.answer.reset();
    return answer;
}

std::vector<std::pair<uint32_t, uint64_t>> WinSockIf::GetStartTimes() const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<uint32_t, uint64_t>> starts;
    starts.reserve(running_.size());
    for (const auto& [identifier, info] : running_)
        starts.emplace_back(identifier, info.startTime);
    return starts;
}

net::HostAnswer WinSockIf::LookupName(const std::string& name, std::chrono::milliseconds limit) {
    {
        std::lock_guard lock(mutex_);
        assert(target_.thread == 0 || target_.thread != CurrentThreadId());
    }
    return worker_.LookupName(name, limit);
}

size_t WinSockIf::GetRunningCount() const {
    std::lock_guard lock(mutex_);
    return running_.size();
}

size_t WinSockIf::GetQueuedCount() const {
    std::lock_guard lock(mutex_);
    return queue_.size();
}

} // namespace vq
