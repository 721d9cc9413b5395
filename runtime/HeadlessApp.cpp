#include "runtime/HeadlessApp.h"

#include "platform/thread/MessageQueue.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MessageIds.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/ThreadMessage.h"

#include <filesystem>
#include <system_error>

namespace vq {

HeadlessApp::HeadlessApp() : m_Queue(MessageQueue::Current()), m_ProgramFolder(ProgramFolderOfProcess()) {
    SetThreadId(CurrentThreadId());
}

HeadlessApp::~HeadlessApp() {
    ThreadPool& pool = Engine().m_ThreadPool;
    pool.Remove(this);
    if (pool.GetMainThread() == this) pool.SetMainThread(nullptr);
}

bool HeadlessApp::Register() {
    ThreadPool& pool = Engine().m_ThreadPool;
    pool.SetMainThread(this);
    return pool.Add(this);
}

bool HeadlessApp::PumpMessage() {
    QueueEntry entry;
    if (!m_Queue.Get(entry)) return false;
    Dispatch(entry);
    return true;
}

bool HeadlessApp::PumpPending() {
    QueueEntry entry;
    while (m_Queue.Peek(entry)) {
        if (entry.message == WM_QUIT) return false;
        Dispatch(entry);
    }
    return true;
}

int HeadlessApp::Run() {
    QueueEntry entry;
    while (m_Queue.Get(entry))
        Dispatch(entry);
    return static_cast<int>(entry.wParam);
}

void HeadlessApp::Dispatch(const QueueEntry& entry) {
    if (entry.target != 0 || entry.message < kFirstThreadMessageId || entry.message > kLastThreadMessageId ||
        entry.lParam == 0)
        return;
    OnThreadMessage(entry.message, reinterpret_cast<ThreadMessage*>(entry.lParam));
}

void HeadlessApp::OnThreadMessage(std::uint32_t id, ThreadMessage* message) {
    if (!message->Receive()) return;
    switch (id) {
    case WM_Trend_Install:
    case WM_Alarm_Install:
    case WM_Conversation_Install:
    case WM_Summary_Install:
        PostNotification(3, 0, "Mishandled message that should be forwarded to the monitor", nullptr, nullptr,
                         nullptr, nullptr, -1);
        delete message;
        return;
    default:
        // Reports and answers are taken and let go; the desktop application acts on them.
        if (message->Complete()) delete message;
        return;
    }
}

void HeadlessApp::AddMacFilterEntry(const std::string& macText) {
    std::lock_guard lock(m_MacMutex);
    m_MacFilter.insert(macText);
}

void HeadlessApp::RemoveMacFilterEntry(const std::string& macText) {
    std::lock_guard lock(m_MacMutex);
    m_MacFilter.erase(macText);
}

bool HeadlessApp::HasMacFilterEntry(const std::string& macText) const {
    std::lock_guard lock(m_MacMutex);
    return m_MacFilter.count(macText) != 0;
}

void HeadlessApp::SetMacOnlyReverse(bool reverse) {
    std::lock_guard lock(m_MacMutex);
    m_MacOnlyReverse = reverse;
}

bool HeadlessApp::GetMacOnlyReverse() const {
    std::lock_guard lock(m_MacMutex);
    return m_MacOnlyReverse;
}

void HeadlessApp::SetMacOnlyReporting(bool macOnly) {
    std::lock_guard lock(m_MacMutex);
    m_MacOnlyReporting = macOnly;
    Engine().m_State.m_MacOnlyReporting = macOnly;
}

bool HeadlessApp::GetMacOnlyReporting() const {
    std::lock_guard lock(m_MacMutex);
    return m_MacOnlyReporting;
}

std::string ProgramFolderOfProcess() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.parent_path().string();
}

} // namespace vq
