#include "EngineTestClock.h"
#include "platform/core/Exceptions.h"
#include "platform/sys/MemoryStatus.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/PlatformThread.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/MessageIds.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/ThreadMessage.h"
#include "runtime/TimeUnits.h"
#include "runtime/VQ_Thread.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace vq {
namespace {

constexpr std::uint32_t kThrowBadAlloc = 0x0401;
constexpr std::uint32_t kThrowRuntimeError = 0x0402;
constexpr std::uint32_t kReportDone = 0x0403;
constexpr std::uint32_t kPlain = 0x0404;

class RequestMessage : public ThreadMessage {
public:
    RequestMessage() : ThreadMessage(WM_Monitor_Start, true, true) {}
    RequestMessage(const RequestMessage& request) : ThreadMessage(request) {}
    ~RequestMessage() override { ++deleted; }
    bool SendReply() override { return Reply(new RequestMessage(*this)); }
    static inline std::atomic<int> deleted{0};
};

// A worker that answers requests by the handler pattern and acts on a few plain test ids.
class TestWorker : public VQ_Thread {
public:
    TestWorker() : VQ_Thread("Test") {}

    // Runs the worker on the calling thread, so the test drives its pump step by step.
    void Attach() {
        BindToCurrentThread();
        CreateWindowAndTimers();
        InitInstance();
    }
    void Detach() { ExitInstance(); }
    void PumpAll() {
        QueueEntry e;
        while (MessageQueue::Current().Peek(e, TargetFilter::Any(), {}, PeekKeep) && PumpMessage()) {
        }
    }

    bool InitInstance() override {
        if (!m_Window) CreateWindowAndTimers();
        return VQ_Thread::InitInstance();
    }
    void OnTick(const Timestamp& now) override {
        if (throwInTick) throw NotSupportedException();
        events.push_back("tick");
        ticks.push_back(now);
    }
    void OnMemoryTimer(const Timestamp& now) override {
        memoryTicks.push_back(now);
        VQ_Thread::OnMemoryTimer(now);
    }
    bool CompactHeap() override {
        levelsSeen.push_back(m_MemoryLevel);
        if (pauseCaptureOnCompact) Engine().m_State.m_CaptureActive = false;
        return !pauseCaptureOnCompact;
    }
    // As the capturing thread does: recovering memory resumes capture.
    bool ResetMemoryLevel() override {
        if (pauseCaptureOnCompact) Engine().m_State.m_CaptureActive = true;
        return VQ_Thread::ResetMemoryLevel();
    }

    std::vector<std::string> events;
    std::vector<Timestamp> ticks;
    std::vector<Timestamp> memoryTicks;
    std::vector<std::uint32_t> levelsSeen;
    bool pauseCaptureOnCompact = false;
    bool throwInTick = false;

protected:
    void OnThreadMessage(const QueueEntry& entry) override {
        switch (entry.message) {
        case kThrowBadAlloc:
            throw std::bad_alloc();
        case kThrowRuntimeError:
            throw std::runtime_error("boom");
        case kReportDone:
            PostNotification(3, 0, "done", nullptr, nullptr, nullptr, nullptr, -1);
            return;
        case kPlain:
            events.push_back("message");
            return;
        default:
            break;
        }
        auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
        if (!message || !message->Receive()) return;
        if (message->Complete()) delete message;
    }
};

class ReportCollector : public HeadlessApp {
public:
    std::vector<std::string> reports;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (auto* report = dynamic_cast<NotificationThreadMessage*>(message))
            reports.push_back(report->GetText());
        HeadlessApp::OnThreadMessage(id, message);
    }
};

class WorkerThreadTest : public ::testing::Test {
protected:
    WorkerThreadTest() {
        RequestMessage::deleted = 0;
        app.Register();
    }
    ~WorkerThreadTest() override {
        SetMemoryProbe({});
        QueueEntry e;
        while (MessageQueue::Current().Peek(e)) {
        }
    }
    std::int64_t MsSinceStart(const Timestamp& t) {
        return std::int64_t(t.GetTicks() - EngineTestClock::kStart) / 10'000;
    }
    std::vector<std::int64_t> TickTimes(const std::vector<Timestamp>& ticks) {
        std::vector<std::int64_t> ms;
        for (const auto& t : ticks)
            ms.push_back(MsSinceStart(t));
        return ms;
    }
    void Advance(TestWorker& worker, std::int64_t ms) {
        clock.AdvanceMilliseconds(ms);
        worker.PumpAll();
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    ReportCollector app;
};

TEST_F(WorkerThreadTest, RoundTripsFromThreeThreadsAnswerExactlyOnceAndLeaveThePoolEmpty) {
    constexpr int kSenders = 3, kEach = 10'000;
    std::unique_ptr<VQ_Thread> worker = std::make_unique<TestWorker>();
    ASSERT_TRUE(StartRegisteredThread(*worker));
    const ThreadId workerId = worker->GetThreadId();

    struct Sender : ThreadObject {
        void Bind() { SetThreadId(CurrentThreadId()); }
    };
    std::vector<std::unique_ptr<Sender>> senders;
    std::vector<std::unique_ptr<PlatformThread>> threads;
    std::atomic<int> answers{0};
    for (int s = 0; s < kSenders; ++s) {
        senders.push_back(std::make_unique<Sender>());
        threads.push_back(std::make_unique<PlatformThread>());
        Sender* sender = senders.back().get();
        ASSERT_TRUE(threads.back()->Start([&, sender] {
            sender->Bind();
            Engine().m_ThreadPool.Add(sender);
            MessageQueue& queue = MessageQueue::Current();
            for (int i = 0; i < kEach; ++i) {
                auto* request = new RequestMessage;
                const std::uint32_t serial = request->GetSerialId();
                ASSERT_TRUE(request->SendToThread(workerId));
                QueueEntry e;
                ASSERT_TRUE(queue.Get(e));
                ASSERT_EQ(e.message, WM_Monitor_Start);
                auto* answer = reinterpret_cast<ThreadMessage*>(e.lParam);
                ASSERT_EQ(answer->GetSerialId(), serial);
                ASSERT_EQ(answer->GetMessageId(), WM_Monitor_Start);
                ASSERT_TRUE(answer->GetReceiverDeletes());
                ASSERT_FALSE(answer->GetWantsReply());
                ASSERT_EQ(answer->GetDestination(), CurrentThreadId());
                ASSERT_EQ(answer->GetOriginator(), workerId);
                ASSERT_TRUE(answer->Receive());
                ASSERT_EQ(answer->GetState(), ThreadMessage::STATE_DESTROYING);
                ASSERT_TRUE(answer->Complete());
                delete answer;
                ++answers;
            }
            QueueEntry extra;
            EXPECT_FALSE(queue.Peek(extra));
            Engine().m_ThreadPool.Remove(sender);
        }));
    }
    for (auto& t : threads)
        t->Join();
    StopRegisteredThread(worker);
    EXPECT_EQ(answers.load(), kSenders * kEach);
    EXPECT_EQ(RequestMessage::deleted.load(), 2 * kSenders * kEach);
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 0u);
    EXPECT_EQ(engine.Get().m_ThreadPool.FindThread(workerId), nullptr);
}

TEST_F(WorkerThreadTest, MessagePostedViaAnotherThreadIsSentOnFromThere) {
    std::unique_ptr<VQ_Thread> worker = std::make_unique<TestWorker>();
    ASSERT_TRUE(StartRegisteredThread(*worker));
    auto* request = new RequestMessage;
    ASSERT_TRUE(request->PostVia(&app, worker.get()));
    EXPECT_EQ(request->GetState(), ThreadMessage::STATE_CREATED);
    // One message only: the answer may already follow it.
    ASSERT_TRUE(app.PumpMessage());
    // The worker answers the thread the request came from: the via thread.
    QueueEntry e;
    ASSERT_TRUE(MessageQueue::Current().Get(e));
    auto* answer = reinterpret_cast<ThreadMessage*>(e.lParam);
    EXPECT_EQ(answer->GetSerialId(), 1u);
    EXPECT_TRUE(answer->Receive());
    EXPECT_TRUE(answer->Complete());
    delete answer;
    StopRegisteredThread(worker);
    EXPECT_EQ(RequestMessage::deleted, 2);
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 0u);
}

TEST_F(WorkerThreadTest, TimerThatCannotBeArmedIsStillStartedAndTriesANewIdNextTime) {
    TestWorker owner;
    std::unique_ptr<ThreadWindow> foreign;
    PlatformThread other;
    ASSERT_TRUE(other.Start([&] { foreign = std::make_unique<ThreadWindow>(owner); }));
    other.Join();
    Timer timer(foreign.get(), &VQ_Thread::OnTick);
    timer.Enable();
    EXPECT_FALSE(timer.Start(TimeSpan(1, Unit::Seconds)));
    EXPECT_TRUE(timer.IsStarted());
    EXPECT_EQ(timer.GetId(), 0u);
    EXPECT_FALSE(timer.Start(TimeSpan(1, Unit::Seconds)));
    EXPECT_EQ(engine.Get().m_TimerIdCounter.load(), 3u);
    EXPECT_EQ(foreign->GetTitle(), "Test::ThreadWindow");
}

TEST_F(WorkerThreadTest, StoppedWorkerLeavesOnlyLiveThreadsInTheRegistry) {
    std::unique_ptr<VQ_Thread> first = std::make_unique<TestWorker>();
    std::unique_ptr<VQ_Thread> second = std::make_unique<TestWorker>();
    ASSERT_TRUE(StartRegisteredThread(*first));
    ASSERT_TRUE(StartRegisteredThread(*second));
    const ThreadId firstId = first->GetThreadId(), secondId = second->GetThreadId();
    StopRegisteredThread(first);
    EXPECT_EQ(engine.Get().m_ThreadPool.FindThread(firstId), nullptr);
    EXPECT_EQ(engine.Get().m_ThreadPool.FindThread(secondId), second.get());
    EXPECT_FALSE(PostThreadMessage(firstId, kPlain, 0, 0));
    const std::string dump = engine.Get().m_ThreadPool.Describe();
    EXPECT_EQ(dump.rfind("ThreadPool (size 2)\n\nCWinThread*\tthread id\tthread HANDLE\tmain window\n", 0),
              0u);
    StopRegisteredThread(second);
    EXPECT_FALSE(second);
}

TEST_F(WorkerThreadTest, ExceptionsAreReportedByClassAndThePumpGoesOn) {
    auto* worker = new TestWorker;
    std::unique_ptr<VQ_Thread> owned(worker);
    worker->pauseCaptureOnCompact = true;
    ASSERT_TRUE(StartRegisteredThread(*owned));
    const ThreadId id = owned->GetThreadId();
    ASSERT_TRUE(PostThreadMessage(id, kThrowBadAlloc, 0, 0));
    ASSERT_TRUE(PostThreadMessage(id, kThrowRuntimeError, 0, 0));
    ASSERT_TRUE(PostThreadMessage(id, kReportDone, 0, 0));
    while (app.reports.size() < 2)
        ASSERT_TRUE(app.PumpMessage());
    EXPECT_EQ(app.reports, (std::vector<std::string>{"CMemoryException", "done"}));
    EXPECT_EQ(worker->levelsSeen, std::vector<std::uint32_t>{VQ_Thread::kLevelCritical});
    StopRegisteredThread(owned);
}

TEST_F(WorkerThreadTest, ExceptionHandlerPicksTheFixedReportOfEachKind) {
    struct Case {
        std::exception_ptr exception;
        const char* report;
    };
    const Case cases[] = {
        {std::make_exception_ptr(FileException(FileException::Cause::NotFound, "f", "m")), "CFileException"},
        {std::make_exception_ptr(ArchiveException(ArchiveException::Cause::BadFormat)), "CArchiveException"},
        {std::make_exception_ptr(ResourceException()), "CResourceException"},
        {std::make_exception_ptr(UserException()), "CUserException"},
        {std::make_exception_ptr(NotSupportedException()), "CNotSupportedException"},
        {std::make_exception_ptr(std::logic_error("x")), nullptr},
        {std::make_exception_ptr(Exception("x")), nullptr},
        {std::make_exception_ptr(42), nullptr},
    };
    TestWorker worker;
    worker.Attach();
    for (const auto& c : cases) {
        app.reports.clear();
        worker.ExceptionHandler(c.exception);
        app.PumpPending();
        if (c.report)
            EXPECT_EQ(app.reports, std::vector<std::string>{c.report});
        else
            EXPECT_TRUE(app.reports.empty());
    }
    EXPECT_EQ(engine.Get().m_CurrentReportKind, REPORT_UNKNOWN);
    worker.Detach();
}

TEST_F(WorkerThreadTest, PumpDropsWhatItTakesAfterShutdownWithoutDeletingIt) {
    TestWorker worker;
    worker.Attach();
    engine.Get().m_ThreadPool.Add(&worker);
    ASSERT_TRUE(PostThreadMessage(worker.GetThreadId(), kPlain, 0, 0));
    auto* request = new RequestMessage;
    ASSERT_TRUE(request->Send(&worker));
    engine.Get().m_State.m_ShuttingDown = true;
    worker.PumpAll();
    EXPECT_TRUE(worker.events.empty());
    EXPECT_EQ(RequestMessage::deleted, 0);
    EXPECT_EQ(request->GetState(), ThreadMessage::STATE_SENT);
    engine.Get().m_ThreadPool.Remove(&worker);
    worker.Detach();
}

TEST_F(WorkerThreadTest, TickFiresAfterItsDelayThenEveryDefaultPeriod) {
    TestWorker worker;
    worker.Attach();
    Timer& tick = *worker.GetTickTimer();
    tick.Enable();
    tick.SetDefaultPeriod(TimeSpan(500, Unit::Milliseconds));
    EXPECT_TRUE(tick.Start(TimeSpan(300, Unit::Milliseconds)));
    EXPECT_EQ(tick.GetId(), 2u);
    Advance(worker, 200);
    EXPECT_EQ(tick.GetRemaining().GetTicks(), TimeSpan(100, Unit::Milliseconds).GetTicks());
    EXPECT_TRUE(tick.Start(TimeSpan()));
    Advance(worker, 99);
    EXPECT_TRUE(worker.ticks.empty());
    for (int step = 0; step < 4; ++step)
        Advance(worker, step == 0 ? 1 : 250);
    EXPECT_EQ(TickTimes(worker.ticks), (std::vector<std::int64_t>{300, 800}));
    tick.Stop();
    Advance(worker, 10'000);
    EXPECT_EQ(worker.ticks.size(), 2u);
    EXPECT_FALSE(tick.IsStarted());
    worker.Detach();
}

TEST_F(WorkerThreadTest, TimerIdsStartAtTwoAndADisabledTimerNeverFires) {
    TestWorker worker;
    worker.Attach();
    Timer& memory = *worker.GetMemoryTimer();
    EXPECT_FALSE(memory.Start(TimeSpan(10, Unit::Milliseconds)));
    EXPECT_FALSE(memory.IsStarted());
    Advance(worker, 1000);
    EXPECT_TRUE(worker.memoryTicks.empty());
    worker.GetTickTimer()->Enable();
    memory.Enable();
    worker.GetTickTimer()->Start(TimeSpan(1, Unit::Seconds));
    memory.Start(TimeSpan(1, Unit::Seconds));
    EXPECT_EQ(worker.GetTickTimer()->GetId(), 2u);
    EXPECT_EQ(memory.GetId(), 3u);
    worker.Detach();
}

TEST_F(WorkerThreadTest, ShortPeriodTicksEveryTenMilliseconds) {
    TestWorker worker;
    worker.Attach();
    Timer& tick = *worker.GetTickTimer();
    tick.Enable();
    tick.SetDefaultPeriod(TimeSpan(5'000));
    tick.Start(TimeSpan());
    for (int i = 0; i < 30; ++i)
        Advance(worker, 1);
    EXPECT_EQ(TickTimes(worker.ticks), (std::vector<std::int64_t>{10, 20, 30}));
    worker.Detach();
}

TEST_F(WorkerThreadTest, PostedFloodIsServedBeforeADueTickAndASlowWorkerGetsOneTick) {
    TestWorker worker;
    worker.Attach();
    Timer& tick = *worker.GetTickTimer();
    tick.Enable();
    tick.SetDefaultPeriod(TimeSpan(500, Unit::Milliseconds));
    tick.Start(TimeSpan());
    clock.AdvanceMilliseconds(5'000);
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(PostThreadMessage(worker.GetThreadId(), kPlain, 0, 0));
    worker.PumpAll();
    ASSERT_EQ(worker.events.size(), 201u);
    EXPECT_EQ(worker.events.back(), "tick");
    EXPECT_EQ(std::count(worker.events.begin(), worker.events.end(), "tick"), 1);
    Advance(worker, 499);
    EXPECT_EQ(worker.ticks.size(), 1u);
    Advance(worker, 1);
    EXPECT_EQ(worker.ticks.size(), 2u);
    worker.Detach();
}

TEST_F(WorkerThreadTest, ExceptionInATimerCallbackIsReportedAndTheTimerGoesOn) {
    TestWorker worker;
    worker.Attach();
    Timer& tick = *worker.GetTickTimer();
    tick.Enable();
    tick.SetDefaultPeriod(TimeSpan(100, Unit::Milliseconds));
    tick.Start(TimeSpan());
    worker.throwInTick = true;
    clock.AdvanceMilliseconds(100);
    // The worker shares the test thread's queue with the main thread object: take the tick only.
    ASSERT_TRUE(worker.PumpMessage());
    worker.throwInTick = false;
    app.PumpPending();
    EXPECT_EQ(app.reports, std::vector<std::string>{"CNotSupportedException"});
    Advance(worker, 100);
    EXPECT_EQ(worker.ticks.size(), 1u);
    worker.Detach();
}

TEST_F(WorkerThreadTest, UnexpectedTimerEventIsReported) {
    TestWorker worker;
    worker.Attach();
    worker.OnTimer(99);
    app.PumpPending();
    EXPECT_EQ(app.reports, std::vector<std::string>{"unexpected timer event nIDEvent == 99 [Test]"});
    worker.Detach();
}

TEST_F(WorkerThreadTest, MemoryLevelFollowsFreePageFileWithStrictThresholds) {
    struct Case {
        std::uint64_t available;
        std::vector<std::uint32_t> levels;
    };
    const Case cases[] = {
        {1'048'577, {}},   {1'048'576, {6144}}, {600 * 1024, {6144}}, {524'289, {6144}},
        {524'288, {8192}}, {131'073, {8192}},   {131'072, {12288}},   {0, {12288}},
    };
    TestWorker worker;
    worker.Attach();
    engine.Get().m_State.m_CaptureActive = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.available);
        SetMemoryProbe([&] { return MemoryStatus{c.available}; });
        worker.levelsSeen.clear();
        worker.CheckMemory();
        EXPECT_EQ(worker.levelsSeen, c.levels);
        EXPECT_EQ(worker.GetMemoryLevel(), 0u);
    }
    worker.Detach();
}

TEST_F(WorkerThreadTest, PausedCaptureBacksOffTheMemoryTimerUntilCaptureRunsAgain) {
    TestWorker worker;
    worker.Attach();
    worker.pauseCaptureOnCompact = true;
    worker.GetMemoryTimer()->Enable();
    engine.Get().m_State.m_CaptureActive = true;
    std::uint64_t available = 100'000;
    SetMemoryProbe([&] { return MemoryStatus{available}; });
    worker.CheckMemory();
    EXPECT_FALSE(engine.Get().m_State.m_CaptureActive);
    EXPECT_TRUE(worker.GetMemoryTimer()->IsRunning());

    for (std::int64_t step : {1000, 2000, 4000, 8000}) {
        Advance(worker, step - 1);
        Advance(worker, 1);
    }
    EXPECT_EQ(TickTimes(worker.memoryTicks), (std::vector<std::int64_t>{1000, 3000, 7000, 15000}));
    EXPECT_EQ(worker.GetMemoryPeriod().GetTicks(), TimeSpan(16, Unit::Seconds).GetTicks());

    available = 131'073;
    Advance(worker, 16'000);
    EXPECT_TRUE(engine.Get().m_State.m_CaptureActive);
    EXPECT_EQ(worker.memoryTicks.size(), 5u);
    EXPECT_FALSE(worker.GetMemoryTimer()->IsRunning());
    EXPECT_EQ(worker.GetMemoryPeriod().GetTicks(), TimeSpan(1, Unit::Seconds).GetTicks());
    Advance(worker, 100'000);
    EXPECT_EQ(worker.memoryTicks.size(), 5u);
    worker.Detach();
}

} // namespace
} // namespace vq
