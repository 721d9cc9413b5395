#include "monitor/HistoryService.h"

#include "monitor/MonitorGlobals.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"

namespace vq {

HistoryService::HistoryService(std::string databasePath, int32_t flags)
    : VQ_Thread("History"), m_DatabasePath(std::move(databasePath)), m_Flags(flags) {
    MonitorGlobals& globals = TheMonitorGlobals();
    globals.m_History = this;
    globals.SetHistoryDatabasePath(m_DatabasePath);
}

HistoryService::~HistoryService() {
    HistoryService* self = this;
    TheMonitorGlobals().m_History.compare_exchange_strong(self, nullptr);
}

bool StartHistoryThread(std::unique_ptr<HistoryService>& history) {
    if (!history->CreateThread()) return false;
    if (Engine().m_ThreadPool.Add(history.get())) return true;
    StopHistoryThread(history);
    return false;
}

void StopHistoryThread(std::unique_ptr<HistoryService>& history) {
    if (!history) return;
    PostThreadMessage(history->GetThreadId(), WM_QUIT, 0, 0);
    history->Join();
    Engine().m_ThreadPool.Remove(history.get());
    history.reset();
}

} // namespace vq
