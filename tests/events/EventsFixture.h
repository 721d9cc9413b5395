#pragma once

#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgLogGroup.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/CCfgNet.h"
#include "config/CCfgNetworkEvent.h"
#include "config/CCfgOstrelix.h"
#include "config/CConfig.h"
#include "events/CEventHandler.h"
#include "events/LogDoc.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorAlarm.h"
#include "monitor/MonitorControlMessage.h"
#include "platform/thread/MessageQueue.h"
#include "platform/time/Clock.h"
#include "platform/time/FileTime.h"
#include "platform/time/LocalTime.h"
#include "runtime/EngineGlobals.h"
#include "runtime/ThreadObject.h"
#include "shell/COstrelixApp.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/EventInfo.h"
#include "shell/ExplorerInfo.h"
#include "tests/shell/ShellFixture.h"

#include <algorithm>
#include <ctime>
#include <functional>

namespace vq::test {

// The file time of a local date and time.
inline std::uint64_t LocalTicks(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    std::int64_t seconds = 0;
    UnixSecondsFromLocal(local, seconds);
    return UnixEpochTicks + std::uint64_t(seconds) * TicksPerSecond;
}

// Stands for the monitor thread: what is sent to it lands in this thread's own queue.
class MonitorQueue : public ThreadObject {
public:
    MonitorQueue() { SetThreadId(CurrentThreadId()); }
};

// A configuration database "site.vqd" made by the test, an application loaded from it, the event
// log and the event handler started as on the first monitor-start reply, at 22:15:03 on 8 December
// 2026.
class EventsFixture : public ShellFixture {
protected:
    struct Level {
        std::string name;
        bool ackRequired = false;
        int autoAckMinutes = 0;
        std::function<void(CCfgLogGroupLevel&)> more;
    };

    void SetUp() override {
        ShellFixture::SetUp();
        m_Engine = std::make_unique<ScopedEngineGlobals>();
        m_Clock.Set(LocalTicks(2026, 12, 8, 22, 15, 3));
        m_Store.SetProgramFolder(ProgramFolder());
        ASSERT_TRUE(m_Store.CreateDatabase(m_Dir.Path().string(), "site"));
        ASSERT_TRUE(m_Store.Open(DatabasePath(), m_Dir.Path().string()));
    }
    void TearDown() override {
        Pump();
        m_App.reset();
        TakeSent(0, 0xFFFF);
        m_Engine.reset();
        ShellFixture::TearDown();
    }

    std::string DatabasePath() const { return m_Dir.File("site.vqd"); }

    void SaveLevels(const std::string& group, const std::vector<Level>& levels) {
        CCfgLogGroup record;
        record.SetName(group);
        ASSERT_TRUE(m_Store.SaveLogGroup(record)) << m_Store.TakeLastError();
        for (const Level& level : levels) {
            CCfgLogGroupLevel row;
            row.SetGroupName(group);
            row.SetName(level.name);
            row.SetAckRequired(level.ackRequired);
            row.SetAutoAckMinutes(level.autoAckMinutes);
            if (level.more) level.more(row);
            ASSERT_TRUE(m_Store.SaveLogGroupLevel(row)) << m_Store.TakeLastError();
        }
    }
    void SaveDevice(const std::string& name, int addressType, const std::string& address) {
        CCfgDevice record;
        record.SetName(name);
        record.SetAddressType(addressType);
        record.SetAddress(address);
        record.SetBitmap("Server");
        ASSERT_TRUE(m_Store.SaveDevice(record)) << m_Store.TakeLastError();
    }
    void SaveNetwork(const std::string& name, int adapterIndex) {
        CCfgNet record;
        record.SetName(name);
        record.SetAdapterIndex(adapterIndex);
        record.SetAdapterAddress("02:00:00:00:00:01");
        ASSERT_TRUE(m_Store.SaveNetwork(record)) << m_Store.TakeLastError();
    }
    // A "High Traffic Volume" event of 100 per second, reported to Ops/Info unless changed.
    static CCfgDeviceEvent DeviceEvent(const std::string& owner) {
        CCfgDeviceEvent record;
        record.SetOwnerName(owner);
        record.SetType(1);
        record.SetThreshold(100);
        record.SetSampleTime(ScheduleStart(kSchedulePeriod) + OleDateTimeSpan(0, 0, 1, 0));
        record.SetFrequency(ScheduleStart(kScheduleOff));
        record.SetPrimaryGroup("Ops");
        record.SetPrimaryLevel("Info");
        return record;
    }
    void SaveEvent(const CCfgDeviceEvent& record) {
        ASSERT_TRUE(m_Store.SaveDeviceEvent(record)) << m_Store.TakeLastError();
    }
    void SaveEvent(const CCfgNetworkEvent& record) {
        ASSERT_TRUE(m_Store.SaveNetworkEvent(record)) << m_Store.TakeLastError();
    }

    // Loads the application and its log; `configure` sets the root record before the log opens.
    void Start(const std::function<void(CCfgOstrelix&)>& configure = {}) {
        m_App = std::make_unique<COstrelixApp>();
        m_App->RegisterMainThread();
        m_App->GetSystemDoc().SetPath(m_Dir.Path().string());
        m_App->GetSystemDoc().SetName("site.vqd");
        ASSERT_TRUE(m_App->LoadConfiguration());
        if (configure) configure(*m_App->GetRootRecord());
        m_App->SetLogDoc(std::make_unique<LogDoc>());
        m_App->GetLogDoc()->Initialize(*m_App);
        m_App->GetEventHandler().SetMonitorThread(&m_Monitor);
    }
    // The first monitor-start reply: monitoring runs and every event is armed.
    void StartMonitoring() {
        ASSERT_TRUE((new MonitorControlStartMessage(false, true))->Send(&m_App->GetThreadObject()));
        PumpOnly(WM_Monitor_Start);
    }
    // Dispatches the queued messages with these ids only, leaving the monitor's in the queue.
    static void PumpOnly(UINT id) {
        MSG msg;
        while (PeekMessage(&msg, 0, id, id, PM_REMOVE))
            DispatchMessage(&msg);
    }
    static void Pump() {
        MSG msg;
        while (PeekMessage(&msg, 0, WM_USER, WM_USER + 0x7000, PM_REMOVE))
            DispatchMessage(&msg);
    }
    // The thread messages sent to the monitor with ids in the range, taken out of the queue; the
    // alarms of install messages are taken from them.
    struct Sent {
        std::unique_ptr<ThreadMessage> message;
        std::unique_ptr<MonitorAction> action;
        MonitorAlarm& Alarm() const { return dynamic_cast<MonitorAlarm&>(*action); }
    };
    std::vector<Sent> TakeSent(std::uint32_t first, std::uint32_t last) {
        std::vector<Sent> taken;
        QueueEntry entry;
        const MessageRange range{std::max(first, kFirstThreadMessageId),
                                 std::min(last, kLastThreadMessageId)};
        while (MessageQueue::Current().Peek(entry, TargetFilter::ThreadOnly(), range)) {
            Sent sent{std::unique_ptr<ThreadMessage>(reinterpret_cast<ThreadMessage*>(entry.lParam)),
                      nullptr};
            if (auto* request = dynamic_cast<MonitorActionRequestMessage*>(sent.message.get()))
                sent.action = request->TakeAction();
            taken.push_back(std::move(sent));
        }
        return taken;
    }
    std::vector<Sent> TakeInstalls() { return TakeSent(WM_Alarm_Install, WM_Alarm_Install); }
    std::size_t TakeCancels() { return TakeSent(WM_Alarm_Uninstall, WM_Alarm_Uninstall).size(); }

    ExplorerInfo& Device(const std::string& name) { return *m_App->GetSystemDoc().FindDevice(name); }
    EventInfo& EventOf(const std::string& device, int index = 0) { return *Device(device).GetEventAt(index); }
    LogDoc& Log() { return *m_App->GetLogDoc(); }

    std::unique_ptr<ScopedEngineGlobals> m_Engine;
    ManualClock m_Clock;
    ScopedClock m_InstalledClock{m_Clock};
    CConfig m_Store{{}, [](const std::string&) {}};
    MonitorQueue m_Monitor;
    std::unique_ptr<COstrelixApp> m_App;
};

} // namespace vq::test
