#pragma once

#include "platform/core/RuntimeClass.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstdint>

namespace vq {

class ThreadWindow;
class VQ_Thread;

// A periodic timer on a thread's hidden window. It ticks on that window's thread; the thread's
// OnTimer calls the callback while the timer is started.
class Timer : public Object {
    VQ_DECLARE_RUNTIME_CLASS(Timer)

public:
    using Callback = void (VQ_Thread::*)(const Timestamp& now);

    // Disabled and stopped.
    Timer(ThreadWindow* owner, Callback callback);
    ~Timer() override;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void Enable() { m_Enabled = true; }
    void Disable() { m_Enabled = false; }
    bool IsEnabled() const { return m_Enabled; }
    bool IsStarted() const { return m_Started; }
    bool IsRunning() const { return m_TimerId != 0; }
    std::uint32_t GetId() const { return m_TimerId; }

    // Arms the timer with the span, or with the default period for the zero span; the zero span
    // leaves a running timer as it runs. Answers whether the timer runs.
    bool Start(const TimeSpan& span);
    bool Stop();
    bool Restart(const TimeSpan& span);
    TimeSpan GetRemaining() const;
    TimeSpan GetPeriod() const { return m_Period; }
    TimeSpan GetDefaultPeriod() const { return m_DefaultPeriod; }
    void SetDefaultPeriod(const TimeSpan& period) { m_DefaultPeriod = period; }
    Timestamp GetStartTime() const { return m_StartTime; }

    void Call(VQ_Thread& thread, const Timestamp& now) const;

private:
    std::uint32_t m_TimerId = 0;
    bool m_Enabled = false;
    bool m_Started = false;
    TimeSpan m_Period;
    ThreadWindow* m_Owner;
    TimeSpan m_DefaultPeriod;
    Timestamp m_StartTime;
    Callback m_Callback;
};

} // namespace vq
