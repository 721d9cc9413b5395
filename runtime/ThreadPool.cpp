#include "runtime/ThreadPool.h"

#include "platform/core/Format.h"
#include "runtime/ThreadObject.h"

#include <algorithm>
#include <mutex>
#include <new>

namespace vq {

bool ThreadPool::Add(ThreadObject* thread) {
    std::unique_lock lock(m_Mutex);
    try {
        m_Threads.push_back(thread);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ThreadPool::Remove(ThreadObject* thread) {
    std::unique_lock lock(m_Mutex);
    auto it = std::find(m_Threads.begin(), m_Threads.end(), thread);
    if (it == m_Threads.end()) return false;
    m_Threads.erase(it);
    return true;
}

ThreadObject* ThreadPool::FindThread(ThreadId id) const {
    std::shared_lock lock(m_Mutex);
    auto it = std::find_if(m_Threads.begin(), m_Threads.end(),
                           [id](const ThreadObject* t) { return t->GetThreadId() == id; });
    return it == m_Threads.end() ? nullptr : *it;
}

std::size_t ThreadPool::GetSize() const {
    std::shared_lock lock(m_Mutex);
    return m_Threads.size();
}

std::string ThreadPool::Describe() const {
    std::shared_lock lock(m_Mutex);
    std::string text = Format("ThreadPool (size %d)\n\n", int(m_Threads.size()));
    text += "CWinThread*\tthread id\tthread HANDLE\tmain window\n";
    for (const ThreadObject* t : m_Threads)
        text += Format("$%p\t%d\t\t\t$%p\t\t$%p\n", static_cast<const void*>(t), int(t->GetThreadId()),
                       t->GetThreadHandle(), static_cast<const void*>(nullptr));
    text += "\n";
    return text;
}

} // namespace vq
