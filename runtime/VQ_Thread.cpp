#include "runtime/VQ_Thread.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Format.h"
#include "platform/sys/Heap.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/TimeUnits.h"

#include <new>

namespace vq {
namespace {

// The longest period the platform arms a timer with: doubling the memory period beyond it would
// change nothing but could overflow.
const TimeSpan kLongestPeriod(MessageQueue::kMaximumTimerMilliseconds, Unit::Milliseconds);

int ClassifyException(std::exception_ptr exception) {
    try {
        std::rethrow_exception(exception);
    } catch (const std::bad_alloc&) {
        return REPORT_MEMORY;
    } catch (const FileException&) {
        return REPORT_FILE;
    } catch (const ArchiveException&) {
        return REPORT_ARCHIVE;
    } catch (const ResourceException&) {
        return REPORT_RESOURCE;
    } catch (const UserException&) {
        return REPORT_USER;
    } catch (const NotSupportedException&) {
        return REPORT_NOT_SUPPORTED;
    } catch (...) {
        return REPORT_UNKNOWN;
    }
}

class BusyFlagGuard {
public:
    explicit BusyFlagGuard(std::atomic_flag& flag) : m_Flag(flag) {}
    ~BusyFlagGuard() { m_Flag.clear(); }

private:
    std::atomic_flag& m_Flag;
};

} // namespace

VQ_Thread::VQ_Thread(std::string name)
    : m_BasePeriod(1, Unit::Seconds), m_MemoryPeriod(m_BasePeriod), m_Name(std::move(name)) {}

VQ_Thread::~VQ_Thread() = default;

bool VQ_Thread::CreateThread() {
    if (!m_Thread.Start([this] { ThreadMain(); })) return false;
    SetThreadId(m_Thread.GetId());
    return true;
}

void VQ_Thread::Join() {
    m_Thread.Join();
}

const void* VQ_Thread::GetThreadHandle() const {
    return m_Thread.Handle();
}

void VQ_Thread::ThreadMain() {
    SetThreadId(CurrentThreadId());
    if (InitInstance())
        Run();
    else
        ExitInstance();
}

bool VQ_Thread::InitInstance() {
    m_Running.store(true);
    return true;
}

int VQ_Thread::Run() {
    MessageQueue& queue = MessageQueue::Current();
    QueueEntry entry;
    long idleCount = 0;
    bool idle = true;
    for (;;) {
        while (idle && !queue.Peek(entry, TargetFilter::Any(), {}, PeekKeep))
            if (!OnIdle(idleCount++)) idle = false;
        do {
            if (!PumpMessage()) return ExitInstance();
            idle = true;
            idleCount = 0;
        } while (queue.Peek(entry, TargetFilter::Any(), {}, PeekKeep));
    }
}

bool VQ_Thread::PumpMessage() {
    QueueEntry entry;
    if (!MessageQueue::Current().Get(entry)) return false;
    // Once the program shuts down nothing is handled any more, not even deleted: the message pool
    // frees whatever is still registered.
    if (Engine().m_State.m_ShuttingDown) return true;
    if (entry.message == WM_KICKIDLE) return true;
    try {
        Dispatch(entry);
    } catch (...) {
        ExceptionHandler(std::current_exception());
    }
    return true;
}

bool VQ_Thread::OnIdle(long) {
    return false;
}

int VQ_Thread::ExitInstance() {
    m_TickTimer.reset();
    m_MemoryTimer.reset();
    m_Window.reset();
    m_Running.store(false);
    return 0;
}

void VQ_Thread::Dispatch(const QueueEntry& entry) {
    if (entry.target == 0)
        OnThreadMessage(entry);
    else if (m_Window && entry.target == m_Window->GetHandle())
        m_Window->WindowProc(entry);
}

void VQ_Thread::OnThreadMessage(const QueueEntry&) {}

void VQ_Thread::BindToCurrentThread() {
    SetThreadId(CurrentThreadId());
}

void VQ_Thread::CreateWindowAndTimers() {
    m_Window = std::make_unique<ThreadWindow>(*this);
    m_TickTimer = std::make_unique<Timer>(m_Window.get(), &VQ_Thread::OnTick);
    m_MemoryTimer = std::make_unique<Timer>(m_Window.get(), &VQ_Thread::OnMemoryTimer);
}

void VQ_Thread::OnTimer(std::uint32_t eventId) {
    if (m_TickTimer && eventId == m_TickTimer->GetId()) {
        if (m_TickTimer->IsStarted()) {
            m_TickTimer->Call(*this, Timestamp::Now());
            m_TickTimer->Start(m_TickTimer->GetDefaultPeriod());
        }
        return;
    }
    if (m_MemoryTimer && eventId == m_MemoryTimer->GetId()) {
        if (m_MemoryTimer->IsStarted()) m_MemoryTimer->Call(*this, Timestamp::Now());
        if (!Engine().m_State.m_CaptureActive) {
            if (m_MemoryPeriod.GetTicks() < kLongestPeriod.GetTicks())
                m_MemoryPeriod = TimeSpan(m_MemoryPeriod.GetTicks() * 2);
            m_MemoryTimer->Restart(m_MemoryPeriod);
        } else {
            m_MemoryPeriod = m_BasePeriod;
            m_MemoryTimer->Stop();
        }
        return;
    }
    try {
        PostNotification(
            3, 0, Format("unexpected timer event nIDEvent == %d [%s]", int(eventId), m_Name.c_str()).c_str(),
            "VQ_Thread", "OnTimer", nullptr, nullptr, -1);
    } catch (const std::bad_alloc&) {
    }
}

void VQ_Thread::OnCompacting(std::uint32_t ratio) {
    m_MemoryLevel = ratio;
    OnMemoryLevel();
}

void VQ_Thread::OnNameReply(std::uintptr_t, std::intptr_t) {}

void VQ_Thread::ExceptionHandler(std::exception_ptr exception) {
    EngineGlobals& engine = Engine();
    if (engine.m_ExceptionHandlerBusy.test_and_set()) return;
    BusyFlagGuard guard(engine.m_ExceptionHandlerBusy);

    const int kind = ClassifyException(exception);
    engine.m_CurrentReportKind = kind;
    engine.m_CurrentReport = &GetFixedReport(kind);
    if (kind == REPORT_MEMORY) {
        m_MemoryLevel = m_LevelCritical;
        OnMemoryLevel();
    }
    if (kind != REPORT_UNKNOWN) SendNotification(engine.m_CurrentReport);
}

void VQ_Thread::ReportUnexpectedException() {
    PostNotification(4, 0, "unexpected exception", "VQ_Thread::ExceptionHandler", nullptr, nullptr, nullptr,
                     -1);
}

void VQ_Thread::OnTick(const Timestamp&) {
    CheckMemory();
}

void VQ_Thread::OnMemoryTimer(const Timestamp&) {
    CheckMemory();
}

void VQ_Thread::CheckMemory() {
    m_MemoryStatus = QueryMemoryStatus();
    const std::uint64_t available = m_MemoryStatus.availablePageFile;
    if (Engine().m_State.m_CaptureActive) {
        if (available > m_ThresholdHigh)
            m_MemoryLevel = 0;
        else if (available > m_ThresholdMid)
            m_MemoryLevel = m_LevelCompact;
        else if (available > m_ThresholdLow)
            m_MemoryLevel = m_LevelLow;
        else
            m_MemoryLevel = m_LevelCritical;
        if (m_MemoryLevel != 0) OnMemoryLevel();
    } else if (available > m_ThresholdLow) {
        OnMemoryRecovered();
    }
}

void VQ_Thread::OnMemoryLevel() {
    m_PreviousLevel = m_MemoryLevel;
    if (m_MemoryLevel < m_LevelCompact) return;
    if (CompactHeap()) {
        OnMemoryRecovered();
    } else if (m_MemoryTimer) {
        m_MemoryTimer->SetDefaultPeriod(m_MemoryPeriod);
        m_MemoryTimer->Start(TimeSpan());
    }
}

void VQ_Thread::OnMemoryRecovered() {
    ResetMemoryLevel();
}

bool VQ_Thread::CompactHeap() {
    vq::CompactHeap();
    return true;
}

bool VQ_Thread::ResetMemoryLevel() {
    m_MemoryLevel = 0;
    return true;
}

bool StartRegisteredThread(VQ_Thread& thread) {
    if (!thread.CreateThread()) return false;
    if (Engine().m_ThreadPool.Add(&thread)) return true;
    PostThreadMessage(thread.GetThreadId(), WM_QUIT, 0, 0);
    thread.Join();
    return false;
}

void StopRegisteredThread(std::unique_ptr<VQ_Thread>& thread) {
    if (!thread) return;
    PostThreadMessage(thread->GetThreadId(), WM_QUIT, 0, 0);
    thread->Join();
    Engine().m_ThreadPool.Remove(thread.get());
    thread.reset();
}

} // namespace vq
