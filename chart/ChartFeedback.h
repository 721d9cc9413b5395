#pragma once

#include "platform/gui/GdiTypes.h"
#include "platform/gui/Region.h"

#include <optional>
#include <span>

namespace vq {

class Chart;

// Where drawing put one data item: a polygon, a rectangle or a point with a tolerance, with the
// group and index of the item, so a click can find it.
class ChartFeedback {
public:
    enum Kind { kindPolygon = 0, kindRectangle = 1, kindPoint = 2 };
    static constexpr int kDefaultTolerance = 5;

    // The polygon's area under the alternate fill rule.
    ChartFeedback(std::span<const POINT> points, int group, int index, Chart* chart);
    ChartFeedback(int left, int top, int right, int bottom, int group, int index, Chart* chart);
    ChartFeedback(int x, int y, int tolerance, int group, int index, Chart* chart);
    virtual ~ChartFeedback() = default;

    // Rectangles exclude their right and bottom edges; a point holds what lies strictly closer
    // than the tolerance on both axes.
    int Contains(int x, int y) const;
    virtual int GetGroup() const { return m_group; }
    int GetIndex() const { return m_index; }
    int GetKind() const { return m_kind; }
    Chart* GetChart() const { return m_chart; }

private:
    std::optional<Region> m_region;
    int m_group;
    int m_index;
    Chart* m_chart;
    int m_tolerance = kDefaultTolerance;
    POINT m_point{};
    RECT m_rect{};
    int m_kind;
};

} // namespace vq
