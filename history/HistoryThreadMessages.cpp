#include "history/HistoryThreadMessages.h"

#include "runtime/MessageIds.h"

namespace vq::history {

HistoryControlStartMessage::HistoryControlStartMessage(bool wantsAnswer, bool receiverDeletes)
    : HistoryControlMessage(WM_History_Start, wantsAnswer, receiverDeletes) {}

HistoryControlStopMessage::HistoryControlStopMessage(bool wantsAnswer, bool receiverDeletes)
    : HistoryControlMessage(WM_History_Stop, wantsAnswer, receiverDeletes) {}

HistoryControlPauseMessage::HistoryControlPauseMessage(bool wantsAnswer, bool receiverDeletes)
    : HistoryControlMessage(WM_History_Pause, wantsAnswer, receiverDeletes) {}

HistoryControlUnpauseMessage::HistoryControlUnpauseMessage(bool wantsAnswer, bool receiverDeletes)
    : HistoryControlMessage(WM_History_Unpause, wantsAnswer, receiverDeletes) {}

HistoryControlResetMessage::HistoryControlResetMessage(bool wantsAnswer, bool receiverDeletes)
    : HistoryControlMessage(WM_History_Reset, wantsAnswer, receiverDeletes) {}

HistoryCheckpointCancelMessage::HistoryCheckpointCancelMessage(const void* identifier, bool wantsAnswer,
                                                               bool receiverDeletes)
    : ThreadMessage(WM_Checkpoint_Uninstall, wantsAnswer, receiverDeletes), m_Identifier(identifier) {}

HistoryDatabaseCancelMessage::HistoryDatabaseCancelMessage(const void* identifier, bool wantsAnswer,
                                                           bool receiverDeletes)
    : ThreadMessage(WM_Database_Cancel, wantsAnswer, receiverDeletes), m_Identifier(identifier) {}

HistoryDatabaseLogMessage::HistoryDatabaseLogMessage(const Timestamp& time, std::string text,
                                                     bool wantsAnswer, bool receiverDeletes)
    : ThreadMessage(WM_Database_Log, wantsAnswer, receiverDeletes),
      m_Time(time == NULL_TIME ? Timestamp::Now() : time), m_Text(std::move(text)) {}

} // namespace vq::history
