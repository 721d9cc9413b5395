// Raises the events of 1,000 devices through the event handler as fast as the log takes them, with
// the CSV file on, two windows told of every change and a worker posting system events, then checks
// that nothing was lost and times disarming the 1,000 events.
#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CCfgOstrelix.h"
#include "config/CConfig.h"
#include "config/Schedule.h"
#include "events/CEventHandler.h"
#include "events/LogDoc.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorControlMessage.h"
#include "platform/thread/MessageQueue.h"
#include "runtime/EngineGlobals.h"
#include "runtime/ThreadObject.h"
#include "shell/COstrelixApp.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/EventInfo.h"
#include "shell/ExplorerInfo.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

namespace {

using namespace vq;
using Clock = std::chrono::steady_clock;

constexpr int kDevices = 1000;
constexpr int kRounds = 60;
constexpr int kSystemEvents = kDevices * kRounds;

class MonitorQueue : public ThreadObject {
public:
    MonitorQueue() { SetThreadId(CurrentThreadId()); }
};

void Pump() {
    MSG msg;
    while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
        // What the event handler sends the monitor is dropped here.
        if ((msg.message == WM_Alarm_Install || msg.message == WM_Alarm_Uninstall) && msg.hwnd == 0) {
            auto* message = reinterpret_cast<ThreadMessage*>(msg.lParam);
            if (auto* request = dynamic_cast<MonitorActionRequestMessage*>(message)) request->TakeAction();
            delete message;
            continue;
        }
        DispatchMessage(&msg);
    }
}

LRESULT CountChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static long changes = 0;
    if (message == WM_USER + 10) ++changes;
    return DefWindowProc(window, message, wParam, lParam);
}

bool MakeDatabase(const std::string& folder) {
    CConfig store{{}, [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }};
    store.SetProgramFolder(folder);
    if (!store.CreateDatabase(folder, "bench") || !store.Open(folder + "/bench.vqd", folder)) return false;
    for (int i = 0; i < kDevices; ++i) {
        const std::string name = "d" + std::to_string(i);
        CCfgDevice device;
        device.SetName(name);
        device.SetAddressType(2);
        device.SetAddress("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1));
        device.SetBitmap("Server");
        CCfgDeviceEvent event;
        event.SetOwnerName(name);
        event.SetType(1);
        event.SetThreshold(100);
        event.SetResetWhenNormal(true);
        event.SetSeverity(2);
        event.SetSampleTime(ScheduleStart(kSchedulePeriod) + OleDateTimeSpan(0, 0, 1, 0));
        event.SetFrequency(ScheduleStart(kScheduleOff));
        if (!store.SaveDevice(device) || !store.SaveDeviceEvent(event)) return false;
    }
    return true;
}

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    char pattern[] = "/tmp/vq-eventlog-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    ::setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (folder + "/data").c_str(), 1);
    std::filesystem::copy_file(VQ_CONFIG_TEMPLATE, folder + "/VorquelIP.tpl");
    if (!MakeDatabase(folder)) {
        std::fprintf(stderr, "the database could not be made\n");
        return 1;
    }

    int status = 0;
    {
        ScopedEngineGlobals engine;
        MonitorQueue monitor;
        COstrelixApp app;
        app.RegisterMainThread();
        app.SetProgramFolder(folder);
        app.GetSystemDoc().SetPath(folder);
        app.GetSystemDoc().SetName("bench.vqd");
        if (!app.LoadConfiguration()) return 1;
        app.GetRootRecord()->SetCsvLogging(true);
        app.GetRootRecord()->SetEventEntries(2 * kSystemEvents + 1);
        app.SetLogDoc(std::make_unique<LogDoc>());
        LogDoc& log = *app.GetLogDoc();
        log.Initialize(app);
        WNDCLASS wc;
        wc.lpfnWndProc = &CountChanges;
        wc.lpszClassName = "EventLogBenchWindow";
        RegisterClass(wc);
        const HWND first =
            CreateWindowEx(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, 0, 0, nullptr);
        const HWND second =
            CreateWindowEx(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, 0, 0, nullptr);
        log.AddWindow(first);
        log.AddWindow(second);
        CEventHandler& handler = app.GetEventHandler();
        handler.SetMonitorThread(&monitor);
        (new MonitorControlStartMessage(false, true))->Send(&app.GetThreadObject());
        Pump();

        std::vector<std::uint64_t> serials;
        for (int i = 0; i < kDevices; ++i)
            serials.push_back(
                app.GetSystemDoc().FindDevice("d" + std::to_string(i))->GetEventAt(0)->GetSerial());

        const Clock::time_point start = Clock::now();
        std::thread worker([&log] {
            for (int i = 0; i < kSystemEvents; ++i)
                log.PostSystemEvent(493, "worker " + std::to_string(i));
        });
        for (int round = 0; round < kRounds; ++round) {
            for (const std::uint64_t serial : serials)
                handler.OnAlarmValue(serial, 101, true);
            Pump();
            for (const std::uint64_t serial : serials)
                handler.OnAlarmValue(serial, 99, false);
            Pump();
        }
        worker.join();
        Pump();
        const double elapsed = Seconds(Clock::now() - start);

        const std::size_t raised = std::size_t(kDevices) * kRounds;
        const std::size_t transactions = log.GetTransactions().size();
        std::ifstream csv(log.GetEventFile()->GetPath(), std::ios::binary);
        std::size_t lines = 0;
        for (std::string line; std::getline(csv, line);)
            ++lines;
        // The header line ends in an extra carriage return before its line feed: two lines.
        const std::size_t records = lines - 2;
        std::size_t systemEntries = log.GetEntries().size();

        const Clock::time_point disarmStart = Clock::now();
        handler.DisarmAll();
        const double disarm = Seconds(Clock::now() - disarmStart);
        Pump();

        std::printf("raised events            %zu in %.3f s: %.0f per second (goal: at least 1,000)\n",
                    raised, elapsed, double(raised) / elapsed);
        std::printf("system events            %d from a worker\n", kSystemEvents);
        std::printf("transactions             %zu (raised + system: %zu)\n", transactions,
                    raised + kSystemEvents);
        std::printf("CSV records              %zu\n", records);
        std::printf("system entries in the log %zu\n", systemEntries);
        std::printf("DisarmAll of %d events   %.6f s\n", kDevices, disarm);
        const bool whole = transactions == raised + kSystemEvents && records == transactions &&
                           systemEntries == std::size_t(kSystemEvents);
        std::printf("%s\n", whole ? "none lost" : "LOST EVENTS");
        status = whole && double(raised) / elapsed >= 1000.0 ? 0 : 1;
        DestroyWindow(first);
        DestroyWindow(second);
    }
    std::filesystem::remove_all(folder);
    return status;
}
