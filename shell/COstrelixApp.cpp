#include "shell/COstrelixApp.h"

#include "config/CCfgOstrelix.h"
#include "config/CConfig.h"
#include "platform/classlib/CommandLineInfo.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/MessageBox.h"
#include "platform/mail/SimpleMail.h"
#include "platform/sys/HelpLauncher.h"
#include "runtime/HeadlessApp.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorStateMessage.h"
#include "shell/ActiveTestManager.h"
#include "shell/CDlg_DBPathName.h"
#include "events/CEventHandler.h"
#include "shell/ReportDoc.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/FileNames.h"
#include "events/LogDoc.h"
#include "runtime/NotificationThreadMessage.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <strings.h>
#include <unistd.h>
#include <utility>

namespace vq {
namespace {

constexpr const char* kSection = COstrelixApp::kSettingsSection;
constexpr const char* kFatalErrorFormat = "Fatal Error %d - %s";
constexpr int kEveryYear = 1899;
constexpr std::array<int, 15> kLogIntervals{1, 5, 15, 30, 60, 300, 600, 900, 1800, 3600, 7200, 10800, 14400, 28800, 43200};
constexpr int kDefaultLogInterval = 300;
constexpr int kDailyYear = 1900;

// Help contexts of the dialogs and commands, and the help page of each.
constexpr std::array<std::pair<std::uint16_t, int>, 21> kHelpTopics{{
    {32838, 1}, {1000, 1}, {32800, 2}, {148, 3}, {242, 4}, {245, 5}, {154, 6}, {155, 7}, {157, 8}, {156, 9},
    {158, 10}, {159, 11}, {251, 12}, {196, 13}, {193, 14}, {220, 15}, {194, 16}, {312, 17}, {408, 18},
    {412, 19}, {160, 20},
}};

bool IsWord(const std::string& text, const char* word) {
    return ::strcasecmp(text.c_str(), word) == 0;
}

// A settings file that cannot be read is moved aside and the settings start from their defaults;
// the user is told where the old file went.
void ReportDamagedSettings(const std::string& file, const std::string& damagedName, const std::string& line) {
    const std::string text = "The settings file " + file + " could not be read at the line \"" + line +
                             "\"; it was kept as " + (damagedName.empty() ? "nothing" : damagedName) +
                             " and the settings start from their defaults.";
    PostNotification(2, 0, text.c_str(), "COstrelixApp", "ReadSettings", file.c_str(), __FILE__, __LINE__);
}

void ShowConfigMessage(const std::string& text) {
    MessageBox(0, text.c_str(), "Vorquel", MB_OK | MB_ICONERROR);
}

} // namespace

void FatalError(const std::string& text, int code) {
    // The monitor and the history it runs must not be cut off in the middle of their work.
    if (auto* app = dynamic_cast<COstrelixApp*>(AfxGetApp())) app->StopMonitor();
    char message[1024];
    std::snprintf(message, sizeof message, kFatalErrorFormat, code, text.c_str());
    MessageBox(0, message, "Vorquel", MB_OK | MB_ICONHAND);
    std::fflush(nullptr);
    // Other threads may still be running, so no destructor of this process may run under them.
    ::_exit(code);
}

COstrelixApp::COstrelixApp()
    : m_EventHandler(std::make_unique<CEventHandler>(*this)),
      m_SystemDoc(std::make_unique<COstrelixSystemDoc>(
          *this, std::make_unique<CConfig>(CConfig::ConnectionFactory{}, ShowConfigMessage))),
      m_ProgramFolder(ProgramFolderOfProcess()), m_DataFolder(UserDataFolder()) {
    GetConfigStore().SetProgramFolder(m_ProgramFolder);
    SetRegistryNoticeHook(ReportDamagedSettings);
}

CConfig& COstrelixApp::GetConfigStore() {
    return m_SystemDoc->GetStore();
}

bool COstrelixApp::LoadConfiguration() {
    return !m_SystemDoc->IsDatabaseOpen() && m_SystemDoc->Load();
}

void COstrelixApp::AddMacFilterEntry(const std::string& macText) {
    if (GetMacOnlyReporting()) m_ThreadObject.AddMacFilterEntry(macText);
}

void COstrelixApp::RemoveMacFilterEntry(const std::string& macText) {
    if (GetMacOnlyReporting()) m_ThreadObject.RemoveMacFilterEntry(macText);
}

COstrelixApp::~COstrelixApp() {
    StopActiveTests();
    m_ActiveTestManager.reset();
    StopMonitor();
    // The log's mail thread uses the mail session, which goes with this object.
    m_LogDoc.reset();
    SetRegistryNoticeHook({});
    ReleaseMapi();
    m_SystemDoc.reset();
}

void COstrelixApp::SetRootRecord(std::unique_ptr<CCfgOstrelix> root) {
    m_Root = std::move(root);
}

void COstrelixApp::SetLogDoc(std::unique_ptr<LogDoc> logDoc) {
    m_LogDoc = std::move(logDoc);
}

int COstrelixApp::GetLogInterval() const {
    const int index = m_Root ? m_Root->GetCsvFrequency() : -1;
    return index >= 0 && index < int(kLogIntervals.size()) ? kLogIntervals[std::size_t(index)] : kDefaultLogInterval;
}

bool COstrelixApp::IsCsvLoggingEnabled() const {
    return m_Root && m_Root->GetCsvLogging();
}

void COstrelixApp::LogSystemEvent(int code, const std::string& text) {
    auto event = std::make_unique<SystemEventInfo>(code, OleDateTime::GetCurrentTime(), text);
    // Nothing is recorded before the configuration is loaded: the event log needs its settings.
    if (m_Root && m_LogDoc) m_LogDoc->OnSystemEvent(std::move(event));
}

bool COstrelixApp::LoadMapi() {
    m_MapiAvailable = false;
    const std::string server = GetProfileString("Mail", "Server", "");
    const std::string from = GetProfileString("Mail", "From", "");
    const char* missing = server.empty() ? "Server" : from.empty() ? "From" : nullptr;
    if (missing) {
        const std::string text = std::string("Mail is off: settings section \"Mail\" has no \"") + missing + "\"";
        PostNotification(2, 0, text.c_str(), "COstrelixApp", "LoadMapi", missing, __FILE__, __LINE__);
    } else if (!SetMailServer(server, from)) {
        const std::string text = "Mail is off: settings section \"Mail\" holds a \"Server\" that is not smtp:// "
                                 "or smtps://, or a \"From\" that is not one mail address";
        PostNotification(2, 0, text.c_str(), "COstrelixApp", "LoadMapi", "Server", __FILE__, __LINE__);
    } else if (!MailTransportAvailable()) {
        if (m_LogDoc) m_LogDoc->PostSystemEvent(kMailTransportMissing, "");
    } else {
        m_MapiAvailable = true;
    }
    m_MapiProbed = true;
    return m_MapiAvailable;
}

MapiCredentials COstrelixApp::GetMapiCredentials() const {
    if (!m_Root || m_Root->GetUseDefaultLogon()) return {};
    return {m_Root->GetMessagingUser(), m_Root->GetMessagingPassword()};
}

std::uintptr_t COstrelixApp::MapiLogon() {
    return MapiLogon(GetMapiCredentials());
}

std::uintptr_t COstrelixApp::MapiLogon(const MapiCredentials& credentials) {
    if (!m_MapiAvailable) return 0;
    std::lock_guard lock(m_MapiMutex);
    if (m_MapiSession) return m_MapiSession;
    const auto& [user, password] = credentials;
    LHANDLE session = 0;
    const ULONG result = MAPILogon(0, user.empty() ? nullptr : user.c_str(), password.c_str(), 0, 0, &session);
    if (result != SUCCESS_SUCCESS) {
        // Posted: the event mail thread logs on too. A logon given up as the log goes is no failure.
        if (result != MAPI_E_USER_ABORT && m_LogDoc) m_LogDoc->PostSystemEvent(kMailLogonFailed);
        session = 0;
    }
    m_MapiSession = session;
    return m_MapiSession;
}

std::uint32_t COstrelixApp::MapiSendMail(const MapiMessage& message) {
    return MAPISendMail(0, 0, &message, 0, 0);
}

std::uint32_t COstrelixApp::MapiFreeBuffer(void* buffer) {
    return MAPIFreeBuffer(buffer);
}

std::uint32_t MapiResolveName(const std::string& name, MapiRecipDesc** recipient) {
    return MAPIResolveName(0, 0, name.c_str(), 0, 0, recipient);
}

void COstrelixApp::ReleaseMapi() {
    std::lock_guard lock(m_MapiMutex);
    if (m_MapiAvailable && m_MapiSession) MAPILogoff(m_MapiSession, 0, 0, 0);
    m_MapiSession = 0;
}

void COstrelixApp::SetProgramFolder(std::string folder) {
    m_ProgramFolder = std::move(folder);
    GetConfigStore().SetProgramFolder(m_ProgramFolder);
}

bool COstrelixApp::ReadSettings(CCommandLineInfo& commandLine, std::string& folder, std::string& name) {
    SetRegistryKey(kRegistryKey);
    LoadStdProfileSettings(4);

    m_WorkspaceName.clear();
    m_UseWorkspace = GetProfileInt(kSection, "Use Workspace", 0) != 0;
    if (m_UseWorkspace) {
        m_WorkspaceName = GetProfileString(kSection, "Workspace", "");
        m_WorkspacePath = GetProfileString(kSection, "Workspace Path", "");
    }

    folder = GetProfileString(kSection, "Path", m_DataFolder.c_str());
    name = GetProfileString(kSection, "Name", kDefaultConfigName);

    m_HistoryFolder = GetProfileString(kSection, "HistoryPath", folder.c_str());
    m_HistoryName = GetProfileString(kSection, "HistoryName", kDefaultHistoryName);
    m_HistoryRestart = GetProfileInt(kSection, "HistoryRestart", 0) == 1;
    SetMacOnlyReporting(GetProfileInt(kSection, "CheckMACOnlyReporting", 0) != 0);
    SetMacOnlyReportingReverse(GetProfileInt(kSection, "CheckMACOnlyReportingREV", 0) != 0);
    m_UseWorkspace = GetProfileInt(kSection, "Use Workspace", 0) != 0;
    m_MaxMonitorData = int(GetProfileInt(kSection, "MaxMonitorData", 8));
    m_DisableDns = GetProfileInt(kSection, "DisableDNS", 0) != 0;

    bool prompt = false;
    ApplyCommandWord(commandLine.m_strFileName, prompt, folder, name);
    if (name.empty()) name = kDefaultConfigName;
    name = MakeConfigFileName(name);
    return OpenConfigDatabase(prompt, folder, name);
}

void COstrelixApp::ApplyCommandWord(const std::string& word, bool& prompt, std::string& folder, std::string& name) {
    if (word.empty()) return;
    if (IsWord(word, "PROMPT")) {
        prompt = true;
    } else if (IsWord(word, "MACONLY") || IsWord(word, "MACONLYREV")) {
        SetMacOnlyReporting(true);
        SetMacOnlyReportingReverse(IsWord(word, "MACONLYREV"));
    } else {
        // A relative path names a file of the current folder, as in any other program.
        std::error_code error;
        const auto path = std::filesystem::absolute(word, error);
        name = SplitPath(error ? word : path.string(), folder);
    }
}

bool COstrelixApp::IsConfigDatabase(const std::string& path) const {
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    const bool passes = m_SystemDoc->GetStore().CheckDatabaseFile(file);
    ::close(file);
    return passes;
}

bool COstrelixApp::OpenConfigDatabase(bool prompt, std::string& folder, std::string& name, const std::string&) {
    for (;;) {
        const std::string path = MakeConfigFilePath(folder, name);
        if (!prompt && IsConfigDatabase(path)) return true;
        if (name == kDefaultConfigName && GetConfigStore().CreateDatabase(folder, name)) return true;

        CDlg_DBPathName dialog(path);
        prompt = false;
        switch (dialog.DoModal()) {
        case IDOK:
            name = SplitPath(dialog.m_PathName, folder);
            return true;
        case IDCANCEL:
            return false;
        case CDlg_DBPathName::kCreate:
            name = SplitPath(dialog.m_PathName, folder);
            GetConfigStore().CreateDatabase(folder, name);
            return true;
        default:
            break;
        }
    }
}

int COstrelixApp::ExitInstance() {
    FreeQueuedMessages();
    const std::string folder = m_SystemDoc->GetPath();
    WriteProfileString(kSection, "Path", folder.c_str());
    WriteProfileString(kSection, "Name", m_SystemDoc->GetName().c_str());
    WriteProfileString(kSection, "HistoryPath", folder.c_str());
    WriteProfileString(kSection, "HistoryName", m_HistoryName.c_str());
    WriteProfileInt(kSection, "HistoryRestart", m_HistoryRestart ? 1 : 0);
    if (m_UseWorkspace) {
        WriteProfileInt(kSection, "Use Workspace", 1);
        WriteProfileString(kSection, "Workspace", m_WorkspaceName.c_str());
        WriteProfileString(kSection, "Workspace Path", m_WorkspacePath.c_str());
    } else {
        WriteProfileInt(kSection, "Use Workspace", 0);
    }
    WriteProfileInt(kSection, "MaxMonitorData", m_MaxMonitorData);
    WriteProfileInt(kSection, "DisableDNS", m_DisableDns ? 1 : 0);
    WriteProfileInt(kSection, "CheckMACOnlyReporting", GetMacOnlyReporting() ? 1 : 0);
    WriteProfileInt(kSection, "CheckMACOnlyReportingRev", GetMacOnlyReportingReverse() ? 1 : 0);
    return CWinApp::ExitInstance();
}

void COstrelixApp::LoadRestartSchedule(CCfgOstrelix& root) {
    m_RestartSchedule = root.GetMonitorResetTime();
    m_RestartEnabled = false;
    const int year = m_RestartSchedule.GetYear();
    if (year == kEveryYear) {
        m_RestartEnabled = true;
        m_RestartPeriod = OleDateTimeSpan(0, m_RestartSchedule.GetHour(), m_RestartSchedule.GetMinute(), 0);
    } else if (year == kDailyYear) {
        m_RestartEnabled = true;
        m_RestartPeriod = OleDateTimeSpan();
    }
}

void COstrelixApp::WriteEventLogPath(const std::string& path) {
    WriteProfileString(kSection, "EventLog", path.c_str());
}

void COstrelixApp::WriteSettingInt(const std::string& section, const std::string& key, int value) {
    WriteProfileInt(section.c_str(), key.c_str(), value);
}

int COstrelixApp::ReadSettingInt(const std::string& section, const std::string& key, int defaultValue) {
    return int(GetProfileInt(section.c_str(), key.c_str(), defaultValue));
}

void COstrelixApp::WinHelp(std::uint32_t data, std::uint32_t command) {
    const std::string helpFolder = m_ProgramFolder + "/help/";
    std::string page = helpFolder + "index.html";
    if (command == kHelpContext) {
        const auto context = std::uint16_t(data & 0xFFFF);
        for (const auto& [known, topic] : kHelpTopics) {
            const std::string topicPage = helpFolder + "topic-" + std::to_string(topic) + ".html";
            if (known == context && std::filesystem::exists(topicPage)) page = topicPage;
        }
    }
    if (m_HelpOpener) {
        m_HelpOpener(page);
        return;
    }
    ReleaseHelpOpener(StartHelpOpener(page));
}

} // namespace vq
