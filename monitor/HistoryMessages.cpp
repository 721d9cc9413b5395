#include "monitor/HistoryMessages.h"

#include "runtime/MessageIds.h"

namespace vq {

HistoryCheckpointRequestMessage::HistoryCheckpointRequestMessage(HistoryService* history)
    : ThreadMessage(WM_Checkpoint_Install, false, true), m_History(history) {}

HistoryCheckpointUpdateMessage::HistoryCheckpointUpdateMessage(bool wantsAnswer, bool receiverDeletes)
    : ThreadMessage(WM_Checkpoint_Update, wantsAnswer, receiverDeletes) {}

HistoryControlRestartMessage::HistoryControlRestartMessage(bool wantsAnswer, bool receiverDeletes)
    : ThreadMessage(WM_History_Restart, wantsAnswer, receiverDeletes) {}

HistoryDatabaseRequestMessage::HistoryDatabaseRequestMessage(std::unique_ptr<DatabaseRequest> request,
                                                             bool wantsAnswer, bool receiverDeletes)
    : ThreadMessage(WM_Database_Request, wantsAnswer, receiverDeletes), m_Request(std::move(request)) {}

} // namespace vq
