#pragma once

#include "netmodel/IpAddressTable.h"
#include "netmodel/NameRequestTable.h"
#include "netmodel/WinSockIf.h"
#include "platform/net/FakeResolver.h"
#include "platform/thread/MessageQueue.h"
#include "platform/time/Clock.h"
#include "runtime/Timestamp.h"

#include <gtest/gtest.h>

namespace vq::test {

inline net::Ipv4Bytes Address(uint8_t c, uint8_t d) {
    return {10, 0, c, d};
}

// A live IP table on this thread with its own look-up service, a fake resolver and a manual clock.
// Replies reach this thread's queue; Deliver hands them to the table as the monitor would.
class NameLookupFixture : public ::testing::Test {
protected:
    NameLookupFixture() {
        QueueEntry stale;
        while (MessageQueue::Current().Peek(stale, TargetFilter::Any(),
                                            {WinSockIf::ReplyMessage, WinSockIf::ReplyMessage}))
            ;
    }
    ~NameLookupFixture() override { resolver_->Release(); }

    void Attach() { table_.Attach({CurrentThreadId(), 0}); }

    IpAddress* Add(const net::Ipv4Bytes& address) { return table_.FindOrAdd(address.data(), true); }

    // Hands over replies until `count` arrived; answers how many did within the wait.
    int Deliver(int count, uint32_t waitMilliseconds = 10'000) {
        int delivered = 0;
        while (delivered < count) {
            QueueEntry entry;
            if (MessageQueue::Current().Peek(entry, TargetFilter::Any(),
                                             {WinSockIf::ReplyMessage, WinSockIf::ReplyMessage})) {
                table_.OnReply(static_cast<uint32_t>(entry.wParam), static_cast<uint32_t>(entry.lParam));
                ++delivered;
            } else if (MessageQueue::Current().Wait({}, waitMilliseconds).kind != WaitResult::Kind::Input) {
                break;
            }
        }
        return delivered;
    }

    void Advance(int64_t milliseconds) {
        clock_.Advance(milliseconds * 10'000);
        table_.Tick(Timestamp::Now());
    }

    std::shared_ptr<net::FakeResolver> resolver_ = std::make_shared<net::FakeResolver>();
    net::ScopedResolver scopedResolver_{resolver_};
    ManualClock clock_{133'000'000'000'000'000ULL};
    ScopedClock scopedClock_{clock_};
    WinSockIf service_;
    IpAddressTable table_{true, service_};
};

} // namespace vq::test
