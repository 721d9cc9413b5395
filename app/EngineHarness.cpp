#include "app/EngineHarness.h"

#include "app/EngineAdapters.h"
#include "app/EngineMonitor.h"
#include "app/ReplyPrinter.h"
#include "config/CCfgOstrelix.h"
#include "config/CConfig.h"
#include "history/History.h"
#include "monitor/AlarmThreshold.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorAlarm.h"
#include "monitor/MonitorControlMessage.h"
#include "monitor/MonitorConversation.h"
#include "monitor/MonitorDataStatistic.h"
#include "monitor/MonitorGlobals.h"
#include "monitor/MonitorSummary.h"
#include "monitor/MonitorTrend.h"
#include "netmodel/Tuple.h"
#include "platform/packet/CaptureFileReader.h"
#include "platform/packet/DeviceName.h"
#include "platform/packet/PacketDriver.h"
#include "platform/registry/Registry.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/ConfigFileNames.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/MessageIds.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/TimeUnits.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace vq {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultConfigName = "engine.vqd";
constexpr const char* kDefaultHistoryName = "history.vqh";
// The history flags the desktop program passes too: create the file when missing, load it.
constexpr int32_t kHistoryFlags = 25;
// The link speed replay adapters claim, for the bandwidth shares of the actions.
constexpr uint64_t kReplayLinkSpeed = 1'000'000'000;

std::string FolderOf(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? std::string(".") : parent.string();
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

std::string FormatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

long PeakResidentKilobytes() {
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : 0;
}

} // namespace

EngineHarness::EngineHarness(EngineOptions options) : m_Options(std::move(options)) {}

EngineHarness::~EngineHarness() {
    SetMachineAdapterList(std::nullopt);
    m_Config.reset();
    if (!m_TemporaryFolder.empty()) {
        std::error_code error;
        fs::remove_all(m_TemporaryFolder, error);
    }
}

std::optional<std::string> EngineHarness::Prepare() {
    if (auto error = m_Options.replay.empty() ? PrepareAdapters() : PrepareReplay()) return error;
    if (auto error = PrepareConfiguration()) return error;
    return PrepareHistory();
}

std::optional<std::string> EngineHarness::PrepareReplay() {
    uint64_t firstTime = 0;
    try {
        std::unique_ptr<CaptureFileReader> reader = CaptureFileReader::Open(m_Options.replay);
        RecordedFrame frame;
        if (reader->Next(frame)) firstTime = frame.time;
    } catch (const std::system_error& error) {
        return "cannot replay " + m_Options.replay + ": " + error.code().message();
    }
    m_ReplayClock = std::make_unique<ReplayClock>(firstTime);
    std::string name = std::string(DeviceName::kPrefix) + std::string(DeviceName::kReplayPrefix) +
                       m_Options.replay + "?speed=" + std::to_string(kReplayLinkSpeed);
    if (m_Options.pace > 0.0) name += "&pace=" + FormatNumber(m_Options.pace);
    if (!DeviceName::Parse(name))
        return "cannot replay " + m_Options.replay + ": the name does not make an adapter name";
    m_DeviceNames.push_back(std::move(name));
    SetMachineAdapterList(m_DeviceNames);
    return std::nullopt;
}

std::optional<std::string> EngineHarness::PrepareAdapters() {
    for (const std::string& adapter : m_Options.adapters) {
        std::string name =
            adapter.starts_with(DeviceName::kPrefix) ? adapter : std::string(DeviceName::kPrefix) + adapter;
        const PacketHandle handle = W32N_OpenAdapter(name.c_str());
        if (handle == kInvalidPacketHandle)
            return "cannot open adapter " + adapter + ": " + std::strerror(W32N_GetLastError());
        W32N_CloseAdapter(handle);
        m_DeviceNames.push_back(std::move(name));
    }
    if (!m_DeviceNames.empty()) SetMachineAdapterList(m_DeviceNames);
    return std::nullopt;
}

std::optional<std::string> EngineHarness::PrepareConfiguration() {
    if (m_Options.config.empty()) {
        std::string folder = (fs::temp_directory_path() / "vorquel-engine-XXXXXX").string();
        if (mkdtemp(folder.data()) == nullptr)
            return "cannot make a temporary folder: " + std::string(std::strerror(errno));
        m_TemporaryFolder = folder;
        m_ConfigPath = folder + "/" + kDefaultConfigName;
    } else {
        m_ConfigPath = m_Options.config;
    }
    const std::string folder = FolderOf(m_ConfigPath);
    if (!IsFolder(folder)) return "no such folder for the configuration: " + folder;

    std::string message;
    m_Config = std::make_unique<CConfig>(CConfig::ConnectionFactory{},
                                         [&message](const std::string& text) { message = text; });
    if (!Exists(m_ConfigPath)) {
        const std::string name = fs::path(m_ConfigPath).filename().string();
        if (!IsConfigFileName(name))
            return "cannot create " + m_ConfigPath + ": configuration files end in .vqd";
        m_Config->SetProgramFolder(ProgramFolderOfProcess());
        if (!m_Config->CreateDatabase(folder, name)) return "cannot create " + m_ConfigPath + ": " + message;
    }
    if (!m_Config->Open(m_ConfigPath, folder) || !m_Config->LoadRoot())
        return "cannot read the configuration " + m_ConfigPath + ": " + m_Config->TakeLastError();
    return std::nullopt;
}

std::optional<std::string> EngineHarness::PrepareHistory() {
    m_HistoryPath =
        m_Options.history.empty() ? FolderOf(m_ConfigPath) + "/" + kDefaultHistoryName : m_Options.history;
    const std::string folder = FolderOf(m_HistoryPath);
    if (!IsFolder(folder)) return "no such folder for the history: " + folder;
    return std::nullopt;
}

int EngineHarness::Run() {
    if (auto error = Prepare()) {
        std::fprintf(stderr, "vorquel-engine: %s\n", error->c_str());
        return 2;
    }
    // Every thread started from here on leaves SIGINT and SIGTERM to the watcher.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    if (m_ReplayClock) {
        InstallClock(m_ReplayClock.get());
        SetMonotonicClock(m_ReplayClock.get());
    }
    const int status = RunEngine(stopSignals);
    if (m_ReplayClock) {
        SetMonotonicClock(nullptr);
        InstallClock(nullptr);
    }
    return status;
}

namespace {

// The main thread of the harness: prints what the actions answer and notices the end of the run.
class EngineApp : public HeadlessApp {
public:
    explicit EngineApp(const ReplyPrinter& printer) : m_Printer(printer) {}

    // Handles one entry; false once the run is over.
    bool Take(const QueueEntry& entry) {
        if (entry.message == EngineMonitor::kReplayDone || entry.message == kStopRequested) return false;
        Dispatch(entry);
        return true;
    }
    MonitorControlStartMessage* TakeStartAnswer() { return std::exchange(m_StartAnswer, nullptr); }

    static constexpr uint32_t kStopRequested = 0x0403;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (id == WM_Monitor_Start && message->Receive()) {
            delete m_StartAnswer;
            m_StartAnswer = dynamic_cast<MonitorControlStartMessage*>(message);
            return;
        }
        if (auto* report = dynamic_cast<NotificationThreadMessage*>(message);
            report && report->GetSeverity() >= 4)
            std::fprintf(stderr, "vorquel-engine: %s\n", report->GetText().c_str());
        m_Printer.Print(id, *message);
        HeadlessApp::OnThreadMessage(id, message);
    }

private:
    const ReplyPrinter& m_Printer;
    MonitorControlStartMessage* m_StartAnswer = nullptr;
};

// Turns SIGINT and SIGTERM into a stop request for the main thread. Runs on real time, whatever
// the replay clock.
class Watcher {
public:
    Watcher(const sigset_t& signals, ThreadId main)
        : m_Thread([this, signals, main] { Watch(signals, main); }) {}
    ~Watcher() {
        m_Stop = true;
        m_Thread.join();
    }

private:
    void Watch(const sigset_t& signals, ThreadId main) {
        const timespec period{0, 50'000'000};
        while (!m_Stop) {
            if (sigtimedwait(&signals, nullptr, &period) > 0) {
                PostThreadMessage(main, EngineApp::kStopRequested, 0, 0);
                return;
            }
        }
    }

    std::atomic<bool> m_Stop{false};
    std::thread m_Thread;
};

std::unique_ptr<Tuple> InterfaceSelection(uint16_t adapter) {
    return std::make_unique<Tuple>(adapter, KEY_Interface);
}

std::unique_ptr<AlarmThreshold> ThresholdOf(const AlarmSpec& spec) {
    switch (spec.mode) {
    case AlarmSpec::Mode::Rising:
        return std::make_unique<AlarmThreshold>(spec.rate, MODE_RISING, kLimitNotSet, MODE_UNSET);
    case AlarmSpec::Mode::Falling:
        return std::make_unique<AlarmThreshold>(kLimitNotSet, MODE_UNSET, spec.rate, MODE_FALLING);
    case AlarmSpec::Mode::Crossing:
        break;
    }
    return std::make_unique<AlarmThreshold>(spec.rate, MODE_CROSSING, kLimitNotSet, MODE_UNSET);
}

} // namespace

void EngineHarness::InstallActions(ThreadObject& monitor, const std::vector<uint16_t>& adapters,
                                   ThreadObject& replies, ReplyPrinter& printer) {
    constexpr double kPerSecond = 1000.0;
    const auto send = [&](ThreadMessage* request) {
        if (!request->Send(&monitor)) delete request;
    };
    for (const uint16_t adapter : adapters) {
        const std::string on = " on adapter " + std::to_string(adapter);
        const void* id = &m_Identifiers.emplace_back();
        auto summary = std::make_unique<MonitorSummary>(id, SOURCE_LIVE_RING, SCOPE_TUPLES,
                                                        TimeSpan(5, Unit::Minutes), 0);
        summary->AddSelection(InterfaceSelection(adapter));
        for (int64_t minutes : {5, 60, 480})
            summary->AddPeriod(TimeSpan(minutes, Unit::Minutes));
        summary->AddDefaultElement();
        summary->SetReplyThread(&replies);
        printer.Name(id, "summary" + on);
        send(new MonitorSummaryRequestMessage(summary.release(), false, true));

        id = &m_Identifiers.emplace_back();
        auto trend = std::make_unique<MonitorTrend>(id, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                    DATA_PERIODIC, TimeSpan(60, Unit::Seconds), 0);
        trend->AddSelection(InterfaceSelection(adapter));
        trend->SetEvaluation(MODE_PACKETS, EVALUATE_RAW, kPerSecond);
        trend->AddDefaultElement();
        trend->SetReplyThread(&replies);
        printer.Name(id, "trend" + on);
        send(new MonitorTrendRequestMessage(trend.release(), false, true));

        id = &m_Identifiers.emplace_back();
        auto partners = std::make_unique<MonitorConversation>(
            id, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC, 0, TimeSpan(60, Unit::Seconds), 0);
        partners->AddSelection(InterfaceSelection(adapter));
        partners->SetEvaluation(MODE_OCTETS, EVALUATE_RAW, kPerSecond);
        partners->AddDefaultElement();
        partners->SetReplyThread(&replies);
        printer.Name(id, "conversations" + on);
        send(new MonitorConversationRequestMessage(partners.release(), false, true));

        for (std::size_t i = 0; i < m_Options.alarms.size(); ++i) {
            const AlarmSpec& spec = m_Options.alarms[i];
            id = &m_Identifiers.emplace_back();
            auto alarm = std::make_unique<MonitorAlarm>(id, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT,
                                                        TimeSpan(spec.periodSeconds, Unit::Seconds), 0);
            alarm->AddSelection(InterfaceSelection(adapter));
            alarm->SetEvaluation(spec.counter == AlarmSpec::Counter::Octets ? MODE_OCTETS : MODE_PACKETS,
                                 EVALUATE_RATE, kPerSecond);
            alarm->AddDefaultElement();
            alarm->SetThreshold(ThresholdOf(spec));
            alarm->SetReplyThread(&replies);
            printer.Name(id, "alarm " + std::to_string(i + 1) + on);
            send(new MonitorAlarmRequestMessage(alarm.release(), false, true));
        }
    }
}

int EngineHarness::RunEngine(const sigset_t& stopSignals) {
    // The engine's state lives and dies inside the run, never among the program's statics.
    ScopedEngineGlobals engine;
    ReplyPrinter printer(m_Options.json);
    EngineApp app(printer);
    app.Register();
    MonitorGlobals& globals = TheMonitorGlobals();
    ReplayClock* clock = m_ReplayClock.get();
    globals.m_AdaptersFactory = [clock](uint32_t slots) {
        return std::make_unique<EngineAdapters>(slots, clock);
    };
    globals.m_HistoryFactory = history::MakeHistory;

    EngineFigures figures;
    std::unique_ptr<Monitor> monitor =
        std::make_unique<EngineMonitor>(&app, clock, RingGeometry::kDefaultIntervalMs, figures);
    monitor->SetHistoryDatabase(m_HistoryPath, kHistoryFlags);
    if (!StartWorkerThread(*monitor)) {
        std::fprintf(stderr, "vorquel-engine: the monitor thread did not start\n");
        return 1;
    }
    const auto started = std::chrono::steady_clock::now();
    int status = 0;
    {
        Watcher watcher(stopSignals, app.GetThreadId());
        auto* start = new MonitorControlStartMessage(true, true);
        if (!start->Send(monitor.get())) delete start;
        QueueEntry entry;
        while (app.GetQueue().Get(entry) && app.Take(entry)) {
            if (MonitorControlStartMessage* answer = app.TakeStartAnswer()) {
                globals.m_RingGeometry.Keep(answer->GetGeometry());
                printer.PrintStarted(static_cast<int>(answer->GetAdapters().size()));
                InstallActions(*monitor, answer->GetAdapters(), app, printer);
                // The replay counts from its first frame in every action: it runs only now.
                if (clock) PostThreadMessage(monitor->GetThreadId(), EngineMonitor::kReplayGo, 0, 0);
                if (answer->Complete()) delete answer;
            }
        }
    }
    StopWorkerThread(monitor);
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    app.PumpPending();
    if (m_Options.conversations) PrintConversations(figures);
    PrintFinalTable(figures, wallSeconds);
    return status;
}

void EngineHarness::PrintConversations(const EngineFigures& figures) const {
    for (const IpConversationFigures& conversation : figures.conversations) {
        if (m_Options.json)
            std::printf("{\"a\":\"%s\",\"b\":\"%s\",\"frames\":%llu,\"octets\":%llu}\n",
                        conversation.a.c_str(), conversation.b.c_str(),
                        static_cast<unsigned long long>(conversation.frames),
                        static_cast<unsigned long long>(conversation.octets));
        else
            std::printf("conversation %s <-> %s: %llu frames, %llu octets\n", conversation.a.c_str(),
                        conversation.b.c_str(), static_cast<unsigned long long>(conversation.frames),
                        static_cast<unsigned long long>(conversation.octets));
    }
}

void EngineHarness::PrintFinalTable(const EngineFigures& figures, double wallSeconds) const {
    const double fps = wallSeconds > 0.0 ? static_cast<double>(figures.frames) / wallSeconds : 0.0;
    const auto u = [](uint64_t value) { return static_cast<unsigned long long>(value); };
    if (m_Options.json) {
        std::printf(
            "{\"frames\":%llu,\"octets\":%llu,\"lost\":%llu,\"fps\":%.0f,\"hosts\":%llu,\"tuples\":%llu,"
            "\"peak_rss_kb\":%ld}\n",
            u(figures.frames), u(figures.octets), u(figures.lost), fps, u(figures.hosts), u(figures.tuples),
            PeakResidentKilobytes());
        return;
    }
    std::printf("frames       %llu\n"
                "octets       %llu\n"
                "lost         %llu\n"
                "frames/s     %.0f\n"
                "hosts        %llu\n"
                "tuples       %llu\n"
                "peak RSS     %ld KB\n",
                u(figures.frames), u(figures.octets), u(figures.lost), fps, u(figures.hosts),
                u(figures.tuples), PeakResidentKilobytes());
}

} // namespace vq
