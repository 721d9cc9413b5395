#include "config/CCfgDevice.h"
#include "config/CCfgEvent.h"
#include "platform/gui/WindowSystem.h"
#include "platform/net/FakeResolver.h"
#include "platform/net/IcmpEcho.h"
#include "platform/net/ThreadLastError.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "shell/ActiveTestExec.h"
#include "shell/ActiveTestInfo.h"
#include "shell/ActiveTestManager.h"
#include "shell/ActiveTestResult.h"
#include "shell/EventInfo.h"
#include "shell/ExplorerInfo.h"
#include "shell/ShellMessages.h"
#include "tests/shell/ScriptedEchoes.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <thread>

namespace vq {
namespace {

using namespace vq::net;
using test::Eventually;
using test::ScriptedEchoes;

// What the Active Test Monitor window was told, one line per message.
struct MonitorProbe {
    static inline std::vector<std::string> notices;

    static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_ACTIVETEST_CLEAR:
            notices.push_back("clear");
            return 0;
        case WM_ACTIVETEST_ADDED:
        case WM_ACTIVETEST_REMOVED: {
            std::unique_ptr<ActiveTestInfo> test(reinterpret_cast<ActiveTestInfo*>(wParam));
            notices.push_back(std::string(message == WM_ACTIVETEST_ADDED ? "added " : "removed ") +
                              test->m_DeviceName + " slot " + std::to_string(test->m_Slot));
            return 0;
        }
        case WM_ACTIVETEST_UPDATED: {
            std::unique_ptr<ActiveTestResult> result(reinterpret_cast<ActiveTestResult*>(wParam));
            notices.push_back("updated" + result->m_Text);
            return 0;
        }
        default:
            return DefWindowProc(window, message, wParam, lParam);
        }
    }
    static HWND Create() {
        static const bool registered = [] {
            WNDCLASS wc;
            wc.lpfnWndProc = &Proc;
            wc.lpszClassName = "ActiveTestMonitorProbe";
            return RegisterClass(wc) != 0;
        }();
        notices.clear();
        return registered ? CreateWindowEx(0, "ActiveTestMonitorProbe", "", WS_OVERLAPPED, 0, 0, 10, 10, 0, 0,
                                           nullptr)
                          : 0;
    }
};

// A manager started as the application starts it, on a scripted echo library, with this thread
// as the application thread.
class ActiveTestManagerTest : public testing::Test {
protected:
    void SetUp() override {
        ScriptedEchoes::Reset();
        m_PreviousLoader = SetIcmpLoader(&ScriptedEchoes::Load);
        ASSERT_TRUE(m_Manager->CreateThread());
        Post(WM_ACTIVETEST_INIT, WPARAM(CurrentThreadId()));
    }
    void TearDown() override {
        ScriptedEchoes::Hold(false);
        m_Manager.reset();
        TakeApplicationMessages();
        SetIcmpLoader(m_PreviousLoader);
        if (m_Window) DestroyWindow(m_Window);
    }

    void Post(UINT message, WPARAM wParam = 0) {
        ASSERT_TRUE(PostThreadMessage(m_Manager->GetThreadId(), message, wParam, 0));
    }
    // A device at 10.0.0.<n> with the test time hh:mm, optionally with response events.
    ExplorerInfo& Device(const std::string& name, int n, int hours, int minutes) {
        auto& record = m_Records.emplace_back(std::make_unique<CCfgDevice>());
        record->SetName(name);
        record->SetAddress("10.0.0." + std::to_string(n));
        record->SetTestTime(OleDateTime(1899, 12, 30, hours, minutes, 0));
        record->SetPerformTest(true);
        ExplorerInfo* device = m_Devices.Create();
        device->m_Name = name;
        device->SetRecord(record.get());
        return *device;
    }
    EventInfo& AddEvent(ExplorerInfo& device, int type, int threshold, int limit) {
        auto& record = m_Events.emplace_back(std::make_unique<CCfgEvent>());
        record->SetType(type);
        record->SetThreshold(threshold);
        record->SetLimit(limit);
        auto* event = new EventInfo;
        event->m_Type = type;
        event->m_CfgEvent = record.get();
        device.AddEvent(event);
        return *event;
    }
    void Add(ExplorerInfo& device) { Post(WM_ACTIVETEST_ADD, WPARAM(ActiveTestInfo::ForDevice(device).release())); }
    void Remove(const std::string& name) {
        auto request = std::make_unique<ActiveTestInfo>();
        request->m_DeviceName = name;
        Post(WM_ACTIVETEST_REMOVE, WPARAM(request.release()));
    }
    // One second of the clock, handled once `running` workers are left.
    void Tick(std::size_t running = 0) {
        Post(WM_ACTIVETEST_TICK);
        ++m_Ticks;
        ASSERT_TRUE(Eventually([&] {
            return m_Manager->GetTicksHandled() == m_Ticks && m_Manager->GetWorkersRunning() == running;
        })) << "tick " << m_Ticks;
    }
    // Runs `count` ticks and answers, per address pinged, the ticks (counted from 1 in this run)
    // at which it was pinged.
    std::map<std::string, std::vector<int>> RunTicks(int count) {
        std::map<std::string, std::vector<int>> pings;
        for (int i = 1; i <= count; ++i) {
            Tick();
            for (const std::string& address : ScriptedEchoes::TakePinged())
                pings[address].push_back(i);
        }
        return pings;
    }
    // The messages the manager posted to the application thread, in order, taken and freed.
    std::vector<std::string> TakeApplicationMessages() {
        std::vector<std::string> taken;
        QueueEntry entry;
        while (MessageQueue::Current().Peek(entry, TargetFilter::ThreadOnly(),
                                            {WM_ACTIVETEST_OPEN, WM_ACTIVETEST_OPEN_SHORTCUT})) {
            if (entry.message == WM_ACTIVETEST_RESULT) {
                std::unique_ptr<ActiveTestResult> result(reinterpret_cast<ActiveTestResult*>(entry.wParam));
                taken.push_back("result " + result->m_Device->m_Name + ":" + result->m_Text);
            } else if (entry.message == WM_ACTIVETEST_EVENT) {
                taken.push_back("event " + std::to_string(entry.wParam) + " " + std::to_string(entry.lParam));
            } else if (entry.message == WM_ACTIVETEST_OPEN || entry.message == WM_ACTIVETEST_OPEN_SHORTCUT) {
                delete reinterpret_cast<ActiveTestInfo*>(entry.wParam);
            }
        }
        return taken;
    }
    void AttachWindow() {
        m_Window = MonitorProbe::Create();
        ASSERT_NE(m_Window, HWND(0));
        Post(WM_ACTIVETEST_ATTACH, WPARAM(m_Window));
    }
    // Dispatches the window's notices until there are `count`.
    static bool WaitForNotices(std::size_t count) {
        return Eventually([&] {
            MSG msg;
            while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE))
                DispatchMessage(&msg);
            return MonitorProbe::notices.size() >= count;
        });
    }

    IcmpLoader m_PreviousLoader = nullptr;
    std::shared_ptr<FakeResolver> m_Resolver = std::make_shared<FakeResolver>();
    ScopedResolver m_ResolverScope{m_Resolver};
    std::vector<std::unique_ptr<CCfgDevice>> m_Records;
    std::vector<std::unique_ptr<CCfgEvent>> m_Events;
    ExplorerObjectList m_Devices;
    std::unique_ptr<ActiveTestManager> m_Manager = std::make_unique<ActiveTestManager>();
    std::uint64_t m_Ticks = 0;
    HWND m_Window = 0;
};

TEST_F(ActiveTestManagerTest, TheMonitorWindowHearsOfEveryTestAndRemoval) {
    for (int i = 1; i <= 3; ++i)
        Add(Device("d" + std::to_string(i), i, 0, 0));
    AttachWindow();
    Remove("nosuch");
    ASSERT_TRUE(WaitForNotices(5));
    EXPECT_EQ(MonitorProbe::notices, (std::vector<std::string>{"clear", "added d1 slot 1", "added d2 slot 2",
                                                               "added d3 slot 3", "removed nosuch slot 0"}));
    // Slots run 1 to 59 and start again at 1, never 0.
    for (int i = 4; i <= 60; ++i)
        Add(Device("d" + std::to_string(i), i, 0, 0));
    ASSERT_TRUE(WaitForNotices(62));
    EXPECT_EQ(MonitorProbe::notices[5], "added d4 slot 4");
    EXPECT_EQ(MonitorProbe::notices[60], "added d59 slot 59");
    EXPECT_EQ(MonitorProbe::notices[61], "added d60 slot 1");
}

TEST_F(ActiveTestManagerTest, OnlyTheHourAndMinuteOfTheTestTimeCountInWholeMinuteBoundaries) {
    // Added right after the start, every test gets slot 1, which comes round at tick 60, 120, ...;
    // the n-th minute boundary is tick 60n - 1.
    const struct {
        const char* name;
        int hours, minutes;
        int ticks;
        std::vector<int> pinged;
    } cases[] = {
        {"00:00 every minute", 0, 0, 180, {60, 120, 180}},
        {"00:05 after five boundaries", 0, 5, 600, {300, 600}},
        {"02:30 with a date part", 2, 30, 18'000, {9'000, 18'000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedEchoes::Answer("10.0.0.1", 1);
        ExplorerInfo& device = Device("d", 1, c.hours, c.minutes);
        device.GetDevice()->SetTestTime(OleDateTime(2026, 12, 8, c.hours, c.minutes, 0));
        Post(WM_ACTIVETEST_INIT, WPARAM(CurrentThreadId()));
        Add(device);
        EXPECT_EQ(RunTicks(c.ticks)["10.0.0.1"], c.pinged);
        TakeApplicationMessages();
    }
}

TEST_F(ActiveTestManagerTest, ADueTestFindingFiveWorkersBusyIsRetriedOneMinuteLaterAtItsSlot) {
    for (int i = 1; i <= 6; ++i)
        Add(Device("d" + std::to_string(i), i, 0, 0));
    ScriptedEchoes::Hold(true);
    // Slots 2 to 6 come first and hold all five workers; slot 1 comes at tick 60.
    for (std::size_t running = 1; running <= 5; ++running)
        Tick(running);
    for (int i = 6; i <= 61; ++i)
        Tick(5);
    ScriptedEchoes::Hold(false);
    ASSERT_TRUE(Eventually([&] { return m_Manager->GetWorkersRunning() == 0; }));
    auto pings = RunTicks(120);
    // Turned away at tick 60, so not tried before tick 120, which is tick 59 of this run.
    EXPECT_EQ(pings["10.0.0.1"], (std::vector<int>{59, 119}));
}

TEST_F(ActiveTestManagerTest, SeventeenTestsSharingASlotEachRunWithinFourMinutes) {
    // Filler tests added and removed again move the slot counter round, so 17 tests share slot 1.
    for (int i = 1; i <= 17; ++i) {
        ScriptedEchoes::Answer("10.0.0." + std::to_string(i), 1);
        Add(Device("d" + std::to_string(i), i, 0, 1));
        for (int filler = 0; filler < 58; ++filler)
            Add(Device("filler", 200, 23, 59));
        for (int filler = 0; filler < 58; ++filler)
            Remove("filler");
    }
    auto pings = RunTicks(12 * 60);
    ASSERT_EQ(pings.size(), 17u);
    for (const auto& [address, ticks] : pings) {
        SCOPED_TRACE(address);
        int previous = 0;
        for (int tick : ticks) {
            EXPECT_LE(tick - previous, 4 * 60);
            previous = tick;
        }
        EXPECT_GE(previous, 12 * 60 - 4 * 60);
    }
}

TEST_F(ActiveTestManagerTest, LateResultsOfRemovedOrDeletedDevicesAreDropped) {
    ExplorerInfo& removed = Device("removed", 1, 0, 0);
    ExplorerInfo& deleted = Device("deleted", 2, 0, 0);
    ExplorerInfo& gone = Device("gone", 3, 0, 0);
    AddEvent(removed, ActiveTestEvent::kNoResponse, 1, 0);
    AddEvent(deleted, ActiveTestEvent::kNoResponse, 1, 0);
    for (ExplorerInfo* device : {&removed, &deleted, &gone})
        Add(*device);
    gone.SetValid(false);
    ScriptedEchoes::Hold(true);
    // Slot 2 (deleted) starts at tick 1, slot 3 (gone, whose worker skips it) at tick 2, slot 1
    // (removed) at tick 60.
    for (int tick = 1; tick <= 59; ++tick)
        Tick(1);
    Tick(2);
    ASSERT_TRUE(Eventually([] { return ScriptedEchoes::Waiting() == 2; }));
    std::vector<std::string> pinged = ScriptedEchoes::TakePinged();
    std::sort(pinged.begin(), pinged.end());
    EXPECT_EQ(pinged, (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    Remove("removed");
    deleted.SetValid(false);
    ScriptedEchoes::Hold(false);
    ASSERT_TRUE(Eventually([&] { return m_Manager->GetWorkersRunning() == 0; }));
    Tick();
    EXPECT_EQ(TakeApplicationMessages(), std::vector<std::string>{});
}

TEST_F(ActiveTestManagerTest, FiredEventsArePostedBeforeTheResultAndTheWindowGetsACopy) {
    ExplorerInfo& device = Device("router", 1, 0, 0);
    EventInfo& slow = AddEvent(device, ActiveTestEvent::kSlowResponse, 100, 0);
    EventInfo& down = AddEvent(device, ActiveTestEvent::kNoResponse, 1, 0);
    AddEvent(device, ActiveTestEvent::kResponds, 1, 0);
    Add(device);
    AttachWindow();
    RunTicks(60);
    const std::string slowEvent = "event " + std::to_string(slow.GetSerial()) + " 256";
    const std::string downEvent = "event " + std::to_string(down.GetSerial()) + " 256";
    EXPECT_EQ(TakeApplicationMessages(),
              (std::vector<std::string>{slowEvent, downEvent, "result router:Ping Error: IP_REQ_TIMED_OUT: Request timed out"}));
    ASSERT_TRUE(WaitForNotices(3));
    EXPECT_EQ(MonitorProbe::notices[2], "updatedPing Error: IP_REQ_TIMED_OUT: Request timed out");
}

TEST_F(ActiveTestManagerTest, StopEndsTheManagerWhileAWorkerWaitsAndFreesWhatIsLeft) {
    Add(Device("d0", 1, 23, 0));
    Add(Device("d1", 1, 0, 0));
    ScriptedEchoes::Hold(true);
    Tick(1);
    Post(WM_ACTIVETEST_STOP);
    // Freed by the ending manager, or here when its queue has closed already.
    auto late = ActiveTestInfo::ForDevice(Device("late", 2, 0, 0));
    if (PostThreadMessage(m_Manager->GetThreadId(), WM_ACTIVETEST_ADD, WPARAM(late.get()), 0)) late.release();
    ScriptedEchoes::Hold(false);
    m_Manager->WaitUntilEnded();
    EXPECT_EQ(TakeApplicationMessages(), std::vector<std::string>{});
}

TEST(ActiveTestEvaluation, ResponseEventsFireOnTheirRunsOfHits) {
    struct Case {
        const char* name;
        int type, threshold, limit;
        std::vector<int> roundTrips; // -1: no answer
        std::string fired;           // one letter per result: f fired, . not
    };
    const Case cases[] = {
        {"13 at the threshold is no hit", 13, 100, 0, {100, 101, 100}, ".f."},
        {"13 with limit 3", 13, 100, 3, {200, 200, 50, 200, 200, 200, 200}, ".....ff"},
        {"13 counts a failure", 13, 100, 0, {-1}, "f"},
        {"14 fires at every failure, an answer resets", 14, 0, 0, {-1, -1, 5, -1}, "ff.f"},
        {"14 needs its threshold of failures", 14, 2, 0, {-1, 5, -1, -1, -1}, "...ff"},
        {"15 fires once per run of answers", 15, 3, 0, {5, 5, 5, 5, 5, -1, 5, 5, 5}, "..f.....f"},
        {"15 with a count of 0", 15, 0, 0, {5, 5, -1, 5}, "f..f"},
        {"other types never", 12, 0, 0, {-1, 5}, ".."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActiveTestEvent event;
        event.m_Type = c.type;
        event.m_Threshold = c.threshold;
        event.m_Limit = c.limit;
        std::string fired;
        for (int roundTrip : c.roundTrips) {
            ActiveTestResult result;
            result.m_Status = roundTrip < 0 ? ActiveTestResult::kNoAnswer : ActiveTestResult::kAnswered;
            result.m_RoundTrip = roundTrip;
            fired += ActiveTestManager::Evaluate(event, result) ? 'f' : '.';
        }
        EXPECT_EQ(fired, c.fired);
    }
}

TEST(ActiveTestExec, ResultLinesOfAnswersAndFailures) {
    ScriptedEchoes::Reset();
    IcmpLoader previous = SetIcmpLoader(&ScriptedEchoes::Load);
    ScopedResolver scope(std::make_shared<FakeResolver>());
    ScriptedEchoes::Answer("10.0.0.1", 2);
    ScriptedEchoes::Answer("10.0.0.2", 250);
    const struct {
        const char* address;
        std::int32_t status, roundTrip;
        const char* text;
    } cases[] = {
        {"10.0.0.1", ActiveTestResult::kAnswered, 5, " 10.0.0.1 Round Trip 5ms TTL: 64"},
        {"10.0.0.2", ActiveTestResult::kAnswered, 250, " 10.0.0.2 Round Trip 250ms TTL: 64"},
        {"10.0.0.3", ActiveTestResult::kNoAnswer, -1, "Ping Error: IP_REQ_TIMED_OUT: Request timed out"},
        {"nosuch.example", ActiveTestResult::kNoAnswer, -1, "Ping Error: IP_BUFF_TOO_SMALL: Buffer too small"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        auto result = ActiveTestExec::Run({1, 7, nullptr, c.address, 0});
        EXPECT_EQ(result->m_Status, c.status);
        EXPECT_EQ(result->m_RoundTrip, c.roundTrip);
        EXPECT_EQ(result->m_Text, c.text);
        EXPECT_EQ(result->m_TestSerial, 7u);
        EXPECT_EQ(result->m_TestTime.GetStatus(), OleDateTime::valid);
    }
    SetIcmpLoader(previous);
}

} // namespace
} // namespace vq
