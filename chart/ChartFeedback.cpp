#include "chart/ChartFeedback.h"

#include "platform/gui/Gdi.h"

#include <cstdlib>

namespace vq {

ChartFeedback::ChartFeedback(std::span<const POINT> points, int group, int index, Chart* chart)
    : m_region(Region::FromPolygon(points, ALTERNATE)), m_group(group), m_index(index), m_chart(chart),
      m_kind(kindPolygon) {}

ChartFeedback::ChartFeedback(int left, int top, int right, int bottom, int group, int index, Chart* chart)
    : m_group(group), m_index(index), m_chart(chart), m_rect{left, top, right, bottom},
      m_kind(kindRectangle) {}

ChartFeedback::ChartFeedback(int x, int y, int tolerance, int group, int index, Chart* chart)
    : m_group(group), m_index(index), m_chart(chart), m_tolerance(tolerance), m_point{x, y},
      m_kind(kindPoint) {}

int ChartFeedback::Contains(int x, int y) const {
    switch (m_kind) {
    case kindPolygon:
        return m_region && m_region->Contains(x, y);
    case kindRectangle:
        return x >= m_rect.left && x < m_rect.right && y >= m_rect.top && y < m_rect.bottom;
    case kindPoint:
        return std::abs(static_cast<long long>(x) - m_point.x) < m_tolerance &&
               std::abs(static_cast<long long>(y) - m_point.y) < m_tolerance;
    default:
        return 0;
    }
}

} // namespace vq
