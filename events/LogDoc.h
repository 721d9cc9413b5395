#pragma once

#include "events/CLogBaseFile.h"
#include "events/EventActive.h"
#include "events/LogTransaction.h"
#include "events/SystemEventInfo.h"
#include "platform/gui/WindowSystem.h"
#include "platform/thread/ThreadId.h"

#include <deque>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vq {

class COstrelixApp;
class ExplorerInfo;
class EventMailer;
class LogPopup;
struct NotificationJob;

// The event log of the running program: the raised entries of configured and system events, the
// newest log transactions, the dated "Event" CSV file and the windows told of changes. Main thread
// only, but for PostSystemEvent.
class LogDoc {
public:
    // Update hints, the wparam of WM_LOG_CHANGED.
    enum Hint : WPARAM {
        kAnnounced = 256,
        kAcknowledged = 512,
        kReset = 768,
        kSystemRecorded = 1024,
        kSystemReset = 1280
    };

    // The "Event" CSV file of the log folder.
    class CLogFile : public CLogBaseFile {
    public:
        static constexpr const char* kHeader = "Date-Time,Object,Event,Message\n\r";
        bool Open(const std::string& folder);
        // False when the record was not written.
        bool WriteTransaction(const LogTransaction& transaction);
    };

    // Made on the thread that takes the system events.
    LogDoc();
    ~LogDoc();
    LogDoc(const LogDoc&) = delete;
    LogDoc& operator=(const LogDoc&) = delete;

    void Initialize(COstrelixApp& app);
    void RaiseEvent(EventInfo& info, const OleDateTime& time);
    void Acknowledge(EventActive& entry);
    void Reset(EventActive& entry);
    void ResetIfNormal(EventInfo& info);
    // Drops the entries of an object's events without touching its status counters.
    void ClearObjectEvents(const ExplorerInfo& object);
    // Drops the entry of one event the same way.
    void ClearEventEntry(EventInfo& info);
    void OnMinuteTick();
    // Any thread: the event reaches OnSystemEvent through the application's queue.
    void PostSystemEvent(int code, const std::string& text = {}) const;
    void OnSystemEvent(std::unique_ptr<SystemEventInfo> event);
    int CountObjectEvents(const ExplorerInfo& object) const;
    void AddWindow(HWND window);
    void RemoveWindow(HWND window);
    // Runs the notifications of an announced entry (pop-up, mail, sound, program).
    void RunNotification(std::unique_ptr<NotificationJob> job);

    const std::list<std::unique_ptr<EventActive>>& GetEntries() const { return m_Entries; }
    // Newest first.
    const std::deque<LogTransaction>& GetTransactions() const { return m_Transactions; }
    const CLogFile* GetEventFile() const { return m_EventFile.get(); }
    // The thread that sends the event mails; null until the first mail.
    EventMailer* GetMailer() const { return m_Mailer.get(); }

    // The log folder beside a configuration database: the name without its last four characters
    // and "_log".
    static std::string LogFolder(const std::string& databaseFolder, const std::string& databaseName);

private:
    void OpenLogFiles();
    void ReportFileFailure(const std::string& detail);
    void NotifyWindows(WPARAM hint, const void* object);
    void AddTransaction(const std::string& objectName, int type, int kind, int action, int code,
                        const std::string& message);
    void Notify(const EventActive& entry);
    void StartProgram(const NotificationJob& job);
    void SendEmail(const NotificationJob& job);
    // A modal pop-up returns once it is closed, by its user or by the log.
    void ShowPopup(const NotificationJob& job);
    void PopupGone(LogPopup& popup);
    EventActive* FindBySerial(std::uint64_t serial) const;
    void ClosePopup(EventActive& entry);
    void Remove(EventActive& entry);
    void LowerStatus(EventActive& entry);
    int ClearMinutes() const;
    using EntryList = std::list<std::unique_ptr<EventActive>>;
    EntryList::iterator Find(const EventActive& entry);
    void Append(std::unique_ptr<EventActive> entry);
    EntryList::iterator Erase(EntryList::iterator position);

    COstrelixApp* m_App = nullptr;
    const ThreadId m_OwnerThread;
    std::vector<HWND> m_Windows;
    std::deque<LogTransaction> m_Transactions;
    std::list<std::unique_ptr<EventActive>> m_Entries;
    std::map<const EventInfo*, EventActive*> m_EntryMap;
    // Where each entry stands in m_Entries, so taking one out never walks the list.
    std::unordered_map<const EventActive*, EntryList::iterator> m_Positions;
    std::unique_ptr<CLogFile> m_EventFile;
    bool m_EventFileOpened = false;
    bool m_EventFileFailing = false;
    // Declared last: its thread is stopped before anything it reads goes.
    std::unique_ptr<EventMailer> m_Mailer;
    // The modeless pop-ups whose windows are open; each deletes itself when its window goes.
    std::vector<LogPopup*> m_Popups;
};

} // namespace vq
