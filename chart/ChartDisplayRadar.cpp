#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/GdiHandle.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace vq {
namespace {

constexpr double kFullTurn = 6.2831852;
constexpr double kQuarterTurn = 1.5707963;
constexpr double kPolarStep = 0.392699075;
constexpr int kPolarSpokes = 16;
constexpr int kWrongShapeError = 21;

bool RangeIsZero(const CScale& range) {
    return range.GetMinimum() == 0 && range.GetMaximum() == 0;
}

// The circle the round charts share: directions run clockwise from the top.
struct Round {
    explicit Round(const RECT& p)
        : cx(p.left + (p.right - p.left) / 2), cy(p.top + (p.bottom - p.top) / 2),
          radius(0.4 * std::min(p.right - p.left, p.bottom - p.top)),
          labelRadius(0.425 * std::min(p.right - p.left, p.bottom - p.top)) {}
    static double Theta(double direction) { return direction - kQuarterTurn; }
    POINT At(double direction, double distance, double rounding) const {
        const double theta = Theta(direction);
        return {TruncToInt(cx + std::cos(theta) * distance + rounding),
                TruncToInt(cy + std::sin(theta) * distance + rounding)};
    }
    int cx, cy;
    double radius, labelRadius;
};

} // namespace

void ChartDisplay::RoundPoints(std::vector<POINT>& points, int set, int group,
                               const std::function<POINT(int)>& pointAt) {
    const int n = static_cast<int>(points.size()) - 1;
    const int count = std::min(set, n);
    for (int i = 0; i < count; ++i) {
        points[static_cast<std::size_t>(i)] = pointAt(i);
        AddPoint(points[static_cast<std::size_t>(i)].x, points[static_cast<std::size_t>(i)].y, group,
                 GetFirstIndex() + i);
    }
    std::fill(points.begin() + count, points.end() - 1, points[static_cast<std::size_t>(count - 1)]);
    points[static_cast<std::size_t>(n)] = points.front();
}

void ChartDisplay::DrawRoundOutline(std::span<const POINT> points, int set, int colourWord,
                                    const std::function<ChartData&(int)>& itemAt) {
    const int n = static_cast<int>(points.size()) - 1;
    const int count = std::min(set, n);
    for (int i = 0; i <= n; ++i) {
        // The repeats of a short group's last point add nothing to draw.
        if (i >= count && i < n) continue;
        ChartData& item = itemAt(i == n ? 0 : i);
        const ChartStyle& style = item.GetStyle();
        const u32 marker = (style.styleWord >> 8) & 0xFF;
        if (marker == 0) continue;
        const POINT at = points[static_cast<std::size_t>(i)];
        if (marker != 4 && i != n) DrawMarker(at.x, at.y, style, &item);
        if (marker != 2 && i != 0) {
            const POINT from = points[static_cast<std::size_t>(i - 1)];
            DrawLine(from.x, from.y, at.x, at.y, &style, colourWord, (style.styleWord & 0xF) == 2 ? 1 : 0);
        }
    }
}

void ChartDisplay::DrawRadar() {
    if (RangeIsZero(GetValueRange())) return DrawEmptyPicture();
    const Round round(m_plot);
    if (round.radius < 1) return;
    const int n = GetIndexCount();
    if (n < 3) RaiseChartError(kWrongShapeError);
    const double perUnit = round.radius / GetValueSpan(), base = Base(), step = kFullTurn / n;
    const bool log = IsValueAxisLog(), filled = GetChartType() == 23;
    Chart* chart = GetChart();
    std::vector<POINT> points(static_cast<std::size_t>(n) + 1);
    for (int g = 0; g < GetGroupCount(); ++g) {
        const int number = GetFirstGroup() + g;
        SetColourIndex(number);
        ChartDataList& group = chart->GetGroup(number, true);
        const int set = VisitedCount(group);
        if (set <= 0) continue;
        // A null item keeps its place on its spoke, at its stored value.
        auto itemAt = [&](int i) -> ChartData& { return chart->GetDataOrDummy(GetFirstIndex() + i, number); };
        RoundPoints(points, set, number, [&](int i) {
            return round.At(i * step, (itemAt(i).GetValue(log) - base) * perUnit, 0.5);
        });
        if (filled) {
            FillPolygon(points, group.GetStyle(), 0);
            OutlinePolygon(points, group.GetStyle(), 0);
        } else {
            DrawRoundOutline(points, set, number, itemAt);
        }
    }
}

void ChartDisplay::CalcPolarRange() {
    CScale& range = GetValueRange();
    range.Clear();
    if (ApplyFixedLimits()) return;
    Chart* chart = GetChart();
    for (int g = 1; g < GetGroupCount(); g += 2)
        for (int i = 0; i < GetIndexCount(); ++i)
            range.Update(chart->GetDataOrDummy(GetFirstIndex() + i, GetFirstGroup() + g).GetValue());
    ApplyBoundingLimits();
}

void ChartDisplay::DrawPolar() {
    const int groups = GetGroupCount(), n = GetIndexCount();
    if (groups % 2 != 0) RaiseChartError(kWrongShapeError);
    const Round round(m_plot);
    if (round.radius < 1 || groups <= 0 || n <= 0) return;
    const double perUnit = round.radius / GetValueSpan(), base = Base();
    const bool log = IsValueAxisLog(), filled = GetChartType() == 27;
    Chart* chart = GetChart();
    std::vector<POINT> points(static_cast<std::size_t>(n) + 1);
    for (int k = 0; 2 * k < groups; ++k) {
        const int angles = GetFirstGroup() + 2 * k, radii = angles + 1;
        // Drawing reads the data as they are: nothing missing is made.
        ChartDataList* angleGroup = FindGroup(angles);
        if (!angleGroup) continue;
        const int set = VisitedCount(*angleGroup);
        if (set <= 0) continue;
        SetColourIndex(k);
        auto angleAt = [&](int i) -> ChartData& { return chart->GetDataOrDummy(GetFirstIndex() + i, angles); };
        RoundPoints(points, set, angles, [&](int i) {
            const double radius = chart->GetDataOrDummy(GetFirstIndex() + i, radii).GetValue(log);
            return round.At(angleAt(i).GetValue() * kRadiansPerDegree, (radius - base) * perUnit, 0.5);
        });
        if (filled) FillPolygon(points, angleGroup->GetStyle(), 0);
        DrawRoundOutline(points, set, k, angleAt);
    }
}

void ChartDisplay::DrawRoundFrame(int spokes, double step) {
    const Round round(m_plot);
    HDC dc = GetDrawingDC();
    const u32 flags = GetStyle().flagsWord;
    std::vector<POINT> ends(static_cast<std::size_t>(spokes) + 1);
    for (int i = 0; i < spokes; ++i)
        ends[static_cast<std::size_t>(i)] = round.At(i * step, round.radius, 0);
    ends.back() = ends.front();
    const POINT centre{round.cx, round.cy};
    GdiHandle<BrushObject> solid(flags & kOpaquePlot ? CreateSolidBrush(GetStyle().fillColour) : nullptr);
    GdiHandle<PenObject> grid(CreatePen(PS_SOLID, GetStyle().penWidth, GetStyle().secondaryColour));
    const int saved = SaveDC(dc);
    if (solid) {
        SelectObject(dc, solid.get());
        SelectObject(dc, GetStockObject(NULL_PEN));
        for (int i = 0; i < spokes; ++i) {
            const POINT slice[] = {centre, ends[static_cast<std::size_t>(i)], ends[static_cast<std::size_t>(i) + 1]};
            Polygon(dc, slice, 3);
        }
    }
    SelectObject(dc, grid.get());
    SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
    if (!(flags & kNoHorizontalGrid))
        for (const POINT& at : GetFirstPositionList()) {
            const int r = std::abs(at.y - round.cy);
            Ellipse(dc, round.cx - r, round.cy - r, round.cx + r + 1, round.cy + r + 1);
        }
    if (!(flags & kNoVerticalGrid))
        for (int i = 0; i < spokes; ++i) {
            MoveToEx(dc, centre.x, centre.y, nullptr);
            LineTo(dc, ends[static_cast<std::size_t>(i)].x, ends[static_cast<std::size_t>(i)].y);
        }
    RestoreDC(dc, saved);
}

void ChartDisplay::DrawRoundAxes(int spokes, double step, bool trim,
                                 const std::function<void(ChartLabelBlock&, int)>& name) {
    if (RangeIsZero(GetValueRange()) || ((GetStyle().labelWord >> 4) & 0xF) == 0) return;
    const Round round(m_plot);
    if (round.labelRadius < 1) return;
    const u32 flags = GetStyle().flagsWord;
    if (!GetXAxisScale()) SetXAxisScale(std::make_unique<ChartDecimalScale>());
    ChartLabelBlock& rim = *GetXAxisScale();
    ChartDecimalScale& value = ValueScale(false);
    if (!(flags & kNoIndexAxis)) {
        TakeDataWindow(rim);
        rim.SetRecordAnchors(0);
        TakeFont(rim);
        // Members draw upright in the block's font.
        if (rim.GetAngle() != 0) {
            rim.SetAngle(0);
            rim.SetFontDirty(1);
        }
        rim.SetDrawFlag(1);
        for (int i = 0; i < spokes; ++i) {
            if (GetDrawFlag()) name(rim, i);
            ChartLabel* label = rim.GetLabel(i);
            if (!label) continue;
            double theta = Round::Theta(i * step);
            if (theta < 0) theta += kFullTurn;
            const double degrees = theta * 57.295780490442965;
            // The octant of the direction picks the corner that faces the centre.
            label->SetAnchorCode(TruncToInt(degrees * 0.022222222222222223));
            label->SetPosition(TruncToInt(round.cx + std::cos(theta) * round.labelRadius),
                               TruncToInt(round.cy + std::sin(theta) * round.labelRadius));
            label->SetDirectionAngle(degrees);
        }
        if (trim)
            while (rim.GetLabelCount() > spokes)
                rim.RemoveLastLabel();
        rim.Draw(GetDrawingDC(), GetDrawingWindow());
    }
    if (!(flags & kNoValueAxis)) {
        SetUpScale(value, false, GetFirstPositionList(), true);
        value.SetFormat(" %g ");
        LayOut(value, {round.cx, round.cy}, {round.cx, round.cy - TruncToInt(round.radius + 0.5)}, 0, 1);
    }
}

void ChartDisplay::DrawRadarPlotArea() {
    if (GetIndexCount() < 3) return;
    if (Round(m_plot).radius < 1) return;
    DrawRoundFrame(GetIndexCount(), kFullTurn / GetIndexCount());
}

void ChartDisplay::DrawPolarPlotArea() {
    if (Round(m_plot).radius < 1) return;
    DrawRoundFrame(kPolarSpokes, kPolarStep);
}

void ChartDisplay::DrawRadarAxes() {
    // Too few spokes make no radar: the data step reports it, and nothing frames it.
    if (GetIndexCount() < 3) return;
    Chart* chart = GetChart();
    DrawRoundAxes(GetIndexCount(), kFullTurn / GetIndexCount(), true, [&](ChartLabelBlock& rim, int i) {
        rim.SetLabelText(chart->GetDataAnnotation(0, GetFirstIndex() + i, GetAnnotationIndex()), i, 1);
    });
}

void ChartDisplay::DrawPolarAxes() {
    DrawRoundAxes(kPolarSpokes, kPolarStep, false, [](ChartLabelBlock& rim, int k) {
        char text[32];
        std::snprintf(text, sizeof text, "%3.2f", k * 22.5);
        rim.SetLabelText(text, k, 1);
    });
}

} // namespace vq
