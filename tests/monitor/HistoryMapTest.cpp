#include "monitor/HistoryMap.h"

#include "FakeHistory.h"
#include "MonitorTestSupport.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorData.h"
#include "monitor/MonitorSummary.h"
#include "monitor/StartupSummary.h"
#include "netmodel/Environment.h"
#include "netmodel/Tuple.h"
#include "netmodel/TupleKey.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>
#include <set>

namespace vq {
namespace {

const Timestamp kNine = Timestamp(EngineTestClock::kStart) + TimeSpan(9, Unit::Hours);

Timestamp At(int minutesAfterNine) {
    return kNine + TimeSpan(minutesAfterNine, Unit::Minutes);
}

// What the waiting actions saw.
class WaitingAction;

struct Journal {
    std::set<WaitingAction*> alive;
    std::vector<std::string> started;
    std::vector<const DataSet*> dataSets;
    std::vector<std::string> uninstalled;
};

// An action over the history that records its starts; trends and summaries ask kind 2.
class WaitingAction : public MonitorData {
public:
    WaitingAction(std::string label, int32_t kind, const Timestamp& from, const Timestamp& to,
                  Journal& journal, std::string database = {})
        : MonitorData(this, SOURCE_HISTORY, SCOPE_DATA_SET, TARGET_TOTAL, DATA_PERIODIC,
                      TimeSpan(60, Unit::Seconds), 0, std::move(database)),
          m_Label(std::move(label)), m_Kind(kind), m_Journal(journal) {
        SetRange(TimeRange(from, to));
        SetInstalled(true);
        m_Journal.alive.insert(this);
    }
    ~WaitingAction() override { m_Journal.alive.erase(this); }

    int32_t GetHistoryKind() const override { return m_Kind; }
    bool Start(DataSet* dataSet) override {
        m_Journal.started.push_back(m_Label);
        m_Journal.dataSets.push_back(dataSet);
        if (onStart) onStart();
        return true;
    }
    void Uninstall() override {
        m_Journal.uninstalled.push_back(m_Label);
        delete this;
    }

    std::function<void()> onStart;

private:
    std::string m_Label;
    int32_t m_Kind;
    Journal& m_Journal;
};

class HistoryMapTest : public ::testing::Test {
protected:
    HistoryMapTest() { EXPECT_TRUE(StartHistoryThread(history)); }
    ~HistoryMapTest() override {
        // What a pool would own: the actions still installed.
        for (WaitingAction* action : std::set<WaitingAction*>(journal.alive))
            delete action;
        StopHistoryThread(history);
    }

    WaitingAction* Book(std::string label, int32_t kind, const Timestamp& from, const Timestamp& to,
                        std::string database = {}) {
        auto* action = new WaitingAction(std::move(label), kind, from, to, journal, std::move(database));
        map.Request(*action);
        return action;
    }
    FakeHistory& History() { return static_cast<FakeHistory&>(*history); }
    std::vector<HistoryDatabaseRequestMessage*> Requests(std::size_t count) {
        EXPECT_EQ(History().WaitFor(WM_Database_Request, count), count);
        return History().Taken<HistoryDatabaseRequestMessage>(WM_Database_Request);
    }
    // An answer over the request's range from a database holding first to last.
    std::unique_ptr<DatabaseReply> Answer(const DatabaseRequest& request, const Timestamp& first,
                                          const Timestamp& last) {
        auto dataSet = std::make_unique<HistoryDataSet>(request, TimeSpan(5, Unit::Minutes), first, last,
                                                        first, last, HistoryDataSet::RingFiller());
        return std::make_unique<DatabaseReply>(request.m_Identifier, std::move(dataSet),
                                               std::make_unique<Environment>(uint8_t(0)));
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    std::unique_ptr<HistoryService> history = std::make_unique<FakeHistory>();
    Journal journal;
    HistoryMap map;
};

TEST_F(HistoryMapTest, OneRequestPerDatabaseRangeAndKindAndOneReplyStartsEveryWaiter) {
    Book("summary 1", 2, At(0), At(60));
    Book("summary 2", 2, At(0), At(60));
    Book("statistic", 1, At(0), At(60));
    Book("elsewhere", 2, At(0), At(60), "other.vqh");
    const auto requests = Requests(3);
    ASSERT_EQ(requests.size(), 3u);
    const DatabaseRequest& shared = *requests[0]->GetRequest();
    EXPECT_EQ(shared.m_Kind, 2);
    EXPECT_EQ(shared.m_DatabaseName, "");
    EXPECT_EQ(shared.m_From, At(0));
    EXPECT_EQ(shared.m_To, At(60));
    EXPECT_EQ(requests[1]->GetRequest()->m_Kind, 1);
    EXPECT_EQ(requests[2]->GetRequest()->m_DatabaseName, "other.vqh");
    EXPECT_NE(shared.m_Identifier, requests[1]->GetRequest()->m_Identifier);
    EXPECT_EQ(map.GetOutstandingCount(), 3u);

    // The kind-2 answer serves its kind, then kind 1; every one starts on the same data.
    map.OnReply(*Answer(shared, At(0), At(60)));
    EXPECT_EQ(journal.started, (std::vector<std::string>{"summary 1", "summary 2", "statistic"}));
    const HistoryMapEntryRange* range = map.FindEntry("")->FindRange(At(0), At(60));
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->GetKind(), 2);
    EXPECT_EQ(range->GetState(), 2);
    for (const DataSet* dataSet : journal.dataSets)
        EXPECT_EQ(dataSet, range->GetDataSet());

    // The kind-1 request's own answer finds nobody waiting; a new waiter books a new request.
    map.OnReply(*Answer(*requests[1]->GetRequest(), At(0), At(60)));
    EXPECT_EQ(journal.started.size(), 3u);
    Book("summary 3", 2, At(0), At(60));
    EXPECT_EQ(Requests(4).size(), 4u);
    EXPECT_EQ(map.GetOutstandingCount(), 2u);
}

TEST_F(HistoryMapTest, AKindOneAnswerLeavesKindTwoWaitersForTheirOwn) {
    Book("statistic", 1, At(0), At(60));
    Book("trend", 2, At(0), At(60));
    const auto requests = Requests(2);
    map.OnReply(*Answer(*requests[0]->GetRequest(), At(0), At(60)));
    EXPECT_EQ(journal.started, (std::vector<std::string>{"statistic"}));
    EXPECT_EQ(map.FindEntry("")->FindRange(At(0), At(60))->GetKind(), 1);
    map.OnReply(*Answer(*requests[1]->GetRequest(), At(0), At(60)));
    EXPECT_EQ(journal.started, (std::vector<std::string>{"statistic", "trend"}));
}

TEST_F(HistoryMapTest, RepliesThatClampTheRangesStillStartTheirWaiters) {
    // The database holds 09:30 to 10:05: both ranges become that one and merge.
    Book("wide", 2, At(-60), At(80));
    Book("wider", 2, At(-120), At(90));
    Book("alone", 2, At(-60), At(80), "third.vqh");
    const auto requests = Requests(3);

    map.OnReply(*Answer(*requests[1]->GetRequest(), At(30), At(65)));
    EXPECT_EQ(journal.started, (std::vector<std::string>{"wide", "wider"}));
    HistoryMapEntry& entry = *map.FindEntry("");
    EXPECT_EQ(entry.GetRangeCount(), 1u);
    EXPECT_NE(entry.FindRange(At(30), At(65)), nullptr);
    EXPECT_EQ(entry.GetFirstTime(), At(30));
    EXPECT_EQ(entry.GetLastTime(), At(65));
    // The merged range's own request is still matched, and finds nobody left to start.
    EXPECT_EQ(map.GetOutstandingCount(), 2u);
    map.OnReply(*Answer(*requests[0]->GetRequest(), At(30), At(65)));
    EXPECT_EQ(journal.started.size(), 2u);

    map.OnReply(*Answer(*requests[2]->GetRequest(), At(30), At(65)));
    EXPECT_EQ(journal.started.back(), "alone");
    EXPECT_EQ(map.GetOutstandingCount(), 0u);
}

TEST_F(HistoryMapTest, FailedAndEmptyRepliesStartTheirWaitersWithAnEmptyDataSet) {
    Book("failed", 2, At(0), At(60));
    Book("empty", 2, At(0), At(70));
    const auto requests = Requests(2);

    auto failed = Answer(*requests[0]->GetRequest(), At(0), At(60));
    failed->SetFailed(true);
    map.OnReply(*failed);
    DatabaseReply empty(requests[1]->GetRequest()->m_Identifier);
    map.OnReply(empty);
    EXPECT_EQ(journal.started, (std::vector<std::string>{"failed", "empty"}));
    for (const DataSet* dataSet : journal.dataSets) {
        ASSERT_NE(dataSet, nullptr);
        EXPECT_EQ(dataSet->GetRing(), nullptr);
    }
}

TEST_F(HistoryMapTest, NoReplyReachesACancelledDeletedOrForgottenAction) {
    WaitingAction* cancelled = Book("cancelled", 2, At(0), At(60));
    WaitingAction* partner = Book("partner", 2, At(0), At(60));
    WaitingAction* victim = Book("victim", 2, At(0), At(60));
    Book("survivor", 1, At(0), At(60));
    // Starting one waiter deletes another: the deleted one is never reached.
    partner->onStart = [victim] { delete victim; };
    map.RemoveWaiting(*cancelled);
    EXPECT_EQ(cancelled->GetHistoryMap(), nullptr);
    delete cancelled;
    auto requests = Requests(2);
    map.OnReply(*Answer(*requests[0]->GetRequest(), At(0), At(60)));
    EXPECT_EQ(journal.started, (std::vector<std::string>{"partner", "survivor"}));

    // A restart forgets the waiters and the outstanding requests: the late reply starts nothing.
    auto* forgotten = Book("forgotten", 2, At(0), At(60));
    requests = Requests(3);
    map.Restart();
    EXPECT_EQ(forgotten->GetHistoryMap(), nullptr);
    EXPECT_EQ(map.GetOutstandingCount(), 0u);
    delete forgotten;
    map.OnReply(*Answer(*requests[2]->GetRequest(), At(0), At(60)));
    EXPECT_EQ(journal.started.size(), 2u);
}

// A summary that starts over while it waits asks again: it must still wait in one place only, or
// the place left behind outlives it and the next answer starts a deleted action.
TEST_F(HistoryMapTest, AnActionAskingAgainWhileItWaitsKeepsItsOnePlace) {
    WaitingAction* again = Book("again", 2, At(0), At(60));
    map.Request(*again);
    EXPECT_EQ(map.FindEntry("")->FindRange(At(0), At(60))->CountWaiting(2), 1u);
    const auto requests = Requests(1);
    map.OnReply(*Answer(*requests[0]->GetRequest(), At(0), At(60)));
    EXPECT_EQ(journal.started, std::vector<std::string>{"again"});
    delete again;
    Book("next", 2, At(0), At(60));
    map.OnReply(*Answer(*Requests(2)[1]->GetRequest(), At(0), At(60)));
    EXPECT_EQ(journal.started, (std::vector<std::string>{"again", "next"}));
}

TEST_F(HistoryMapTest, AnActionNotInstalledIsUninstalledOnceStarted) {
    WaitingAction* startup = Book("start-up", 2, At(0), At(60));
    startup->SetInstalled(false);
    map.OnReply(*Answer(*Requests(1)[0]->GetRequest(), At(0), At(60)));
    EXPECT_EQ(journal.started, (std::vector<std::string>{"start-up"}));
    EXPECT_EQ(journal.uninstalled, (std::vector<std::string>{"start-up"}));
}

TEST(HistoryMapWithoutHistoryTest, ARefusedRequestBooksNothing) {
    ScopedEngineGlobals engine;
    Journal journal;
    HistoryMap map;
    WaitingAction action("alone", 2, At(0), At(60), journal);
    map.Request(action);
    EXPECT_EQ(action.GetHistoryMap(), nullptr);
    EXPECT_EQ(map.GetOutstandingCount(), 0u);
}

} // namespace
} // namespace vq

namespace vq {
namespace {

// A monitor with a history path, pumped by the test on its own thread.
class HistoryMonitor : public Monitor {
public:
    explicit HistoryMonitor(ThreadObject* main) : Monitor(main, TimeSpan(8, Unit::Hours)) {
        SetHistoryDatabase("history.vqh", 25);
    }
    void Attach() {
        BindToCurrentThread();
        InitInstance();
    }
    void Detach() { ExitInstance(); }
};

class StartupSummaryTest : public ::testing::Test {
protected:
    StartupSummaryTest() {
        MonitorGlobals& globals = TheMonitorGlobals();
        globals.m_AdaptersFactory = [](uint32_t slots) { return std::make_unique<FakeAdapters>(slots); };
        globals.m_HistoryFactory = [](const std::string&, int32_t) {
            return std::unique_ptr<HistoryService>(std::make_unique<FakeHistory>());
        };
        monitor.Attach();
    }
    ~StartupSummaryTest() override {
        monitor.Detach();
        DrainQueue();
    }

    FakeHistory& History() { return static_cast<FakeHistory&>(*monitor.GetHistory()); }
    const DatabaseRequest& TheRequest() {
        EXPECT_EQ(History().WaitFor(WM_Database_Request, 1), 1u);
        return *History().Taken<HistoryDatabaseRequestMessage>(WM_Database_Request)[0]->GetRequest();
    }
    // A failed answer, as the history thread sends one, handled by the monitor's own handler.
    void Reply(std::uintptr_t identifier) {
        auto reply = std::make_unique<DatabaseReply>(identifier);
        reply->SetFailed(true);
        auto* message = new HistoryDatabaseReplyMessage(std::move(reply), false, true);
        ASSERT_TRUE(message->Send(&monitor));
        QueueEntry entry;
        while (MessageQueue::Current().Peek(entry, TargetFilter::Any(), {}, PeekKeep))
            monitor.PumpMessage();
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    ReportingApp app;
    HistoryMonitor monitor{&app};
};

TEST_F(StartupSummaryTest, BooksOneRequestOverTheWholeHistoryAndGoesOnTheAnswer) {
    ASSERT_NE(monitor.GetStartupSummary(), nullptr);
    const DatabaseRequest& request = TheRequest();
    EXPECT_EQ(request.m_DatabaseName, "history.vqh");
    EXPECT_EQ(request.m_Kind, 2);
    EXPECT_EQ(request.m_From, NULL_TIME);
    EXPECT_EQ(request.m_To, NULL_TIME);
    EXPECT_EQ(monitor.GetStartupSummary()->GetHistoryMap(), &monitor.GetHistoryMap());

    Reply(request.m_Identifier);
    EXPECT_EQ(monitor.GetStartupSummary(), nullptr);
    EXPECT_EQ(monitor.GetHistoryMap().GetOutstandingCount(), 0u);
}

TEST_F(StartupSummaryTest, ARestartForgetsItAndItsRequestSoTheLateAnswerIsDropped) {
    const std::uintptr_t identifier = TheRequest().m_Identifier;
    monitor.ForgetHistoryRequests();
    EXPECT_EQ(monitor.GetStartupSummary(), nullptr);
    EXPECT_EQ(monitor.GetHistoryMap().GetOutstandingCount(), 0u);
    Reply(identifier);
    EXPECT_EQ(monitor.GetStartupSummary(), nullptr);
}

// Installed as the install handler does: into the summary pool, then started without data.
MonitorSummary* InstallHistorySummary(Monitor& monitor, const Timestamp& from, const Timestamp& to,
                                      const void* identifier) {
    auto summary = std::make_unique<MonitorSummary>(identifier, SOURCE_HISTORY, SCOPE_DATA_SET,
                                                    TimeSpan(300, Unit::Seconds), 0);
    summary->SetRange(TimeRange(from, to));
    summary->AddSelection(std::make_unique<Tuple>(uint16_t(0xFFFF), KEY_Interface));
    summary->AddPeriod(TimeSpan(5, Unit::Minutes));
    summary->AddDefaultElement();
    summary->SetAdapters(*monitor.GetAdapterSet());
    MonitorSummary* installed = summary.get();
    EXPECT_TRUE(TheMonitorGlobals().m_Pools.Summaries().Add(std::move(summary)));
    EXPECT_FALSE(installed->Start(nullptr));
    return installed;
}

TEST_F(StartupSummaryTest, TwoSummariesOnOneRangeShareOneRequestAndACancelledOneIsNeverReached) {
    const int a = 0, b = 0, c = 0;
    MonitorSummary* first = InstallHistorySummary(monitor, At(0), At(60), &a);
    MonitorSummary* second = InstallHistorySummary(monitor, At(0), At(60), &b);
    MonitorSummary* cancelled = InstallHistorySummary(monitor, At(0), At(60), &c);
    ASSERT_EQ(History().WaitFor(WM_Database_Request, 2), 2u);
    const DatabaseRequest& shared =
        *History().Taken<HistoryDatabaseRequestMessage>(WM_Database_Request)[1]->GetRequest();
    EXPECT_EQ(shared.m_DatabaseName, "");
    EXPECT_EQ(shared.m_Kind, 2);
    cancelled->Uninstall();

    Reply(shared.m_Identifier);
    EXPECT_EQ(first->GetHistoryMap(), nullptr);
    EXPECT_EQ(second->GetHistoryMap(), nullptr);
    EXPECT_EQ(TheMonitorGlobals().m_Pools.Summaries().GetCount(), 2u);
    EXPECT_EQ(monitor.GetHistoryMap().GetOutstandingCount(), 1u);
}

TEST_F(StartupSummaryTest, ExitDeletesItWhileItStillWaits) {
    ASSERT_NE(monitor.GetStartupSummary(), nullptr);
    monitor.Detach();
    EXPECT_EQ(monitor.GetStartupSummary(), nullptr);
    monitor.Attach();
}

} // namespace
} // namespace vq
