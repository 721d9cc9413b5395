#include "runtime/GlobalState.h"

#include "runtime/EngineGlobals.h"

namespace vq {

// The block belongs to the engine state, so that a test starting from a fresh engine also starts
// from fresh switches.
GlobalState& TheGlobalState() {
    return Engine().m_State;
}

} // namespace vq
