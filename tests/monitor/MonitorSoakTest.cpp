// A long run of the monitor on injected time. Replayed captures feed it frame by frame while
// installs, cancels, re-used identifiers, resets, restarts and late, empty or failed history
// answers come in a seeded random order. Every answer the actions send is counted where it is sent
// and where it arrives; at each minute and at the end nothing may be left waiting, in flight or in
// the message pool. VQ_SOAK_SEED and VQ_SOAK_MINUTES change the run.

#include "MonitorTestSupport.h"
#include "capture/Packet.h"
#include "capture/PacketAdapter.h"
#include "history/HistoryTrafficStore.h"
#include "monitor/AlarmThreshold.h"
#include "monitor/DatabaseCheckpoint.h"
#include "monitor/HistoryDataSet.h"
#include "monitor/HistoryMessages.h"
#include "monitor/HistoryService.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorAlarm.h"
#include "monitor/MonitorControlMessage.h"
#include "monitor/MonitorConversation.h"
#include "monitor/MonitorSummary.h"
#include "monitor/MonitorTrend.h"
#include "netmodel/Environment.h"
#include "netmodel/IpAddress.h"
#include "netmodel/Tuple.h"
#include "netmodel/TupleKey.h"
#include "platform/packet/CaptureFileReader.h"
#include "runtime/MessageIds.h"
#include "runtime/TimeUnits.h"
#include "tests/support/TestPaths.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <random>
#include <sstream>

namespace vq {
namespace {

constexpr std::uint32_t kServiced = 0x0409;
constexpr std::uint32_t kAnswer = 0x040A;
constexpr std::uint32_t kAnswered = 0x040B;
constexpr std::uint32_t kSync = 0x040C;

constexpr std::uint64_t kDefaultSeed = 20261210;
constexpr int kDefaultMinutes = 60;
constexpr int kTicksPerMinute = 120;
constexpr int kIdentifiersPerKind = 6;
// The generated traffic runs between 10.0.0.1 and 10.0.0.40.
constexpr int kHosts = 40;

using Pool = TupleOfferSink::Pool;

std::uint64_t Setting(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

// Initialize and Update for each kind, in pool order.
constexpr std::uint32_t kReplyIds[Pool::PoolCount][2] = {
    {WM_Alarm_Initialize, WM_Alarm_Triggered},
    {WM_Trend_Initialize, WM_Trend_Update},
    {WM_Conversation_Initialize, WM_Conversation_Update},
    {WM_Summary_Initialize, WM_Summary_Update},
};

// What the actions sent, counted by the actions themselves as the monitor thread runs them.
std::array<std::array<std::atomic<std::uint64_t>, 2>, Pool::PoolCount>& SentReplies() {
    static std::array<std::array<std::atomic<std::uint64_t>, 2>, Pool::PoolCount> sent{};
    return sent;
}

// A real kind that counts the answers it got out.
template <typename Kind, Pool K> class Counted final : public Kind {
public:
    using Kind::Kind;

    bool SendInitialize() override { return Count(Kind::SendInitialize(), 0); }
    bool SendUpdate() override { return Count(Kind::SendUpdate(), 1); }

private:
    static bool Count(bool sent, int what) {
        if (sent) ++SentReplies()[K][std::size_t(what)];
        return sent;
    }
};

// The frames of several capture files, over and over.
class CaptureLoop {
public:
    explicit CaptureLoop(std::vector<std::string> paths) : m_Paths(std::move(paths)) {}

    bool Next(RecordedFrame& frame) {
        for (std::size_t opened = 0; opened <= m_Paths.size(); ++opened) {
            if (m_Reader && m_Reader->Next(frame)) return true;
            m_Reader = CaptureFileReader::Open(m_Paths[m_Next++ % m_Paths.size()]);
        }
        return false;
    }

private:
    std::vector<std::string> m_Paths;
    std::size_t m_Next = 0;
    std::unique_ptr<CaptureFileReader> m_Reader;
};

// One port of the replay: frames are its own by number only.
class ReplayPort : public PacketAdapter {
public:
    explicit ReplayPort(int number) : m_Number(number) {}
    int32_t GetMedium() const override { return 0; }
    bool IsOwnAddress(std::span<const uint8_t, 6>, bool) const override { return false; }
    bool IsOwnIpAddress(uint32_t, bool) const override { return false; }
    bool HasIpAddress() const override { return true; }
    void LearnIpAddress(const std::string&) override {}
    int GetAdapterNumber() const override { return m_Number; }

private:
    int m_Number;
};

// Two adapters whose slots deliver replayed frames through the decoders into the monitor's sink,
// stamped with the injected time; the main thread hears when a slot was serviced.
class ReplayAdapters : public FakeAdapters {
public:
    explicit ReplayAdapters(uint32_t slots, std::vector<std::string> captures)
        : FakeAdapters(slots), m_Loop(std::move(captures)) {
        Register(0, 0);
        Register(1, 1);
        SetCapable({true, true});
        adapterList = &m_List;
        onService = [this](int32_t slot) { Deliver(slot); };
    }

    void SetPacketSink(PacketSink* sink) override { m_Sink = sink; }
    // Read by the monitor thread when it services the next slot.
    void SetBatch(int frames) { m_Batch = frames; }
    std::uint64_t GetDelivered() const { return m_Delivered; }

private:
    void Deliver(int32_t slot) {
        RecordedFrame frame;
        for (int i = m_Batch.load(); i > 0 && m_Sink && m_Loop.Next(frame); --i) {
            Packet packet(frame.data, frame.capturedLength, m_Ports[std::size_t(slot)], 0, Timestamp::Now(),
                          ++m_Sequence, frame.originalLength);
            packet.Analyse(*m_Sink);
            ++m_Delivered;
        }
        serviced.clear();
        PostThreadMessage(MainThreadId(), kServiced, 0, 0);
    }

    TestAdapterList m_List{2};
    std::array<ReplayPort, 2> m_Ports{ReplayPort(0), ReplayPort(1)};
    CaptureLoop m_Loop;
    PacketSink* m_Sink = nullptr;
    std::atomic<int> m_Batch{0};
    std::atomic<std::uint64_t> m_Delivered{0};
    std::uint64_t m_Sequence = 0;
};

// The main thread: counts every message that reaches it, by id, and frees what it accepts. A
// message a restart dropped is freed by its receipt.
class CountingApp : public HeadlessApp {
public:
    std::map<std::uint32_t, std::uint64_t> arrived;
    std::map<std::uint32_t, std::uint64_t> droppedOnReceipt;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        ++arrived[id];
        if (!message->Receive()) {
            ++droppedOnReceipt[id];
            return;
        }
        if (auto* start = dynamic_cast<MonitorControlStartMessage*>(message))
            TheMonitorGlobals().m_RingGeometry.Keep(start->GetGeometry());
        if (message->Complete()) delete message;
    }
};

// How the history thread answers a request.
enum class Answer : std::uintptr_t { Data, Empty, Failed, Bare, Count };

// A history thread that holds every request until the test tells it to answer one, and keeps the
// latest checkpoint as its whole database: answers over it carry that checkpoint's conversations
// on a model of their own, within the times the checkpoints covered.
class AnsweringHistory : public HistoryService {
public:
    AnsweringHistory() : HistoryService("soak.vqh", 25) {}

    bool InitInstance() override {
        CreateWindowAndTimers();
        if (Monitor* monitor = TheMonitorGlobals().m_Monitor.load()) {
            auto* install = new HistoryCheckpointRequestMessage(this);
            if (!install->Send(monitor)) delete install;
        }
        return HistoryService::InitInstance();
    }
    int ExitInstance() override {
        std::lock_guard lock(m_Mutex);
        m_Pending.clear();
        m_Checkpoint.reset();
        return HistoryService::ExitInstance();
    }

    // Messages kept here: the requests not yet answered and the latest checkpoint.
    std::size_t GetHeld() const {
        std::lock_guard lock(m_Mutex);
        return m_Pending.size() + (m_Checkpoint ? 1 : 0);
    }
    std::size_t GetPending() const {
        std::lock_guard lock(m_Mutex);
        return m_Pending.size();
    }

    std::atomic<std::uint64_t> requests{0};
    std::atomic<std::uint64_t> requestsDropped{0};
    std::atomic<std::uint64_t> checkpoints{0};
    std::atomic<std::uint64_t> checkpointsDropped{0};
    std::atomic<std::uint64_t> restarts{0};
    std::array<std::atomic<std::uint64_t>, std::size_t(Answer::Count)> answers{};

protected:
    void OnThreadMessage(const QueueEntry& entry) override {
        if (entry.message == kAnswer || entry.message == kSync) {
            if (entry.message == kAnswer) AnswerOne(Answer(entry.wParam), std::size_t(entry.lParam));
            PostThreadMessage(MainThreadId(), kAnswered, 0, 0);
            return;
        }
        auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
        if (!message) return;
        const bool taken = message->Receive();
        switch (entry.message) {
        case WM_Database_Request:
            ++(taken ? requests : requestsDropped);
            if (taken) {
                std::lock_guard lock(m_Mutex);
                m_Pending.emplace_back(static_cast<HistoryDatabaseRequestMessage*>(message));
                return;
            }
            break;
        case WM_Checkpoint_Update:
            ++(taken ? checkpoints : checkpointsDropped);
            if (taken) {
                Keep(static_cast<HistoryCheckpointUpdateMessage*>(message));
                return;
            }
            break;
        case WM_History_Restart:
            restarts += taken;
            break;
        default:
            break;
        }
        if (taken && message->Complete()) delete message;
    }

private:
    void Keep(HistoryCheckpointUpdateMessage* message) {
        std::lock_guard lock(m_Mutex);
        if (const DatabaseCheckpoint* checkpoint = message->GetCheckpoint()) {
            if (m_First.GetTicks() == 0)
                m_First = Timestamp(checkpoint->GetEndTime().GetTicks() -
                                    uint64_t(checkpoint->GetLength().GetTicks()));
            m_Last = checkpoint->GetEndTime();
            m_Interval = checkpoint->GetLength();
        }
        m_Checkpoint.reset(message);
    }

    void AnswerOne(Answer how, std::size_t pick) {
        std::unique_ptr<HistoryDatabaseRequestMessage> message;
        {
            std::lock_guard lock(m_Mutex);
            if (m_Pending.empty()) return;
            const auto at = m_Pending.begin() + std::ptrdiff_t(pick % m_Pending.size());
            message = std::move(*at);
            m_Pending.erase(at);
        }
        const DatabaseRequest& request = *message->GetRequest();
        std::unique_ptr<DatabaseReply> reply = Build(how, request);
        ++answers[std::size_t(how)];
        auto* answer = new HistoryDatabaseReplyMessage(std::move(reply), false, true);
        if (!answer->SendToThread(message->GetSender())) delete answer;
        if (!message->Complete()) message.release();
    }

    std::unique_ptr<DatabaseReply> Build(Answer how, const DatabaseRequest& request) {
        const std::uintptr_t id = request.m_Identifier;
        std::lock_guard lock(m_Mutex);
        if (how == Answer::Data) {
            // Clamped to what the database holds, as the recorder does; too short a range finds nothing.
            const Timestamp from = Later(request.m_From, m_First);
            const Timestamp to = Earlier(request.m_To, m_Last);
            if (!m_Checkpoint || to.GetTicks() < from.GetTicks() + 3 * uint64_t(m_Interval.GetTicks()))
                how = Answer::Empty;
            else
                return DataReply(request, from, to);
        }
        switch (how) {
        case Answer::Empty:
            return std::make_unique<DatabaseReply>(id, std::make_unique<HistoryDataSet>(),
                                                   std::make_unique<Environment>(uint8_t(0)));
        case Answer::Failed: {
            auto reply = std::make_unique<DatabaseReply>(id, std::make_unique<HistoryDataSet>(),
                                                         std::make_unique<Environment>(uint8_t(0)));
            reply->SetFailed(true);
            return reply;
        }
        default:
            return std::make_unique<DatabaseReply>(id);
        }
    }

    std::unique_ptr<DatabaseReply> DataReply(const DatabaseRequest& request, const Timestamp& from,
                                             const Timestamp& to) {
        const TimeSpan interval = m_Interval;
        auto fill = [&](HistoryBuffer& ring) {
            int32_t set = 0;
            for (Timestamp time = from; set < ring.GetCount() && time.GetTicks() < to.GetTicks();
                 time = time + interval)
                ring.GetSlot(set++)->SetTime(time);
            return set;
        };
        auto dataSet = std::make_unique<HistoryDataSet>(
            request, interval, m_First, m_Last, from, to, fill,
            [](int32_t kind) { return std::make_unique<history::HistoryTrafficStore>(kind); });
        auto model = std::make_unique<Environment>(uint8_t(0));
        const DatabaseCheckpoint& checkpoint = *m_Checkpoint->GetCheckpoint();
        model->BeginImport();
        model->ImportTraffic(checkpoint.GetTraffic(), *dataSet->GetTotal().GetTraffic()->GetConversations(),
                             0);
        model->ImportTraffic(checkpoint.GetTraffic(),
                             *dataSet->GetRing()->GetSlot(0)->GetTraffic()->GetConversations(), 0);
        model->EndImport();
        return std::make_unique<DatabaseReply>(request.m_Identifier, std::move(dataSet), std::move(model));
    }

    static Timestamp Later(const Timestamp& a, const Timestamp& b) {
        return a.GetTicks() > b.GetTicks() ? a : b;
    }
    static Timestamp Earlier(const Timestamp& a, const Timestamp& b) {
        return a.GetTicks() == 0 || a.GetTicks() > b.GetTicks() ? b : a;
    }

    mutable std::mutex m_Mutex;
    std::deque<std::unique_ptr<HistoryDatabaseRequestMessage>> m_Pending;
    std::unique_ptr<HistoryCheckpointUpdateMessage> m_Checkpoint;
    Timestamp m_First;
    Timestamp m_Last;
    TimeSpan m_Interval;
};

class MonitorSoakTest : public ::testing::Test {
protected:
    MonitorSoakTest() {
        app.Register();
        MonitorGlobals& globals = TheMonitorGlobals();
        globals.m_AdaptersFactory = [this](uint32_t slots) {
            auto made = std::make_unique<ReplayAdapters>(
                slots,
                std::vector<std::string>{vq::test::TestPath("VQ_SOAK_CAPTURE"),
                                         vq::test::TestPath("VQ_TEST_DATA_DIR") + "/captures/namespace.pcap",
                                         vq::test::TestPath("VQ_TEST_DATA_DIR") + "/captures/crafted.pcap"});
            adapters = made.get();
            return std::unique_ptr<CaptureAdapters>(std::move(made));
        };
        globals.m_HistoryFactory = [this](const std::string&, int32_t) {
            auto made = std::make_unique<AnsweringHistory>();
            history = made.get();
            return std::unique_ptr<HistoryService>(std::move(made));
        };
        monitor = std::make_unique<ProbeMonitor>(&app);
        monitor->SetHistoryDatabase("soak.vqh", 25);
        EXPECT_TRUE(StartWorkerThread(*monitor));
        for (auto& kind : SentReplies())
            for (auto& count : kind)
                count = 0;
    }
    ~MonitorSoakTest() override {
        StopWorkerThread(monitor);
        DrainQueue();
    }

    void WaitFor(std::uint32_t id) { ASSERT_TRUE(WaitForMain(id)); }
    void Send(ThreadMessage* message) { ASSERT_TRUE(message->Send(monitor.get())); }
    // Runs on the monitor thread once it handled everything sent before.
    void OnMonitor(std::function<void()> work) { ASSERT_TRUE(RunOnMonitor(*monitor, std::move(work))); }
    void Feed(int adapter, int frames) {
        adapters->SetBatch(frames);
        adapters->Signal(adapter);
        WaitFor(kServiced);
    }
    // The history thread answers one held request, chosen by `pick`; its answer is queued to the
    // monitor before anything sent afterwards.
    void AnswerRequest(Answer how, std::size_t pick) {
        ASSERT_TRUE(
            PostThreadMessage(history->GetThreadId(), kAnswer, std::uintptr_t(how), std::intptr_t(pick)));
        WaitFor(kAnswered);
    }
    void Tick() { ASSERT_TRUE(TickMonitor(clock, *monitor)); }
    // The monitor and the history thread handled everything sent to them, the main thread what it
    // got: every message still alive is one the history thread holds.
    void CheckQuiet(const char* when) {
        SCOPED_TRACE(when);
        OnMonitor([] {});
        ASSERT_TRUE(PostThreadMessage(history->GetThreadId(), kSync, 0, 0));
        WaitFor(kAnswered);
        app.PumpPending();
        EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), history->GetHeld());
        for (int kind = 0; kind < Pool::PoolCount; ++kind)
            for (int what = 0; what < 2; ++what) {
                EXPECT_EQ(app.arrived[kReplyIds[kind][what]],
                          SentReplies()[std::size_t(kind)][std::size_t(what)].load())
                    << "kind " << kind << (what ? " updates" : " initializes");
            }
    }

    std::unique_ptr<Tuple> RandomSelection() {
        switch (rng() % 3) {
        case 0:
            return std::make_unique<Tuple>(uint16_t(rng() % 2), KEY_Interface);
        default: {
            IpAddress ip(("10.0.0." + std::to_string(1 + rng() % kHosts)).c_str(), true);
            return std::make_unique<Tuple>(ip, rng() % 2 ? KEY_Source : KEY_Destination, true);
        }
        }
    }
    TimeSpan RandomPeriod() {
        static const int64_t seconds[] = {1, 5, 30, 60};
        return TimeSpan(seconds[rng() % 4], Unit::Seconds);
    }
    uint32_t RandomRepetitions() { return rng() % 4 == 0 ? uint32_t(1 + rng() % 5) : 0; }
    // A range on whole intervals, some reaching before the first checkpoint or after now.
    TimeRange RandomRange() {
        const int64_t interval = TimeSpan(5, Unit::Minutes).GetTicks();
        const uint64_t now = Timestamp::Now().GetTicks();
        const uint64_t end = now - now % uint64_t(interval) + uint64_t(interval) * (rng() % 2);
        const uint64_t start = end - uint64_t(interval) * (2 + rng() % 12);
        return TimeRange(Timestamp(start), Timestamp(end));
    }
    template <typename Action> void Select(Action& action) {
        const int selections = 1 + int(rng() % 2);
        for (int i = 0; i < selections; ++i)
            action.AddSelection(RandomSelection());
        if (selections > 1 && rng() % 2)
            action.AddDiscreteElements();
        else
            action.AddDefaultElement();
        action.SetReplyThread(&app);
    }

    void InstallRandom() {
        const Pool kind = Pool(rng() % Pool::PoolCount);
        const void* id = &identifiers[std::size_t(kind)][rng() % kIdentifiersPerKind];
        const bool fromHistory = rng() % 4 == 0;
        const int32_t dataType = rng() % 2 ? DATA_PERIODIC : DATA_CUMULATIVE;
        const int32_t target = rng() % 2 ? TARGET_CURRENT : TARGET_TOTAL;
        const int32_t mode = rng() % 2 ? MODE_PACKETS : MODE_OCTETS;
        ++installs;
        switch (kind) {
        case Pool::Alarm: {
            auto alarm = new Counted<MonitorAlarm, Pool::Alarm>(id, SOURCE_LIVE, SCOPE_TUPLES, target,
                                                                RandomPeriod(), RandomRepetitions());
            alarm->SetEvaluation(mode, EVALUATE_RATE, 1000.0);
            Select(*alarm);
            alarm->SetThreshold(
                std::make_unique<AlarmThreshold>(double(rng() % 50), MODE_RISING, kLimitNotSet, MODE_UNSET));
            Send(new MonitorAlarmRequestMessage(alarm, false, true));
            break;
        }
        case Pool::Trend: {
            auto trend = new Counted<MonitorTrend, Pool::Trend>(
                id, fromHistory ? SOURCE_HISTORY : SOURCE_LIVE, fromHistory ? SCOPE_DATA_SET : SCOPE_TUPLES,
                target, dataType, RandomPeriod(), RandomRepetitions());
            if (fromHistory) trend->SetRange(RandomRange());
            trend->SetEvaluation(mode, EVALUATE_RAW, 1000.0);
            Select(*trend);
            Send(new MonitorTrendRequestMessage(trend, false, true));
            break;
        }
        case Pool::Conversation: {
            auto conversation = new Counted<MonitorConversation, Pool::Conversation>(
                id, fromHistory ? SOURCE_HISTORY : SOURCE_LIVE, SCOPE_TUPLES, target, dataType,
                rng() % 2 ? MonitorConversation::OPTION_BIDIRECTIONAL : 0u, RandomPeriod(),
                RandomRepetitions());
            if (fromHistory) conversation->SetRange(RandomRange());
            conversation->SetEvaluation(mode, EVALUATE_RAW, 1000.0);
            Select(*conversation);
            Send(new MonitorConversationRequestMessage(conversation, false, true));
            break;
        }
        default: {
            auto summary = new Counted<MonitorSummary, Pool::Summary>(
                id, fromHistory ? SOURCE_HISTORY : SOURCE_LIVE_RING,
                fromHistory ? SCOPE_DATA_SET : SCOPE_TUPLES, TimeSpan(5, Unit::Minutes), RandomRepetitions());
            if (fromHistory) summary->SetRange(RandomRange());
            static const int64_t minutes[] = {5, 60, 480};
            const unsigned periods = 1 + unsigned(rng() % 7);
            for (unsigned i = 0; i < 3; ++i)
                if (periods & (1u << i)) summary->AddPeriod(TimeSpan(minutes[i], Unit::Minutes));
            Select(*summary);
            Send(new MonitorSummaryRequestMessage(summary, false, true));
            break;
        }
        }
    }
    // Known and unknown identifiers alike.
    void CancelRandom() {
        const Pool kind = Pool(rng() % Pool::PoolCount);
        const void* id = &identifiers[std::size_t(kind)][rng() % (kIdentifiersPerKind + 2)];
        ++cancels;
        switch (kind) {
        case Pool::Alarm:
            return Send(new MonitorAlarmCancelMessage(id, false, true));
        case Pool::Trend:
            return Send(new MonitorTrendCancelMessage(id, false, true));
        case Pool::Conversation:
            return Send(new MonitorConversationCancelMessage(id, false, true));
        default:
            return Send(new MonitorSummaryCancelMessage(id, false, true));
        }
    }
    void ResetRandom() {
        auto* reset = new MonitorControlResetMessage(true, true);
        reset->SetFlags(int32_t(1 + rng() % 11));
        if (rng() % 2) reset->AddAdapter(uint16_t(rng() % 2));
        ++resets;
        Send(reset);
    }

    EngineTestClock clock;
    // Outlive the engine state, whose pools may still refer to them at its end.
    std::array<std::array<char, kIdentifiersPerKind + 2>, Pool::PoolCount> identifiers{};
    ScopedEngineGlobals engine;
    CountingApp app;
    ReplayAdapters* adapters = nullptr;
    AnsweringHistory* history = nullptr;
    std::unique_ptr<Monitor> monitor;
    std::mt19937_64 rng;
    std::uint64_t installs = 0, cancels = 0, resets = 0, restarts = 0;
};

TEST_F(MonitorSoakTest, EveryAnswerArrivesAndNothingIsLeftWaitingOrAliveOverLongInjectedTime) {
    const std::uint64_t seed = Setting("VQ_SOAK_SEED", kDefaultSeed);
    const int minutes = int(Setting("VQ_SOAK_MINUTES", kDefaultMinutes));
    std::printf("soak: seed %llu, %d injected minutes\n", static_cast<unsigned long long>(seed), minutes);
    rng.seed(seed);
    const auto started = std::chrono::steady_clock::now();

    Send(new MonitorControlStartMessage(true, true));
    OnMonitor([] {});
    app.PumpPending();

    for (int tick = 1; tick <= minutes * kTicksPerMinute; ++tick) {
        if (rng() % 10 != 0) Feed(int(rng() % 2), int(rng() % 20));
        const unsigned roll = unsigned(rng() % 1000);
        if (roll < 60)
            InstallRandom();
        else if (roll < 90)
            CancelRandom();
        else if (roll < 120)
            AnswerRequest(Answer(rng() % std::uintptr_t(Answer::Count)), std::size_t(rng()));
        else if (roll < 126)
            ResetRandom();
        else if (roll < 128) {
            ++restarts;
            Send(new MonitorControlRestartMessage(true, true));
        }
        Tick();
        if (tick % 16 == 0) app.PumpPending();
        if (tick % kTicksPerMinute == 0) {
            CheckQuiet(("minute " + std::to_string(tick / kTicksPerMinute)).c_str());
            if (HasFailure()) break;
        }
    }

    // Late answers for whatever still waits: every request is answered or was dropped by a restart.
    while (history->GetPending() != 0)
        AnswerRequest(Answer(rng() % std::uintptr_t(Answer::Count)), std::size_t(rng()));
    Tick();
    CheckQuiet("end");
    OnMonitor([&] {
        EXPECT_EQ(monitor->GetHistoryMap().GetOutstandingCount(), 0u);
        EXPECT_EQ(monitor->GetStartupSummary(), nullptr);
        MonitorActionPools& pools = TheMonitorGlobals().m_Pools;
        for (int kind = 0; kind < Pool::PoolCount; ++kind) {
            MonitorActionPool& pool = pools.Get(Pool(kind));
            auto position = pool.Begin();
            while (MonitorAction* action = pool.GetNext(position))
                EXPECT_EQ(action->GetHistoryMap(), nullptr) << "an action still waits for history";
        }
    });
    EXPECT_EQ(history->GetPending(), 0u);
    std::uint64_t answered = 0;
    for (const auto& count : history->answers)
        answered += count;
    EXPECT_EQ(answered, history->requests.load()) << "every request the history thread took was answered";
    // Every restart told the history thread, after the restart dropped what was in flight.
    EXPECT_EQ(history->restarts.load(), restarts);

    std::uint64_t sent = 0, dropped = 0;
    for (int kind = 0; kind < Pool::PoolCount; ++kind)
        for (int what = 0; what < 2; ++what) {
            sent += SentReplies()[std::size_t(kind)][std::size_t(what)];
            dropped += app.droppedOnReceipt[kReplyIds[kind][what]];
        }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "soak: %d minutes in %.1f s; %llu frames; %llu installs, %llu cancels, %llu resets, %llu restarts;"
        " %llu answers sent and received, %llu of them dropped on receipt by a restart;"
        " history: %llu requests (%llu dropped), %llu checkpoints (%llu dropped), answers %llu data,"
        " %llu empty, %llu failed, %llu bare\n",
        minutes, wall, static_cast<unsigned long long>(adapters->GetDelivered()),
        static_cast<unsigned long long>(installs), static_cast<unsigned long long>(cancels),
        static_cast<unsigned long long>(resets), static_cast<unsigned long long>(restarts),
        static_cast<unsigned long long>(sent), static_cast<unsigned long long>(dropped),
        static_cast<unsigned long long>(history->requests.load()),
        static_cast<unsigned long long>(history->requestsDropped.load()),
        static_cast<unsigned long long>(history->checkpoints.load()),
        static_cast<unsigned long long>(history->checkpointsDropped.load()),
        static_cast<unsigned long long>(history->answers[0].load()),
        static_cast<unsigned long long>(history->answers[1].load()),
        static_cast<unsigned long long>(history->answers[2].load()),
        static_cast<unsigned long long>(history->answers[3].load()));

    // What is still alive once the threads stopped was refused on receipt and goes with the pool.
    StopWorkerThread(monitor);
    app.PumpPending();
    std::istringstream alive(engine.Get().m_MessagePool.Describe());
    for (std::string line; std::getline(alive, line);) {
        if (line.find("STATE_") == std::string::npos) continue;
        EXPECT_NE(line.find("STATE_POOL_DTOR"), std::string::npos) << line;
    }
}

} // namespace
} // namespace vq
