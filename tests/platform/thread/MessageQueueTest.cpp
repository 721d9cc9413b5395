#include "platform/thread/MessageQueue.h"

#include "platform/thread/Event.h"
#include "platform/thread/MonotonicClock.h"
#include "platform/thread/PlatformThread.h"
#include "platform/thread/QueueRegistry.h"

#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <vector>

namespace vq {
namespace {

constexpr WindowHandle kWindow = 0x1000;

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override { SetMonotonicClock(&clock); }
    void TearDown() override {
        for (auto [target, id] : timers)
            queue().KillTimer(target, id);
        QueueEntry e;
        while (queue().Peek(e)) {
        }
        SetMonotonicClock(nullptr);
    }
    static MessageQueue& queue() { return MessageQueue::Current(); }
    void SetTimer(WindowHandle target, std::uint32_t id, std::int64_t ms) {
        queue().SetTimer(target, id, ms);
        timers.emplace_back(target, id);
    }
    static bool Post(std::uint32_t message, std::uintptr_t w = 0, WindowHandle target = 0) {
        QueueEntry e;
        e.target = target;
        e.message = message;
        e.wParam = w;
        return queue().Post(e);
    }
    // Timer ids that tick once the clock has moved by the given milliseconds.
    std::vector<std::uintptr_t> TicksAfter(std::int64_t ms) {
        clock.AdvanceMilliseconds(ms);
        std::vector<std::uintptr_t> ids;
        QueueEntry e;
        while (queue().Peek(e)) {
            EXPECT_EQ(e.message, WM_TIMER);
            ids.push_back(e.wParam);
        }
        return ids;
    }
    static bool Readable(int fd) {
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, 0) == 1;
    }

    ManualMonotonicClock clock{1'000'000'000};
    std::vector<std::pair<WindowHandle, std::uint32_t>> timers;
};

TEST_F(MessageQueueTest, PostToEndedOrUnknownThreadAnswersFalse) {
    PlatformThread worker;
    ASSERT_TRUE(worker.Start([] {}));
    const ThreadId id = worker.GetId();
    worker.Join();
    EXPECT_FALSE(PostThreadMessage(id, 0x8001, 0, 0));
    EXPECT_FALSE(PostThreadMessage(0, 0x8001, 0, 0));
}

TEST_F(MessageQueueTest, EntriesLeftInAClosedQueueAreDropped) {
    MessageQueue q(1);
    QueueEntry e;
    e.message = 0x8001;
    ASSERT_TRUE(q.Post(e));
    q.Close();
    EXPECT_FALSE(q.Post(e));
    EXPECT_FALSE(q.Peek(e));

    // Closing can hand the entries back instead, for the owner to free what they carry.
    MessageQueue owner(2);
    for (std::uint32_t message : {0x8001u, 0x8002u}) {
        e.message = message;
        ASSERT_TRUE(owner.Post(e));
    }
    const std::deque<QueueEntry> left = owner.CloseAndTake();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[1].message, 0x8002u);
    EXPECT_FALSE(owner.Post(e));
    EXPECT_TRUE(owner.CloseAndTake().empty());
}

TEST_F(MessageQueueTest, KeepsFifoOrderPerPosterAcrossThreeThreads) {
    constexpr int kPosters = 3, kEach = 2000;
    const ThreadId self = CurrentThreadId();
    queue();
    std::vector<std::unique_ptr<PlatformThread>> posters;
    for (int p = 0; p < kPosters; ++p) {
        posters.push_back(std::make_unique<PlatformThread>());
        ASSERT_TRUE(posters.back()->Start([self, p] {
            for (int i = 0; i < kEach; ++i)
                ASSERT_TRUE(PostThreadMessage(self, 0x8001 + p, i, 0));
        }));
    }
    std::vector<std::uintptr_t> next(kPosters, 0);
    QueueEntry e;
    for (int n = 0; n < kPosters * kEach; ++n) {
        ASSERT_TRUE(queue().Get(e));
        const int p = int(e.message - 0x8001);
        ASSERT_EQ(e.wParam, next[p]++);
    }
    for (auto& t : posters)
        t->Join();
}

// A thread holding its wakes back must not leave a reader asleep once it waits itself: for the
// reader's answer on its own queue, or for the reader's end.
TEST_F(MessageQueueTest, HeldWakesReachTheReaderWhenThePosterWaitsOrJoins) {
    const ThreadId self = CurrentThreadId();
    queue();
    PlatformThread reader;
    ASSERT_TRUE(reader.Start([self] {
        QueueEntry e;
        ASSERT_TRUE(PostThreadMessage(self, 0x8003, 0, 0));
        while (MessageQueue::Current().Get(e))
            ASSERT_TRUE(PostThreadMessage(self, 0x8002, e.wParam + 1, 0));
    }));
    QueueEntry e;
    ASSERT_TRUE(queue().Get(e));
    ASSERT_EQ(e.message, 0x8003u);

    const WakeBatch batch;
    for (std::uintptr_t i = 0; i < 3; ++i)
        ASSERT_TRUE(PostThreadMessage(reader.GetId(), 0x8001, i, 0));
    for (std::uintptr_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(queue().Get(e));
        EXPECT_EQ(e.message, 0x8002u);
        EXPECT_EQ(e.wParam, i + 1);
    }
    ASSERT_TRUE(PostThreadMessage(reader.GetId(), WM_QUIT, 0, 0));
    reader.Join();
}

TEST_F(MessageQueueTest, QuitIsAnOrdinaryEntryThatEndsGet) {
    Post(0x8001);
    Post(WM_QUIT, 7);
    QueueEntry e;
    EXPECT_TRUE(queue().Get(e));
    EXPECT_EQ(e.message, 0x8001u);
    EXPECT_FALSE(queue().Get(e));
    EXPECT_EQ(e.wParam, 7u);
}

TEST_F(MessageQueueTest, WaitReturnsQueuedMessageThenLowestEventThenTimeout) {
    std::vector<std::unique_ptr<Event>> owned;
    std::vector<Event*> events;
    for (int i = 0; i < 64; ++i) {
        owned.push_back(std::make_unique<Event>());
        events.push_back(owned.back().get());
    }
    events[40]->Set();
    events[5]->Set();
    Post(0x8001);

    auto r = queue().Wait(events, 0);
    EXPECT_EQ(r.kind, WaitResult::Kind::Input);
    QueueEntry e;
    ASSERT_TRUE(queue().Peek(e));
    r = queue().Wait(events, 0);
    EXPECT_EQ(r.kind, WaitResult::Kind::Event);
    EXPECT_EQ(r.index, 5u);
    r = queue().Wait(events, 0);
    EXPECT_EQ(r.kind, WaitResult::Kind::Event);
    EXPECT_EQ(r.index, 40u);
    EXPECT_EQ(queue().Wait(events, 0).kind, WaitResult::Kind::Timeout);

    events.push_back(owned[0].get());
    EXPECT_EQ(queue().Wait(events, 0).kind, WaitResult::Kind::Failed);
}

TEST_F(MessageQueueTest, ManualResetEventStaysSetAcrossWaits) {
    Event manual(true);
    Event* events[] = {&manual};
    manual.Set();
    EXPECT_EQ(queue().Wait(events, 0).kind, WaitResult::Kind::Event);
    EXPECT_EQ(queue().Wait(events, 0).kind, WaitResult::Kind::Event);
    manual.Reset();
    EXPECT_EQ(queue().Wait(events, 0).kind, WaitResult::Kind::Timeout);
}

TEST_F(MessageQueueTest, WaitTimesOutOnTheInstalledClock) {
    Event event;
    Event* events[] = {&event};
    std::atomic<int> kind{-1};
    PlatformThread waiter;
    ASSERT_TRUE(waiter.Start([&] { kind = int(MessageQueue::Current().Wait(events, 50).kind); }));
    clock.AdvanceMilliseconds(49);
    // Keep advancing in whole steps until the waiter saw the deadline: the wait may have started
    // after the first step.
    while (kind.load() < 0)
        clock.AdvanceMilliseconds(1);
    waiter.Join();
    EXPECT_EQ(kind.load(), int(WaitResult::Kind::Timeout));
}

TEST_F(MessageQueueTest, SleepingGetWakesWhenTheClockReachesItsTimer) {
    std::atomic<bool> armed{false};
    std::atomic<std::uintptr_t> ticked{0};
    PlatformThread owner;
    ASSERT_TRUE(owner.Start([&] {
        MessageQueue& own = MessageQueue::Current();
        own.SetTimer(kWindow, 7, 100);
        armed = true;
        QueueEntry e;
        own.Get(e);
        ticked = e.wParam;
        own.KillTimer(kWindow, 7);
    }));
    while (!armed.load()) {
    }
    // Steps that leave the timer short of due must not lose the wake that the last one owes.
    for (int step = 0; step < 20 && ticked.load() == 0; ++step)
        clock.AdvanceMilliseconds(10);
    owner.Join();
    EXPECT_EQ(ticked.load(), 7u);
}

TEST_F(MessageQueueTest, EventSetFromAnotherThreadWakesTheWait) {
    Event event;
    Event* events[] = {&event};
    PlatformThread setter;
    ASSERT_TRUE(setter.Start([&] { event.Set(); }));
    auto r = queue().Wait(events);
    setter.Join();
    EXPECT_EQ(r.kind, WaitResult::Kind::Event);
    EXPECT_FALSE(event.IsSet());
}

TEST_F(MessageQueueTest, EventLastWaitedOnByAnEndedThreadCanStillBeSet) {
    Event event;
    Event* events[] = {&event};
    for (int round = 0; round < 2; ++round) {
        PlatformThread waiter;
        ASSERT_TRUE(waiter.Start([&] { MessageQueue::Current().Wait(events, 0); }));
        waiter.Join();
        event.Set();
        event.Reset();
    }
    PlatformThread next;
    std::atomic<bool> posted{false};
    ASSERT_TRUE(next.Start([&] {
        QueueEntry e;
        e.message = 0x8001;
        posted = MessageQueue::Current().Post(e) && MessageQueue::Current().Peek(e);
    }));
    next.Join();
    EXPECT_TRUE(posted.load());
}

TEST_F(MessageQueueTest, DescriptorIsReadableWhileInputIsQueuedOrATimerIsDue) {
    const int fd = queue().Descriptor();
    EXPECT_FALSE(Readable(fd));
    Post(0x8001);
    EXPECT_TRUE(Readable(fd));
    QueueEntry e;
    queue().Peek(e);
    EXPECT_FALSE(Readable(fd));

    SetTimer(kWindow, 2, 100);
    clock.AdvanceMilliseconds(99);
    EXPECT_FALSE(Readable(fd));
    clock.AdvanceMilliseconds(1);
    EXPECT_TRUE(Readable(fd));
    ASSERT_TRUE(queue().Peek(e));
    EXPECT_EQ(e.message, WM_TIMER);
    EXPECT_FALSE(Readable(fd));
}

TEST_F(MessageQueueTest, TimerTicksAfterItsIntervalAndRestartsWhenArmedAgain) {
    SetTimer(kWindow, 2, 300);
    EXPECT_TRUE(TicksAfter(299).empty());
    EXPECT_EQ(TicksAfter(1), std::vector<std::uintptr_t>{2});
    EXPECT_TRUE(TicksAfter(299).empty());
    SetTimer(kWindow, 2, 500);
    EXPECT_TRUE(TicksAfter(499).empty());
    EXPECT_EQ(TicksAfter(1), std::vector<std::uintptr_t>{2});
    queue().KillTimer(kWindow, 2);
    EXPECT_TRUE(TicksAfter(10'000).empty());
}

TEST_F(MessageQueueTest, IntervalsAreKeptWithinTheMinimumAndMaximum) {
    struct Case {
        std::int64_t ms, silentFor;
    };
    const Case cases[] = {{0, 9}, {-5, 9}, {10, 9}, {0x1'0000'0000LL, 0x7FFFFFFE}};
    std::uint32_t id = 10;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        SetTimer(kWindow, ++id, c.ms);
        EXPECT_TRUE(TicksAfter(c.silentFor).empty());
        EXPECT_EQ(TicksAfter(1), std::vector<std::uintptr_t>{id});
        queue().KillTimer(kWindow, id);
    }
}

TEST_F(MessageQueueTest, SlowOwnerGetsOneTickNotABacklog) {
    SetTimer(kWindow, 2, 10);
    EXPECT_EQ(TicksAfter(1000), std::vector<std::uintptr_t>{2});
    EXPECT_TRUE(TicksAfter(9).empty());
    EXPECT_EQ(TicksAfter(1), std::vector<std::uintptr_t>{2});
}

TEST_F(MessageQueueTest, PostedEntriesComeBeforeADueTick) {
    SetTimer(kWindow, 2, 10);
    clock.AdvanceMilliseconds(10);
    for (int i = 0; i < 100; ++i)
        Post(0x8001, i);
    QueueEntry e;
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(queue().Peek(e));
        ASSERT_EQ(e.message, 0x8001u);
    }
    ASSERT_TRUE(queue().Peek(e));
    EXPECT_EQ(e.message, WM_TIMER);
}

TEST_F(MessageQueueTest, PeekPostedOnlyLeavesDueTicksForLater) {
    SetTimer(kWindow, 2, 10);
    clock.AdvanceMilliseconds(10);
    QueueEntry e;
    EXPECT_FALSE(queue().Peek(e, TargetFilter::Any(), {}, PeekRemove | PeekPostedOnly));
    EXPECT_TRUE(queue().Peek(e, TargetFilter::Any(), {}, PeekKeep));
    EXPECT_TRUE(queue().Peek(e, TargetFilter::Any(), {}, PeekRemove));
    EXPECT_EQ(e.message, WM_TIMER);
}

TEST_F(MessageQueueTest, GetAndPeekHonourTargetAndRange) {
    Post(0x8001, 1, kWindow);
    Post(0x8002, 2);
    Post(0x8003, 3, kWindow + 1);
    QueueEntry e;
    ASSERT_TRUE(queue().Peek(e, TargetFilter::ThreadOnly()));
    EXPECT_EQ(e.wParam, 2u);
    EXPECT_FALSE(queue().Peek(e, TargetFilter::ForWindow(kWindow), {0x8002, 0x8003}));
    ASSERT_TRUE(queue().Peek(e, TargetFilter::Any(), {0x8003, 0x8003}));
    EXPECT_EQ(e.wParam, 3u);
    ASSERT_TRUE(queue().Peek(e, TargetFilter::ForWindow(kWindow)));
    EXPECT_EQ(e.wParam, 1u);
}

TEST_F(MessageQueueTest, OpenTargetIsResolvedWhenTaken) {
    queue().SetTargetResolver([](const QueueEntry& e) { return WindowHandle(e.point.x); });
    QueueEntry in;
    in.message = 0x0200;
    in.point = {0x2000, 5};
    in.targetOpen = true;
    queue().Post(in);
    QueueEntry e;
    ASSERT_TRUE(queue().Peek(e, TargetFilter::ForWindow(0x2000)));
    EXPECT_FALSE(e.targetOpen);
    EXPECT_EQ(e.point.y, 5);
    queue().SetTargetResolver(nullptr);
}

TEST_F(MessageQueueTest, EntriesCarryTheirPostingTime) {
    Post(0x8001);
    clock.AdvanceMilliseconds(25);
    Post(0x8002);
    QueueEntry a, b;
    queue().Peek(a);
    queue().Peek(b);
    EXPECT_EQ(b.time - a.time, 25u);
}

TEST(MessageQueueRealClock, TicksComeAfterPostedMessagesInOrder) {
    MessageQueue& q = MessageQueue::Current();
    q.SetTimer(kWindow, 2, 10);
    std::vector<std::uint32_t> seen;
    QueueEntry e;
    QueueEntry posted;
    posted.message = 0x8001;
    q.Post(posted);
    q.Post(posted);
    while (seen.size() < 3 && q.Get(e))
        seen.push_back(e.message);
    q.KillTimer(kWindow, 2);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{0x8001, 0x8001, WM_TIMER}));
}

TEST(MessageQueueRealClock, DescriptorTurnsReadableWhenATimerFallsDue) {
    MessageQueue& q = MessageQueue::Current();
    const int fd = q.Descriptor();
    q.SetTimer(kWindow, 3, 10);
    pollfd p{fd, POLLIN, 0};
    // Waits for the kernel to report the timer; the bound only keeps a broken build from hanging.
    EXPECT_EQ(poll(&p, 1, 10'000), 1);
    QueueEntry e;
    ASSERT_TRUE(q.Peek(e));
    EXPECT_EQ(e.message, WM_TIMER);
    q.KillTimer(kWindow, 3);
}

} // namespace
} // namespace vq
