#include "runtime/GlobalState.h"

namespace vq {

GlobalState& TheGlobalState() {
    static GlobalState state;
    return state;
}

} // namespace vq
