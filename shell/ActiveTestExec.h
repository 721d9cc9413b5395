#pragma once

#include "platform/thread/PlatformThread.h"
#include "platform/thread/ThreadId.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vq {

class ExplorerInfo;
struct ActiveTestResult;

// A one-shot ping worker: its thread takes one WM_ACTIVETEST_EXEC, pings the device once and
// answers the manager with WM_ACTIVETEST_DONE (a result the manager then owns) or, when the
// device is gone, WM_ACTIVETEST_SKIPPED; then the thread ends. It never touches a window.
class ActiveTestExec {
public:
    // What the worker is given: its own copies, so nothing it reads is edited meanwhile.
    struct Job {
        std::uint64_t m_Worker = 0;
        std::uint64_t m_TestSerial = 0;
        ExplorerInfo* m_Device = nullptr;
        std::string m_Address;
        ThreadId m_Manager = 0;
    };

    static constexpr std::uint8_t kTimeToLive = 255;
    // Replies faster than this are reported as this.
    static constexpr std::int32_t kMinimumRoundTrip = 5;

    // Starts the thread, which waits for its job; false when the system refuses a thread.
    bool Start();
    ThreadId GetThreadId() const { return m_Thread.GetId(); }
    // Waits for the thread, which ends on its own once it has answered (or its queue closed).
    void Join() { m_Thread.Join(); }

    // The result of pinging the job's address, taken after the ping returned.
    static std::unique_ptr<ActiveTestResult> Run(const Job& job);

private:
    static void OnExec(const Job& job);

    PlatformThread m_Thread;
};

} // namespace vq
