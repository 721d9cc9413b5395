#pragma once

#include "history/HistoryDatabaseMap.h"
#include "monitor/HistoryService.h"
#include "platform/thread/ThreadId.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vq {
class DatabaseReply;
struct DatabaseRequest;
class ThreadMessage;
} // namespace vq

namespace vq::history {

// Bits of the history flags the monitor passes (the program passes 25).
enum HistoryFlag : int32_t { HISTORY_CREATE = 1, HISTORY_READONLY = 4, HISTORY_LOAD_MASK = 0x38 };

// The thread that alone touches the history databases: it writes each checkpoint and log mark and
// answers each history request. It asks the thread that made it (the monitor) for checkpoints once
// its default database is open; when that cannot be opened the thread ends at once.
class History : public HistoryService {
public:
    History(std::string databasePath, int32_t flags);
    ~History() override;

    bool InitInstance() override;
    int ExitInstance() override;
    bool CompactHeap() override;
    bool ResetMemoryLevel() override;

    // The open flags of the default database for the history flags.
    static int OpenFlagsFor(int32_t flags);
    bool OpenDefaultDatabase();
    bool CloseAllDatabases();
    bool ReopenDatabases();

    // For tests, on the history thread only.
    HistoryDatabaseMap& GetDatabaseMap() { return m_Databases; }

protected:
    void OnThreadMessage(const QueueEntry& entry) override;

private:
    void Handle(std::uint32_t id, ThreadMessage& message);
    void Answer(ThreadMessage& message, const DatabaseRequest& request);
    std::unique_ptr<DatabaseReply> BuildReply(const DatabaseRequest& request);

    HistoryDatabaseMap m_Databases;
    ThreadId m_Creator;
};

// The history thread the monitor makes for a database path and flags.
std::unique_ptr<HistoryService> MakeHistory(const std::string& path, int32_t flags);

} // namespace vq::history
