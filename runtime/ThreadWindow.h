#pragma once

#include "platform/thread/QueueEntry.h"
#include "platform/thread/ThreadId.h"

#include <cstdint>
#include <string>

namespace vq {

class VQ_Thread;

// A worker's hidden window: the address its timer ticks, the low-memory notice and the name
// look-up reply are posted to. It belongs to the thread that creates it.
class ThreadWindow {
public:
    explicit ThreadWindow(VQ_Thread& owner);
    ThreadWindow(const ThreadWindow&) = delete;
    ThreadWindow& operator=(const ThreadWindow&) = delete;

    WindowHandle GetHandle() const { return reinterpret_cast<WindowHandle>(this); }
    const std::string& GetTitle() const { return m_Title; }
    ThreadId GetThreadId() const { return m_ThreadId; }
    VQ_Thread& GetOwner() const { return m_Owner; }

    std::intptr_t WindowProc(const QueueEntry& entry);

private:
    VQ_Thread& m_Owner;
    ThreadId m_ThreadId;
    std::string m_Title;
};

} // namespace vq
