#include "chart/Chart.h"
#include "chart/ChartDateScale.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartLogScale.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace vq {
namespace {

constexpr int kNullCoordinate = 7;
constexpr int kTooFewGroups = 21;
constexpr int kLogValueAxis = 22;
constexpr int kOddCount = 23;
constexpr int kCircleBubble = 0x1100;
constexpr int kSquareBubble = 0x500;
constexpr u32 kSquareMarker = 5;
constexpr double kDefaultLargestRadius = 20;
// A logarithmic axis cannot start at 0 or below: its minimum moves up to here.
constexpr double kLogFloor = 0.001;

u32 MarkerKindOf(const ChartStyle& style) {
    return (style.styleWord >> 8) & 0xFF;
}

// How one axis maps its values to pixels: value minus base, times factor.
struct AxisMap {
    double base, factor;
};

// An extent of size 0, or one that is not finite, maps as size 1.
AxisMap MapOf(const CScale& extents, bool log, int pixels) {
    double low = extents.GetMinimum(), high = extents.GetMaximum();
    if (log) {
        if (low <= 0) low = kLogFloor;
        low = std::log10(low);
        high = std::log10(high);
    }
    return {low, pixels / ChartDisplayBase::UsableSpan(high - low)};
}

bool Within(const CScale& range, double value) {
    return range.GetMinimum() <= value && value <= range.GetMaximum();
}

// The bubble's radius in data units: the size itself, or the side of a square or radius of a
// circle whose area follows the size.
double BubbleRadius(int type, double size, const ChartStyle& style) {
    if (type == 41) return size;
    return MarkerKindOf(style) == kSquareMarker ? std::sqrt(size) : std::sqrt(size / std::numbers::pi);
}

} // namespace

bool ChartDisplay::ExtentsAreZero() const {
    const CScale x = GetXExtents(), v = GetValueExtents();
    return x.GetMinimum() == 0 && x.GetMaximum() == 0 && v.GetMinimum() == 0 && v.GetMaximum() == 0;
}

// Alternating items: x, y, x, ... group by group; a pair may reach into the next group, and its
// point then belongs to the line of its x item's group.
void ChartDisplay::WalkAlternating(const XYVisitor& visit) {
    ChartData* x = nullptr;
    int xGroup = -1, xIndex = -1, lineGroup = -1;
    for (int g = 0; g < GetGroupCount(); ++g) {
        const int groupNumber = GetFirstGroup() + g;
        ChartDataList* group = FindGroup(groupNumber);
        if (!group) continue;
        const int visited = VisitedCount(*group);
        for (int j = 0; j < visited; ++j) {
            ChartData& item = group->GetDataInGroup(GetFirstIndex() + j, false);
            if (item.IsNull()) RaiseChartError(kNullCoordinate);
            if (!x) {
                x = &item, xGroup = groupNumber, xIndex = GetFirstIndex() + j;
                continue;
            }
            visit({x, &item, xGroup, xIndex, xGroup, xGroup != lineGroup});
            lineGroup = xGroup;
            x = nullptr;
        }
    }
}

void ChartDisplay::WalkXYPoints(const XYVisitor& visit) {
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups <= 0 || indexes <= 0) return;
    const int type = GetChartType();
    if (type == 19 || type == 32) {
        if ((static_cast<long long>(groups) * indexes) % 2) RaiseChartError(kOddCount);
        return WalkAlternating(visit);
    }
    const bool indexPairs = type == 20 || type == 33;
    const int paired = indexPairs ? indexes : groups;
    if (paired % 2) RaiseChartError(kOddCount);
    const int points = indexPairs ? groups : indexes;
    const int firstIndex = GetFirstIndex(), firstGroup = GetFirstGroup();
    const bool breaks = (GetStyle().flagsWord & kNullBreaksLine) != 0;
    Chart* chart = GetChart();
    for (int k = 0; k < paired / 2; ++k) {
        bool start = true;
        for (int n = 0; n < points; ++n) {
            const int xIndex = indexPairs ? firstIndex + 2 * k : firstIndex + n;
            const int xGroup = indexPairs ? firstGroup + n : firstGroup + 2 * k;
            ChartData& x = chart->GetDataOrDummy(xIndex, xGroup);
            ChartData& y = indexPairs ? chart->GetDataOrDummy(xIndex + 1, xGroup)
                                      : chart->GetDataOrDummy(xIndex, xGroup + 1);
            if (x.IsNull() && y.IsNull()) {
                if (breaks) start = true;
                continue;
            }
            if (x.IsNull() || y.IsNull()) RaiseChartError(kNullCoordinate);
            visit({&x, &y, xGroup, xIndex, indexPairs ? firstIndex + k : firstGroup + k, start});
            start = false;
        }
    }
}

ChartDisplay::FreeAxes ChartDisplay::FixTwoRanges() {
    GetValueRange().Clear();
    GetXRange().Clear();
    const u32 flags = GetStyle().flagsWord;
    return {!FixRange(GetValueRange(), GetLowerValueLimit(), GetUpperValueLimit(), flags),
            !FixRange(GetXRange(), GetLowerXLimit(), GetUpperXLimit(), flags)};
}

ChartDisplay::FreeAxes ChartDisplay::FixSeriesRanges(int groupsPerSeries) {
    if (GetGroupCount() < groupsPerSeries) RaiseChartError(kTooFewGroups);
    if (GetStyle().flagsWord & kLogValues) RaiseChartError(kLogValueAxis);
    return FixTwoRanges();
}

void ChartDisplay::BoundTwoRanges(FreeAxes free) {
    const u32 flags = GetStyle().flagsWord;
    if (free.x) BoundRange(GetXRange(), GetLowerXLimit(), GetUpperXLimit(), flags);
    if (free.value) BoundRange(GetValueRange(), GetLowerValueLimit(), GetUpperValueLimit(), flags);
}

void ChartDisplay::CalcXYRange() {
    const FreeAxes free = FixTwoRanges();
    if (!free.Any()) return;
    CScale& values = GetValueRange();
    CScale& xs = GetXRange();
    WalkXYPoints([&](const XYPoint& point) {
        const double x = point.x->GetValue(), y = point.y->GetValue();
        if (free.x && (free.value || Within(values, y))) xs.Update(x);
        if (free.value && (free.x || Within(xs, x))) values.Update(y);
    });
    BoundTwoRanges(free);
}

void ChartDisplay::DrawXY() {
    if (ExtentsAreZero()) return;
    const RECT& p = m_plot;
    const bool xLog = IsXAxisLog(), valueLog = IsValueAxisLog();
    const AxisMap mx = MapOf(GetXExtents(), xLog, p.right - p.left);
    const AxisMap my = MapOf(GetValueExtents(), valueLog, p.bottom - p.top);
    POINT previous{};
    WalkXYPoints([&](const XYPoint& point) {
        const int x = TruncToInt((point.x->GetValue(xLog) - mx.base) * mx.factor + p.left + 0.5);
        const int y = TruncToInt(p.bottom - (point.y->GetValue(valueLog) - my.base) * my.factor + 0.5);
        AddPoint(x, y, point.group, point.index);
        SetColourIndex(point.colour);
        const ChartStyle& style = point.x->GetStyle();
        if (point.start)
            DrawMarker(x, y, style, nullptr);
        else
            DrawSegment(previous.x, previous.y, x, y, style, 1, nullptr);
        previous = {x, y};
    });
}

void ChartDisplay::CalcBubbleRange() {
    const FreeAxes free = FixSeriesRanges(3);
    if (!free.Any()) return;
    const u32 flags = GetStyle().flagsWord;
    CScale& values = GetValueRange();
    CScale& xs = GetXRange();
    const bool extent = (GetStyle().extraWord & kSizesWidenRanges) && !(flags & kExplicitSizes);
    const int type = GetChartType();
    Chart* chart = GetChart();
    for (int t = 0; t < GetGroupCount() / 3; ++t)
        for (int j = 0; j < GetIndexCount(); ++j) {
            const int index = GetFirstIndex() + j, group = GetFirstGroup() + 3 * t;
            ChartData& xItem = chart->GetDataOrDummy(index, group);
            ChartData& yItem = chart->GetDataOrDummy(index, group + 1);
            ChartData& sizeItem = chart->GetDataOrDummy(index, group + 2);
            if (xItem.IsNull() || yItem.IsNull() || sizeItem.IsNull()) continue;
            const double x = xItem.GetValue(), y = yItem.GetValue();
            const double r = extent ? BubbleRadius(type, std::fabs(sizeItem.GetValue()), xItem.GetStyle()) : 0;
            if (free.x && (free.value || (y + r >= values.GetMinimum() && y - r <= values.GetMaximum()))) {
                xs.Update(x + r);
                xs.Update(x - r);
            }
            if (free.value && (free.x || (x + r >= xs.GetMinimum() && x - r <= xs.GetMaximum()))) {
                values.Update(y + r);
                values.Update(y - r);
            }
        }
    BoundTwoRanges(free);
}

namespace {

struct Bubble {
    double size;
    int index, group;
};

} // namespace

void ChartDisplay::DrawBubbles() {
    if (ExtentsAreZero()) return;
    const RECT& p = m_plot;
    const CScale xe = GetXExtents(), ve = GetValueExtents();
    const double hx = (p.right - p.left) / UsableSpan(xe.GetSpan());
    const double hy = (p.bottom - p.top) / UsableSpan(ve.GetSpan());
    HDC dc = GetDrawingDC();
    const double rx = GetDeviceRatioX(dc), ry = GetDeviceRatioY(dc), d = std::min(rx, ry);
    Chart* chart = GetChart();
    std::vector<Bubble> bubbles;
    double largest = 0;
    for (int t = 0; t < GetGroupCount() / 3; ++t)
        for (int j = 0; j < GetIndexCount(); ++j) {
            const int index = GetFirstIndex() + j, group = GetFirstGroup() + 3 * t;
            ChartData& sizeItem = chart->GetDataOrDummy(index, group + 2);
            const double size = sizeItem.IsNull() ? 0 : std::fabs(sizeItem.GetValue());
            largest = std::max(largest, size);
            bubbles.push_back({size, index, group});
        }
    // Larger bubbles first, so that the smaller ones stay in sight over them.
    std::stable_sort(bubbles.begin(), bubbles.end(), [](const Bubble& a, const Bubble& b) { return a.size > b.size; });
    const u32 flags = GetStyle().flagsWord;
    const bool explicitSizes = (flags & kExplicitSizes) != 0;
    const double third = GetStyle().thirdSize;
    const double largestPixels = third > 0 ? third : kDefaultLargestRadius;
    const int type = GetChartType();
    for (std::size_t k = 0; k < bubbles.size(); ++k) {
        const Bubble& b = bubbles[k];
        ChartData& xItem = chart->GetDataOrDummy(b.index, b.group);
        ChartData& yItem = chart->GetDataOrDummy(b.index, b.group + 1);
        ChartData& sizeItem = chart->GetDataOrDummy(b.index, b.group + 2);
        if (xItem.IsNull() || yItem.IsNull() || sizeItem.IsNull()) continue;
        const int colour = static_cast<int>(k);
        SetColourIndex(colour);
        const ChartStyle& style = xItem.GetStyle();
        const double r = BubbleRadius(type, b.size, style), rmax = BubbleRadius(type, largest, style);
        const int px = TruncToInt((xItem.GetValue() - xe.GetMinimum()) * hx + p.left + 0.5);
        const int py = TruncToInt(p.bottom - (yItem.GetValue() - ve.GetMinimum()) * hy + 0.5);
        double halfWidth = 0, halfHeight = 0;
        bool tiny;
        if (explicitSizes) {
            tiny = r < 2.220446049250313e-15 || r / rmax * largestPixels < 1.0;
            halfWidth = halfHeight = r / rmax * largestPixels * d;
        } else {
            halfWidth = r * hx, halfHeight = r * hy;
            tiny = halfWidth < rx || halfHeight < ry;
        }
        if (tiny) {
            DrawCross(px, py, colour, b.group, b.index);
            continue;
        }
        if (px - halfWidth > p.right || px + halfWidth < p.left || py - halfHeight > p.bottom ||
            py + halfHeight < p.top)
            continue;
        const int w = TruncToInt(halfWidth + 0.5), h = TruncToInt(halfHeight + 0.5);
        const int form = MarkerKindOf(style) == kSquareMarker ? kSquareBubble : kCircleBubble;
        DrawBar(px - w, py - h, px + w, py + h, b.group, b.index, style, form, nullptr);
    }
}

void ChartDisplay::DrawCross(int x, int y, int colourWord, int group, int index) {
    HDC dc = GetDrawingDC();
    const double rx = GetDeviceRatioX(dc), ry = GetDeviceRatioY(dc);
    SelectColorPen(colourWord, TruncToInt(2 * rx), 16);
    const int a = TruncToInt(4 * rx), b = TruncToInt(4 * ry);
    const RECT& p = m_plot;
    auto inside = [&](int cx, int cy) { return cx >= p.left && cx < p.right && cy >= p.top && cy < p.bottom; };
    if (!inside(x - a, y - b) && !inside(x + a, y - b) && !inside(x + a, y + b) && !inside(x - a, y + b)) return;
    AddPoint(x, y, group, index);
    HGDIOBJ old = SelectObject(dc, GetColourPen());
    MoveToEx(dc, x - a, y - b, nullptr);
    LineTo(dc, x + a, y + b);
    MoveToEx(dc, x + a, y - b, nullptr);
    LineTo(dc, x - a, y + b);
    SelectObject(dc, old);
}

ChartDecimalScale& ChartDisplay::XScale(bool dateKind, bool log) {
    if (!GetXAxisScale()) {
        if (log)
            SetXAxisScale(std::make_unique<ChartLogScale>());
        else if (dateKind)
            SetXAxisScale(std::make_unique<ChartDateScale>());
        else
            SetXAxisScale(std::make_unique<ChartDecimalScale>());
    }
    return *GetXAxisScale();
}

void ChartDisplay::EqualiseUnits() {
    const u32 flags = GetStyle().flagsWord;
    if (!(flags & kEqualUnits) || IsXAxisLog() || IsValueAxisLog()) return;
    RECT& p = m_plot;
    const int w = p.right - p.left, h = p.bottom - p.top;
    if (w <= 0 || h <= 0) return;
    HDC dc = GetDrawingDC();
    const double inchX = GetDeviceCaps(dc, LOGPIXELSX), inchY = GetDeviceCaps(dc, LOGPIXELSY);
    CScale xe = GetXExtents(), ve = GetValueExtents();
    const double xSize = UsableSpan(xe.GetSpan()), valueSize = UsableSpan(ve.GetSpan());
    const double ux = xSize / (w / inchX), uy = valueSize / (h / inchY);
    if (flags & kFixedRange) {
        if (ux >= uy) {
            const int cut = h - TruncToInt(valueSize / ux * inchY + 0.5);
            p.bottom -= cut / 2;
            p.top += cut - cut / 2;
        } else {
            const int cut = w - TruncToInt(xSize / uy * inchX + 0.5);
            p.left += cut / 2;
            p.right -= cut - cut / 2;
        }
        return;
    }
    // The range whose ends stand with the extents grows with them.
    auto grow = [](CScale& extents, CScale& range, double maximum) {
        if (range.GetSpan() == extents.GetSpan()) range.Update(maximum);
        extents.Update(maximum);
    };
    if (ux >= uy) {
        grow(ve, GetValueRange(), ve.GetMinimum() + ux * h / inchY);
        SetValueExtents(ve);
    } else {
        grow(xe, GetXRange(), xe.GetMinimum() + uy * w / inchX);
        SetXExtents(xe);
    }
}

void ChartDisplay::DrawXYAxes() {
    if (ExtentsAreZero() || ((GetStyle().labelWord >> 4) & 0xF) == 0) return;
    const u32 flags = GetStyle().flagsWord;
    const int kind = GetDisplayKind();
    const bool xLog = IsXAxisLog(), valueLog = IsValueAxisLog();
    ChartDecimalScale* xScale = (flags & kNoIndexAxis) ? nullptr : &XScale(kind == 26, xLog);
    ChartDecimalScale* valueScale = (flags & kNoValueAxis) ? nullptr : &ValueScale(kind == 27);
    auto setUp = [&](ChartDecimalScale& scale, const CScale& extents, bool log, std::vector<POINT>& anchors,
                     bool vertical) {
        SetUpScale(scale, false, anchors, vertical);
        const double low = extents.GetMinimum();
        scale.SetMinimum(log && low <= 0 ? kLogFloor : low);
        scale.SetMaximum(extents.GetMaximum());
        scale.SetStep(0.1);
        scale.SetStartAtMinimum();
    };
    RECT& p = m_plot;
    const RECT before = p;
    for (int pass = 0; pass < 2; ++pass) {
        EqualiseUnits();
        const bool measure = pass == 0 && !(flags & kGivenPlot);
        if (xScale) {
            setUp(*xScale, GetXExtents(), xLog, GetSecondPositionList(), false);
            const RECT b = LayOut(*xScale, {p.left, p.bottom}, {p.right, p.bottom}, 0, pass);
            if (measure) {
                const int need = b.bottom - b.top + TruncToInt(xScale->GetHorizontalMarginPixels()) -
                                 (before.bottom - p.bottom);
                if (need > 0) p.bottom -= need;
                if (b.right > before.right) p.right -= b.right - before.right;
                if (b.left < before.left) p.left += before.left - b.left;
            }
        }
        if (valueScale) {
            setUp(*valueScale, GetValueExtents(), valueLog, GetFirstPositionList(), true);
            const RECT b = LayOut(*valueScale, {p.left, p.bottom}, {p.left, p.top}, 0, pass);
            if (measure) {
                const int need = b.right - b.left + TruncToInt(valueScale->GetHorizontalMarginPixels()) -
                                 (p.left - before.left);
                if (need > 0) p.left += need;
            }
        }
    }
}

void ChartDisplay::DrawXYPlotArea() {
    const CScale& values = GetValueRange();
    const CScale& xs = GetXRange();
    if (values.GetMinimum() == 0 && values.GetMaximum() == 0 && xs.GetMinimum() == 0 && xs.GetMaximum() == 0)
        return;
    DrawRectPlotArea();
}

} // namespace vq
