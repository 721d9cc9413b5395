#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartLabel.h"
#include "chart/ChartLabelBlock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace vq {
namespace {

constexpr double kFullTurn = 6.2831852;
constexpr double kArcStep = 0.08726646111111111;
constexpr double kRadiusShare = 0.29999999999999999;

// The circle the slices share, tilted into an ellipse with a visible side of height depth.
struct PieShape {
    double r = 0, v = 0, depth = 0;
    int cx = 0, cy = 0;
    POINT At(double angle) const {
        return {TruncToInt(cx + std::cos(angle) * r), TruncToInt(cy + std::sin(angle) * v)};
    }
};

PieShape ShapeOf(const RECT& p, const ChartStyle& style, int type, bool forLabels) {
    const int w = p.right - p.left, h = p.bottom - p.top;
    PieShape pie;
    pie.r = kRadiusShare * std::min(w, h);
    const double tilt = (type == 4 ? 90.0 : style.tilt) * kRadiansPerDegree;
    const bool raised = type == 13;
    pie.v = (forLabels && !raised) ? pie.r : std::sin(tilt) * pie.r;
    const double thickness = (style.flagsWord & ChartDisplay::kExplicitSizes) ? style.firstSize : pie.v * 0.5;
    pie.depth = (type == 4 || (forLabels && !raised)) ? 0 : std::cos(tilt) * thickness;
    pie.cx = p.left + w / 2;
    pie.cy = TruncToInt(p.top + h / 2 - pie.depth * 0.5);
    return pie;
}

struct Slice {
    int group = 0, index = 0;
    ChartData* item = nullptr;
    double value = 0, start = 0, sweep = 0;
    POINT shift{};
    double Middle() const { return start + sweep / 2; }
};

// Bits 8-11 of an item's label word pull its slice out: the share of the radius, and how far
// its label then stands from the centre.
double PullOf(const ChartStyle& style) {
    switch ((style.labelWord >> 8) & 0xF) {
    case 1:
    case 3:
        return 0.1;
    case 2:
        return 0.05;
    case 4:
        return 0.2;
    default:
        return 0;
    }
}

double LabelDistanceOf(const ChartStyle& style) {
    switch ((style.labelWord >> 8) & 0xF) {
    case 1:
    case 3:
        return 1.2;
    case 2:
        return 1.15;
    case 4:
        return 1.3;
    default:
        return 1.1;
    }
}

std::vector<Slice> SlicesOf(ChartDisplay& display, const PieShape& pie, double total) {
    std::vector<Slice> slices;
    Chart* chart = display.GetChart();
    const double perUnit = kFullTurn / total;
    double angle = 0;
    for (int g = display.GetFirstGroup(); g <= display.GetLastGroup(); ++g) {
        ChartDataList& group = chart->GetGroup(g, true);
        for (int i = display.GetFirstIndex(); i <= display.GetLastIndex(); ++i) {
            ChartData& item = group.GetDataInGroup(i, true);
            if (item.IsNull()) continue;
            Slice slice{g, i, &item, item.GetValue(), angle, 0, {}};
            slice.sweep = slice.value * perUnit;
            angle += slice.sweep;
            const double k = PullOf(item.GetStyle()), mid = slice.Middle();
            slice.shift = {TruncToInt(std::cos(mid) * k * pie.r), TruncToInt(std::sin(mid) * k * pie.v)};
            slices.push_back(slice);
        }
    }
    return slices;
}

// The rim from the end angle back towards the start, one point per step; the start itself is
// not among them.
template <typename Keep>
void SampleArc(const PieShape& pie, const Slice& slice, std::vector<POINT>& out, Keep keep) {
    double remaining = slice.sweep;
    while (remaining > 0) {
        const double angle = slice.start + remaining;
        if (keep(angle)) out.push_back(pie.At(angle));
        remaining = remaining > kArcStep ? remaining - kArcStep : 0;
    }
}

void Shift(std::vector<POINT>& points, POINT by) {
    for (POINT& point : points)
        point.x += by.x, point.y += by.y;
}

std::string LabelText(const ChartStyle& style, double value, double percent, const std::string& note) {
    char text[512];
    switch ((style.labelWord >> 4) & 0xF) {
    case 0:
        return {};
    case 2:
        std::snprintf(text, sizeof text, "%f", value);
        break;
    case 3:
        std::snprintf(text, sizeof text, "%.2f%%", percent);
        break;
    case 5:
        std::snprintf(text, sizeof text, "%s", note.c_str());
        break;
    case 6:
        std::snprintf(text, sizeof text, "%s (%f)", note.c_str(), value);
        break;
    case 7:
        std::snprintf(text, sizeof text, "%s=%f (%.2f%%)", note.c_str(), value, percent);
        break;
    case 8:
        std::snprintf(text, sizeof text, "%s (%.2f%%)", note.c_str(), percent);
        break;
    default:
        std::snprintf(text, sizeof text, "%g (%.2f%%)", value, percent);
        break;
    }
    return text;
}

} // namespace

void ChartDisplay::DrawPie() {
    if (GetValueRange().GetMinimum() < 0) {
        // A pie has no slice for a negative value: from the next draw on this is a column chart.
        return TurnIntoColumns();
    }
    Chart* chart = GetChart();
    const double total = chart->RangeSum(GetFirstGroup(), GetFirstIndex(), GetLastGroup(), GetLastIndex());
    if (total == 0) return DrawEmptyPicture();
    const PieShape pie = ShapeOf(m_plot, GetStyle(), GetChartType(), false);
    std::vector<Slice> slices = SlicesOf(*this, pie, total);
    if (slices.empty()) return;
    const int depth = TruncToInt(pie.depth);
    std::vector<POINT> points;
    auto wall = [&](POINT rim, POINT shift) {
        points.assign({{pie.cx, pie.cy}, rim, {rim.x, rim.y + depth}, {pie.cx, pie.cy + depth}, {pie.cx, pie.cy}});
        Shift(points, shift);
    };
    // A flat pie (no side to show) has only its tops.
    if (GetChartType() == 13 && pie.r != pie.v) {
        std::vector<std::size_t> order(slices.size());
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        // Walls, farthest first.
        std::vector<POINT> rims(slices.size());
        for (std::size_t k = 0; k < slices.size(); ++k)
            rims[k] = pie.At(slices[k].start);
        std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return rims[a].y < rims[b].y; });
        for (std::size_t k : order) {
            // Right of the centre the wall at a slice's start shows the slice before it.
            const Slice& owner = rims[k].x > pie.cx ? slices[k == 0 ? slices.size() - 1 : k - 1] : slices[k];
            SetColourIndex(owner.group);
            wall(rims[k], owner.shift);
            FillPolygon(points, owner.item->GetStyle(), 0);
            OutlinePolygon(points, owner.item->GetStyle(), 0);
        }
        // Outer sides of the front half, farthest first.
        for (std::size_t k = 0; k < slices.size(); ++k)
            rims[k] = pie.At(slices[k].Middle());
        std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return rims[a].y < rims[b].y; });
        for (std::size_t k : order) {
            const Slice& slice = slices[k];
            const ChartStyle& style = slice.item->GetStyle();
            SetColourIndex(slice.group);
            points.clear();
            SampleArc(pie, slice, points, [](double angle) { return std::sin(angle) >= 0; });
            if (points.empty()) continue;
            points.push_back(pie.At(slice.start));
            for (std::size_t n = points.size(); n-- > 0;)
                points.push_back({points[n].x, points[n].y + depth});
            points.push_back(points.front());
            Shift(points, slice.shift);
            if (slice.shift.x != 0 || slice.shift.y != 0) {
                // The pulled-out slice uncovers one of its own walls.
                std::vector<POINT> band = std::move(points);
                wall(pie.At(slice.shift.x < 1 ? slice.start : slice.start + slice.sweep), slice.shift);
                FillPolygon(points, style, 0);
                AddPolygon(points, slice.group, slice.index);
                points = std::move(band);
            }
            FillPolygon(points, style, 0);
            OutlinePolygon(points, style, 0);
            AddPolygon(points, slice.group, slice.index);
        }
    }
    const bool single = static_cast<long long>(GetGroupCount()) * GetIndexCount() == 1;
    for (const Slice& slice : slices) {
        points.clear();
        if (!single) points.push_back({pie.cx, pie.cy});
        SampleArc(pie, slice, points, [](double) { return true; });
        points.push_back(pie.At(slice.start));
        points.push_back(points.front());
        Shift(points, slice.shift);
        SetColourIndex(slice.group);
        AddPolygon(points, slice.group, slice.index);
        FillPolygon(points, slice.item->GetStyle(), 0);
        OutlinePolygon(points, slice.item->GetStyle(), 0);
    }
}

void ChartDisplay::DrawPieLabels() {
    if (((GetStyle().labelWord >> 4) & 0xF) == 0) return;
    Chart* chart = GetChart();
    const double total = chart->RangeSum(GetFirstGroup(), GetFirstIndex(), GetLastGroup(), GetLastIndex());
    if (total == 0) return;
    const bool raised = GetChartType() == 13;
    const PieShape pie = ShapeOf(m_plot, GetStyle(), GetChartType(), true);
    ChartLabelBlock block;
    block.SetParent(chart);
    block.BeginDraw(GetDrawingDC(), GetDrawingWindow());
    block.SetAvoidOverlap(1);
    const u32 content = (GetStyle().flagsWord & kIndexLabelStyle) ? 10u : 9u;
    for (const Slice& slice : SlicesOf(*this, pie, total)) {
        const ChartStyle& style = slice.item->GetStyle();
        const std::string note = chart->GetDataAnnotation(slice.group, slice.index, GetAnnotationIndex());
        auto made = std::make_unique<ChartLabel>();
        ChartLabel& label = *made;
        block.AttachLabel(std::move(made), 0);
        label.SetCurrentText(LabelText(style, slice.value, slice.value * (100 / total), note));
        const double f = LabelDistanceOf(style), mid = slice.Middle();
        const int x = TruncToInt(pie.cx + std::cos(mid) * (f * pie.r + 3.0));
        int y = TruncToInt(pie.cy + std::sin(mid) * (f * pie.v + 3.0));
        if (raised && y > pie.cy) y += TruncToInt(pie.depth);
        label.SetPosition(x, y);
        double degrees = mid * 57.295780490442965;
        if (degrees < 0) degrees += 360;
        label.SetAnchorCode(TruncToInt(degrees * 0.022222222222222223) & 7);
        label.SetDirectionAngle(degrees);
        label.SetFont(GetFontSize(), GetFontFlags(), GetFaceName());
        label.SetColor(GetColor());
        label.GetStyle().labelWord = (label.GetStyle().labelWord & ~0xF0u) | (content << 4);
    }
    block.SetFont(GetFontSize(), GetFontFlags(), GetFaceName());
    block.SetColor(GetColor());
    block.SetDrawFlag(1);
    block.Draw(GetDrawingDC(), GetDrawingWindow());
}

} // namespace vq
