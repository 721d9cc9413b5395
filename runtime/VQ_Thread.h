#pragma once

#include "platform/sys/MemoryStatus.h"
#include "platform/thread/PlatformThread.h"
#include "platform/thread/QueueEntry.h"
#include "runtime/ThreadObject.h"
#include "runtime/ThreadWindow.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timer.h"
#include "runtime/Timestamp.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

namespace vq {

class MessageQueue;

// Base of the engine's long-lived threads: a pump over the thread's queue that drops everything
// once the program shuts down, a hidden window with a tick and a memory timer, a low-memory guard,
// and one exception handler that turns whatever escapes a handler into a report to the main
// thread. The creator owns the object and deletes it after the thread has ended.
class VQ_Thread : public ThreadObject {
public:
    explicit VQ_Thread(std::string name);
    ~VQ_Thread() override;

    // Starts the thread (InitInstance, then the pump until WM_QUIT, then ExitInstance).
    bool CreateThread();
    // Waits for the thread to end.
    void Join();
    const void* GetThreadHandle() const override;

    virtual bool InitInstance();
    virtual int Run();
    // One message; false for WM_QUIT.
    virtual bool PumpMessage();
    virtual bool OnIdle(long count);
    virtual int ExitInstance();

    virtual void OnTimer(std::uint32_t eventId);
    virtual void OnCompacting(std::uint32_t ratio);
    virtual void OnNameReply(std::uintptr_t first, std::intptr_t second);
    virtual void ExceptionHandler(std::exception_ptr exception);
    virtual void ReportUnexpectedException();
    virtual void OnTick(const Timestamp& now);
    virtual void OnMemoryTimer(const Timestamp& now);
    virtual void CheckMemory();
    virtual void OnMemoryLevel();
    virtual void OnMemoryRecovered();
    virtual bool CompactHeap();
    virtual bool ResetMemoryLevel();

    bool IsRunning() const { return m_Running.load(); }
    WindowHandle GetWindowHandle() const { return m_Window ? m_Window->GetHandle() : 0; }
    const std::string& GetName() const { return m_Name; }
    std::uint32_t GetMemoryLevel() const { return m_MemoryLevel; }
    std::uint32_t GetPreviousLevel() const { return m_PreviousLevel; }
    TimeSpan GetMemoryPeriod() const { return m_MemoryPeriod; }
    Timer* GetTickTimer() const { return m_TickTimer.get(); }
    Timer* GetMemoryTimer() const { return m_MemoryTimer.get(); }

    static constexpr std::uint32_t kLevelCompact = 6144;
    static constexpr std::uint32_t kLevelLow = 8192;
    static constexpr std::uint32_t kLevelCritical = 12288;
    static constexpr std::uint64_t kThresholdHigh = 1'048'576;
    static constexpr std::uint64_t kThresholdMid = 524'288;
    static constexpr std::uint64_t kThresholdLow = 131'072;

protected:
    // Thread messages (queue entries for the thread itself); the base drops them.
    virtual void OnThreadMessage(const QueueEntry& entry);
    // Makes the calling thread this object's thread, for subclasses that run the pump themselves.
    void BindToCurrentThread();
    // Subclasses make these in InitInstance, before calling the base.
    void CreateWindowAndTimers();
    // Hands a taken entry to the thread's handlers or to its window.
    void Dispatch(const QueueEntry& entry);

    std::atomic<bool> m_Running{false};
    std::unique_ptr<ThreadWindow> m_Window;
    std::unique_ptr<Timer> m_TickTimer;
    std::unique_ptr<Timer> m_MemoryTimer;
    TimeSpan m_BasePeriod;
    TimeSpan m_MemoryPeriod;
    std::string m_Name;
    MemoryStatus m_MemoryStatus;
    std::uint32_t m_LevelCompact = kLevelCompact;
    std::uint32_t m_LevelLow = kLevelLow;
    std::uint32_t m_LevelCritical = kLevelCritical;
    std::uint64_t m_ThresholdHigh = kThresholdHigh;
    std::uint64_t m_ThresholdMid = kThresholdMid;
    std::uint64_t m_ThresholdLow = kThresholdLow;
    std::uint32_t m_PreviousLevel = 0;
    std::uint32_t m_MemoryLevel = 0;

private:
    void ThreadMain();

    PlatformThread m_Thread;
};

// Starts the thread and registers it; a thread the registry refuses is stopped again.
bool StartRegisteredThread(VQ_Thread& thread);
// Posts WM_QUIT, waits for the thread to end, removes it from the registry and deletes it.
void StopRegisteredThread(std::unique_ptr<VQ_Thread>& thread);

} // namespace vq
