#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace vq {

// The program-wide switches. Each field is written by one thread at a time and read by all without
// a lock, so each is an atomic that a reader sees either before or after a write. All zero at start.
class GlobalState {
public:
    GlobalState() = default;
    GlobalState(const GlobalState&) = delete;
    GlobalState& operator=(const GlobalState&) = delete;

    // Always empty: handed out where a text reference must exist but there is nothing to say.
    const std::string m_EmptyText;
    // From here on thread messages are refused and worker pumps drop what they take.
    std::atomic<bool> m_ShuttingDown{false};
    // The first switches the host table's integrity check, the fourth the tuple pool's.
    std::atomic<uint8_t> m_IntegrityOptions[7]{};
    std::atomic<uint8_t> m_AnnounceOptions[6]{};
    // The announce switch that the second field of the announce message sets, apart from the others.
    std::atomic<uint8_t> m_AnnounceFlag{0};
    // The cached operating-system class; 0 until computed.
    std::atomic<int32_t> m_OsClass{0};
    std::atomic<bool> m_TraceSuppressed{false};
    std::atomic<bool> m_CaptureActive{false};
    std::atomic<bool> m_MacOnlyReporting{false};
};

// The process's state block.
GlobalState& TheGlobalState();

} // namespace vq
