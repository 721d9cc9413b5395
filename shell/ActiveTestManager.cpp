#include "shell/ActiveTestManager.h"

#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "shell/ActiveTestInfo.h"
#include "shell/ShellMessages.h"

#include <future>
#include <system_error>

namespace vq {
namespace {

void Free(const QueueEntry& entry) {
    if (entry.message == WM_ACTIVETEST_ADD || entry.message == WM_ACTIVETEST_REMOVE)
        delete reinterpret_cast<ActiveTestInfo*>(entry.wParam);
}

} // namespace

ActiveTestManager::~ActiveTestManager() {
    if (m_Thread.joinable()) PostThreadMessage(GetThreadId(), WM_ACTIVETEST_STOP, 0, 0);
    Join();
}

bool ActiveTestManager::CreateThread() {
    std::promise<void> ready;
    auto started = ready.get_future();
    try {
        m_Thread = std::thread([this, &ready] {
            m_ThreadId = CurrentThreadId();
            MessageQueue::Current();
            ready.set_value();
            Loop();
        });
    } catch (const std::system_error&) {
        return false;
    }
    started.wait();
    return true;
}

void ActiveTestManager::Join() {
    if (m_Thread.joinable()) m_Thread.join();
}

void ActiveTestManager::Loop() {
    MessageQueue& queue = MessageQueue::Current();
    QueueEntry entry;
    while (queue.Get(entry)) {
        if (entry.message == WM_ACTIVETEST_INIT) ++m_Inits;
        if (entry.message == WM_ACTIVETEST_ADD) ++m_Adds;
        Free(entry);
        if (entry.message == WM_ACTIVETEST_STOP) {
            ++m_Stops;
            break;
        }
    }
    // Whatever was posted before the queue closed is freed here; later posts are refused.
    queue.Close();
    while (queue.Peek(entry))
        Free(entry);
}

} // namespace vq
