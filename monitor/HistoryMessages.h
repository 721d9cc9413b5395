#pragma once

#include "runtime/ThreadMessage.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vq {

class DatabaseCheckpoint;
class Environment;
class HistoryDataSet;
class HistoryService;

// A request for stored history over a time range.
struct DatabaseRequest {
    // What the reply is matched by: the monitor gives every request its own serial number.
    std::uintptr_t m_Identifier = 0;
    // Empty means the default history database.
    std::string m_DatabaseName;
    // 1, or 2 when the answer must also carry the network model.
    int32_t m_Kind = 1;
    // Null: from the first, or up to the last, stored interval.
    Timestamp m_From;
    Timestamp m_To;
};

// The answer to one request: the data rebuilt from the history and the model they count against.
// A failed answer carries no data and is served as an empty one, so nobody waits for it forever.
class DatabaseReply {
public:
    explicit DatabaseReply(std::uintptr_t identifier);
    DatabaseReply(std::uintptr_t identifier, std::unique_ptr<HistoryDataSet> dataSet,
                  std::unique_ptr<Environment> environment);
    ~DatabaseReply();
    DatabaseReply(const DatabaseReply&) = delete;
    DatabaseReply& operator=(const DatabaseReply&) = delete;

    std::uintptr_t GetIdentifier() const { return m_Identifier; }
    HistoryDataSet* GetDataSet() const { return m_DataSet.get(); }
    Environment* GetEnvironment() const { return m_Environment.get(); }
    std::unique_ptr<HistoryDataSet> TakeDataSet();
    std::unique_ptr<Environment> TakeEnvironment();
    bool IsFailed() const { return m_Failed; }
    void SetFailed(bool failed) { m_Failed = failed; }

private:
    std::uintptr_t m_Identifier;
    // Before the data set: its conversations refer to the model's tuples, so it must go first.
    std::unique_ptr<Environment> m_Environment;
    std::unique_ptr<HistoryDataSet> m_DataSet;
    bool m_Failed = false;
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

// The checkpoint of one closed interval, for the history thread; the message owns it.
class HistoryCheckpointUpdateMessage : public ThreadMessage {
public:
    HistoryCheckpointUpdateMessage(std::unique_ptr<DatabaseCheckpoint> checkpoint, bool wantsAnswer,
                                   bool receiverDeletes);
    ~HistoryCheckpointUpdateMessage() override;
    const char* GetClassName() const override { return "HistoryCheckpointUpdateMessage"; }
    DatabaseCheckpoint* GetCheckpoint() const { return m_Checkpoint.get(); }

private:
    std::unique_ptr<DatabaseCheckpoint> m_Checkpoint;
};

// The history thread closes and reopens its database.
class HistoryControlRestartMessage : public ThreadMessage {
public:
    HistoryControlRestartMessage(bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryControlRestartMessage"; }
};

// One history request; the message owns it. It has no answer class, so no copy shares the request.
class HistoryDatabaseRequestMessage : public ThreadMessage {
public:
    HistoryDatabaseRequestMessage(std::unique_ptr<DatabaseRequest> request, bool wantsAnswer,
                                  bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryDatabaseRequestMessage"; }
    const DatabaseRequest* GetRequest() const { return m_Request.get(); }

private:
    std::unique_ptr<DatabaseRequest> m_Request;
};

// The answer to a history request; the message owns the reply until the receiver takes it. It has
// no answer class, so no copy shares the reply.
class HistoryDatabaseReplyMessage : public ThreadMessage {
public:
    HistoryDatabaseReplyMessage(std::unique_ptr<DatabaseReply> reply, bool wantsAnswer, bool receiverDeletes);
    ~HistoryDatabaseReplyMessage() override;
    const char* GetClassName() const override { return "HistoryDatabaseReplyMessage"; }
    DatabaseReply* GetReply() const { return m_Reply.get(); }
    std::unique_ptr<DatabaseReply> TakeReply() { return std::move(m_Reply); }

private:
    std::unique_ptr<DatabaseReply> m_Reply;
};

} // namespace vq
