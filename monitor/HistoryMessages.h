#pragma once

#include "runtime/ThreadMessage.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vq {

class HistoryService;

// A request for stored history over a time range.
struct DatabaseRequest {
    // The requesting action's address, so pointer-sized.
    std::uintptr_t m_Identifier = 0;
    // Empty means the default history database.
    std::string m_DatabaseName;
    // 1, or 2 when the answer must also carry the network model.
    int32_t m_Kind = 1;
    Timestamp m_From;
    Timestamp m_To;
};

// Sent once by the history thread after it started: it asks the monitor for checkpoints.
class HistoryCheckpointRequestMessage : public ThreadMessage {
public:
    explicit HistoryCheckpointRequestMessage(HistoryService* history);
    const char* GetClassName() const override { return "HistoryCheckpointRequestMessage"; }
    HistoryService* GetHistory() const { return m_History; }

private:
    HistoryService* m_History;
};

// The checkpoint of one closed interval, for the history thread.
class HistoryCheckpointUpdateMessage : public ThreadMessage {
public:
    HistoryCheckpointUpdateMessage(bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryCheckpointUpdateMessage"; }
};

// The history thread closes and reopens its database.
class HistoryControlRestartMessage : public ThreadMessage {
public:
    HistoryControlRestartMessage(bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryControlRestartMessage"; }
};

// One history request; the message owns it.
class HistoryDatabaseRequestMessage : public ThreadMessage {
public:
    HistoryDatabaseRequestMessage(std::unique_ptr<DatabaseRequest> request, bool wantsAnswer,
                                  bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryDatabaseRequestMessage"; }
    const DatabaseRequest* GetRequest() const { return m_Request.get(); }

private:
    std::unique_ptr<DatabaseRequest> m_Request;
};

} // namespace vq
