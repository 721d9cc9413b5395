#include "runtime/EngineGlobals.h"

#include "runtime/NotificationThreadMessage.h"

namespace vq {
namespace {

EngineGlobals& DefaultEngine() {
    static EngineGlobals globals;
    return globals;
}

std::atomic<EngineGlobals*> current{nullptr};

} // namespace

// The fixed reports are built with the first engine state, before any thread can need them.
EngineGlobals::EngineGlobals() {
    GetFixedReport(0);
}

EngineGlobals::~EngineGlobals() = default;

EngineExtension& EngineGlobals::MonitorState(std::unique_ptr<EngineExtension> (*make)()) {
    std::lock_guard lock(m_ExtensionMutex);
    if (!m_MonitorState) m_MonitorState = make();
    return *m_MonitorState;
}

EngineGlobals& Engine() {
    if (EngineGlobals* globals = current.load(std::memory_order_acquire)) return *globals;
    return DefaultEngine();
}

ScopedEngineGlobals::ScopedEngineGlobals() : m_Previous(current.exchange(&m_Globals)) {}

ScopedEngineGlobals::~ScopedEngineGlobals() {
    current.store(m_Previous);
}

} // namespace vq
