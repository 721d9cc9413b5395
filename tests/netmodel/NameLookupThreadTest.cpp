#include "NameLookupFixture.h"
#include "platform/net/SystemResolver.h"
#include "platform/thread/MonotonicClock.h"
#include "platform/thread/PlatformThread.h"
#include "platform/thread/QueueRegistry.h"
#include "tests/support/HostsFile.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace vq::test {
namespace {

// Waits in real time, bounded, for a condition another thread makes true.
template <typename Condition> bool Eventually(Condition condition) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST(NameLookupThread, TheMonitorThreadKeepsTickingWhileLookUpsHang) {
    constexpr int lookups = 20;
    auto resolver = std::make_shared<net::FakeResolver>();
    for (uint8_t i = 1; i <= lookups; ++i)
        resolver->AddReverse(Address(1, i), {"host", {}, {Address(1, i)}});
    resolver->Hold();
    net::ScopedResolver scopedResolver(resolver);
    ManualMonotonicClock monotonic;
    SetMonotonicClock(&monotonic);
    WinSockIf service;

    std::atomic<int> ticks{0};
    std::atomic<int> replies{0};
    std::atomic<int> resolved{0};
    std::promise<void> ready;
    PlatformThread monitor;
    ASSERT_TRUE(monitor.Start([&] {
        MessageQueue& queue = MessageQueue::Current();
        IpAddressTable table(true, service);
        table.Attach({CurrentThreadId(), 0});
        std::vector<IpAddress*> entries;
        for (uint8_t i = 1; i <= lookups; ++i)
            entries.push_back(table.FindOrAdd(Address(1, i).data(), true));
        queue.SetTimer(0, 1, 500);
        ready.set_value();
        QueueEntry entry;
        while (queue.Get(entry)) {
            if (entry.message == WM_TIMER) {
                table.Tick(Timestamp::Now());
                ++ticks;
            } else if (entry.message == WinSockIf::ReplyMessage) {
                table.OnReply(static_cast<uint32_t>(entry.wParam), static_cast<uint32_t>(entry.lParam));
                ++replies;
            }
        }
        for (IpAddress* address : entries)
            resolved += address->GetLookupState() == NameEntry::LookupResolved;
    }));
    ready.get_future().wait();

    for (int tick = 1; tick <= lookups; ++tick) {
        monotonic.AdvanceMilliseconds(500);
        ASSERT_TRUE(Eventually([&] { return ticks.load() >= tick; })) << "tick " << tick;
    }
    EXPECT_EQ(replies.load(), 0);
    EXPECT_TRUE(resolver->WaitUntilHeld(1));

    resolver->Release();
    EXPECT_TRUE(Eventually([&] { return replies.load() == lookups; }));
    PostThreadMessage(monitor.GetId(), WM_QUIT, 0, 0);
    monitor.Join();
    SetMonotonicClock(nullptr);
    EXPECT_EQ(resolved.load(), lookups);
}

using NameLookupLifetime = NameLookupFixture;

TEST_F(NameLookupLifetime, ClearDuringALookUpDropsItAndALaterAnswer) {
    resolver_->AddReverse(Address(0, 1), {"one", {}, {Address(0, 1)}});
    Attach();
    resolver_->Hold();
    Add(Address(0, 1));
    ASSERT_TRUE(resolver_->WaitUntilHeld(1));
    Add(Address(0, 2));
    table_.Clear(false);
    EXPECT_EQ(table_.GetRequestTable(), nullptr);
    EXPECT_EQ(table_.GetCount(), 0);
    EXPECT_EQ(service_.GetRunningCount(), 0u);
    EXPECT_EQ(service_.GetQueuedCount(), 0u);
    resolver_->Release();
    EXPECT_EQ(Deliver(1, 200), 0);
    EXPECT_EQ(Add(Address(0, 1))->GetLookupState(), NameEntry::LookupNone);
}

TEST_F(NameLookupLifetime, ARecreatedTableResolvesAgain) {
    resolver_->AddReverse(Address(0, 1), {"one", {}, {Address(0, 1)}});
    Attach();
    resolver_->Hold();
    Add(Address(0, 1));
    ASSERT_TRUE(resolver_->WaitUntilHeld(1));
    table_.Clear(true);
    ASSERT_NE(table_.GetRequestTable(), nullptr);
    IpAddress* again = Add(Address(0, 1));
    EXPECT_EQ(again->GetLookupState(), NameEntry::LookupInProgress);
    resolver_->Release();
    ASSERT_EQ(Deliver(1), 1);
    EXPECT_EQ(again->GetLookupState(), NameEntry::LookupResolved);
    EXPECT_EQ(again->GetName(0), "one");
    EXPECT_EQ(Deliver(1, 100), 0); // the first answer was dropped
}

TEST_F(NameLookupLifetime, DestroyingATableDuringALookUpLeavesNothingBehind) {
    resolver_->AddReverse(Address(0, 1), {"one", {}, {Address(0, 1)}});
    resolver_->Hold();
    {
        IpAddressTable table(true, service_);
        table.Attach({CurrentThreadId(), 0});
        table.FindOrAdd(Address(0, 1).data(), true);
        table.FindOrAdd(Address(0, 2).data(), true);
        ASSERT_TRUE(resolver_->WaitUntilHeld(1));
    }
    EXPECT_EQ(service_.GetRunningCount(), 0u);
    EXPECT_EQ(service_.GetQueuedCount(), 0u);
    resolver_->Release();
    EXPECT_EQ(Deliver(1, 200), 0);
}

// The real resolver on the loopback address only: answered by the hosts file, never the network.
TEST_F(NameLookupLifetime, LoopbackReverseLookUpThroughTheSystemResolver) {
    if (!HostsFileKnowsLocalhost()) GTEST_SKIP() << "/etc/hosts does not map localhost to 127.0.0.1";
    net::ScopedResolver system(std::make_shared<net::SystemResolver>());
    Attach();
    IpAddress* loopback = table_.FindOrAdd(net::Ipv4Bytes{127, 0, 0, 1}.data(), true);
    ASSERT_EQ(Deliver(1), 1);
    EXPECT_EQ(loopback->GetLookupState(), NameEntry::LookupResolved);
    ASSERT_GE(loopback->GetNameCount(), 1);
    EXPECT_TRUE(IsValidHostName(loopback->GetNameAt(0).c_str()));
    EXPECT_NE(loopback->GetName(0), "127.0.0.1");
}

} // namespace
} // namespace vq::test
