#pragma once

#include "runtime/GlobalState.h"
#include "runtime/ThreadMessagePool.h"
#include "runtime/ThreadPool.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace vq {

class NotificationThreadMessage;

// The engine state of a layer above the runtime (the monitor engine's pools, live model and thread
// pointers): made by that layer on first use and destroyed with the rest of the engine state.
class EngineExtension {
public:
    virtual ~EngineExtension() = default;
};

// The engine's process-wide state in one place, so that a test can start from a fresh one.
class EngineGlobals {
public:
    EngineGlobals();
    ~EngineGlobals();
    EngineGlobals(const EngineGlobals&) = delete;
    EngineGlobals& operator=(const EngineGlobals&) = delete;

    GlobalState m_State;
    ThreadPool m_ThreadPool;
    // Timer ids: the counter is incremented before each use, so the first timer gets 2.
    std::atomic<std::uint32_t> m_TimerIdCounter{1};
    // The worker exception handler runs on one thread at a time; an exception reaching it while
    // another thread is inside is not reported.
    std::atomic_flag m_ExceptionHandlerBusy;
    NotificationThreadMessage* m_CurrentReport = nullptr;
    int m_CurrentReportKind = 0;
    // Set by the first monitor thread object ever made with this state.
    std::atomic<bool> m_FirstMonitorMade{false};

    // The monitor engine's state, made by `make` on the first call from any thread.
    EngineExtension& MonitorState(std::unique_ptr<EngineExtension> (*make)());

private:
    std::mutex m_ExtensionMutex;
    std::unique_ptr<EngineExtension> m_MonitorState;

public:
    // Last, so that it is destroyed first: the messages it deletes may still look at the rest.
    ThreadMessagePool m_MessagePool;
};

// The engine state in use.
EngineGlobals& Engine();

// Puts a fresh engine state in place for its lifetime and the previous one back afterwards. No
// thread of the engine may run across either change.
class ScopedEngineGlobals {
public:
    ScopedEngineGlobals();
    ~ScopedEngineGlobals();
    ScopedEngineGlobals(const ScopedEngineGlobals&) = delete;
    ScopedEngineGlobals& operator=(const ScopedEngineGlobals&) = delete;

    EngineGlobals& Get() { return m_Globals; }

private:
    EngineGlobals m_Globals;
    EngineGlobals* m_Previous;
};

} // namespace vq
