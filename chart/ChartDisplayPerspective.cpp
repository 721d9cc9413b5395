#include "chart/Chart.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartResources.h"
#include "chart/GdiHandle.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numeric>
#include <vector>

namespace vq {
namespace {

constexpr u32 kNoDepthGrid = 0x4000;

bool RangeIsZero(const CScale& range) {
    return range.GetMinimum() == 0 && range.GetMaximum() == 0;
}

// Kinds 4 and 6 stand the back wall at the left; the others mirror the picture.
bool WallAtLeft(int kind) {
    return kind == 4 || kind == 6;
}

bool DrawsPerspectiveData(int kind) {
    return kind == 0 || kind == 1 || (kind >= 4 && kind <= 7);
}

// How a ribbon's top strip is shaded by its steepness: the horizontal run over the rise.
struct Shade {
    unsigned bitmap;
    int rop2;
};

Shade ShadeOfStrip(double run, double rise) {
    const double r = rise > 0 ? run / rise : std::numeric_limits<double>::infinity();
    if (r < 0.3) return {IDB_CHART_SHADOW, R2_MASKPEN};
    if (r < 0.6) return {IDB_CHART_SHADE_DARK, R2_MASKPEN};
    if (r < 1.5) return {0, 0};
    if (r < 2.0) return {IDB_CHART_SHADE_LIGHT, R2_MERGEPEN};
    return {IDB_CHART_SHADE_LIGHTER, R2_MERGEPEN};
}

// The steps of the renderers over the placed floor: along the indices, down the floor per
// index and across the groups, and the pixels per value unit up the back wall.
struct Steps {
    double along, down, across, perUnit;
};

Steps StepsOf(const ChartDisplay& display, const RECT& floor, int intervals) {
    const RECT p = display.GetPlotRect();
    const ChartStyle& style = display.GetStyle();
    const double rx = display.GetDeviceRatioX(display.GetDrawingDC()), w = p.right - p.left;
    const bool explicitSizes = (style.flagsWord & ChartDisplay::kExplicitSizes) != 0;
    return {explicitSizes ? style.thirdSize * rx : 0.6 * w / intervals, double(p.bottom - floor.bottom) / intervals,
            explicitSizes ? style.secondSize * rx : 0.4 * w / display.GetGroupCount(),
            (floor.bottom - floor.top) / display.GetValueSpan()};
}

} // namespace

std::vector<int> ChartDisplay::GroupsByMean() {
    std::vector<int> order(static_cast<std::size_t>(std::max(0, GetGroupCount())));
    std::iota(order.begin(), order.end(), GetFirstGroup());
    if (GetStyle().flagsWord & kKeepGroupOrder) return order;
    Chart* chart = GetChart();
    std::vector<std::pair<double, int>> means;
    means.reserve(order.size());
    for (int g : order)
        means.emplace_back(chart->AverageOverIndexes(GetFirstIndex(), GetLastIndex(), g), g);
    std::stable_sort(means.begin(), means.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t k = 0; k < means.size(); ++k)
        order[k] = means[k].second;
    return order;
}

void ChartDisplay::TurnIntoColumns() {
    ToColumnChart();
    GetStyle().extraWord = (GetStyle().extraWord & ~0xFFu) | 1;
}

void ChartDisplay::TakeDataWindow(ChartLabelBlock& block) {
    block.SetParent(GetChart());
    block.BeginDraw(GetDrawingDC(), GetDrawingWindow());
    if (GetStyle().extraWord & kScalesTakeWindow) {
        int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
        GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
        block.SetDataWindowAlt(lowIndex, highIndex, lowGroup, highGroup);
    } else {
        block.SetDataWindow(-1, -1, -1, -1);
    }
}

void ChartDisplay::TakeFont(ChartLabelBlock& block) {
    block.SetFont(GetFontSize(), GetFontFlags(), GetFaceName());
    block.SetColor(GetColor());
}

void ChartDisplay::SetUpLabelRow(ChartLabelBlock& row, int pass, int count, bool rename, std::vector<POINT>& anchors,
                                 POINT direction, const std::function<std::string(int)>& text) {
    TakeDataWindow(row);
    row.SetDrawFlag(pass);
    if (rename) {
        for (int j = 0; j < count; ++j)
            row.SetLabelText(text(j), j, 1);
        while (row.GetLabelCount() > count)
            row.RemoveLastLabel();
    }
    TakeFont(row);
    row.SetRecordAnchors(1);
    row.SetAnchorList(&anchors);
    row.SetAvoidOverlap(1);
    row.SetDirectionAll(direction.x, direction.y);
}

int ChartDisplay::CalcFloorRect(RECT& floor) {
    const RECT& p = m_plot;
    const int w = p.right - p.left, h = p.bottom - p.top;
    const ChartStyle& style = GetStyle();
    const double rx = GetDeviceRatioX(GetDrawingDC()), ry = GetDeviceRatioY(GetDrawingDC());
    const double along = rx * GetIndexCount() * style.thirdSize;
    if (!(style.flagsWord & kExplicitSizes) || 0.6 * w < along) {
        floor = {p.left, p.top, p.left + TruncToInt(0.4 * w), p.top + h / 2};
        return 0;
    }
    const double across = ry * GetGroupCount() * style.secondSize;
    const double depth = std::min(across, w - along);
    floor = {p.left, p.top, p.left + TruncToInt(depth), p.top + TruncToInt(h * (1 - along / w))};
    return TruncToInt(w / 2 - (along + 0.5 * across));
}

int ChartDisplay::PlaceFloor(RECT& floor) {
    const int s = CalcFloorRect(floor);
    const int kind = GetDisplayKind();
    int by = 0;
    if (WallAtLeft(kind)) {
        by = s;
    } else if (kind == 0 || kind == 1 || kind == 5 || kind == 7) {
        const double along = GetDeviceRatioX(GetDrawingDC()) * GetIndexCount() * GetStyle().thirdSize;
        by = s != 0 ? TruncToInt(along + s) : (m_plot.right - m_plot.left) - (floor.right - floor.left);
    }
    floor.left += by;
    floor.right += by;
    return s;
}

void ChartDisplay::DrawPerspectiveColumns() {
    const CScale& range = GetValueRange();
    if (RangeIsZero(range)) return DrawEmptyPicture();
    if (range.GetMinimum() < 0) return TurnIntoColumns();
    const int kind = GetDisplayKind(), groups = GetGroupCount(), indexes = GetIndexCount();
    if (!DrawsPerspectiveData(kind) || groups <= 0 || indexes <= 0) return;
    RECT f;
    PlaceFloor(f);
    const Steps steps = StepsOf(*this, f, indexes);
    const double bw = steps.along, dy = steps.down, dg = steps.across, k = steps.perUnit, base = Base();
    const bool left = WallAtLeft(kind);
    const bool log = IsValueAxisLog();
    Chart* chart = GetChart();
    const std::vector<int> order = GroupsByMean();
    for (std::size_t position = 0; position < order.size(); ++position) {
        const int number = order[position];
        const double across = double(position) * dg;
        SetColourIndex(number);
        ChartDataList& group = chart->GetGroup(number, true);
        const int visited = VisitedCount(group);
        for (int j = 0; j < visited; ++j) {
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + j, true);
            if (item.IsNull()) continue;
            const ChartStyle& style = StyleOf(item, group.GetStyle());
            const int a = TruncToInt((j + 1) * bw), yb = f.bottom + TruncToInt((j + 1) * dy);
            const int yt = TruncToInt(yb - (item.GetValue(log) - base) * k);
            const int backY = TruncToInt(yt - dy), backBase = TruncToInt(yb - dy);
            int x0, x1, backX, backTop;
            if (left) {
                x1 = TruncToInt(f.right + a - across);
                x0 = TruncToInt(x1 - dg);
                backX = TruncToInt(x0 - bw);
                backTop = TruncToInt(x0 - bw + dg);
            } else {
                x0 = TruncToInt(f.left + across - a);
                x1 = TruncToInt(x0 + dg);
                backX = TruncToInt(x1 + bw);
                backTop = TruncToInt(x1 + bw - dg);
            }
            const int sideX = left ? x0 : x1, frontX = left ? x1 : x0;
            const POINT front[] = {{frontX, yb}, {sideX, yb}, {sideX, yt}, {frontX, yt}, {frontX, yb}};
            const POINT side[] = {{sideX, yb}, {sideX, yt}, {backX, backY}, {backX, backBase}, {sideX, yb}};
            const POINT top[] = {{sideX, yt}, {backX, backY}, {backTop, backY}, {frontX, yt}, {sideX, yt}};
            const int index = GetFirstIndex() + j;
            DrawFace(front, number, index, style, 0, IDB_CHART_SHADE_DARK, R2_MASKPEN);
            DrawFace(side, number, index, style, 0, 0, 0);
            DrawFace(top, number, index, style, 0, IDB_CHART_SHADE_LIGHTER, R2_MERGEPEN);
        }
    }
}

void ChartDisplay::DrawPerspectiveAreas() {
    const CScale& range = GetValueRange();
    if (RangeIsZero(range)) return DrawEmptyPicture();
    const int kind = GetDisplayKind(), groups = GetGroupCount(), indexes = GetIndexCount();
    if (range.GetMinimum() < 0 || indexes < 2) return TurnIntoColumns();
    if (!DrawsPerspectiveData(kind) || groups <= 0) return;
    RECT f;
    PlaceFloor(f);
    // Ribbons run from point to point: one step fewer than the indices.
    const Steps steps = StepsOf(*this, f, indexes - 1);
    const double hs = steps.along, dy = steps.down, dg = steps.across, k = steps.perUnit, base = Base();
    const bool left = WallAtLeft(kind);
    const double toward = left ? dg : -dg;
    const bool log = IsValueAxisLog(), ribbons = GetChartType() == 10;
    Chart* chart = GetChart();
    std::vector<POINT> edge;
    edge.reserve(static_cast<std::size_t>(indexes) + 3);
    const std::vector<int> order = GroupsByMean();
    for (std::size_t position = 0; position < order.size(); ++position) {
        const int number = order[position];
        const double offset = double(position + 1) * dg;
        SetColourIndex(number);
        ChartDataList& group = chart->GetGroup(number, true);
        const ChartStyle& style = group.GetStyle();
        const int visited = VisitedCount(group);
        auto edgeX = [&](int xo) { return TruncToInt(left ? f.right + xo - offset : f.left + offset - xo); };
        edge.clear();
        // A null item leaves its point out: the strip runs from the last point set to the next.
        int firstSet = -1, lastSet = -1;
        double lastValue = 0;
        for (int j = 0; j < visited; ++j) {
            ChartData& item = group.GetDataInGroup(GetFirstIndex() + j, true);
            if (item.IsNull()) continue;
            const double v = item.GetValue(log) - base;
            const POINT at{edgeX(TruncToInt(j * hs)), TruncToInt(f.bottom + TruncToInt(j * dy) - v * k)};
            if (lastSet >= 0) {
                const POINT was = edge.back();
                const POINT strip[] = {at,
                                       {TruncToInt(at.x + toward), at.y},
                                       {TruncToInt(was.x + toward), was.y},
                                       was,
                                       at};
                const Shade shade = ShadeOfStrip((j - lastSet) * hs, std::fabs(v - lastValue) * k);
                DrawFace(strip, number, GetFirstIndex() + j, style, 0, shade.bitmap, shade.rop2);
            } else {
                firstSet = j;
            }
            edge.push_back(at);
            lastSet = j;
            lastValue = v;
        }
        if (!ribbons || edge.empty()) continue;
        // The ribbon ends at its last point set: the front cap stands there and the side face
        // closes along the floor back to under its first point.
        const POINT end = edge.back();
        const int endFloor = f.bottom + TruncToInt(lastSet * dy);
        const POINT cap[] = {end,
                             {TruncToInt(end.x + toward), end.y},
                             {TruncToInt(end.x + toward), endFloor},
                             {end.x, endFloor},
                             end};
        DrawFace(cap, number, GetFirstIndex() + lastSet, style, 0, IDB_CHART_SHADOW, R2_MASKPEN);
        const POINT start = edge.front();
        edge.push_back({end.x, endFloor});
        edge.push_back({start.x, f.bottom + TruncToInt(firstSet * dy)});
        edge.push_back(start);
        DrawFace(edge, number, -1, style, 0, 0, 0);
    }
}

void ChartDisplay::DrawPerspectivePlotArea() {
    HDC dc = GetDrawingDC();
    Chart* chart = GetChart();
    const u32 flags = GetStyle().flagsWord;
    const int kind = GetDisplayKind();
    if (kind != 1 && (kind < 4 || kind > 7)) return;
    RECT f;
    const int s = PlaceFloor(f);
    const RECT p = m_plot;
    const int w = p.right - p.left, d = f.right - f.left, wall = f.bottom - f.top, drop = p.bottom - f.bottom;
    const int m = TruncToInt(GetSpacingPixels());
    // The value ticks reach beyond the plot's edge.
    const SavedClip savedClip(*chart);
    chart->ClipToRect(p.left - m - 1, p.top - 1, p.right + m + 1, p.bottom + 1, RGN_COPY);
    GdiHandle<BrushObject> solid(flags & kOpaquePlot ? CreateSolidBrush(GetStyle().fillColour) : nullptr);
    HGDIOBJ brush = solid ? static_cast<HGDIOBJ>(solid.get()) : GetStockObject(HOLLOW_BRUSH);
    GdiHandle<PenObject> frame(CreatePen(PS_SOLID, 1, GetStyle().lineColour));
    GdiHandle<PenObject> grid(CreatePen(PS_SOLID, 1, GetStyle().secondaryColour));
    const int saved = SaveDC(dc);
    auto line = [dc](std::initializer_list<POINT> points) {
        auto it = points.begin();
        MoveToEx(dc, it->x, it->y, nullptr);
        for (++it; it != points.end(); ++it)
            LineTo(dc, it->x, it->y);
    };
    const bool left = WallAtLeft(kind);
    if (kind == 6 || kind == 7 || kind == 1) {
        SelectObject(dc, frame.get());
        SelectObject(dc, brush);
        Rectangle(dc, f.left, f.top, f.right + 1, f.bottom + 1);
        // The side wall stands on the floor's far edge, opposite the value axis' side.
        const int sx = left ? f.right : f.left, front = left ? p.right - s : p.left + s;
        const POINT side[] = {{sx, f.top}, {sx, f.bottom}, {front, p.bottom}, {front, p.bottom - wall}};
        Polygon(dc, side, 4);
        if (!(flags & kNoFirstTicks))
            for (const POINT& at : GetFirstPositionList())
                line({{at.x + m, at.y}, {at.x - m, at.y}});
        SelectObject(dc, grid.get());
        const int sign = left ? 1 : -1;
        if (!(flags & kNoHorizontalGrid))
            for (const POINT& at : GetFirstPositionList())
                line({{front, at.y}, {sx, at.y - drop}, {left ? f.left : f.right, at.y - drop}});
        if (!(flags & kNoVerticalGrid))
            for (const POINT& at : GetSecondPositionList())
                line({{at.x, p.bottom}, {at.x - sign * (w - d), f.bottom}, {at.x - sign * (w - d), f.top}});
        if (!(flags & kNoDepthGrid))
            for (const POINT& at : GetThirdPositionList())
                line({{at.x + sign * 10, at.y},
                      {at.x + sign * (d + 10), at.y},
                      {at.x + sign * (d + 10), at.y - wall}});
    }
    SelectObject(dc, frame.get());
    SelectObject(dc, brush);
    const int frontLeft = left ? p.right - s - d : p.left + s;
    const POINT floor[] = {{f.right, f.bottom}, {f.left, f.bottom}, {frontLeft, p.bottom}, {frontLeft + d, p.bottom}};
    Polygon(dc, floor, 4);
    RestoreDC(dc, saved);
}

void ChartDisplay::DrawPerspectiveAxes() {
    const u32 flags = GetStyle().flagsWord;
    const int groups = GetGroupCount(), indexes = GetIndexCount();
    if (groups <= 0 || indexes < 2 || ((GetStyle().labelWord >> 4) & 0xF) == 0) return;
    // Below zero the data step turns the display into a column chart; until then there are no
    // perspective axes to draw.
    if (GetValueRange().GetMinimum() < 0) return;
    HDC dc = GetDrawingDC();
    Chart* chart = GetChart();
    const int kind = GetDisplayKind(), type = GetChartType();
    const bool left = WallAtLeft(kind);
    ScopedSelect font(dc, GetFont() ? static_cast<HGDIOBJ>(GetFont()) : GetStockObject(SYSTEM_FONT));
    ChartDecimalScale* value = (flags & kNoValueAxis) ? nullptr : &ValueScale(false);
    if (!GetXAxisScale()) SetXAxisScale(std::make_unique<ChartDecimalScale>());
    if (!GetLabelBlock()) SetLabelBlock(std::make_unique<ChartLabelBlock>());
    ChartLabelBlock& groupLabels = *GetXAxisScale();
    ChartLabelBlock& indexLabels = *GetLabelBlock();
    const std::vector<int> order = GroupsByMean();
    RECT& p = m_plot;
    for (int pass = (flags & kGivenPlot) ? 1 : 0; pass < 2; ++pass) {
        const bool measuring = pass == 0;
        RECT f;
        const int s = PlaceFloor(f);
        const int d = f.right - f.left, wall = f.bottom - f.top;
        if (value) {
            SetUpScale(*value, false, GetFirstPositionList(), true);
            value->SetStep(0.1);
            const int x = left ? p.right : p.left;
            const RECT b = LayOut(*value, {x, p.bottom}, {x, p.bottom - wall}, left ? 1 : 0, pass);
            const int width = b.right - b.left;
            if (measuring && width > s) {
                const int move = width + TruncToInt(value->GetHorizontalMarginPixels()) - s;
                (left ? p.right -= move : p.left += move);
            }
        }
        if (!(flags & kNoGroupAxis)) {
            SetUpLabelRow(groupLabels, pass, groups, GetDrawFlag() || !(flags & kKeepGroupOrder), GetSecondPositionList(),
                          {0, 1}, [&](int j) {
                              const ChartDataList* group = FindGroup(order[static_cast<std::size_t>(j)]);
                              return group ? group->GetAnnotationText(1) : std::string();
                          });
            const int q = d / groups / 2;
            const double turn = left ? 90 : 270;
            groupLabels.SetAnchorAll(left ? ChartLabel::anchorRightMiddle : ChartLabel::anchorLeftMiddle);
            groupLabels.SetRotationAll(turn);
            // Members draw in the block's font, so the block turns with them.
            if (groupLabels.GetAngle() != turn) {
                groupLabels.SetAngle(turn);
                groupLabels.SetFontDirty(1);
            }
            if (left)
                groupLabels.DistributeLabels(p.right - q, p.bottom + 5, p.right - d + q, p.bottom + 5);
            else
                groupLabels.DistributeLabels(p.left + q, p.bottom + 5, p.left + d - q, p.bottom + 5);
            groupLabels.Draw(dc, GetDrawingWindow());
            const RECT b = groupLabels.GetBounds();
            if (measuring) p.bottom -= b.bottom - b.top;
        }
        if (!(flags & kNoIndexAxis)) {
            SetUpLabelRow(indexLabels, pass, indexes, GetDrawFlag() != 0, GetThirdPositionList(), {1, 0}, [&](int a) {
                return chart->GetDataAnnotation(GetFirstGroup(), GetFirstIndex() + a, chart->GetAnnotationIndex());
            });
            // Column labels sit in the middle of their index's step, ribbon labels on the points.
            int ix = 0, iy = 0;
            if (type == 9) {
                ix = (left ? p.right - f.right : f.left - p.left) / indexes / 2;
                iy = (p.bottom - f.bottom) / indexes / 2;
            }
            if (left) {
                indexLabels.SetAnchorAll(ChartLabel::anchorTopRight);
                indexLabels.DistributeLabels(p.left + s + ix - 10, f.bottom + iy, p.right - d - s - ix - 10,
                                             p.bottom - iy);
            } else {
                indexLabels.SetAnchorAll(ChartLabel::anchorTopLeft);
                indexLabels.DistributeLabels(p.right - ix - s + 10, f.bottom + iy, p.left + d + ix + s + 10,
                                             p.bottom - iy);
            }
            indexLabels.Draw(dc, GetDrawingWindow());
            const RECT b = indexLabels.GetBounds();
            if (measuring && indexLabels.GetLabelCount() > 0) {
                if (left && b.left < p.left) p.left += p.left - b.left;
                if (!left && b.right > p.right) p.right -= b.right - p.right;
            }
        }
    }
}

} // namespace vq
