#pragma once

#include "runtime/VQ_Thread.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vq {

// The history recorder's thread as the monitor engine sees it: the thread that takes the
// checkpoints and history requests. Making one makes it the program-wide history thread.
class HistoryService : public VQ_Thread {
public:
    HistoryService(std::string databasePath, int32_t flags);
    ~HistoryService() override;

    const std::string& GetDatabasePath() const { return m_DatabasePath; }
    int32_t GetFlags() const { return m_Flags; }

private:
    std::string m_DatabasePath;
    int32_t m_Flags;
};

// Makes the history thread object for a database path and flags.
using HistoryFactory = std::function<std::unique_ptr<HistoryService>(const std::string& path, int32_t flags)>;

// Starts the thread and registers it; a thread the registry refuses is stopped again. Answers
// whether it runs.
bool StartHistoryThread(std::unique_ptr<HistoryService>& history);
// Posts WM_QUIT, waits for the thread to end, unregisters and deletes it. Unlike stopping the
// monitor it leaves the shutting-down flag alone.
void StopHistoryThread(std::unique_ptr<HistoryService>& history);

} // namespace vq
