#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGeometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vq {
namespace {

u32 MarkerKindOf(const ChartStyle& style) {
    return (style.styleWord >> 8) & 0xFF;
}

u32 LineKindOf(const ChartStyle& style) {
    return style.styleWord & 0xF;
}

// The point step of a line: the plot width over the index count less one (1 below 2 indices).
double PointStep(const RECT& p, int indexes) {
    return (p.right - p.left) / double(indexes < 2 ? 1 : indexes - 1);
}

} // namespace

void ChartDisplay::DrawLines() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups == 0 && indexes == 0) return DrawEmptyPicture();
    if (groups <= 0 || indexes <= 0) return;
    const int kind = GetDisplayKind(), type = GetChartType();
    const RECT p = (kind == 11 || kind == 13) ? RaisedPlot(false) : m_plot;
    const double scale = (p.bottom - p.top) / GetValueSpan(), step = PointStep(p, indexes), base = Base();
    const bool log = IsValueAxisLog(), breaks = (GetStyle().flagsWord & kNullBreaksLine) != 0;
    const bool thin = (GetStyle().extraWord & kThinLines) != 0;
    const int width = std::max(1, int(p.right - p.left));
    Chart* chart = GetChart();
    for (int g = 0; g < groups; ++g) {
        const int groupNumber = GetFirstGroup() + g;
        SetColourIndex(groupNumber);
        ChartDataList& group = chart->GetGroup(groupNumber, true);
        const int visited = VisitedCount(group);
        // Never more points than pixel columns.
        const int every = thin ? std::max(1, visited / width) : 1;
        bool start = true;
        POINT previous{};
        for (int j = 0; j < visited; j += every) {
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + j, true);
            if (item.IsNull()) {
                if (breaks) start = true;
                continue;
            }
            const int y = TruncToInt(p.bottom - (item.GetValue(log) - base) * scale + 0.5);
            const int x = TruncToInt(j * step + 0.5) + p.left;
            AddPoint(x, y, groupNumber, GetFirstIndex() + j);
            if (type == 31) {
                if (!start) {
                    ChartStyle style = item.GetStyle();
                    if (LineKindOf(style) == 2) style.styleWord = (style.styleWord & ~0xFu) | 1;
                    DrawLine(previous.x, previous.y, x, y, &style, groupNumber, 0);
                }
                DrawDataLabel(x, y, &item);
            } else if (MarkerKindOf(item.GetStyle()) != 0) {
                const POINT from = start ? POINT{x, y} : previous;
                DrawSegment(from.x, from.y, x, y, item.GetStyle(), 1, &item);
            }
            previous = {x, y};
            start = false;
        }
    }
}

void ChartDisplay::DrawSteps() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups == 0 && indexes == 0) return DrawEmptyPicture();
    if (groups <= 0 || indexes <= 0) return;
    const RECT& p = m_plot;
    const double scale = (p.bottom - p.top) / GetValueSpan(), step = PointStep(p, indexes), base = Base();
    const bool log = IsValueAxisLog(), markers = GetChartType() != 36;
    Chart* chart = GetChart();
    for (int g = 0; g < groups; ++g) {
        const int groupNumber = GetFirstGroup() + g;
        SetColourIndex(groupNumber);
        ChartDataList& group = chart->GetGroup(groupNumber, true);
        const int visited = VisitedCount(group);
        bool start = true;
        POINT previous{};
        for (int j = 0; j < visited; ++j) {
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + j, true);
            if (item.IsNull()) continue;
            const int y = TruncToInt(p.bottom - (item.GetValue(log) - base) * scale + 0.5);
            const int x = TruncToInt(j * step + 0.5) + p.left;
            AddPoint(x, y, groupNumber, GetFirstIndex() + j);
            const ChartStyle& style = item.GetStyle();
            const u32 marker = MarkerKindOf(style);
            if (marker == 2) {
                DrawMarker(x, y, style, &item);
            } else if (marker != 0) {
                if (marker != 4 && markers) DrawMarker(x, y, style, &item);
                if (!start) {
                    const int lineKind = LineKindOf(style) == 2 ? 1 : 0;
                    DrawLine(previous.x, previous.y, x, previous.y, &style, groupNumber, lineKind);
                    DrawLine(x, previous.y, x, y, &style, groupNumber, lineKind);
                }
            }
            previous = {x, y};
            start = false;
        }
    }
}

void ChartDisplay::DrawAreas() {
    const CScale& range = GetValueRange();
    if (range.GetMinimum() == 0 && range.GetMaximum() == 0) return DrawEmptyPicture();
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups <= 0 || indexes <= 0) return;
    Chart* chart = GetChart();
    // Larger areas first, so that the smaller ones stay in sight.
    const std::vector<int> order = GroupsByMean();
    const RECT& p = m_plot;
    const double scale = (p.bottom - p.top) / GetValueSpan(), step = PointStep(p, indexes), base = Base();
    const bool log = IsValueAxisLog();
    const double m = range.GetMinimum();
    const int baseLine = (range.GetMaximum() * m < 0 && !log) ? TruncToInt(p.bottom + m * scale + 0.5) : p.bottom;
    std::vector<POINT> points;
    points.reserve(static_cast<std::size_t>(indexes) + 2);
    for (int groupNumber : order) {
        SetColourIndex(groupNumber);
        ChartDataList& group = chart->GetGroup(groupNumber, true);
        const int visited = VisitedCount(group);
        points.clear();
        int lastX = p.left;
        // A null item is left out of the outline: its neighbours are joined.
        for (int i = 0; i < visited; ++i) {
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + i, true);
            lastX = TruncToInt(p.left + i * step + 0.5);
            if (item.IsNull()) continue;
            const int y = TruncToInt(p.bottom - (item.GetValue(log) - base) * scale + 0.5);
            points.push_back({lastX, y});
            AddPoint(lastX, y, groupNumber, GetFirstIndex() + i);
        }
        if (points.empty()) continue;
        points.push_back({lastX, baseLine});
        points.push_back({p.left, baseLine});
        const ChartStyle& style = group.GetStyle();
        FillPolygon(points, style, 0);
        if (LineKindOf(style) != 0) OutlinePolygon(points, style, 0);
    }
}

void ChartDisplay::DrawStackedAreas() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups == 0 && indexes == 0) return DrawEmptyPicture();
    if (groups <= 0 || indexes <= 0) return;
    const RECT& p = m_plot;
    const double scale = (p.bottom - p.top) / GetValueSpan(), base = Base();
    const double m = GetValueRange().GetMinimum();
    const bool log = IsValueAxisLog();
    const double divisor = indexes < 2 ? 1 : indexes - 1;
    std::vector<double> sums(static_cast<std::size_t>(indexes), 0.0);
    std::vector<POINT> points(2 * static_cast<std::size_t>(indexes) + 1);
    Chart* chart = GetChart();
    for (int g = 0; g < groups; ++g) {
        const int groupNumber = GetFirstGroup() + g;
        SetColourIndex(groupNumber);
        ChartDataList& group = chart->GetGroup(groupNumber, true);
        const int visited = std::max(VisitedCount(group), 0);
        if (visited == 0) continue;
        // A short group's band turns back at its last item.
        const std::size_t n = static_cast<std::size_t>(visited);
        for (std::size_t i = 0; i < n; ++i) {
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + int(i), true);
            const double value = item.IsNull() ? (log ? 1 : 0) : item.GetValue();
            const double s = sums[i];
            double lower;
            if (log)
                lower = m <= s ? std::log10(s) - base : 0;
            else
                lower = s < m ? 0 : s - base;
            const double upper = (log ? std::log10(s + value) : s + value) - base;
            const int x = TruncToInt(p.left + (p.right - p.left) * double(i) / divisor + 0.5);
            points[i] = {x, TruncToInt(p.bottom - lower * scale + 0.5)};
            points[2 * n - 1 - i] = {x, TruncToInt(p.bottom - upper * scale + 0.5)};
            AddPoint(x, points[2 * n - 1 - i].y, groupNumber, GetFirstIndex() + int(i));
            sums[i] += value;
        }
        points[2 * n] = points[0];
        FillPolygon(std::span<const POINT>(points.data(), 2 * n + 1), group.GetStyle(), 0);
    }
}

void ChartDisplay::CalcStackedAreaRange() {
    CScale& range = GetValueRange();
    range.Clear();
    if (ApplyFixedLimits()) return;
    Chart* chart = GetChart();
    for (int i = 0; i < GetIndexCount(); ++i) {
        double sum = 0;
        for (int g = 0; g < GetGroupCount(); ++g) {
            const double value = chart->GetDataOrDummy(GetFirstIndex() + i, GetFirstGroup() + g).GetValue();
            if (g == 0) range.Update(value);
            sum += value;
            range.Update(sum);
        }
    }
    ApplyBoundingLimits();
}

void ChartDisplay::DrawMixed() {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups <= 0 || indexes <= 0) return;
    const RECT& p = m_plot;
    const double scale = (p.bottom - p.top) / GetValueSpan(), base = Base();
    const double slot = (p.right - p.left) / double(indexes);
    const double width = BarWidth(slot, GetDeviceRatioX(GetDrawingDC()));
    const bool log = IsValueAxisLog();
    const double m = GetValueRange().GetMinimum();
    const int foot =
        (GetValueRange().GetMaximum() * m < 0 && !log) ? TruncToInt(p.bottom + m * scale + 0.5) : p.bottom;
    Chart* chart = GetChart();
    for (int g = 0; g < groups; ++g) {
        const int groupNumber = GetFirstGroup() + g;
        SetColourIndex(groupNumber);
        ChartDataList& group = chart->GetGroup(groupNumber, true);
        const int visited = VisitedCount(group);
        bool start = true;
        POINT previous{};
        for (int j = 0; j < visited; ++j) {
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + j, true);
            if (item.IsNull()) continue;
            const int x = TruncToInt(j * slot + p.left + slot * 0.5);
            const int y = TruncToInt(p.bottom - (item.GetValue(log) - base) * scale + 0.5);
            const ChartStyle& style = item.GetStyle();
            switch (MarkerKindOf(style)) {
            case 2:
            case 3:
            case 4:
            case 11:
                if (!start)
                    DrawLine(previous.x, previous.y, x, y, &style, groupNumber, LineKindOf(style) == 2 ? 1 : 0);
                AddPoint(x, y, groupNumber, GetFirstIndex() + j);
                DrawMarker(x, y, style, &item);
                break;
            case 5:
            case 6:
            case 10:
                DrawBar(TruncToInt(x - width / 2), y, TruncToInt(x + width / 2), foot, groupNumber,
                        GetFirstIndex() + j, style, 0, &item);
                break;
            default:
                break;
            }
            previous = {x, y};
            start = false;
        }
    }
}

} // namespace vq
