#pragma once

#include "platform/thread/ThreadId.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace vq {

// The active-test manager's thread, standing in until active tests are built: it takes the
// application's messages, counts them and frees what they carry.
class ActiveTestManager {
public:
    ActiveTestManager() = default;
    // Stops the thread when it still runs.
    ~ActiveTestManager();
    ActiveTestManager(const ActiveTestManager&) = delete;
    ActiveTestManager& operator=(const ActiveTestManager&) = delete;

    // Starts the thread and waits until it can take messages; false when it cannot be made.
    bool CreateThread();
    ThreadId GetThreadId() const { return m_ThreadId.load(); }
    // Waits until the thread has ended.
    void Join();

    std::atomic<int> m_Inits{0};
    std::atomic<int> m_Adds{0};
    std::atomic<int> m_Stops{0};

private:
    void Loop();

    std::thread m_Thread;
    std::atomic<ThreadId> m_ThreadId{0};
};

} // namespace vq
