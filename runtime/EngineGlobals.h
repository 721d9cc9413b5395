#pragma once

#include "runtime/GlobalState.h"
#include "runtime/ThreadMessagePool.h"
#include "runtime/ThreadPool.h"

#include <atomic>
#include <cstdint>

namespace vq {

class NotificationThreadMessage;

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
