#include "chart/ChartDisplay.h"

#include "chart/Chart.h"
#include "chart/ChartDateScale.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartIndexScale.h"
#include "chart/ChartLogScale.h"
#include "chart/ChartTickMarks.h"
#include "chart/GdiHandle.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cmath>

namespace vq {
namespace {

constexpr int kDefaultDepth = 10;
constexpr u32 kKeepOwnRotation = 1u << 31;

bool RangesOnStandard(int type) {
    switch (type) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 15:
    case 16:
    case 17:
    case 18:
    case 22:
    case 23:
    case 24:
    case 25:
    case 28:
    case 29:
    case 30:
    case 31:
    case 35:
    case 36:
        return true;
    default:
        return false;
    }
}

bool LabelsOnEdges(int type) {
    switch (type) {
    case 1:
    case 6:
    case 14:
    case 24:
    case 31:
    case 35:
    case 36:
        return true;
    default:
        return false;
    }
}

bool IsRaisedIndexValue(int type, int kind) {
    return type == 15 || kind == 11 || kind == 13 || kind == 20 || kind == 21;
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartDisplay, ChartDisplayBase)

ChartDisplay::ChartDisplay() = default;

void ChartDisplay::CalcRange() {
    const int type = GetChartType();
    if (type == 7 || type == 24) m_itemRanges = 1;
    const int kind = GetDisplayKind();
    if (type == 15 || type == 16 || ((type == 11 || type == 12) && (kind == 11 || kind == 16)))
        return CalcBoxRange();
    switch (type) {
    case 14:
        return CalcStackedAreaRange();
    case 37:
    case 38:
        return CalcStackedRange();
    case 39:
    case 40:
        return CalcGroupStackedRange();
    case 19:
    case 20:
    case 21:
    case 32:
    case 33:
    case 34:
        return CalcXYRange();
    case 41:
    case 42:
        return CalcBubbleRange();
    case 43:
    case 44:
    case 45:
        return CalcVectorRange();
    case 26:
    case 27:
        return CalcPolarRange();
    default:
        // The other chart types range with their renderers.
        if (RangesOnStandard(type)) CalcStandardRange();
    }
}

bool ChartDisplay::FixRange(CScale& range, double lower, double upper, u32 flags) {
    if (!(flags & kFixedRange) || (flags & kLimitsBound) || !(upper > lower)) return false;
    range.Clear();
    range.Update(upper);
    range.Update(lower);
    return true;
}

void ChartDisplay::BoundRange(CScale& range, double lower, double upper, u32 flags) {
    if (!(flags & kLimitsBound) || !(upper > lower)) return;
    if (flags & kFixedRange) {
        range.Update(upper);
        range.Update(lower);
    } else {
        const double low = std::max(range.GetMinimum(), lower), high = std::min(range.GetMaximum(), upper);
        range.Set(low, high, 0);
    }
}

bool ChartDisplay::ApplyFixedLimits() {
    return FixRange(GetValueRange(), GetLowerValueLimit(), GetUpperValueLimit(), GetStyle().flagsWord);
}

void ChartDisplay::ApplyBoundingLimits() {
    BoundRange(GetValueRange(), GetLowerValueLimit(), GetUpperValueLimit(), GetStyle().flagsWord);
}

void ChartDisplay::CalcStandardRange() {
    CScale& range = GetValueRange();
    range.Clear();
    if (ApplyFixedLimits()) return;
    Chart* chart = GetChart();
    for (int g = 0; g < GetGroupCount(); ++g) {
        ChartDataList& group = chart->GetGroup(GetFirstGroup() + g, true);
        const int count = VisitedCount(group);
        for (int i = 0; i < count; ++i) {
            ChartData& item = chart->GetDataOrDummy(GetFirstIndex() + i, GetFirstGroup() + g);
            if (item.IsNull()) continue;
            if (m_itemRanges) {
                const CScale own = item.GetRange();
                range.Update(own.GetMaximum());
                range.Update(own.GetMinimum());
            }
            range.Update(item.GetValue());
        }
    }
    ApplyBoundingLimits();
}

void ChartDisplay::DrawDataStep() {
    switch (GetChartType()) {
    case 1:
    case 31:
        return DrawLines();
    case 2:
    case 16:
        return DrawBars();
    case 3:
    case 15:
        return DrawColumns();
    case 4:
    case 13:
        return DrawPie();
    case 6:
        return DrawAreas();
    case 7:
    case 24:
        return DrawHighLow();
    case 9:
        return DrawPerspectiveColumns();
    case 10:
    case 17:
        return DrawPerspectiveAreas();
    case 11:
        return DrawOverlapColumns();
    case 12:
        return DrawOverlapBars();
    case 14:
        return DrawStackedAreas();
    case 25:
        return DrawMixed();
    case 18:
    case 23:
        return DrawRadar();
    case 26:
    case 27:
        return DrawPolar();
    case 28:
    case 29:
        return DrawStock();
    case 30:
        return DrawFloatingBars();
    case 35:
    case 36:
        return DrawSteps();
    case 37:
        return DrawStackedColumns();
    case 38:
        return DrawStackedBars();
    case 39:
        return DrawGroupStackedColumns();
    case 40:
        return DrawGroupStackedBars();
    case 19:
    case 20:
    case 21:
    case 32:
    case 33:
    case 34:
        return DrawXY();
    case 41:
    case 42:
        return DrawBubbles();
    case 43:
    case 44:
    case 45:
        return DrawVectors();
    default:
        return ChartDisplayBase::DrawDataStep();
    }
}

double ChartDisplay::Base() {
    const double m = GetValueRange().GetMinimum();
    if (!IsValueAxisLog()) return m;
    return m > 0 ? std::log10(m) : -3.0;
}

double ChartDisplay::AxisValue(double value) const {
    if (!IsValueAxisLog()) return value;
    return value > 0 ? std::log10(value) : -99.0;
}

ChartDataList* ChartDisplay::FindGroup(int group) {
    Chart* chart = GetChart();
    return group >= 0 && group < chart->GetGroupCount() ? &chart->GetGroup(group, false) : nullptr;
}

ChartData& ChartDisplay::ItemOf(ChartDataList* group, int index) {
    if (!group || index < 0) return ChartDummyData::Shared();
    return group->GetDataInGroup(index, true);
}

const ChartStyle& ChartDisplay::StyleOf(ChartData& item, const ChartStyle& fallback) {
    const ChartStyle& own = item.GetStyle();
    return (own.styleWord & 0xFF) ? own : fallback;
}

int ChartDisplay::VisitedCount(ChartDataList& group) {
    return std::min(group.GetCount() - GetFirstIndex(), GetIndexCount());
}

double ChartDisplay::BarWidth(double space, double deviceRatio) const {
    if (!(GetStyle().flagsWord & kExplicitSizes)) return space * 0.9090909090909091;
    return std::min(GetStyle().thirdSize * deviceRatio, space);
}

RECT ChartDisplay::RaisedPlot(bool byDeviceRatio) const {
    RECT p = m_plot;
    const int d = Depth();
    HDC dc = GetDrawingDC();
    p.right -= byDeviceRatio ? TruncToInt(d * GetDeviceRatioX(dc)) : d;
    p.top += byDeviceRatio ? TruncToInt(d * GetDeviceRatioY(dc)) : d;
    return p;
}

void ChartDisplay::AddPoint(int x, int y, int group, int index) {
    Chart* chart = GetChart();
    if (chart->IsFeedbackOn()) chart->AddPointFeedback(x, y, group, index);
}

void ChartDisplay::AddPolygon(std::span<const POINT> points, int group, int index) {
    Chart* chart = GetChart();
    if (chart->IsFeedbackOn()) chart->AddPolygonFeedback(points, group, index);
}

void ChartDisplay::ToColumnChart() {
    SetTypeAndKind(3, 2);
}

int ChartDisplay::Depth() const {
    return (GetStyle().flagsWord & kExplicitSizes) ? TruncToInt(GetStyle().secondSize) : kDefaultDepth;
}

bool ChartDisplay::AxesHidden() {
    const CScale& range = GetValueRange();
    return (range.GetMinimum() == 0 && range.GetMaximum() == 0) || ((GetStyle().labelWord >> 4) & 0xF) == 0;
}

ChartDecimalScale& ChartDisplay::CategoryScale(Category category) {
    if (!GetXAxisScale()) {
        if (category == Category::group)
            SetXAxisScale(std::make_unique<ChartGroupScale>());
        else
            SetXAxisScale(std::make_unique<ChartIndexScale>());
    }
    return *GetXAxisScale();
}

ChartDecimalScale& ChartDisplay::ValueScale(bool dateKind) {
    if (!GetValueAxisScale()) {
        if (GetStyle().flagsWord & kLogValues)
            SetValueAxisScale(std::make_unique<ChartLogScale>());
        else if (dateKind)
            SetValueAxisScale(std::make_unique<ChartDateScale>());
        else
            SetValueAxisScale(std::make_unique<ChartDecimalScale>());
    }
    return *GetValueAxisScale();
}

void ChartDisplay::SetUpScale(ChartDecimalScale& scale, bool category, std::vector<POINT>& anchors,
                              bool vertical) {
    const u32 flags = GetStyle().flagsWord;
    TakeDataWindow(scale);
    const bool keepAll = (flags & (category ? kIndexLabelStyle : kValueLabelStyle)) != 0;
    scale.GetStyle().labelWord = (scale.GetStyle().labelWord & ~0xF0u) | ((keepAll ? 10u : 9u) << 4);
    scale.SetFont(GetFontSize(), GetFontFlags(), GetFaceName());
    scale.SetColor(GetColor());
    scale.SetMargins(scale.GetSpacing(), scale.GetVerticalMargin(), GetSpacingPixels());
    if (category) {
        scale.SetDataWindow(GetFirstIndex(), GetLastIndex(), GetFirstGroup(), GetLastGroup());
        scale.SetStep(0);
    } else {
        scale.SetMinimum(GetValueRange().GetMinimum());
        scale.SetMaximum(GetValueRange().GetMaximum());
        scale.SetStartAtMinimum();
    }
    scale.SetRecordAnchors(1);
    scale.SetAnchorList(&anchors);
    if (GetStyle().extraWord & kOrientLabels) {
        scale.GetStyle().flagsWord &= ~kKeepOwnRotation;
    } else {
        // Horizontal labels: centred below a horizontal axis, beside a vertical one (turning
        // those about their top middle would put half of each over the plot).
        scale.GetStyle().flagsWord |= kKeepOwnRotation;
        scale.SetAngle(0);
        scale.SetAnchorCode(
            vertical ? (scale.GetLabelSide() ? ChartLabel::anchorLeftMiddle : ChartLabel::anchorRightMiddle)
                     : ChartLabel::anchorTopMiddle);
    }
}

RECT ChartDisplay::LayOut(ChartDecimalScale& scale, POINT start, POINT end, int side, int drawFlag) {
    scale.SetAxisStart(start.x, start.y);
    scale.SetAxisEnd(end.x, end.y);
    scale.SetLabelSide(side);
    if (!(GetStyle().extraWord & kOrientLabels) && start.x == end.x)
        scale.SetAnchorCode(side ? ChartLabel::anchorLeftMiddle : ChartLabel::anchorRightMiddle);
    scale.SetAvoidOverlap(0);
    scale.BuildLabels();
    scale.SetAvoidOverlap(1);
    scale.SetDrawFlag(drawFlag);
    scale.Draw(GetDrawingDC(), GetDrawingWindow());
    return scale.GetBounds();
}

void ChartDisplay::DrawCategoryValueAxes(Category category) {
    if (AxesHidden()) return;
    const u32 flags = GetStyle().flagsWord;
    const int kind = GetDisplayKind(), type = GetChartType();
    const bool raised = IsRaisedIndexValue(type, kind);
    const int d = raised ? Depth() : 0;
    const int hd = TruncToInt(d * GetDeviceRatioX(GetDrawingDC()));
    const int vd = TruncToInt(d * GetDeviceRatioY(GetDrawingDC()));
    const bool showCategory = !(flags & (category == Category::group ? kNoGroupAxis : kNoIndexAxis));
    const bool showValue = !(flags & kNoValueAxis);
    const bool dateKind = kind >= 18 && kind <= 21;
    const bool rightSide = kind == 12 || kind == 19 || kind == 13 || kind == 21;
    ChartDecimalScale* categoryScale = showCategory ? &CategoryScale(category) : nullptr;
    ChartDecimalScale* valueScale = showValue ? &ValueScale(dateKind) : nullptr;
    if (auto* index = dynamic_cast<ChartIndexScale*>(categoryScale))
        index->SetLabelsOnEdges(category == Category::index && LabelsOnEdges(type));
    RECT& p = m_plot;
    auto layOutCategory = [&](int drawFlag) {
        SetUpScale(*categoryScale, true, GetSecondPositionList(), false);
        return LayOut(*categoryScale, {p.left, p.bottom}, {p.right - hd, p.bottom}, 0, drawFlag);
    };
    auto layOutValue = [&](int drawFlag) {
        SetUpScale(*valueScale, false, GetFirstPositionList(), true);
        if (kind == 12 || kind == 19)
            return LayOut(*valueScale, {p.right, p.bottom}, {p.right, p.top}, 1, drawFlag);
        if (kind == 13 || kind == 21)
            return LayOut(*valueScale, {p.right + hd, p.bottom - vd}, {p.right + hd, p.top - vd}, 1,
                          drawFlag);
        return LayOut(*valueScale, {p.left, p.bottom}, {p.left, p.top + vd}, 0, drawFlag);
    };
    if (!(flags & kGivenPlot)) {
        int leftOverhang = 0, rightOverhang = 0;
        if (categoryScale) {
            const RECT b = layOutCategory(0);
            const int gap = TruncToInt(categoryScale->GetHorizontalMarginPixels());
            p.bottom -= b.bottom - b.top + gap;
            if (b.right > p.right) rightOverhang = b.right - p.right, p.right -= rightOverhang;
            if (b.left < p.left) leftOverhang = p.left - b.left, p.left += leftOverhang;
        }
        if (valueScale) {
            const RECT b = layOutValue(0);
            const int gap = TruncToInt(valueScale->GetHorizontalMarginPixels());
            const int need = b.right - b.left + gap - (rightSide ? rightOverhang : leftOverhang);
            if (need > 0) (rightSide ? p.right -= need : p.left += need);
        }
    }
    if (categoryScale) layOutCategory(1);
    if (valueScale) layOutValue(1);
}

void ChartDisplay::DrawValueCategoryAxes(Category category) {
    if (AxesHidden()) return;
    const u32 flags = GetStyle().flagsWord;
    const int kind = GetDisplayKind(), type = GetChartType();
    const bool raised = type == 16 || kind == 16 || kind == 22;
    const int d = raised ? Depth() : 0;
    const int hd = TruncToInt(d * GetDeviceRatioX(GetDrawingDC()));
    const int vd = TruncToInt(d * GetDeviceRatioY(GetDrawingDC()));
    const bool showCategory = !(flags & (category == Category::group ? kNoGroupAxis : kNoIndexAxis));
    const bool showValue = !(flags & kNoValueAxis);
    ChartDecimalScale* categoryScale = showCategory ? &CategoryScale(category) : nullptr;
    ChartDecimalScale* valueScale = showValue ? &ValueScale(kind == 22 || kind == 23) : nullptr;
    if (auto* index = dynamic_cast<ChartIndexScale*>(categoryScale)) index->SetLabelsOnEdges(0);
    RECT& p = m_plot;
    auto layOutCategory = [&](int drawFlag) {
        SetUpScale(*categoryScale, true, GetFirstPositionList(), true);
        return LayOut(*categoryScale, {p.left, p.bottom}, {p.left, p.top + vd}, 0, drawFlag);
    };
    auto layOutValue = [&](int drawFlag) {
        SetUpScale(*valueScale, false, GetSecondPositionList(), false);
        return LayOut(*valueScale, {p.left, p.bottom}, {p.right - hd, p.bottom}, 0, drawFlag);
    };
    if (!(flags & kGivenPlot)) {
        if (categoryScale) {
            const RECT b = layOutCategory(0);
            p.left += b.right - b.left + TruncToInt(categoryScale->GetHorizontalMarginPixels());
        }
        if (valueScale) MakeRoomBelow(*valueScale, layOutValue(0));
    }
    if (categoryScale) layOutCategory(1);
    if (valueScale) layOutValue(1);
}

void ChartDisplay::MakeRoomBelow(const ChartDecimalScale& scale, const RECT& bounds) {
    RECT& p = m_plot;
    p.bottom -= bounds.bottom - bounds.top + TruncToInt(scale.GetHorizontalMarginPixels());
    if (bounds.right > p.right) p.right -= bounds.right - p.right;
    if (bounds.left < p.left) p.left += p.left - bounds.left;
}

void ChartDisplay::DrawIndexValueAxes() {
    DrawCategoryValueAxes(Category::index);
}

void ChartDisplay::DrawGroupValueAxes() {
    DrawCategoryValueAxes(Category::group);
}

void ChartDisplay::DrawValueIndexAxes() {
    DrawValueCategoryAxes(Category::index);
}

void ChartDisplay::DrawValueGroupAxes() {
    DrawValueCategoryAxes(Category::group);
}

void ChartDisplay::DrawGanttAxes() {
    if (AxesHidden()) return;
    const u32 flags = GetStyle().flagsWord;
    ChartDecimalScale* categoryScale = (flags & kNoGroupAxis) ? nullptr : &CategoryScale(Category::group);
    ChartDecimalScale* valueScale = (flags & kNoValueAxis) ? nullptr : &ValueScale(GetDisplayKind() == 25);
    RECT& p = m_plot;
    auto layOutCategory = [&](int drawFlag) {
        SetUpScale(*categoryScale, true, GetFirstPositionList(), true);
        categoryScale->SetStep(2);
        const int rows = GetGroupCount() / 2;
        const int h = GetGroupCount() < 3 ? p.bottom - p.top : (p.bottom - p.top) / rows;
        return LayOut(*categoryScale, {p.left, p.bottom - h / 2}, {p.left, p.top + h / 2}, 0, drawFlag);
    };
    auto layOutValue = [&](int drawFlag) {
        SetUpScale(*valueScale, false, GetSecondPositionList(), false);
        return LayOut(*valueScale, {p.left, p.bottom}, {p.right, p.bottom}, 0, drawFlag);
    };
    if (!(flags & kGivenPlot)) {
        if (categoryScale) {
            const RECT b = layOutCategory(0);
            p.left += b.right - b.left + TruncToInt(categoryScale->GetHorizontalMarginPixels());
        }
        if (valueScale) MakeRoomBelow(*valueScale, layOutValue(0));
    }
    if (categoryScale) layOutCategory(1);
    if (valueScale) layOutValue(1);
}

void ChartDisplay::DrawTicks(std::vector<POINT>& points) {
    // A temporary component drawn through its own Draw, which lifts the plot's clip: ticks
    // outside the plot show.
    ChartTickMarks ticks;
    ticks.SetParent(GetChart());
    ticks.GetStyle().frameWord = 0;
    ticks.SetTickPoints(&points);
    ticks.SetDrawFlag(1);
    ticks.Draw(GetDrawingDC(), GetDrawingWindow());
}

void ChartDisplay::DrawRectPlotArea() {
    HDC dc = GetDrawingDC();
    const u32 flags = GetStyle().flagsWord;
    const RECT& p = m_plot;
    GdiHandle<BrushObject> solid(flags & kOpaquePlot ? CreateSolidBrush(GetStyle().fillColour) : nullptr);
    HGDIOBJ brush = solid ? static_cast<HGDIOBJ>(solid.get()) : GetStockObject(HOLLOW_BRUSH);
    if (!(flags & kNoFirstTicks)) DrawTicks(GetFirstPositionList());
    if (!(flags & kNoSecondTicks)) DrawTicks(GetSecondPositionList());
    {
        GdiHandle<PenObject> grid(CreatePen(PS_SOLID, 1, GetStyle().secondaryColour));
        HGDIOBJ old = SelectObject(dc, grid.get());
        if (!(flags & kNoHorizontalGrid))
            for (const POINT& at : GetFirstPositionList()) {
                MoveToEx(dc, p.left, at.y, nullptr);
                LineTo(dc, p.right, at.y);
            }
        if (!(flags & kNoVerticalGrid))
            for (const POINT& at : GetSecondPositionList()) {
                MoveToEx(dc, at.x, p.bottom, nullptr);
                LineTo(dc, at.x, p.top);
            }
        SelectObject(dc, old);
    }
    GdiHandle<PenObject> frame(CreatePen(PS_SOLID, GetStyle().penWidth, GetStyle().lineColour));
    HGDIOBJ oldPen = SelectObject(dc, frame.get());
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Rectangle(dc, p.left, p.top, p.right + 1, p.bottom + 1);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void ChartDisplay::DrawBoxPlotArea() {
    HDC dc = GetDrawingDC();
    Chart* chart = GetChart();
    const u32 flags = GetStyle().flagsWord;
    const int kind = GetDisplayKind();
    const RECT p = m_plot;
    const int d = Depth();
    const int m = TruncToInt(GetSpacingPixels());
    const SavedClip savedClip(*chart);
    chart->ClipToRect(p.left - m - 1, p.top - 1, p.right + 1, p.bottom + m + 1, RGN_COPY);
    GdiHandle<BrushObject> solid(flags & kOpaquePlot ? CreateSolidBrush(GetStyle().fillColour) : nullptr);
    HGDIOBJ brush = solid ? static_cast<HGDIOBJ>(solid.get()) : GetStockObject(HOLLOW_BRUSH);
    GdiHandle<PenObject> frame(CreatePen(PS_SOLID, GetStyle().penWidth, GetStyle().lineColour));
    GdiHandle<PenObject> grid(CreatePen(PS_SOLID, 1, GetStyle().secondaryColour));
    const int saved = SaveDC(dc);
    const bool rightValues = kind == 13 || kind == 21;
    SelectObject(dc, frame.get());
    auto line = [dc](std::initializer_list<POINT> points) {
        auto it = points.begin();
        MoveToEx(dc, it->x, it->y, nullptr);
        for (++it; it != points.end(); ++it)
            LineTo(dc, it->x, it->y);
    };
    if (!(flags & kNoFirstTicks))
        for (const POINT& at : GetFirstPositionList())
            rightValues ? line({{p.right, at.y}, {p.right + m, at.y}})
                        : line({{p.left, at.y}, {p.left - m, at.y}});
    if (!(flags & kNoSecondTicks))
        for (const POINT& at : GetSecondPositionList())
            line({{at.x, p.bottom}, {at.x, p.bottom + m}});
    SelectObject(dc, grid.get());
    if (!(flags & kNoHorizontalGrid))
        for (const POINT& at : GetFirstPositionList())
            rightValues ? line({{p.right, at.y}, {p.left + d, at.y}, {p.left, at.y + d}})
                        : line({{p.left, at.y}, {p.left + d, at.y - d}, {p.right, at.y - d}});
    if (!(flags & kNoVerticalGrid))
        for (const POINT& at : GetSecondPositionList())
            kind == 13 ? line({{at.x, p.bottom}, {at.x - d, p.bottom - d}, {at.x - d, p.top}})
                       : line({{at.x, p.bottom}, {at.x + d, p.bottom - d}, {at.x + d, p.top}});
    SelectObject(dc, frame.get());
    SelectObject(dc, brush);
    Rectangle(dc, p.left + d, p.top, p.right + 1, p.bottom - d + 1);
    const POINT leftWall[] = {{p.left, p.top + d},
                              {p.left + d, p.top},
                              {p.left + d, p.bottom - d},
                              {p.left, p.bottom},
                              {p.left, p.top + d}};
    Polygon(dc, leftWall, 5);
    const POINT floor[] = {{p.left, p.bottom},
                           {p.left + d, p.bottom - d},
                           {p.right, p.bottom - d},
                           {p.right - d, p.bottom},
                           {p.left, p.bottom}};
    Polygon(dc, floor, 5);
    RestoreDC(dc, saved);
}

} // namespace vq
