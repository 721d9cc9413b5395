#include "chart/ChartCompoundDisplay.h"

#include "chart/ChartAxisManager.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGridLines.h"
#include "chart/ChartIndexScale.h"
#include "chart/ChartLabel.h"
#include "chart/ChartTickMarks.h"

#include <array>
#include <utility>

namespace vq {
namespace {

using Side = ChartCompoundDisplay::Side;

// Displays are ranged, and plots handed out, in this order.
constexpr std::array<Side, 4> kDisplayOrder = {
    ChartCompoundDisplay::sideLeft, ChartCompoundDisplay::sideRight, ChartCompoundDisplay::sideBottom,
    ChartCompoundDisplay::sideTop};
// Bits of a style word that name the chart type and the display kind.
constexpr u32 kTypeAndKind = 0xFFFF0000;

bool IsVertical(Side side) {
    return side == ChartCompoundDisplay::sideLeft || side == ChartCompoundDisplay::sideRight;
}

Side Opposite(Side side) {
    switch (side) {
    case ChartCompoundDisplay::sideBottom:
        return ChartCompoundDisplay::sideTop;
    case ChartCompoundDisplay::sideTop:
        return ChartCompoundDisplay::sideBottom;
    case ChartCompoundDisplay::sideLeft:
        return ChartCompoundDisplay::sideRight;
    default:
        return ChartCompoundDisplay::sideLeft;
    }
}

void CopyTypeAndKind(ChartComponent* to, const ChartDisplayBase& display) {
    if (!to) return;
    u32& word = to->GetStyle().styleWord;
    word = (word & ~kTypeAndKind) | (display.GetStyle().styleWord & kTypeAndKind);
    to->SetInvalid(1);
}

void PlaceTitle(ChartLabel* title, int preset, int x, int y, int anchor) {
    if (!title) return;
    title->SetRotationPreset(preset);
    title->SetPosition(x, y);
    title->SetAnchorCode(anchor);
}

int ScaleWidth(ChartAxisManager* axis) {
    ChartDecimalScale* scale = axis ? axis->GetScale() : nullptr;
    return scale ? scale->GetBounds().right - scale->GetBounds().left : 0;
}

int ScaleHeight(ChartAxisManager* axis) {
    ChartDecimalScale* scale = axis ? axis->GetScale() : nullptr;
    return scale ? scale->GetBounds().bottom - scale->GetBounds().top : 0;
}

// Hands the component to the manager's role, or drops it when the child list holds no manager there.
template <typename T>
void Forward(ChartAxisManager* axis, void (ChartAxisManager::*fill)(std::unique_ptr<T>),
             std::unique_ptr<T> component) {
    if (axis) (axis->*fill)(std::move(component));
}

ChartLabel* TitleOf(ChartAxisManager* axis) {
    return axis ? axis->GetTitle() : nullptr;
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartCompoundDisplay, ChartCompoundComponent)

ChartCompoundDisplay::ChartCompoundDisplay() : ChartCompoundComponent(chartCompoundDisplayType) {
    SetTwoPass(1);
    SetOwnBackground(1);
    SetOverlaySwitch(1);
    for (int side = sideBottom; side <= sideRight; ++side) {
        auto axis = std::make_unique<ChartAxisManager>();
        axis->SetTwoPass(0);
        AddComponent(std::move(axis));
    }
}

ChartAxisManager* ChartCompoundDisplay::GetAxis(Side side) const {
    const Children& children = GetChildren();
    if (static_cast<std::size_t>(side) >= children.size()) return nullptr;
    ChartComponent* child = std::next(children.begin(), side)->get();
    return child->IsKindOf(ChartAxisManager::Class()) ? static_cast<ChartAxisManager*>(child) : nullptr;
}

void ChartCompoundDisplay::SetLayoutRect(int left, int top, int right, int bottom, int pixels) {
    u32& flags = GetStyle().flagsWord;
    if (pixels) {
        SetCompoundDeviceRect({left, top, right, bottom});
        flags |= kFixedDeviceRect;
    } else {
        SetRectValues(left, top, right, bottom);
        flags &= ~kFixedDeviceRect;
    }
}

void ChartCompoundDisplay::AssignPositionList(ChartAxisManager* manager, std::vector<POINT>& list) {
    if (!manager) return;
    if (ChartDecimalScale* scale = manager->GetScale()) scale->SetAnchorList(&list);
    if (ChartTickMarks* ticks = manager->GetTickMarks()) ticks->SetTickPoints(&list);
}

void ChartCompoundDisplay::AssignBottomPositionList(std::vector<POINT>& list) {
    AssignPositionList(GetAxis(sideBottom), list);
}

void ChartCompoundDisplay::AssignTopPositionList(std::vector<POINT>& list) {
    AssignPositionList(GetAxis(sideTop), list);
}

void ChartCompoundDisplay::AssignLeftPositionList(std::vector<POINT>& list) {
    AssignPositionList(GetAxis(sideLeft), list);
}

void ChartCompoundDisplay::AssignRightPositionList(std::vector<POINT>& list) {
    AssignPositionList(GetAxis(sideRight), list);
}

void ChartCompoundDisplay::SetBottomScale(std::unique_ptr<ChartDecimalScale> component) {
    Forward(GetAxis(sideBottom), &ChartAxisManager::SetScale, std::move(component));
}

void ChartCompoundDisplay::SetTopScale(std::unique_ptr<ChartDecimalScale> component) {
    Forward(GetAxis(sideTop), &ChartAxisManager::SetScale, std::move(component));
}

void ChartCompoundDisplay::SetLeftScale(std::unique_ptr<ChartDecimalScale> component) {
    Forward(GetAxis(sideLeft), &ChartAxisManager::SetScale, std::move(component));
}

void ChartCompoundDisplay::SetRightScale(std::unique_ptr<ChartDecimalScale> component) {
    Forward(GetAxis(sideRight), &ChartAxisManager::SetScale, std::move(component));
}

void ChartCompoundDisplay::SetLeftGridLines(std::unique_ptr<ChartGridLines> component) {
    Forward(GetAxis(sideLeft), &ChartAxisManager::SetGridLines, std::move(component));
}

void ChartCompoundDisplay::SetRightGridLines(std::unique_ptr<ChartGridLines> component) {
    Forward(GetAxis(sideRight), &ChartAxisManager::SetGridLines, std::move(component));
}

void ChartCompoundDisplay::SetBottomGridLines(std::unique_ptr<ChartGridLines> component) {
    Forward(GetAxis(sideBottom), &ChartAxisManager::SetGridLines, std::move(component));
}

void ChartCompoundDisplay::SetTopGridLines(std::unique_ptr<ChartGridLines> component) {
    Forward(GetAxis(sideTop), &ChartAxisManager::SetGridLines, std::move(component));
}

void ChartCompoundDisplay::SetBottomTickMarks(std::unique_ptr<ChartTickMarks> component) {
    Forward(GetAxis(sideBottom), &ChartAxisManager::SetTickMarks, std::move(component));
}

void ChartCompoundDisplay::SetTopTickMarks(std::unique_ptr<ChartTickMarks> component) {
    Forward(GetAxis(sideTop), &ChartAxisManager::SetTickMarks, std::move(component));
}

void ChartCompoundDisplay::SetLeftTickMarks(std::unique_ptr<ChartTickMarks> component) {
    Forward(GetAxis(sideLeft), &ChartAxisManager::SetTickMarks, std::move(component));
}

void ChartCompoundDisplay::SetRightTickMarks(std::unique_ptr<ChartTickMarks> component) {
    Forward(GetAxis(sideRight), &ChartAxisManager::SetTickMarks, std::move(component));
}

void ChartCompoundDisplay::SetBottomDisplay(std::unique_ptr<ChartDisplayBase> component) {
    Forward(GetAxis(sideBottom), &ChartAxisManager::SetDisplay, std::move(component));
}

void ChartCompoundDisplay::SetTopDisplay(std::unique_ptr<ChartDisplayBase> component) {
    Forward(GetAxis(sideTop), &ChartAxisManager::SetDisplay, std::move(component));
}

void ChartCompoundDisplay::SetLeftDisplay(std::unique_ptr<ChartDisplayBase> component) {
    Forward(GetAxis(sideLeft), &ChartAxisManager::SetDisplay, std::move(component));
}

void ChartCompoundDisplay::SetRightDisplay(std::unique_ptr<ChartDisplayBase> component) {
    Forward(GetAxis(sideRight), &ChartAxisManager::SetDisplay, std::move(component));
}

void ChartCompoundDisplay::SetBottomAuxiliary(std::unique_ptr<ChartComponent> component) {
    Forward(GetAxis(sideBottom), &ChartAxisManager::SetAuxiliary, std::move(component));
}

void ChartCompoundDisplay::SetTopAuxiliary(std::unique_ptr<ChartComponent> component) {
    Forward(GetAxis(sideTop), &ChartAxisManager::SetAuxiliary, std::move(component));
}

void ChartCompoundDisplay::SetLeftAuxiliary(std::unique_ptr<ChartComponent> component) {
    Forward(GetAxis(sideLeft), &ChartAxisManager::SetAuxiliary, std::move(component));
}

void ChartCompoundDisplay::SetRightAuxiliary(std::unique_ptr<ChartComponent> component) {
    Forward(GetAxis(sideRight), &ChartAxisManager::SetAuxiliary, std::move(component));
}

void ChartCompoundDisplay::AddStandardAxes(u32 chartTypeWord, u32 kindWord) {
    auto display = std::make_unique<ChartDisplay>();
    u32& word = display->GetStyle().styleWord;
    word = (word & 0xFFFF) | (chartTypeWord & 0xFF0000) | (kindWord & 0xFF000000);
    SetLeftDisplay(std::move(display));
    SetLeftScale(std::make_unique<ChartDecimalScale>());
    // Ticks on both axes point away from the plot, into the room the labels leave for them.
    auto leftTicks = std::make_unique<ChartTickMarks>();
    leftTicks->SetSide(1);
    SetLeftTickMarks(std::move(leftTicks));
    SetLeftGridLines(std::make_unique<ChartGridLines>());

    auto index = std::make_unique<ChartIndexScale>();
    index->GetStyle().flagsWord |= ChartDecimalScale::kOwnRotation;
    index->SetAngle(0);
    index->SetAnchorCode(ChartLabel::anchorTopMiddle);
    SetBottomScale(std::move(index));
    SetBottomTickMarks(std::make_unique<ChartTickMarks>());
    SetBottomGridLines(std::make_unique<ChartGridLines>());
}

void ChartCompoundDisplay::PlaceAxisLines(const RECT& r) {
    struct Line {
        Side side;
        POINT start, end;
    };
    const Line lines[] = {{sideBottom, {r.left, r.bottom}, {r.right, r.bottom}},
                          {sideLeft, {r.left, r.bottom}, {r.left, r.top}},
                          {sideTop, {r.left, r.top}, {r.right, r.top}},
                          {sideRight, {r.right, r.bottom}, {r.right, r.top}}};
    for (const Line& line : lines)
        if (ChartAxisManager* axis = GetAxis(line.side)) {
            axis->SetStartPoint(line.start.x, line.start.y);
            axis->SetEndPoint(line.end.x, line.end.y);
        }
}

void ChartCompoundDisplay::PlaceTitles(const RECT& r) {
    const int hm = r.left + (r.right - r.left) / 2, vm = r.top + (r.bottom - r.top) / 2;
    ChartAxisManager* left = GetAxis(sideLeft);
    ChartAxisManager* right = GetAxis(sideRight);
    ChartAxisManager* bottom = GetAxis(sideBottom);
    ChartAxisManager* top = GetAxis(sideTop);
    const bool given = (GetStyle().flagsWord & kFixedDeviceRect) != 0;
    if (!GetDrawFlag() && !given) {
        PlaceTitle(TitleOf(left), 1, r.left, vm, ChartLabel::anchorTopMiddle);
        PlaceTitle(TitleOf(right), 3, r.right, vm, ChartLabel::anchorTopMiddle);
        PlaceTitle(TitleOf(bottom), 0, hm, r.bottom, ChartLabel::anchorBottomMiddle);
        PlaceTitle(TitleOf(top), 0, hm, r.top, ChartLabel::anchorTopMiddle);
    } else if (given) {
        // The rectangle is the plot itself: the titles go beyond the scales' labels.
        PlaceTitle(TitleOf(left), 1, r.left - ScaleWidth(left), vm, ChartLabel::anchorBottomMiddle);
        PlaceTitle(TitleOf(right), 3, r.right + ScaleWidth(right), vm, ChartLabel::anchorBottomMiddle);
        PlaceTitle(TitleOf(bottom), 0, hm, r.bottom + ScaleHeight(bottom), ChartLabel::anchorTopMiddle);
        PlaceTitle(TitleOf(top), 0, hm, r.top - ScaleHeight(top), ChartLabel::anchorBottomMiddle);
    } else {
        // The paint pass keeps the layout pass's distance from the edge and centres along it.
        for (ChartLabel* title : {TitleOf(left), TitleOf(right)})
            if (title) title->SetY(vm);
        for (ChartLabel* title : {TitleOf(bottom), TitleOf(top)})
            if (title) title->SetX(hm);
    }
}

ChartAxisManager* ChartCompoundDisplay::SecondaryOf(Side primary) const {
    const bool vertical = IsVertical(primary);
    const int shown = vertical ? m_secondaryValueShown : m_secondaryXShown;
    const int onFarSide = vertical ? m_secondaryValueOnRight : m_secondaryXOnTop;
    const bool primaryOnNearSide = primary == sideLeft || primary == sideBottom;
    if (!shown || (onFarSide != 0) != primaryOnNearSide) return nullptr;
    return GetAxis(Opposite(primary));
}

ChartCompoundDisplay::Side ChartCompoundDisplay::CompanionOf(Side side) const {
    const bool corner = m_cornerFlag != 0;
    switch (side) {
    case sideLeft:
        return corner ? sideBottom : sideTop;
    case sideRight:
        return corner ? sideTop : sideBottom;
    case sideBottom:
        return corner ? sideLeft : sideRight;
    default:
        return corner ? sideRight : sideLeft;
    }
}

CScale ChartCompoundDisplay::MapSecondary(const CScale& range, bool vertical) {
    const double factor = vertical ? m_secondaryValueFactor : m_secondaryXFactor;
    auto map = [&](double value) {
        if (factor != 0) return value * factor;
        return vertical ? MapSecondaryValue(value) : MapSecondaryX(value);
    };
    CScale mapped;
    mapped.Set(map(range.GetMinimum()), map(range.GetMaximum()), range.IsEmpty());
    return mapped;
}

void ChartCompoundDisplay::GiveRange(ChartAxisManager& axis, const CScale& range,
                                     const ChartDisplayBase& display, bool auxiliary) {
    axis.SetScaleMaximum(range.GetMaximum());
    axis.SetScaleMinimum(range.GetMinimum());
    int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
    display.GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    axis.SetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    CopyTypeAndKind(axis.GetGridLines(), display);
    if (!auxiliary) return;
    if (ChartComponent* aux = axis.GetAuxiliary()) {
        CopyTypeAndKind(aux, display);
        aux->SetSecondRange(range);
    }
}

void ChartCompoundDisplay::RangeDisplay(Side side) {
    ChartAxisManager* own = GetAxis(side);
    ChartDisplayBase* display = own ? own->GetDisplay() : nullptr;
    if (!display) return;
    // Extents the user set stay the user's.
    if (!display->GetXExtents().IsEmpty()) display->SetXExtentsFromData(0);
    if (!display->GetValueExtents().IsEmpty()) display->SetValueExtentsFromData(0);
    display->Prepare();
    CScale vertical =
        display->GetValueExtents().IsEmpty() ? display->GetValueRange() : display->GetValueExtents();
    CScale horizontal = display->GetXExtents().IsEmpty() ? display->GetXRange() : display->GetXExtents();
    if (GetStyle().extraWord & kSwapAxes) std::swap(vertical, horizontal);
    const bool upright = IsVertical(side);
    const CScale& along = upright ? vertical : horizontal;
    const CScale& across = upright ? horizontal : vertical;

    GiveRange(*own, along, *display, true);
    if (ChartAxisManager* secondary = SecondaryOf(side)) {
        const CScale mapped = MapSecondary(along, upright);
        // The left display's secondary axis leaves its auxiliary component alone.
        GiveRange(*secondary, mapped, *display, false);
        if (side != sideLeft)
            if (ChartComponent* aux = secondary->GetAuxiliary()) {
                CopyTypeAndKind(aux, *display);
                aux->SetSecondRange(along);
            }
    }
    const Side companion = CompanionOf(side);
    if (ChartAxisManager* partner = GetAxis(companion)) GiveRange(*partner, across, *display, true);
    if (ChartAxisManager* secondary = SecondaryOf(companion)) {
        const CScale mapped = MapSecondary(across, IsVertical(companion));
        secondary->SetScaleMaximum(mapped.GetMaximum());
        secondary->SetScaleMinimum(mapped.GetMinimum());
    }
}

void ChartCompoundDisplay::GivePlotArea(Side side, const RECT& r) {
    ChartAxisManager* axis = GetAxis(side);
    if (!axis) return;
    if (ChartDisplayBase* display = axis->GetDisplay())
        display->SetPlotRect(r.left, r.top, r.right, r.bottom, 1);
    if (ChartGridLines* grid = axis->GetGridLines()) {
        grid->SetPlotRect(r.left, r.top, r.right, r.bottom);
        grid->SetVertical(IsVertical(side) ? 0 : 1);
    }
}

void ChartCompoundDisplay::Layout() {
    const RECT r = GetCompoundDeviceRect();
    PlaceAxisLines(r);
    for (int side = sideBottom; side <= sideRight; ++side)
        AssignPositionList(GetAxis(static_cast<Side>(side)), m_positionLists[side]);
    PlaceTitles(r);
    for (Side side : kDisplayOrder)
        RangeDisplay(side);
    for (Side side : kDisplayOrder)
        GivePlotArea(side, r);
}

void ChartCompoundDisplay::FitPlotRect() {
    if (GetDrawFlag() || (GetStyle().flagsWord & kFixedDeviceRect)) return;
    RECT r = GetCompoundDeviceRect();
    if (ChartAxisManager* left = GetAxis(sideLeft)) r.left += left->GetThicknessX();
    if (ChartAxisManager* right = GetAxis(sideRight)) r.right -= right->GetThicknessX();
    if (ChartAxisManager* bottom = GetAxis(sideBottom)) r.bottom -= bottom->GetThicknessY();
    if (ChartAxisManager* top = GetAxis(sideTop)) r.top += top->GetThicknessY();
    // Axes thicker than the rectangle leave a line in its middle, not a plot turned inside out.
    if (r.left > r.right) r.left = r.right = (r.left + r.right) / 2;
    if (r.top > r.bottom) r.top = r.bottom = (r.top + r.bottom) / 2;
    SetCompoundDeviceRect(r);
}

void ChartCompoundDisplay::BeforePaint() {
    Layout();
    const RECT r = GetCompoundDeviceRect();
    for (auto& child : GetChildList()) {
        if (child->GetTypeCode() != chartAxisManagerType || !child->IsKindOf(ChartAxisManager::Class()))
            continue;
        if (ChartComponent* aux = static_cast<ChartAxisManager&>(*child).GetAuxiliary())
            aux->SetRectValues(r.left, r.top, r.right, r.bottom);
    }
}

void ChartCompoundDisplay::Store(ObjectWriter& archive) const {
    ChartCompoundComponent::Store(archive);
    for (int value :
         {m_secondaryValueOnRight, m_secondaryXOnTop, m_cornerFlag, m_secondaryXShown, m_secondaryValueShown})
        archive.WriteInt32(value);
    archive.WriteDouble(m_secondaryXFactor);
    archive.WriteDouble(m_secondaryValueFactor);
}

void ChartCompoundDisplay::Load(ObjectReader& archive, u32 schema) {
    ChartComponent::Load(archive, schema);
    Content content = ReadContent(archive);
    std::array<int, 5> values{};
    for (int& value : values)
        value = archive.ReadInt32();
    const double xFactor = archive.ReadDouble();
    const double valueFactor = archive.ReadDouble();

    TakeContent(std::move(content));
    m_secondaryValueOnRight = values[0];
    m_secondaryXOnTop = values[1];
    m_cornerFlag = values[2];
    m_secondaryXShown = values[3];
    m_secondaryValueShown = values[4];
    m_secondaryXFactor = xFactor;
    m_secondaryValueFactor = valueFactor;
}

} // namespace vq
