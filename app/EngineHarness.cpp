#include "app/EngineHarness.h"

#include "config/CCfgOstrelix.h"
#include "config/CConfig.h"
#include "platform/packet/CaptureFileReader.h"
#include "platform/packet/DeviceName.h"
#include "platform/packet/PacketDriver.h"
#include "platform/registry/Registry.h"
#include "runtime/ConfigFileNames.h"
#include "runtime/HeadlessApp.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace vq {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultConfigName = "engine.vqd";
constexpr const char* kDefaultHistoryName = "history.vqh";
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
    return 0;
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
