#pragma once

#include "platform/classlib/WinApp.h"
#include "platform/time/OleDateTime.h"
#include "platform/time/OleDateTimeSpan.h"
#include "netmodel/AppMacFilter.h"
#include "runtime/HeadlessApp.h"
#include "shell/ExplorerInfo.h"
#include "shell/MapiCredentials.h"
#include "shell/ViewAdmin.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace vq {

class ActiveTestManager;
class AdapterInfoSet;
class CCfgOstrelix;
class CCommandLineInfo;
class CConfig;
class CDisplayDoc;
class CDlgTrace;
class CEventHandler;
class COstrelixSystemDoc;
class LogDoc;
class Monitor;
class MonitorDataReply;
class MonitorStateAdaptersMessage;
class ReportDoc;
class ThreadMessage;
struct TraceResult;
struct MapiMessage;
struct MapiRecipDesc;

// Finds the recipient record of a mail address; free it with COstrelixApp::MapiFreeBuffer.
std::uint32_t MapiResolveName(const std::string& name, MapiRecipDesc** recipient);

// Shows "Fatal Error <code> - <text>" and ends the process with the code, the monitor stopped first.
[[noreturn]] void FatalError(const std::string& text, int code);

// The application object of the desktop program: its settings, the choice of the configuration
// database, the help binding, the monitor's control and the main thread's end of the messages of
// the other threads.
class COstrelixApp : public CWinApp {
    VQ_DECLARE_MESSAGE_MAP()
public:
    // The registry key under which the settings live, below Software.
    static constexpr const char* kRegistryKey = "Vorquel Software\\Vorquel\\Workspace\\v2.01dNetworkMonitor";
    static constexpr const char* kSettingsSection = "Configuration";
    static constexpr const char* kDefaultConfigName = "VorquelConfig";
    static constexpr const char* kDefaultHistoryName = "VorquelHistory.mdb";
    static constexpr int kHelpContext = 1;
    // System events of mail: the transport is missing from this build, a logon failed.
    static constexpr int kMailTransportMissing = 283;
    static constexpr int kMailLogonFailed = 284;

    COstrelixApp();
    ~COstrelixApp() override;

    // Reads the settings and the command-line word, then opens or chooses the configuration
    // database; false only when none was chosen.
    bool ReadSettings(CCommandLineInfo& commandLine, std::string& folder, std::string& name);
    // Opens the database at folder and name or lets the user choose one; false when cancelled.
    // A path chosen with OK comes back unopened.
    bool OpenConfigDatabase(bool prompt, std::string& folder, std::string& name, const std::string& title = {});
    // A thread message without a handler of its own is taken and let go.
    BOOL DispatchThreadMessage(const MSG& msg) override;
    // Writes the settings back, in the order the settings pages expect to find them.
    int ExitInstance() override;
    void LoadRestartSchedule(CCfgOstrelix& root);
    void WriteEventLogPath(const std::string& path);
    void WriteSettingInt(const std::string& section, const std::string& key, int value);
    int ReadSettingInt(const std::string& section, const std::string& key, int defaultValue);

    // Opens the help page of a context (command 1) or the help index.
    void WinHelp(std::uint32_t data, std::uint32_t command);
    // Tests watch the pages handed to the opener; by default it is started and left running.
    void SetHelpOpener(std::function<void(const std::string& page)> opener) { m_HelpOpener = std::move(opener); }

    std::uint8_t GetConfigurationMode() const { return m_ConfigurationMode; }
    void SetConfigurationMode(std::uint8_t mode) { m_ConfigurationMode = mode; }
    bool IsEventEditorOpen() const { return m_EventEditorOpen; }
    void SetEventEditorOpen(bool open) { m_EventEditorOpen = open; }
    bool IsLogGroupEditorOpen() const { return m_LogGroupEditorOpen; }
    void SetLogGroupEditorOpen(bool open) { m_LogGroupEditorOpen = open; }

    // Also copied into the engine's global state, which the monitor thread reads.
    void SetMacOnlyReporting(bool macOnly) { m_ThreadObject.SetMacOnlyReporting(macOnly); }
    bool GetMacOnlyReporting() const { return m_ThreadObject.GetMacOnlyReporting(); }
    void SetMacOnlyReportingReverse(bool reverse) { m_ThreadObject.SetMacOnlyReverse(reverse); }
    bool GetMacOnlyReportingReverse() const { return m_ThreadObject.GetMacOnlyReverse(); }
    // The main thread's end of the engine's messages; it also keeps the MAC-only settings and set
    // that the monitor's MAC filter (AppMacFilter) reads.
    HeadlessApp& GetThreadObject() { return m_ThreadObject; }
    bool IsDnsDisabled() const { return m_DisableDns; }
    void SetDisableDns(bool disabled) { m_DisableDns = disabled; }
    int GetMaxMonitorData() const { return m_MaxMonitorData; }
    void SetMaxMonitorData(int hours) { m_MaxMonitorData = hours; }

    // Mail. The probe decides once whether mail can go: settings section "Mail" names the
    // "Server" and the "From" address, and the transfer library speaks SMTP.
    bool LoadMapi();
    bool IsMapiAvailable() const { return m_MapiAvailable.load(); }
    // Logs on at the first mail; a failure is logged as system event 284 and tried again next time.
    // The session is shared with the event mail thread, so it is taken under a lock; that thread
    // passes the credentials it was handed with its mail.
    std::uintptr_t MapiLogon();
    std::uintptr_t MapiLogon(const MapiCredentials& credentials);
    // Main thread only: empty when the root record asks for the default logon.
    MapiCredentials GetMapiCredentials() const;
    std::uint32_t MapiSendMail(const MapiMessage& message);
    std::uint32_t MapiFreeBuffer(void* buffer);
    void ReleaseMapi();

    // Records a system event in the event log, once the configuration is loaded.
    void LogSystemEvent(int code, const std::string& text);

    // Monitor control. The monitor reports its adapters, which are matched against the configured
    // interfaces before monitoring is started on them.
    void StartMonitor();
    void StopMonitor();
    void RestartMonitor();
    void SendLookupSetting();
    bool StartActiveTests();
    void StopActiveTests();
    void StartCapture();
    void StopCapture();
    bool IsCaptureOn() const { return m_CaptureOn; }
    int GetMonitorState() const { return m_MonitorState; }
    bool IsMonitorCreated() const { return m_MonitorCreated; }
    // Sets the replies-blocked flag; answers its previous value.
    bool SuspendDisplayUpdates();
    bool AreRepliesBlocked() const { return m_RepliesBlocked; }
    void RefreshDisplaysAfterRestart();
    // From now on the other threads' messages are refused.
    void SetClosing() { m_ThreadObject.SetClosing(true); }
    // Every interface finds its adapter in the list; an interface without an adapter address is
    // saved without one.
    bool BindNetworkAdapters(const AdapterInfoSet& adapters);
    // Makes the application the engine's main thread, which its threads report to.
    void RegisterMainThread();
    Monitor* GetMonitor() const { return m_Monitor.get(); }
    const MonitorStateAdaptersMessage* GetKeptAdapterReport() const { return m_KeptAdapters.get(); }
    const std::string& GetHistoryDatabasePath() const { return m_HistoryDatabasePath; }
    CEventHandler& GetEventHandler() { return *m_EventHandler; }
    // Replaces the event handler (tests watch the calls through a subclass).
    void SetEventHandler(std::unique_ptr<CEventHandler> handler);
    bool IsEventHandlerRunning() const { return m_EventHandlerRunning; }
    ViewAdmin& GetViewAdmin() { return m_ViewAdmin; }
    ReportDoc* GetReportDoc() const { return m_ReportDoc.get(); }
    ActiveTestManager* GetActiveTestManager() const { return m_ActiveTestManager.get(); }

    // The CSV logging interval in seconds from the root record's frequency index; 300 for an index
    // out of range or before the configuration is loaded.
    int GetLogInterval() const;
    bool IsCsvLoggingEnabled() const;

    // The root configuration record, owned from the configuration load on.
    CCfgOstrelix* GetRootRecord() const { return m_Root.get(); }
    void SetRootRecord(std::unique_ptr<CCfgOstrelix> root);
    LogDoc* GetLogDoc() const { return m_LogDoc.get(); }
    // Every explorer record of the run; the configuration model empties it when it goes.
    ExplorerObjectList& GetObjectList() { return m_Objects; }
    void SetLogDoc(std::unique_ptr<LogDoc> logDoc);

    // The folder of the program file; the help pages and the database template lie beside it.
    const std::string& GetProgramFolder() const { return m_ProgramFolder; }
    void SetProgramFolder(std::string folder);
    // Where a database goes when the settings name no folder.
    const std::string& GetDataFolder() const { return m_DataFolder; }

    // The configuration model and the database it reads.
    COstrelixSystemDoc& GetSystemDoc() { return *m_SystemDoc; }
    CConfig& GetConfigStore();
    // Loads the configuration model unless its database is open already; false then or on failure.
    bool LoadConfiguration();

    // The MAC texts of configured devices, kept only while MAC-only reporting is on; the monitor
    // thread asks for them while it learns hosts.
    void AddMacFilterEntry(const std::string& macText);
    void RemoveMacFilterEntry(const std::string& macText);
    bool HasMacFilterEntry(const std::string& macText) const { return m_ThreadObject.HasMacFilterEntry(macText); }
    // The filter the monitor's host learning asks while MAC-only reporting is on.
    const MacFilter& GetMacFilter() const { return m_MacFilter; }

    std::map<int32_t, int32_t> m_ProtocolsByNumber;
    std::map<int32_t, int32_t> m_ProtocolsByTreePosition;
    bool m_DataMonitorDisabled = false;

    bool m_UseWorkspace = false;
    std::string m_WorkspaceName;
    std::string m_WorkspacePath;
    std::string m_HistoryFolder;
    std::string m_HistoryName = kDefaultHistoryName;
    bool m_HistoryRestart = false;

    bool m_RestartEnabled = false;
    OleDateTime m_RestartSchedule;
    OleDateTimeSpan m_RestartPeriod;

private:
    // The handlers of the other threads' messages; wparam and lparam as posted.
    void OnGeneralNotify(WPARAM, LPARAM message);
    void OnMonitorStartReply(WPARAM, LPARAM message);
    void OnMonitorRestartReply(WPARAM, LPARAM message);
    void OnStateAdapters(WPARAM, LPARAM message);
    void OnStateAddress(WPARAM, LPARAM message);
    void OnMisdirectedRequest(WPARAM, LPARAM message);
    void OnTrendInitialize(WPARAM, LPARAM message);
    void OnTrendUpdate(WPARAM, LPARAM message);
    void OnAlarmInitialize(WPARAM, LPARAM message);
    void OnAlarmTriggered(WPARAM, LPARAM message);
    void OnConversationInitialize(WPARAM, LPARAM message);
    void OnConversationUpdate(WPARAM, LPARAM message);
    void OnSummaryInitialize(WPARAM, LPARAM message);
    void OnSummaryUpdate(WPARAM, LPARAM message);
    void OnSystemEvent(WPARAM event, LPARAM);
    void OnReportStep(WPARAM step, LPARAM report);
    void OnActiveTestResult(WPARAM result, LPARAM);
    void OnActiveTestEvent(WPARAM serial, LPARAM value);
    void OnActiveTestOpen(WPARAM request, LPARAM);
    void OnTraceHop(WPARAM report, LPARAM);
    void OnTraceFinished(WPARAM report, LPARAM);
    void OnTraceFailed(WPARAM report, LPARAM);
    void OnTraceHopError(WPARAM report, LPARAM);
    void OnTraceCancelled(WPARAM report, LPARAM);
    void OnLogNotify(WPARAM job, LPARAM);

    enum class ReplyTarget { AnyDisplay, TrafficDisplay };
    // Hands a monitor reply to the document that asked for it, when that still exists.
    void PassReply(LPARAM message, ReplyTarget target, void (CDisplayDoc::*operation)(const MonitorDataReply&, int key));
    void DeliverTrace(WPARAM report, void (CDlgTrace::*handler)(std::unique_ptr<TraceResult>));
    void StartEventHandler();
    void StartDataLogging();
    void CreateReportDoc();
    void SendStartMessage(const AdapterInfoSet& adapters);
    // What the queue still holds when the loop ends: each message's object is freed.
    void FreeQueuedMessages();

    bool IsConfigDatabase(const std::string& path) const;
    void ApplyCommandWord(const std::string& word, bool& prompt, std::string& folder, std::string& name);

    HeadlessApp m_ThreadObject;
    AppMacFilter m_MacFilter{m_ThreadObject};
    std::unique_ptr<CEventHandler> m_EventHandler;
    std::unique_ptr<Monitor> m_Monitor;
    int m_MonitorState = 0;
    bool m_MonitorCreated = false;
    bool m_RepliesBlocked = false;
    // Set afresh for every application: the first adapter report and the first start reply.
    bool m_FirstAdapterReport = true;
    bool m_FirstStartReply = true;
    bool m_AssigningAdapters = false;
    std::unique_ptr<MonitorStateAdaptersMessage> m_KeptAdapters;
    bool m_EventHandlerRunning = false;
    std::unique_ptr<ActiveTestManager> m_ActiveTestManager;
    bool m_ActiveTestsRunning = false;
    std::unique_ptr<ReportDoc> m_ReportDoc;
    ViewAdmin m_ViewAdmin;
    bool m_CaptureOn = false;
    std::string m_HistoryDatabasePath;
    // Declared before the model, whose records it keeps, so it outlives the model.
    ExplorerObjectList m_Objects;
    std::unique_ptr<COstrelixSystemDoc> m_SystemDoc;
    std::unique_ptr<CCfgOstrelix> m_Root;
    std::unique_ptr<LogDoc> m_LogDoc;
    std::atomic<bool> m_MapiAvailable{false};
    bool m_MapiProbed = false;
    std::mutex m_MapiMutex;
    std::uintptr_t m_MapiSession = 0;
    int m_MaxMonitorData = 8;
    bool m_DisableDns = false;
    std::string m_ProgramFolder;
    std::string m_DataFolder;
    std::uint8_t m_ConfigurationMode = 0;
    bool m_EventEditorOpen = false;
    bool m_LogGroupEditorOpen = false;
    std::function<void(const std::string& page)> m_HelpOpener;
};

} // namespace vq
