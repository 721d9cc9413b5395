#pragma once

#include "runtime/Timestamp.h"

#include <cstdint>

namespace vq {

class NameEntry;

// One name look-up for one entry, which it points at without owning.
class NameRequest {
public:
    explicit NameRequest(NameEntry* entry) : entry_(entry) {}

    NameEntry* GetEntry() const { return entry_; }
    uint32_t GetIdentifier() const { return identifier_; }
    void SetIdentifier(uint32_t identifier) { identifier_ = identifier; }
    const Timestamp& GetRetryTime() const { return retryTime_; }
    void SetRetryTime(const Timestamp& time) { retryTime_ = time; }

    // The waits before the next retry, each doubling with use up to MaxRetryDelay.
    int64_t TakeReplyRetryDelay() { return TakeDelay(replyRetryDelay_); }
    int64_t TakeRefusedRetryDelay() { return TakeDelay(refusedRetryDelay_); }

    static constexpr int64_t FirstReplyRetryDelay = 5'000;    // ms
    static constexpr int64_t FirstRefusedRetryDelay = 60'000; // ms
    static constexpr int64_t MaxRetryDelay = 600'000;         // ms

private:
    static int64_t TakeDelay(int64_t& delay) {
        const int64_t now = delay;
        delay = delay * 2 < MaxRetryDelay ? delay * 2 : MaxRetryDelay;
        return now;
    }

    NameEntry* entry_;
    uint32_t identifier_ = 0;
    Timestamp retryTime_;
    int64_t replyRetryDelay_ = FirstReplyRetryDelay;
    int64_t refusedRetryDelay_ = FirstRefusedRetryDelay;
};

} // namespace vq
