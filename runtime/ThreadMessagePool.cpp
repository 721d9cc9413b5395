#include "runtime/ThreadMessagePool.h"

#include "platform/core/Format.h"
#include "runtime/MessageIds.h"
#include "runtime/SystemText.h"
#include "runtime/ThreadMessage.h"

namespace vq {

ThreadMessagePool::~ThreadMessagePool() {
    std::lock_guard lock(m_Mutex);
    for (ThreadMessage* m = m_Head; m;) {
        ThreadMessage* next = m->m_PoolNext;
        m->SetState(ThreadMessage::STATE_POOL_DTOR);
        delete m;
        m = next;
    }
    m_Head = m_Tail = nullptr;
    m_Size = 0;
}

void ThreadMessagePool::Add(ThreadMessage* message) {
    std::lock_guard lock(m_Mutex);
    message->m_Pool = this;
    message->m_PoolPrev = m_Tail;
    message->m_PoolNext = nullptr;
    (m_Tail ? m_Tail->m_PoolNext : m_Head) = message;
    m_Tail = message;
    ++m_Size;
}

bool ThreadMessagePool::Remove(ThreadMessage* message) {
    std::lock_guard lock(m_Mutex);
    if (message->m_Pool != this) return false;
    (message->m_PoolPrev ? message->m_PoolPrev->m_PoolNext : m_Head) = message->m_PoolNext;
    (message->m_PoolNext ? message->m_PoolNext->m_PoolPrev : m_Tail) = message->m_PoolPrev;
    message->m_PoolPrev = message->m_PoolNext = nullptr;
    message->m_Pool = nullptr;
    --m_Size;
    return true;
}

void ThreadMessagePool::SetAllStates(std::uint32_t state) {
    std::lock_guard lock(m_Mutex);
    for (ThreadMessage* m = m_Head; m; m = m->m_PoolNext)
        m->SetState(state);
}

std::size_t ThreadMessagePool::GetSize() const {
    std::lock_guard lock(m_Mutex);
    return m_Size;
}

std::string ThreadMessagePool::Describe() const {
    std::lock_guard lock(m_Mutex);
    std::string text = Format("ThreadMessagePool (size %d)\n\n", int(m_Size));
    text += "message\t\t\tid\t\torig\t\tsender\tdest\t\tstate\t\treceiver deletes?\n";
    for (const ThreadMessage* m = m_Head; m; m = m->m_PoolNext)
        text +=
            Format("%s\t%d\t%d\t%d\t%d %s %s\n", GetMessageIdName(m->GetMessageId()), int(m->GetSerialId()),
                   int(m->GetOriginator()), int(m->GetSender()), int(m->GetDestination()),
                   ThreadMessage::GetStateName(m->GetState()), BoolText(m->GetReceiverDeletes()));
    text += "\n";
    return text;
}

} // namespace vq
