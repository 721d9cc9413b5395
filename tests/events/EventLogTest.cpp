#include "tests/events/EventsFixture.h"
#include "tests/shell/EventRecording.h"

#include <thread>

namespace vq {
namespace {

class EventLogTest : public test::EventsFixture {
protected:
    void Tick(int minutes) {
        for (int i = 0; i < minutes; ++i)
            Log().OnMinuteTick();
    }
    void Raise(EventInfo& info) { Log().RaiseEvent(info, OleDateTime::GetCurrentTime()); }
};

TEST_F(EventLogTest, AReportAfterCountOfTwoAnnouncesAtTheThirdFiring) {
    SaveDevice("pc7", 2, "10.0.0.7");
    CCfgDeviceEvent event = DeviceEvent("pc7");
    event.SetLimit(2);
    event.SetSeverity(2);
    SaveEvent(event);
    Start();
    EventInfo& info = EventOf("pc7");
    info.m_Owner = &Device("pc7");
    for (int firing = 1; firing <= 3; ++firing) {
        Raise(info);
        EXPECT_EQ(Log().GetTransactions().size(), firing == 3 ? 1u : 0u) << firing;
        EXPECT_EQ(Device("pc7").GetLevelCount(3), firing == 3 ? 1 : 0) << firing;
    }
    // Reported entries are not raised again until they are gone.
    Raise(info);
    EXPECT_EQ(Log().GetTransactions().size(), 1u);
    EXPECT_EQ(Log().GetEntries().size(), 1u);
    EXPECT_EQ(Log().CountObjectEvents(Device("pc7")), 1);
}

TEST_F(EventLogTest, AnAcknowledgedLevelStepsFromActiveToAcknowledgedToGone) {
    SaveLevels("Ops", {{"Info", true, 3, {}}});
    SaveDevice("pc7", 2, "10.0.0.7");
    SaveEvent(DeviceEvent("pc7"));
    Start();
    EventInfo& info = EventOf("pc7");
    info.m_Owner = &Device("pc7");
    Raise(info);
    ASSERT_EQ(Log().GetEntries().size(), 1u);
    const EventActive& entry = *Log().GetEntries().front();
    Tick(2);
    EXPECT_EQ(entry.m_State, EventActive::kActive);
    Tick(1);
    EXPECT_EQ(entry.m_State, EventActive::kAcknowledged);
    EXPECT_EQ(Log().GetTransactions().front().m_Action, LogTransaction::kAck);
    Tick(1);
    EXPECT_TRUE(Log().GetEntries().empty());
    EXPECT_EQ(info.m_ActiveEntry, nullptr);
}

TEST_F(EventLogTest, ResettingOneOfTwoFaultsLeavesTheFaultCounterAtOne) {
    SaveDevice("pc7", 2, "10.0.0.7");
    for (int i = 0; i < 2; ++i) {
        CCfgDeviceEvent event = DeviceEvent("pc7");
        event.SetType(1 + 2 * i);
        event.SetSeverity(2);
        SaveEvent(event);
    }
    Start();
    for (int i = 0; i < 2; ++i) {
        EventOf("pc7", i).m_Owner = &Device("pc7");
        Raise(EventOf("pc7", i));
    }
    EXPECT_EQ(Device("pc7").GetLevelCount(3), 2);
    Log().Reset(*EventOf("pc7", 0).m_ActiveEntry);
    EXPECT_EQ(Device("pc7").GetLevelCount(3), 1);
    EXPECT_EQ(Log().GetEntries().size(), 1u);
}

TEST_F(EventLogTest, SystemEntriesGoAfterTheClearMinutesAndTheOldestTransactionMakesRoom) {
    Start();
    Log().OnSystemEvent(std::make_unique<SystemEventInfo>(493, OleDateTime::GetCurrentTime(), ""));
    Tick(9);
    EXPECT_EQ(Log().GetEntries().size(), 1u);
    Tick(1);
    EXPECT_TRUE(Log().GetEntries().empty());

    for (int code = 1; code <= 100; ++code)
        Log().OnSystemEvent(
            std::make_unique<SystemEventInfo>(1000 + code, OleDateTime::GetCurrentTime(), ""));
    ASSERT_EQ(Log().GetTransactions().size(), 100u);
    EXPECT_EQ(Log().GetTransactions().back().m_Code, 1001);
    EXPECT_EQ(Log().GetTransactions().front().m_Code, 1100);
}

TEST_F(EventLogTest, SystemEventsPostedFromFourThreadsArriveWhole) {
    Start();
    constexpr int kThreads = 4;
    constexpr int kEach = 1000;
    m_App->GetRootRecord()->SetEventEntries(kThreads * kEach);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([this, t] {
            for (int i = 0; i < kEach; ++i)
                Log().PostSystemEvent(281 + t, "thread " + std::to_string(t) + " event " + std::to_string(i));
        });
    for (auto& thread : threads)
        thread.join();
    Pump();
    const auto events = test::SystemEvents(Log());
    ASSERT_EQ(events.size(), std::size_t(kThreads * kEach));
    std::vector<int> next(kThreads, 0);
    for (const auto& [code, text] : events) {
        const int t = code - 281;
        ASSERT_EQ(text, "thread " + std::to_string(t) + " event " + std::to_string(next[std::size_t(t)]++));
    }
}

TEST(SystemEventTexts, TheLogsOwnCodesHaveTheirTexts) {
    EXPECT_EQ(SystemEventText(281), "The event log folder or file could not be made or written");
    EXPECT_EQ(SystemEventText(285), "The mail recipient could not be resolved");
    EXPECT_EQ(SystemEventText(286), "Sending the mail failed");
    EXPECT_EQ(SystemEventText(287), "The notification program could not be started");
    EXPECT_EQ(SystemEventText(493), "Monitor started");
}

} // namespace
} // namespace vq
