#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGeometry.h"

#include <algorithm>
#include <cmath>

namespace vq {
namespace {

constexpr u32 kLineAndEnds = 18;
constexpr int kNoMarkers = 8;
constexpr double kZeroLength = 2.220446049250313e-14;

// The span an arrow covers along both axes, in data units.
struct Extent {
    double xLow, xHigh, yLow, yHigh;

    bool MeetsX(const CScale& range) const { return xHigh >= range.GetMinimum() && xLow <= range.GetMaximum(); }
    bool MeetsY(const CScale& range) const { return yHigh >= range.GetMinimum() && yLow <= range.GetMaximum(); }
};

Extent Span(double a, double b, double c, double d) {
    return {std::min(a, b), std::max(a, b), std::min(c, d), std::max(c, d)};
}

} // namespace

// Series of four groups (x, y and two arrow values) from the window's first group; groups left
// over are not used, and a vector with any null value is passed over.
void ChartDisplay::WalkVectors(const std::function<void(const Vector&)>& visit) {
    const int indexes = GetIndexCount();
    if (indexes <= 0) return;
    Chart* chart = GetChart();
    for (int m = 0; m < GetGroupCount() / 4; ++m) {
        const int group = GetFirstGroup() + 4 * m;
        for (int i = 0; i < indexes; ++i) {
            const int index = GetFirstIndex() + i;
            ChartData* items[4];
            bool null = false;
            for (int q = 0; q < 4; ++q) {
                items[q] = &chart->GetDataOrDummy(index, group + q);
                null = null || items[q]->IsNull();
            }
            if (null) continue;
            visit({items[0]->GetValue(), items[1]->GetValue(), items[2]->GetValue(), items[3]->GetValue(), items[0],
                   group, index, m * indexes + i});
        }
    }
}

void ChartDisplay::CalcVectorRange() {
    const FreeAxes free = FixSeriesRanges(4);
    if (!free.Any()) return;
    const u32 flags = GetStyle().flagsWord;
    CScale& values = GetValueRange();
    CScale& xs = GetXRange();
    const int type = GetChartType();
    const bool arrows = type == 45 || ((GetStyle().extraWord & kSizesWidenRanges) && !(flags & kExplicitSizes));
    WalkVectors([&](const Vector& v) {
        Extent e = Span(v.x, v.x, v.y, v.y);
        if (type == 45) {
            e = Span(v.x, v.x + v.c, v.y, v.y + v.d);
        } else if (arrows) {
            const double theta = (90 - v.c) * kRadiansPerDegree;
            const double u = std::cos(theta) * v.d, w = std::sin(theta) * v.d;
            e = type == 43 ? Span(v.x + u, v.x, v.y + w, v.y) : Span(v.x + u / 2, v.x - u / 2, v.y + w / 2, v.y - w / 2);
        }
        if (free.x) {
            if (!free.value && !e.MeetsY(values)) return;
            xs.Update(e.xLow);
            xs.Update(e.xHigh);
        }
        if (!free.value || (!free.x && !e.MeetsX(xs))) return;
        values.Update(e.yLow);
        values.Update(e.yHigh);
    });
    BoundTwoRanges(free);
}

void ChartDisplay::DrawVectors() {
    if (ExtentsAreZero()) return;
    const RECT& p = m_plot;
    const CScale xe = GetXExtents(), ve = GetValueExtents();
    const double sx = (p.right - p.left) / UsableSpan(xe.GetSpan());
    const double sy = (p.bottom - p.top) / UsableSpan(ve.GetSpan());
    const int type = GetChartType();
    const bool explicitSizes = (GetStyle().flagsWord & kExplicitSizes) != 0;
    // With explicit sizes the longest arrow is the third size long in pixels, the others in proportion.
    double longest = 0;
    if (explicitSizes) {
        Chart* chart = GetChart();
        for (int m = 0; m < GetGroupCount() / 4; ++m)
            for (int i = 0; i < GetIndexCount(); ++i) {
                ChartData& length = chart->GetDataOrDummy(GetFirstIndex() + i, GetFirstGroup() + 4 * m + 3);
                if (!length.IsNull()) longest = std::max(longest, std::fabs(length.GetValue()));
            }
    }
    const double pixelsPerUnit = explicitSizes && longest > 0 ? GetStyle().thirdSize / longest : 0;
    HDC dc = GetDrawingDC();
    const double rx = GetDeviceRatioX(dc), ry = GetDeviceRatioY(dc), shortest = 3 * std::min(rx, ry);
    ChartStyle working;
    WalkVectors([&](const Vector& v) {
        SetColourIndex(v.number);
        const int px = TruncToInt((v.x - xe.GetMinimum()) * sx + p.left);
        const int py = TruncToInt(p.bottom - (v.y - ve.GetMinimum()) * sy);
        POINT tail{px, py}, head{px, py};
        if (type == 45) {
            head = {px + TruncToInt(v.c * sx), py + TruncToInt(-v.d * sy)};
        } else {
            if (std::fabs(v.d) <= kZeroLength) return DrawCross(px, py, v.number, v.group, v.index);
            const double theta = (90 - v.c) * kRadiansPerDegree;
            const double dx = explicitSizes ? std::cos(theta) * rx * pixelsPerUnit * v.d : std::cos(theta) * v.d * sx;
            const double dy = explicitSizes ? std::sin(theta) * ry * pixelsPerUnit * v.d : std::sin(theta) * v.d * sy;
            if (type == 43) {
                head = {px + TruncToInt(dx), py + TruncToInt(-dy)};
            } else {
                tail = {px - TruncToInt(dx * 0.5), py - TruncToInt(dy * -0.5)};
                head = {px - TruncToInt(dx * -0.5), py - TruncToInt(dy * 0.5)};
            }
        }
        if (std::hypot(double(head.x) - tail.x, double(head.y) - tail.y) < shortest)
            return DrawCross(px, py, v.number, v.group, v.index);
        AddPoint(px, py, v.group, v.index);
        const ChartStyle& style = v.xItem->GetStyle();
        DrawSimpleMarker(px, py, style, nullptr);
        AddPoint(head.x, head.y, v.group + 2, v.index);
        working = style;
        working.styleWord = (working.styleWord & ~0xFF00u) | (kLineAndEnds << 8);
        DrawSegment(tail.x, tail.y, head.x, head.y, working, kNoMarkers, nullptr);
    });
}

} // namespace vq
