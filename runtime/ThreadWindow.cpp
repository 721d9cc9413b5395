#include "runtime/ThreadWindow.h"

#include "runtime/MessageIds.h"
#include "runtime/VQ_Thread.h"

#include <new>

namespace vq {

ThreadWindow::ThreadWindow(VQ_Thread& owner)
    : m_Owner(owner), m_ThreadId(CurrentThreadId()), m_Title(owner.GetName() + "::ThreadWindow") {}

std::intptr_t ThreadWindow::WindowProc(const QueueEntry& entry) {
    switch (entry.message) {
    case WM_TIMER:
        m_Owner.OnTimer(static_cast<std::uint32_t>(entry.wParam));
        break;
    case WM_COMPACTING:
        m_Owner.OnCompacting(static_cast<std::uint32_t>(entry.wParam));
        break;
    case WM_NameTable_IpNameReply:
        try {
            m_Owner.OnNameReply(entry.wParam, entry.lParam);
        } catch (const std::bad_alloc&) {
        }
        break;
    default:
        break;
    }
    return 0;
}

} // namespace vq
