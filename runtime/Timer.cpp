#include "runtime/Timer.h"

#include "platform/thread/MessageQueue.h"
#include "runtime/EngineGlobals.h"
#include "runtime/ThreadWindow.h"
#include "runtime/VQ_Thread.h"

namespace vq {
namespace {

// The platform timer lives in the queue of the window's thread; a timer stopped anywhere else
// died with that thread.
MessageQueue* OwnerQueue(const ThreadWindow* owner) {
    return owner && owner->GetThreadId() == CurrentThreadId() ? &MessageQueue::Current() : nullptr;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(Timer, Object)

Timer::Timer(ThreadWindow* owner, Callback callback)
    : m_Owner(owner), m_StartTime(NULL_TIME), m_Callback(callback) {}

Timer::~Timer() {
    Stop();
}

bool Timer::Start(const TimeSpan& span) {
    if (!m_Enabled) return false;
    const bool zero = span.GetTicks() == 0;
    if (!(IsRunning() && zero)) {
        const std::uint32_t id = IsRunning() ? m_TimerId : ++Engine().m_TimerIdCounter;
        m_Period = zero ? m_DefaultPeriod : span;
        MessageQueue* queue = OwnerQueue(m_Owner);
        m_TimerId = queue ? queue->SetTimer(m_Owner->GetHandle(), id, m_Period.GetTicks() / 10'000) : 0;
        m_StartTime = Timestamp::Now();
    }
    m_Started = true;
    return IsRunning();
}

bool Timer::Stop() {
    if (IsRunning()) {
        if (MessageQueue* queue = OwnerQueue(m_Owner)) queue->KillTimer(m_Owner->GetHandle(), m_TimerId);
        m_TimerId = 0;
    }
    m_Started = false;
    m_StartTime = NULL_TIME;
    return true;
}

bool Timer::Restart(const TimeSpan& span) {
    Stop();
    if (span.GetTicks() > 0) m_Period = span;
    return Start(m_Period);
}

void Timer::Call(VQ_Thread& thread, const Timestamp& now) const {
    (thread.*m_Callback)(now);
}

TimeSpan Timer::GetRemaining() const {
    if (!m_Enabled || !IsRunning()) return TimeSpan();
    const TimeSpan elapsed = Timestamp::Now() - m_StartTime;
    if (m_Period.GetTicks() <= elapsed.GetTicks()) return TimeSpan();
    return TimeSpan(m_Period.GetTicks() - elapsed.GetTicks());
}

} // namespace vq
