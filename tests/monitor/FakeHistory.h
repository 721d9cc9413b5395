#pragma once

#include "monitor/HistoryMessages.h"
#include "monitor/HistoryService.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorGlobals.h"
#include "runtime/MessageIds.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vq {

// A history thread that keeps what it is sent for the test to read: checkpoints, requests and
// restarts are received and kept whole; anything else is taken and dropped. A restart sent after
// other messages tells that those have arrived. Once started it asks the
// monitor for checkpoints, as the real one does.
class FakeHistory : public HistoryService {
public:
    explicit FakeHistory(std::string path = "fake.vqh", int32_t flags = 25)
        : HistoryService(std::move(path), flags) {}

    bool InitInstance() override {
        CreateWindowAndTimers();
        if (Monitor* monitor = TheMonitorGlobals().m_Monitor.load()) {
            auto* install = new HistoryCheckpointRequestMessage(this);
            if (!install->Send(monitor)) delete install;
        }
        return HistoryService::InitInstance();
    }

    // Everything sent before this has arrived once it returns.
    void Sync() {
        const std::size_t count = WaitFor(WM_History_Restart, 0) + 1;
        auto* marker = new HistoryControlRestartMessage(false, true);
        if (!marker->Send(this)) delete marker;
        WaitFor(WM_History_Restart, count);
    }
    // Waits until `count` messages of the id were taken; answers how many there are.
    std::size_t WaitFor(std::uint32_t id, std::size_t count) {
        std::unique_lock lock(m_Mutex);
        m_Changed.wait_for(lock, std::chrono::seconds(10), [&] { return CountLocked(id) >= count; });
        return CountLocked(id);
    }
    // The messages of the id taken so far, in order; they stay owned here.
    template <typename M> std::vector<M*> Taken(std::uint32_t id) {
        std::lock_guard lock(m_Mutex);
        std::vector<M*> result;
        for (auto& message : m_Taken)
            if (message->GetMessageId() == id) result.push_back(static_cast<M*>(message.get()));
        return result;
    }

protected:
    void OnThreadMessage(const QueueEntry& entry) override {
        auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
        if (!message || !message->Receive()) return;
        if (entry.message == WM_Checkpoint_Update || entry.message == WM_Database_Request ||
            entry.message == WM_History_Restart) {
            std::lock_guard lock(m_Mutex);
            m_Taken.emplace_back(message);
            m_Changed.notify_all();
            return;
        }
        if (message->Complete()) delete message;
    }

private:
    std::size_t CountLocked(std::uint32_t id) const {
        std::size_t n = 0;
        for (const auto& message : m_Taken)
            n += message->GetMessageId() == id;
        return n;
    }

    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::vector<std::unique_ptr<ThreadMessage>> m_Taken;
};

} // namespace vq
