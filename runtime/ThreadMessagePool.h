#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace vq {

class ThreadMessage;

// Every live thread message in the order of creation. Its lock is held only for the list
// operation itself. Destroying the pool deletes every message still registered.
class ThreadMessagePool {
public:
    ThreadMessagePool() = default;
    ~ThreadMessagePool();
    ThreadMessagePool(const ThreadMessagePool&) = delete;
    ThreadMessagePool& operator=(const ThreadMessagePool&) = delete;

    std::uint32_t NextSerialId() { return m_SerialCounter.fetch_add(1, std::memory_order_relaxed) + 1; }
    void Add(ThreadMessage* message);
    // True when the message was registered.
    bool Remove(ThreadMessage* message);
    void SetAllStates(std::uint32_t state);
    std::size_t GetSize() const;
    std::string Describe() const;
    bool TraceDump() const { return true; }

private:
    mutable std::mutex m_Mutex;
    ThreadMessage* m_Head = nullptr;
    ThreadMessage* m_Tail = nullptr;
    std::size_t m_Size = 0;
    std::atomic<std::uint32_t> m_SerialCounter{0};
};

} // namespace vq
