#include "../netmodel/ModelFixtures.h"
#include "FakeHistory.h"
#include "MonitorTestSupport.h"
#include "monitor/DatabaseCheckpoint.h"
#include "monitor/HistoryMessages.h"
#include "netmodel/AdapterList.h"
#include "netmodel/InterfaceInfo.h"
#include "netmodel/Traffic.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"

#include <gtest/gtest.h>
#include <set>

namespace vq {
namespace {

using namespace test;

// Every object of a model that a copy must not share: tuples, hosts, their valid addresses and the
// interfaces with their hosts. The invalid constants are shared by design.
std::set<const void*> ObjectsOf(Environment& model) {
    std::set<const void*> objects;
    auto addHost = [&](const HostAddress* host) {
        if (!host || host->GetValidVector() == 0) return;
        objects.insert(host);
        if (host->HasMac()) objects.insert(&host->GetMac());
        if (host->GetValidVector() & HostAddress::IpValid) objects.insert(&host->GetIp());
        if (host->GetValidVector() & HostAddress::IpxValid) objects.insert(&host->GetIpx());
    };
    size_t position = 0;
    while (Tuple* tuple = model.GetTuplePool().GetNextTuple(position)) {
        objects.insert(tuple);
        addHost(tuple->GetSource());
        addHost(tuple->GetDestination());
    }
    for (const HostAddress* host : model.GetHostTable().GetHosts())
        addHost(host);
    for (int i = 0; i < model.GetInterfaceTable().GetCount(); ++i) {
        objects.insert(model.GetInterfaceTable().GetAt(i));
        addHost(model.GetInterfaceTable().GetAt(i)->GetHost());
    }
    return objects;
}

bool SharesNothing(Environment& a, Environment& b) {
    const std::set<const void*> first = ObjectsOf(a);
    for (const void* object : ObjectsOf(b))
        if (first.count(object)) return false;
    return true;
}

int64_t PacketsOf(const Traffic& traffic) {
    int64_t packets = 0;
    size_t position = 0;
    while (Conversation* conversation = traffic.GetNextConversation(position))
        packets += conversation->GetTraffic().Get(TrafficData::Packets);
    return packets;
}

std::vector<std::string> TupleTexts(const Traffic& traffic) {
    std::vector<std::string> texts;
    size_t position = 0;
    while (Conversation* conversation = traffic.GetNextConversation(position))
        texts.push_back(conversation->GetTuple()->GetText(false));
    return texts;
}

class CheckpointTest : public ::testing::Test {
protected:
    CheckpointTest() {
        live->SetAdapters(adapters);
        // An interface that knows its host: a copy must bring its own.
        const FakeFrame own = IpFrame("00:a0:c9:ff:ff:01", "10.0.0.254", "00:00:00:00:00:09", "10.0.0.9");
        live->GetInterfaceTable().GetAt(1)->SetHost(live->TupleForPacket(own)->GetSource());
        // Known to the live model, but silent in the closed interval.
        live->TupleForPacket(IpFrame("00:00:00:00:00:05", "10.0.0.5", "00:00:00:00:00:06", "10.0.0.6"));
        for (const FakeFrame& frame :
             {IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2", 4000, 80),
              IpFrame("00:00:00:00:00:02", "10.0.0.2", "00:00:00:00:00:01", "10.0.0.1", 80, 4000),
              IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2", 4000, 80),
              IpFrame("00:00:00:00:00:03", "10.0.0.3", "00:00:00:00:00:04", "10.0.0.4")})
            interval->AddPacket(frame, *live->TupleForPacket(frame));
    }

    ScopedEngineGlobals engine;
    TestAdapterList adapters;
    std::unique_ptr<Environment> live = std::make_unique<Environment>(uint8_t(0));
    std::unique_ptr<Traffic> interval = std::make_unique<Traffic>(1);
    const Timestamp end = Timestamp(EngineTestClock::kStart) + TimeSpan(5, Unit::Minutes);
};

TEST_F(CheckpointTest, HoldsWhatItsConversationsReferToAndEveryInterfaceSharingNothing) {
    DatabaseCheckpoint checkpoint(0x1234, interval.get(), end, TimeSpan(5, Unit::Minutes), *live);

    EXPECT_EQ(checkpoint.GetIdentifier(), 0x1234u);
    EXPECT_EQ(checkpoint.GetName(), "");
    EXPECT_EQ(checkpoint.GetEndTime(), end);
    EXPECT_EQ(checkpoint.GetLength(), TimeSpan(5, Unit::Minutes));
    Environment& copy = checkpoint.GetEnvironment();
    EXPECT_EQ(copy.GetLive(), 0);
    EXPECT_EQ(checkpoint.GetTraffic().GetCount(), 3);
    EXPECT_EQ(PacketsOf(checkpoint.GetTraffic()), 4);
    EXPECT_EQ(TupleTexts(checkpoint.GetTraffic()), TupleTexts(*interval));
    // Three tuples; hosts 1 to 4 and the interface's own host, not the silent pair.
    EXPECT_EQ(copy.GetTuplePool().GetCount(), 3);
    EXPECT_EQ(copy.GetHostTable().GetCount(), 5);
    ASSERT_EQ(copy.GetInterfaceTable().GetCount(), 3);
    EXPECT_EQ(copy.GetInterfaceTable().GetAt(1)->GetText(), live->GetInterfaceTable().GetAt(1)->GetText());
    EXPECT_TRUE(SharesNothing(*live, copy));

    // What the history thread reads stays whole once the live model is cleared and gone.
    const std::vector<std::string> texts = TupleTexts(checkpoint.GetTraffic());
    const std::string interfaceText = copy.GetInterfaceTable().GetAt(1)->GetText();
    interval.reset();
    live->Reset();
    live.reset();
    EXPECT_EQ(TupleTexts(checkpoint.GetTraffic()), texts);
    EXPECT_EQ(copy.GetInterfaceTable().GetAt(1)->GetText(), interfaceText);
    EXPECT_TRUE(copy.CheckIntegrity(0, true));
}

TEST_F(CheckpointTest, ACopyImportsAgainAndAssignmentAdds) {
    DatabaseCheckpoint original(0x1234, interval.get(), end, TimeSpan(5, Unit::Minutes), *live);
    DatabaseCheckpoint copy(original);
    EXPECT_EQ(copy.GetIdentifier(), 0x1234u);
    EXPECT_EQ(copy.GetEndTime(), end);
    EXPECT_EQ(TupleTexts(copy.GetTraffic()), TupleTexts(original.GetTraffic()));
    EXPECT_EQ(copy.GetEnvironment().GetInterfaceTable().GetCount(), 3);
    EXPECT_TRUE(SharesNothing(original.GetEnvironment(), copy.GetEnvironment()));
    EXPECT_TRUE(SharesNothing(*live, copy.GetEnvironment()));

    DatabaseCheckpoint other(0x5678, interval.get(), end, TimeSpan(5, Unit::Minutes), *live);
    copy = other;
    EXPECT_EQ(copy.GetIdentifier(), 0x5678u);
    EXPECT_EQ(copy.GetTraffic().GetCount(), 3);
    EXPECT_EQ(PacketsOf(copy.GetTraffic()), 8);
    EXPECT_EQ(copy.GetEnvironment().GetTuplePool().GetCount(), 3);
    EXPECT_EQ(copy.GetEnvironment().GetInterfaceTable().GetCount(), 3);
    EXPECT_TRUE(SharesNothing(other.GetEnvironment(), copy.GetEnvironment()));
}

TEST_F(CheckpointTest, AnIntervalWithoutConversationsStillCarriesTheInterfaces) {
    DatabaseCheckpoint checkpoint(0, nullptr, end, TimeSpan(5, Unit::Minutes), *live);
    EXPECT_EQ(checkpoint.GetTraffic().GetCount(), 0);
    EXPECT_EQ(checkpoint.GetEnvironment().GetInterfaceTable().GetCount(), 3);
    EXPECT_EQ(checkpoint.GetEnvironment().GetTuplePool().GetCount(), 0);
    EXPECT_EQ(checkpoint.GetEnvironment().GetHostTable().GetCount(), 1);
}

// Counters over the live model's conversations, as the live data set keeps them.
class ModelStore : public TrafficStore {
public:
    void AddPacket(const FrameView& frame) override {
        if (Tuple* tuple = TheMonitorGlobals().m_Environment->TupleForPacket(frame))
            m_Traffic.AddPacket(frame, *tuple);
    }
    void Clear() override { m_Traffic.Clear(); }
    void CopyFrom(const TrafficStore& other) override { m_Traffic.CopyFrom(*other.GetConversations()); }
    void Add(const TrafficStore& other) override { m_Traffic.Merge(*other.GetConversations()); }
    Traffic* GetConversations() const override { return &m_Traffic; }

private:
    mutable Traffic m_Traffic{1};
};

// A monitor ticked by the test on its own thread.
class TickedMonitor : public Monitor {
public:
    explicit TickedMonitor(ThreadObject* main) : Monitor(main, TimeSpan(8, Unit::Hours)) {}
    void Attach() {
        BindToCurrentThread();
        InitInstance();
    }
    void Detach() { ExitInstance(); }
};

class CheckpointThroughTheEngineTest : public ::testing::Test {
protected:
    CheckpointThroughTheEngineTest() {
        MonitorGlobals& globals = TheMonitorGlobals();
        globals.m_AdaptersFactory = [](uint32_t slots) { return std::make_unique<FakeAdapters>(slots); };
        globals.m_TrafficFactory = [](int32_t) { return std::make_unique<ModelStore>(); };
        monitor.Attach();
        globals.m_Environment->SetAdapters(adapters);
    }
    ~CheckpointThroughTheEngineTest() override {
        monitor.Detach();
        DrainQueue();
    }

    void Feed(int frames, const char* destination) {
        for (int i = 0; i < frames; ++i)
            monitor.GetDataSet()->AddPacket(MacFrame("00:00:00:00:00:01", destination));
    }
    void TickAt(int64_t ms) {
        monitor.Update(Timestamp(EngineTestClock::kStart) + TimeSpan(ms, Unit::Milliseconds));
    }

    EngineTestClock clock;
    ScopedEngineGlobals engine;
    TestAdapterList adapters;
    ReportingApp app;
    TickedMonitor monitor{&app};
};

TEST_F(CheckpointThroughTheEngineTest, EachIntervalEndSendsOneSelfContainedCheckpoint) {
    std::unique_ptr<HistoryService> history = std::make_unique<FakeHistory>();
    ASSERT_TRUE(StartHistoryThread(history));
    auto& fake = static_cast<FakeHistory&>(*history);
    // The history thread's request for checkpoints names the owner stamped into each of them.
    ASSERT_TRUE(monitor.PumpMessage());
    EXPECT_EQ(monitor.GetCheckpointOwner(), reinterpret_cast<std::uintptr_t>(history.get()));

    Feed(3, "00:00:00:00:00:02");
    TickAt(120'000);
    Feed(2, "00:00:00:00:00:03");
    TickAt(299'500);
    fake.Sync();
    EXPECT_EQ(fake.WaitFor(WM_Checkpoint_Update, 0), 0u);
    TickAt(300'000);
    Feed(4, "00:00:00:00:00:02");
    TickAt(420'000);
    TickAt(600'400);
    TickAt(601'000);
    fake.Sync();
    const auto sent = fake.Taken<HistoryCheckpointUpdateMessage>(WM_Checkpoint_Update);
    ASSERT_EQ(sent.size(), 2u);

    Environment& live = *TheMonitorGlobals().m_Environment;
    const int64_t expectedPackets[] = {5, 4};
    const int expectedConversations[] = {2, 1};
    std::vector<std::vector<std::string>> texts;
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        DatabaseCheckpoint& checkpoint = *sent[i]->GetCheckpoint();
        EXPECT_EQ(checkpoint.GetIdentifier(), reinterpret_cast<std::uintptr_t>(history.get()));
        EXPECT_EQ(checkpoint.GetEndTime(),
                  Timestamp(EngineTestClock::kStart) + TimeSpan(5 * (i + 1), Unit::Minutes));
        EXPECT_EQ(checkpoint.GetLength(), TimeSpan(5, Unit::Minutes));
        EXPECT_EQ(PacketsOf(checkpoint.GetTraffic()), expectedPackets[i]);
        EXPECT_EQ(checkpoint.GetTraffic().GetCount(), expectedConversations[i]);
        EXPECT_EQ(checkpoint.GetEnvironment().GetTuplePool().GetCount(), expectedConversations[i]);
        EXPECT_EQ(checkpoint.GetEnvironment().GetInterfaceTable().GetCount(), 3);
        EXPECT_TRUE(SharesNothing(live, checkpoint.GetEnvironment()));
        texts.push_back(TupleTexts(checkpoint.GetTraffic()));
    }

    // A restart clears the live data and model; the checkpoints still read whole.
    monitor.GetDataSet()->Restart(15);
    live.Reset();
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(TupleTexts(sent[i]->GetCheckpoint()->GetTraffic()), texts[i]);
        EXPECT_TRUE(sent[i]->GetCheckpoint()->GetEnvironment().CheckIntegrity(0, true));
    }
    StopHistoryThread(history);
}

TEST_F(CheckpointThroughTheEngineTest, WithoutAHistoryThreadEachCheckpointIsBuiltRefusedAndFreed) {
    const std::size_t messages = engine.Get().m_MessagePool.GetSize();
    for (int interval = 1; interval <= 3; ++interval) {
        Feed(2, "00:00:00:00:00:02");
        TickAt(interval * 300'000);
    }
    EXPECT_EQ(monitor.GetDataSet()->GetRing()->GetEndTime(),
              Timestamp(EngineTestClock::kStart) + TimeSpan(20, Unit::Minutes));
    // The live model's host announcements wait for the main thread; they are no checkpoints.
    QueueEntry queued;
    while (MessageQueue::Current().Peek(queued))
        if (queued.message == WM_State_Address) delete reinterpret_cast<ThreadMessage*>(queued.lParam);
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), messages);
}

} // namespace
} // namespace vq
