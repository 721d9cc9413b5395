#pragma once

#include "platform/net/LookupService.h"
#include "platform/thread/QueueEntry.h"
#include "platform/thread/ThreadId.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vq {

// Where look-up replies go: a window (or 0) on a thread's queue.
struct ReplyTarget {
    ThreadId thread = 0;
    WindowHandle window = 0;
};

// The process-wide service that runs reverse name look-ups in the background. At most `limit`
// look-ups run at once (one by default); the others wait in a queue, oldest first. Each running
// look-up goes to the worker thread with its own copy of the address; the worker leaves the answer
// here under the look-up's identifier and posts the reply message (identifier, error << 16 | 16) to
// the reply target. Everything but the worker's answer runs on the thread that owns the tables.
class WinSockIf {
public:
    static constexpr uint32_t ReplyMessage = 0x8011; // WM_NameTable_IpNameReply
    static constexpr int InternetFamily = 2;

    WinSockIf() = default;
    ~WinSockIf();
    WinSockIf(const WinSockIf&) = delete;
    WinSockIf& operator=(const WinSockIf&) = delete;

    // The one service the tables use.
    static WinSockIf& Instance();

    // A limit of 0 keeps the current one.
    void SetWindow(ReplyTarget target, uint32_t limit, uint32_t message, int family);
    // Running plus queued look-ups beyond this are refused (LookupWouldBlock).
    void SetMaxAccepted(size_t count);

    // The identifier of the new look-up, or 0 when refused (the reason in GetLastError()). The
    // identifier counter advances either way.
    uint32_t Request(const uint8_t* address, int length);
    int GetLastError() const { return lastError_; }
    // Ends a look-up; with `cancel` its answer, should it still come, is dropped. False when no
    // look-up runs under the identifier.
    bool Release(uint32_t identifier, bool cancel);
    bool Cancel(uint32_t identifier) { return Release(identifier, true); }
    void Pump();
    void PumpIfQueueing() { Pump(); }
    // With `cancel` every running look-up is dropped; every queued one always is.
    void Reset(bool cancel);

    // The names the worker found for a running look-up, once its reply was posted.
    std::optional<net::HostEntry> TakeAnswer(uint32_t identifier);
    // Every running look-up with its start time (file time), under one lock: the running ones are
    // few, the requests queued behind them may be thousands.
    std::vector<std::pair<uint32_t, uint64_t>> GetStartTimes() const;

    // A blocking forward look-up on the worker, ahead of the reverse ones. Never on the reply
    // target's thread, which must not block.
    net::HostAnswer LookupName(const std::string& name, std::chrono::milliseconds limit);

    size_t GetRunningCount() const;
    size_t GetQueuedCount() const;

    // The process-wide identifier counter; the next identifier is counter + 1 (never 0).
    static void SetIdentifierCounter(uint32_t value);

private:
    struct LookupInfo {
        uint32_t identifier = 0;
        net::Ipv4Bytes address{};
        uint64_t startTime = 0;
        bool answered = false;
        std::optional<net::HostEntry> answer;
    };

    static uint32_t NextIdentifier();
    // With mutex_ held.
    bool StartLocked(LookupInfo info);
    size_t OccupiedLocked() const { return running_.size() + abandoned_; }
    void OnAnswer(uint32_t identifier, const net::Ipv4Bytes& address, net::HostAnswer answer);

    mutable std::mutex mutex_;
    ReplyTarget target_;
    uint32_t message_ = ReplyMessage;
    int family_ = InternetFamily;
    uint32_t limit_ = 1;
    size_t maxAccepted_ = 1024;
    std::unordered_map<uint32_t, LookupInfo> running_;
    std::deque<LookupInfo> queue_;
    // Dropped look-ups whose resolver call has not returned: they keep their slot until it does.
    size_t abandoned_ = 0;
    int lastError_ = 0;
    // Last, so the worker is joined before anything it reports to goes away.
    net::LookupService worker_;
};

} // namespace vq
