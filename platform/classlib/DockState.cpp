#include "platform/classlib/DockState.h"

#include <algorithm>
#include <limits>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(CDockState, Object)

namespace {

std::int32_t ScaleAxis(std::int32_t value, std::int32_t saved, std::int32_t current) {
    if (value == -1 || saved <= 0 || saved == current) return value;
    const std::int64_t scaled = std::int64_t(value) * current / saved;
    return std::int32_t(std::clamp<std::int64_t>(scaled, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

} // namespace

SIZE CDockState::GetScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

POINT CDockState::ScalePoint(POINT stored) const {
    const SIZE now = GetScreenSize();
    return {ScaleAxis(stored.x, m_sizeScreen.cx, now.cx), ScaleAxis(stored.y, m_sizeScreen.cy, now.cy)};
}

RECT CDockState::ScaleRect(const RECT& stored) const {
    const POINT topLeft = ScalePoint({stored.left, stored.top});
    const POINT bottomRight = ScalePoint({stored.right, stored.bottom});
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

} // namespace vq
