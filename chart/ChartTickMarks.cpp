#include "chart/ChartTickMarks.h"

#include "chart/ChartGeometry.h"
#include "chart/GdiHandle.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cmath>

namespace vq {
namespace {

constexpr double kQuarterTurn = 1.5707963;
constexpr double kHalfTurn = 3.1415926;

int RoundHalfUp(double value) {
    return TruncToInt(std::floor(value + 0.5));
}

// The direction from one point to another, counter-clockwise on screen; 0 when they coincide.
double AngleBetween(POINT from, POINT to) {
    const double dx = to.x - from.x, dy = -(double(to.y) - from.y);
    return dx == 0 && dy == 0 ? 0 : std::atan2(dy, dx);
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartTickMarks, ChartComponent)

ChartTickMarks::ChartTickMarks() : ChartComponent(chartTickMarksType) {}

void ChartTickMarks::Draw(HDC dc, HWND window) {
    if (GetDrawFlag()) ChartComponent::Draw(dc, window);
}

POINT ChartTickMarks::OffsetPoint(POINT point, int length, double angle) const {
    return {point.x + RoundHalfUp(length * std::cos(angle)),
            point.y + RoundHalfUp(-length * std::sin(angle))};
}

void ChartTickMarks::OffsetByTickLength(POINT& first, POINT& second) const {
    double angle = AngleBetween(first, second) - kQuarterTurn;
    if (m_side) angle += kHalfTurn;
    const int length = std::max(m_majorLength, RoundHalfUp(m_majorLength * m_minorFactor));
    first = OffsetPoint(first, length, angle);
    second = OffsetPoint(second, length, angle);
}

void ChartTickMarks::DrawTick(int x, int y, int length, double angle, int width, COLORREF colour) {
    HDC dc = GetDrawingDC();
    GdiHandle<PenObject> pen(CreatePen(PS_SOLID, width, colour));
    HGDIOBJ old = SelectObject(dc, pen.get());
    const POINT end = OffsetPoint({x, y}, length, angle);
    MoveToEx(dc, x, y, nullptr);
    LineTo(dc, end.x, end.y);
    SelectObject(dc, old);
}

void ChartTickMarks::DrawForeground() {
    if (!GetDrawFlag() || !m_points || m_points->empty()) return;
    const std::vector<POINT>& points = *m_points;
    const double angle =
        AngleBetween(points.front(), points.back()) + (m_side ? kQuarterTurn : -kQuarterTurn);
    const int minorLength = TruncToInt(m_majorLength * m_minorFactor);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const POINT at = points[i];
        DrawTick(at.x, at.y, m_majorLength, angle, m_majorWidth, m_majorColour);
        if (i == 0 || m_minorCount <= 0) continue;
        const POINT before = points[i - 1];
        for (int k = 1; k <= m_minorCount; ++k) {
            const double share = static_cast<double>(k) / (m_minorCount + 1);
            DrawTick(RoundHalfUp(at.x + share * (before.x - at.x)),
                     RoundHalfUp(at.y + share * (before.y - at.y)), minorLength, angle, m_minorWidth,
                     m_minorColour);
        }
    }
}

void ChartTickMarks::Store(ObjectWriter& archive) const {
    ChartComponent::Store(archive);
    archive.WriteInt32(m_minorWidth);
    archive.WriteInt32(m_majorWidth);
    archive.WriteUInt32(m_minorColour);
    archive.WriteUInt32(m_majorColour);
    archive.WriteInt32(m_side);
    archive.WriteInt32(m_majorLength);
    archive.WriteDouble(m_minorFactor);
    archive.WriteInt32(m_minorCount);
}

void ChartTickMarks::Load(ObjectReader& archive, u32 schema) {
    ChartComponent::Load(archive, schema);
    m_minorWidth = archive.ReadInt32();
    m_majorWidth = archive.ReadInt32();
    m_minorColour = archive.ReadUInt32();
    m_majorColour = archive.ReadUInt32();
    m_side = archive.ReadInt32();
    m_majorLength = archive.ReadInt32();
    m_minorFactor = archive.ReadDouble();
    m_minorCount = archive.ReadInt32();
}

} // namespace vq
