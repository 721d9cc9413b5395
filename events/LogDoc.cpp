#include "events/LogDoc.h"

#include "config/CCfgEvent.h"
#include "config/CCfgLogGroupLevel.h"
#include "config/CCfgOstrelix.h"
#include "events/NotificationJob.h"
#include "events/ProgramArguments.h"
#include "platform/sys/ProcessStart.h"
#include "platform/thread/QueueRegistry.h"
#include "shell/COstrelixApp.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/EventInfo.h"
#include "shell/ExplorerInfo.h"
#include "shell/ShellMessages.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace vq {
namespace {

constexpr int kDefaultClearMinutes = 10;
constexpr std::size_t kDefaultEntries = 100;
constexpr int kLogFileFailed = 281;
constexpr int kProgramFailed = 287;

// The status counter an announced entry of the severity raises: 2 Warning, 3 Fault, 4 the third.
int StatusLevel(int severity) {
    return severity >= 1 && severity <= 3 ? severity + 1 : 0;
}

} // namespace

LogDoc::LogDoc() : m_OwnerThread(CurrentThreadId()), m_EventFile(std::make_unique<CLogFile>()) {}

LogDoc::~LogDoc() = default;

void LogDoc::Initialize(COstrelixApp& app) {
    m_App = &app;
    OpenLogFiles();
}

std::string LogDoc::LogFolder(const std::string& databaseFolder, const std::string& databaseName) {
    const std::string stem = databaseName.size() >= 4 ? databaseName.substr(0, databaseName.size() - 4) : "";
    return databaseFolder + "/" + stem + "_log";
}

void LogDoc::OpenLogFiles() {
    m_EventFile = std::make_unique<CLogFile>();
    m_EventFileOpened = false;
    const CCfgOstrelix* root = m_App->GetRootRecord();
    if (!m_App->IsCsvLoggingEnabled() || !root || root->GetEventEntries() == 0) return;
    COstrelixSystemDoc& model = m_App->GetSystemDoc();
    const std::string folder = LogFolder(model.GetPath(), model.GetName());
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) return ReportFileFailure(folder + ": not a folder");
    } else if (errno == ENOENT) {
        if (::mkdir(folder.c_str(), 0777) != 0)
            return ReportFileFailure(folder + ": " + std::strerror(errno));
    } else if (errno != EACCES) {
        return ReportFileFailure(folder + ": " + std::strerror(errno));
    }
    if (!m_EventFile->Open(folder)) return ReportFileFailure(m_EventFile->GetLastError());
    m_EventFileOpened = true;
    m_App->WriteEventLogPath(m_EventFile->GetPath());
}

void LogDoc::ReportFileFailure(const std::string& detail) {
    if (CCfgOstrelix* root = m_App->GetRootRecord()) root->SetKeepEventStatus(false);
    PostSystemEvent(kLogFileFailed, detail);
}

int LogDoc::ClearMinutes() const {
    const CCfgOstrelix* root = m_App ? m_App->GetRootRecord() : nullptr;
    return root ? root->GetEventClearMinutes() : kDefaultClearMinutes;
}

void LogDoc::NotifyWindows(WPARAM hint, const void* object) {
    for (HWND window : m_Windows)
        PostMessage(window, WM_LOG_CHANGED, hint, LPARAM(object));
}

void LogDoc::AddWindow(HWND window) {
    if (std::find(m_Windows.begin(), m_Windows.end(), window) == m_Windows.end()) m_Windows.push_back(window);
}

void LogDoc::RemoveWindow(HWND window) {
    std::erase(m_Windows, window);
}

void LogDoc::AddTransaction(const std::string& objectName, int type, int kind, int action, int code,
                            const std::string& message) {
    LogTransaction transaction{type, kind, objectName, OleDateTime::GetCurrentTime(), action, code, message};
    const CCfgOstrelix* root = m_App ? m_App->GetRootRecord() : nullptr;
    const std::size_t limit = root ? std::size_t(std::max(0, root->GetEventEntries())) : kDefaultEntries;
    // One removal per addition: after the limit is lowered the list keeps its length.
    if (!m_Transactions.empty() && m_Transactions.size() >= limit) m_Transactions.pop_back();
    if (limit > 0) m_Transactions.push_front(transaction);
    if (!m_EventFileOpened) return;
    if (m_EventFile->WriteTransaction(transaction)) {
        m_EventFileFailing = false;
    } else if (!m_EventFileFailing) {
        // Told once; the next records try the file again and stay quiet until one is written.
        m_EventFileFailing = true;
        PostSystemEvent(kLogFileFailed, m_EventFile->GetLastError());
    }
}

void LogDoc::RaiseEvent(EventInfo& info, const OleDateTime& time) {
    if (!m_App) return;
    EventActive* entry = info.m_ActiveEntry;
    if (!entry) {
        auto made = std::make_unique<EventActive>(info, time, m_App->GetSystemDoc(), ClearMinutes());
        entry = made.get();
        info.m_ActiveEntry = entry;
        m_EntryMap[&info] = entry;
        m_Entries.push_back(std::move(made));
    }
    if (entry->m_Reported) return;
    entry->CountHit();
    if (!entry->m_Reported) return;
    NotifyWindows(kAnnounced, &info);
    AddTransaction(info.GetObjectName(), info.m_Type, info.m_Kind, LogTransaction::kActive, 0, "");
    Notify(*entry);
    const int level = StatusLevel(info.GetSeverity());
    if (level && info.m_Owner) {
        info.m_Owner->RaiseStatus(level);
        entry->m_StatusRaised = true;
    }
}

void LogDoc::Acknowledge(EventActive& entry) {
    entry.m_Popup = nullptr;
    entry.m_State = entry.m_NextState;
    entry.Evaluate(entry.m_State);
    NotifyWindows(kAcknowledged, &entry);
    if (const EventInfo* info = entry.GetInfo())
        AddTransaction(info->GetObjectName(), info->m_Type, info->m_Kind, LogTransaction::kAck, 0, "");
    else
        AddTransaction(SystemEventInfo::GetObjectName(), SystemEventInfo::kType, EventInfo::kSystem,
                       LogTransaction::kAck, 0, "");
}

void LogDoc::Reset(EventActive& entry) {
    if (entry.IsSystem()) {
        NotifyWindows(kSystemReset, &entry);
    } else {
        entry.m_State = entry.m_NextState;
        entry.Evaluate(entry.m_State);
        entry.m_Popup = nullptr;
        NotifyWindows(kReset, &entry);
    }
    Remove(entry);
}

void LogDoc::ResetIfNormal(EventInfo& info) {
    EventActive* entry = info.m_ActiveEntry;
    if (!entry || !entry->m_Reported) return;
    entry->ClearIfNormal();
    if (entry->m_Reported) return;
    entry->m_NextState = EventActive::kReset;
    Reset(*entry);
}

std::list<std::unique_ptr<EventActive>>::iterator LogDoc::Find(const EventActive& entry) {
    return std::find_if(m_Entries.begin(), m_Entries.end(),
                        [&](const auto& held) { return held.get() == &entry; });
}

void LogDoc::LowerStatus(EventActive& entry) {
    EventInfo* info = entry.GetInfo();
    if (!entry.m_StatusRaised || !info || !info->m_Owner) return;
    info->m_Owner->ClearStatus(StatusLevel(info->GetSeverity()));
    entry.m_StatusRaised = false;
}

void LogDoc::Remove(EventActive& entry) {
    const auto found = Find(entry);
    if (found == m_Entries.end()) return;
    if (EventInfo* info = entry.GetInfo()) m_EntryMap.erase(info);
    LowerStatus(entry);
    m_Entries.erase(found);
}

void LogDoc::ClearObjectEvents(const ExplorerInfo& object) {
    for (auto it = m_Entries.begin(); it != m_Entries.end();) {
        EventInfo* info = (*it)->GetInfo();
        if (!info || info->m_Owner != &object) {
            ++it;
            continue;
        }
        m_EntryMap.erase(info);
        NotifyWindows(kReset, it->get());
        (*it)->m_State = EventActive::kRemoved;
        it = m_Entries.erase(it);
    }
}

void LogDoc::ClearEventEntry(EventInfo& info) {
    EventActive* entry = info.m_ActiveEntry;
    if (!entry) return;
    const auto found = Find(*entry);
    m_EntryMap.erase(&info);
    NotifyWindows(kReset, entry);
    entry->m_State = EventActive::kRemoved;
    if (found != m_Entries.end()) m_Entries.erase(found);
}

void LogDoc::OnMinuteTick() {
    for (auto it = m_Entries.begin(); it != m_Entries.end();) {
        EventActive& entry = **it;
        // The step below may remove this entry, so the walk moves on first.
        ++it;
        if (entry.m_Minutes <= 0 || --entry.m_Minutes > 0) continue;
        if (entry.m_State == EventActive::kRemoved || entry.m_NextState == EventActive::kRemoved)
            Remove(entry);
        else if (entry.m_NextState == EventActive::kAcknowledged)
            Acknowledge(entry);
        else if (entry.m_NextState == EventActive::kReset)
            Reset(entry);
    }
}

void LogDoc::PostSystemEvent(int code, const std::string& text) const {
    auto* event = new SystemEventInfo(code, OleDateTime::GetCurrentTime(), text);
    if (!PostThreadMessage(m_OwnerThread, WM_LOG_SYSTEM_EVENT, WPARAM(event), 0)) delete event;
}

void LogDoc::OnSystemEvent(std::unique_ptr<SystemEventInfo> event) {
    const int code = event->m_Code;
    const std::string detail = event->m_Detail;
    const OleDateTime time = event->m_Time;
    auto entry = std::make_unique<EventActive>(std::move(event), time, ClearMinutes());
    NotifyWindows(kSystemRecorded, entry.get());
    m_Entries.push_back(std::move(entry));
    AddTransaction(SystemEventInfo::GetObjectName(), SystemEventInfo::kType, EventInfo::kSystem,
                   LogTransaction::kActive, code, detail);
}

int LogDoc::CountObjectEvents(const ExplorerInfo& object) const {
    return int(std::count_if(m_Entries.begin(), m_Entries.end(), [&](const auto& entry) {
        const EventInfo* info = entry->GetInfo();
        return info && info->m_Owner == &object;
    }));
}

void LogDoc::Notify(const EventActive& entry) {
    const EventInfo* info = entry.GetInfo();
    if (!info || !m_App) return;
    const std::string levelName = info->GetLevelName(1);
    if (levelName.empty()) return;
    COstrelixSystemDoc& model = m_App->GetSystemDoc();
    const CCfgLogGroupLevel* level = model.FindLogGroupLevel(entry.m_GroupName, levelName);
    if (!level) return;
    auto job = std::make_unique<NotificationJob>();
    job->m_Serial = info->GetSerial();
    job->m_Kind = info->m_Kind;
    job->m_TypeName = info->GetTypeName();
    job->m_ObjectName = info->GetObjectName();
    job->m_ObjectDescription = info->GetObjectDescription();
    job->m_UserMessage = info->GetMessage();
    job->m_Time = entry.m_Time;
    job->m_GroupName = level->GetGroupName();
    job->m_LevelName = level->GetName();
    job->m_LevelDescription = level->GetDescription();
    job->m_Popup = level->GetReportDialog();
    job->m_DialogType = level->GetDialogType();
    job->m_DialogMessage = level->GetDialogMessage();
    job->m_Email = level->GetReportEmail();
    job->m_EmailAddress = level->GetEmailAddress();
    job->m_Sound = level->GetReportMultimedia();
    job->m_Clip = level->GetClip();
    job->m_Program = level->GetReportProgram();
    job->m_ProgramPath = level->GetProgram();
    job->m_Parameters = level->GetProgramParameters();
    job->m_DatabaseFolder = model.GetPath();
    job->m_DatabaseName = model.GetName();
    // Run once the raising is done, so a modal pop-up cannot hold it up halfway.
    NotificationJob* posted = job.release();
    if (!PostThreadMessage(m_OwnerThread, WM_LOG_NOTIFY, WPARAM(posted), 0)) delete posted;
}

void LogDoc::RunNotification(std::unique_ptr<NotificationJob> job) {
    if (job->m_Program) StartProgram(*job);
}

void LogDoc::StartProgram(const NotificationJob& job) {
    if (job.m_ProgramPath.empty()) return;
    if (const int error = SpawnProgram(job.m_ProgramPath, ProgramArguments(job)))
        PostSystemEvent(kProgramFailed, std::strerror(error));
}

bool LogDoc::CLogFile::Open(const std::string& folder) {
    if (!CLogBaseFile::Open(folder + "/Event")) return false;
    if (GetLength() == 0) WriteHeader(kHeader);
    return IsOpen();
}

bool LogDoc::CLogFile::WriteTransaction(const LogTransaction& transaction) {
    std::string object;
    std::string event;
    if (transaction.m_Kind == EventInfo::kDevice || transaction.m_Kind == EventInfo::kNetwork) {
        object = transaction.m_ObjectName;
        event = GetEventTypeName(transaction.m_Type);
    } else if (transaction.m_Kind == EventInfo::kSystem) {
        object = SystemEventInfo::GetObjectName();
        event = SystemEventText(transaction.m_Code);
        if (!transaction.m_Message.empty()) event += " " + transaction.m_Message;
    }
    const auto field = [](const std::string& text) { return "\"" + ReplaceCommas(text) + "\""; };
    const bool written =
        WriteLine(FormatDateTime(transaction.m_Time) + field(object) + "," + field(event) + "," +
                  field(TransactionActionName(transaction.m_Action)) + "," + field(transaction.m_Message));
    Suspend();
    return written;
}

const char* TransactionActionName(int action) {
    static constexpr const char* kNames[] = {"Active",         "Ack",           "Clear", "Reset",
                                             "System Started", "System Stopped"};
    return action >= 0 && action < 6 ? kNames[action] : "Other";
}

} // namespace vq
