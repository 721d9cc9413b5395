#include "monitor/HistoryMessages.h"
#include "monitor/Monitor.h"
#include "monitor/StartupSummary.h"

namespace vq {

// What the reply does not hand over (a late reply's data and model) goes with its message.
void Monitor::OnDatabaseReply(HistoryDatabaseReplyMessage& message) {
    if (DatabaseReply* reply = message.GetReply()) m_HistoryMap.OnReply(*reply);
}

void Monitor::ForgetHistoryRequests() {
    m_HistoryMap.Restart();
    DeleteStartupSummary();
}

void Monitor::BookStartupSummary() {
    StartupSummary::Book(this, m_HistoryPath, *m_DataSet->GetRing(), *m_AdapterSet, m_StartupSummary);
}

void Monitor::DeleteStartupSummary() {
    if (m_StartupSummary) m_StartupSummary->Uninstall();
}

} // namespace vq
