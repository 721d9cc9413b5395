#include "monitor/RingGeometry.h"

namespace vq {

void RingGeometryCopy::Keep(const RingGeometry& geometry) {
    std::lock_guard lock(m_Mutex);
    m_Geometry = geometry;
}

RingGeometry RingGeometryCopy::Get() const {
    std::lock_guard lock(m_Mutex);
    return m_Geometry;
}

} // namespace vq
