#include "monitor/HistoryMessages.h"

#include "monitor/DatabaseCheckpoint.h"
#include "monitor/HistoryDataSet.h"
#include "netmodel/Environment.h"
#include "runtime/MessageIds.h"

namespace vq {

DatabaseReply::DatabaseReply(std::uintptr_t identifier) : m_Identifier(identifier) {}

DatabaseReply::DatabaseReply(std::uintptr_t identifier, std::unique_ptr<HistoryDataSet> dataSet,
                             std::unique_ptr<Environment> environment)
    : m_Identifier(identifier), m_Environment(std::move(environment)), m_DataSet(std::move(dataSet)) {}

DatabaseReply::~DatabaseReply() = default;

std::unique_ptr<HistoryDataSet> DatabaseReply::TakeDataSet() {
    return std::move(m_DataSet);
}

std::unique_ptr<Environment> DatabaseReply::TakeEnvironment() {
    return std::move(m_Environment);
}

HistoryCheckpointRequestMessage::HistoryCheckpointRequestMessage(HistoryService* history)
    : ThreadMessage(WM_Checkpoint_Install, false, true), m_History(history) {}

HistoryCheckpointUpdateMessage::HistoryCheckpointUpdateMessage(std::unique_ptr<DatabaseCheckpoint> checkpoint,
                                                               bool wantsAnswer, bool receiverDeletes)
    : ThreadMessage(WM_Checkpoint_Update, wantsAnswer, receiverDeletes), m_Checkpoint(std::move(checkpoint)) {
}

HistoryCheckpointUpdateMessage::~HistoryCheckpointUpdateMessage() = default;

HistoryControlRestartMessage::HistoryControlRestartMessage(bool wantsAnswer, bool receiverDeletes)
    : ThreadMessage(WM_History_Restart, wantsAnswer, receiverDeletes) {}

HistoryDatabaseRequestMessage::HistoryDatabaseRequestMessage(std::unique_ptr<DatabaseRequest> request,
                                                             bool wantsAnswer, bool receiverDeletes)
    : ThreadMessage(WM_Database_Request, wantsAnswer, receiverDeletes), m_Request(std::move(request)) {}

HistoryDatabaseReplyMessage::HistoryDatabaseReplyMessage(std::unique_ptr<DatabaseReply> reply,
                                                         bool wantsAnswer, bool receiverDeletes)
    : ThreadMessage(WM_Database_Reply, wantsAnswer, receiverDeletes), m_Reply(std::move(reply)) {}

HistoryDatabaseReplyMessage::~HistoryDatabaseReplyMessage() = default;

} // namespace vq
