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

EngineGlobals& Engine() {
    if (EngineGlobals* globals = current.load(std::memory_order_acquire)) return *globals;
    return DefaultEngine();
}

ScopedEngineGlobals::ScopedEngineGlobals() : m_Previous(current.exchange(&m_Globals)) {}

ScopedEngineGlobals::~ScopedEngineGlobals() {
    current.store(m_Previous);
}

} // namespace vq
