// A configured event through the whole program: the application starts the real monitor thread on
// a replayed capture, arms the event as an alarm, and the alarm's trigger comes back through the
// application's dispatch into the event handler, the log, the notification and the CSV file.

#include "capture/Packet.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorAdapters.h"
#include "monitor/MonitorGlobals.h"
#include "platform/packet/CaptureFileReader.h"
#include "platform/registry/Registry.h"
#include "runtime/GeneralThreadMessage.h"
#include "tests/events/EventsFixture.h"
#include "tests/runtime/EngineTestClock.h"
#include "tests/shell/EventRecording.h"
#include "tests/support/TestPaths.h"
#include "tests/support/Watchdog.h"

#include <atomic>
#include <fstream>
#include <set>
#include <sstream>

namespace vq {
namespace {

constexpr const char* kAdapterMac = "02:00:00:00:00:01";
// The capture's frames, all within 3 ms, go between this host and one other.
constexpr const char* kReceiver = "10.77.0.2";
constexpr const char* kStranger = "10.9.9.9";

std::string CapturePath() {
    return test::TestPath("VQ_TEST_DATA_DIR") + "/captures/namespace.pcap";
}

std::size_t FrameCount(const std::string& path) {
    std::size_t count = 0;
    RecordedFrame frame;
    for (auto reader = CaptureFileReader::Open(path); reader && reader->Next(frame);)
        ++count;
    return count;
}

// The monitor's capture adapters with the replay held back until the test lets it go, so that the
// alarms are installed before the first frame is counted, as they are before live traffic; the
// main thread hears once the monitor has taken every frame of the file.
class HeldReplay : public MonitorAdapters {
public:
    static constexpr std::uint32_t kAllCounted = 0xBF01;

    HeldReplay(std::uint32_t slots, ThreadId main, std::size_t frames)
        : MonitorAdapters(slots, nullptr), m_Counter(main, frames) {}

    bool IsReceiving() const override { return m_Released.load() && MonitorAdapters::IsReceiving(); }
    void SetPacketSink(PacketSink* sink) override {
        m_Counter.m_Target = sink;
        MonitorAdapters::SetPacketSink(sink ? &m_Counter : nullptr);
    }
    // The monitor looks again at its slots at its next message.
    void Release() { m_Released.store(true); }

private:
    class Counter : public PacketSink {
    public:
        Counter(ThreadId main, std::size_t frames) : m_Main(main), m_Left(frames) {}
        bool AddPacket(Packet& packet) override {
            const bool added = m_Target && m_Target->AddPacket(packet);
            if (m_Left > 0 && --m_Left == 0) PostThreadMessage(m_Main, kAllCounted, 0, 0);
            return added;
        }
        PacketSink* m_Target = nullptr;

    private:
        ThreadId m_Main;
        std::size_t m_Left;
    };

    std::atomic<bool> m_Released{false};
    Counter m_Counter;
};

class EventEndToEndTest : public test::EventsFixture {
protected:
    void TearDown() override {
        EventsFixture::TearDown();
        SetMachineAdapterList(std::nullopt);
    }

    // Dispatches the main thread's messages until `done` holds; a minute of real time fails it.
    void PumpUntil(const char* what, const std::function<bool()>& done) {
        test::QueueWatchdog watchdog(std::chrono::seconds(60));
        MSG msg;
        while (!done()) {
            ASSERT_TRUE(GetMessage(&msg, 0, 0, 0));
            ASSERT_FALSE(watchdog.Fired()) << "still waiting for " << what;
            m_Arrived.insert(msg.message);
            DispatchMessage(&msg);
        }
    }

    // Manual time for the engine's ticks and the log's times alike, replacing the fixture's clock.
    EngineTestClock m_EngineClock;
    std::set<UINT> m_Arrived;
};

TEST_F(EventEndToEndTest, AReplayedFloodRaisesHighTrafficVolumeIntoTheLogThePopupAndTheCsvFile) {
    const std::size_t frames = FrameCount(CapturePath());
    ASSERT_GT(frames, 0u);
    SetMachineAdapterList(
        std::vector<std::string>{"\\Device\\replay:" + CapturePath() + "?mac=" + kAdapterMac});
    HeldReplay* replay = nullptr;
    const ThreadId main = CurrentThreadId();
    TheMonitorGlobals().m_AdaptersFactory = [&replay, main, frames](std::uint32_t slots) {
        auto made = std::make_unique<HeldReplay>(slots, main, frames);
        replay = made.get();
        return std::unique_ptr<CaptureAdapters>(std::move(made));
    };

    SaveLevels("Ops", {{"Info", false, 0, [](CCfgLogGroupLevel& level) {
                            level.SetReportDialog(true);
                            level.SetDialogType(1);
                        }}});
    SaveNetwork("Lan", -1);
    for (const auto& [name, address] : {std::pair{"pc7", kReceiver}, std::pair{"pc9", kStranger}}) {
        SaveDevice(name, 2, address);
        CCfgDeviceEvent event = DeviceEvent(name);
        event.SetThreshold(10);
        event.SetSampleTime(ScheduleStart(kSchedulePeriod) + OleDateTimeSpan(0, 0, 0, 1));
        SaveEvent(event);
    }
    Start([](CCfgOstrelix& root) { root.SetCsvLogging(true); });
    m_App->GetEventHandler().SetMonitorThread(nullptr);
    m_App->m_HistoryFolder = m_Dir.Path().string();

    // The adapters are reported, bound to "Lan" and started; the start's answer arms the events.
    m_App->StartMonitor();
    ASSERT_TRUE(m_App->IsMonitorCreated());
    PumpUntil("monitoring to start", [&] { return m_App->GetMonitorState() == 1; });
    EventInfo& info = EventOf("pc7");
    ASSERT_TRUE(m_App->GetEventHandler().IsArmed(info));

    // The monitor takes its queued messages, the alarm's install among them, before any frame.
    replay->Release();
    ASSERT_TRUE((new GeneralThreadMessage(WM_General_Command, 0, false, true))->Send(m_App->GetMonitor()));
    PumpUntil("every frame to be counted", [&] { return m_Arrived.count(HeldReplay::kAllCounted) != 0; });
    EXPECT_EQ(info.m_ActiveEntry, nullptr) << "nothing fires before the alarm's second is over";

    // Every frame in the alarm's one second: a rate of dozens against the event's 10.
    m_EngineClock.AdvanceMilliseconds(2000);
    PumpUntil("the event's pop-up", [&] { return info.m_ActiveEntry && info.m_ActiveEntry->m_Popup; });
    // The monitor answers in order: whatever the tick sent has arrived before this answer.
    ASSERT_TRUE((new MonitorControlPauseMessage(true, true))->Send(m_App->GetMonitor()));
    PumpUntil("the monitor's pause", [&] { return m_Arrived.count(WM_Monitor_Pause) != 0; });
    EXPECT_EQ(EventOf("pc9").m_ActiveEntry, nullptr) << "a device the capture never saw";

    EXPECT_TRUE(info.m_ActiveEntry->m_Reported);
    const auto isRaised = [](const LogTransaction& t) { return t.m_Type != SystemEventInfo::kType; };
    const auto& transactions = Log().GetTransactions();
    ASSERT_EQ(std::count_if(transactions.begin(), transactions.end(), isRaised), 1);
    const LogTransaction& raised = *std::find_if(transactions.begin(), transactions.end(), isRaised);
    EXPECT_EQ(raised.m_ObjectName, "pc7");
    EXPECT_EQ(raised.m_Action, LogTransaction::kActive);
    std::ifstream csv(Log().GetEventFile()->GetPath(), std::ios::binary);
    std::stringstream text;
    text << csv.rdbuf();
    EXPECT_NE(text.str().find(",\"pc7\",\"High Traffic Volume\",\"Active\",\"\"\r\n"), std::string::npos)
        << text.str();
}

} // namespace
} // namespace vq
