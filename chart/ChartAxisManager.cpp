#include "chart/ChartAxisManager.h"

#include "chart/Chart.h"
#include "chart/ChartDecimalScale.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartGridLines.h"
#include "chart/ChartLabel.h"
#include "chart/ChartTickMarks.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vq {
namespace {

// Frame-word bits of border and shadow kinds: a role component draws no frame of its own.
constexpr u32 kFrameKinds = 0xFFF;
// Label-word bits with which a display labels its own axes and pies.
constexpr u32 kOwnAxisLabels = 0xF0;
constexpr u32 kNoOwnLines = ChartDisplay::kNoFirstTicks | ChartDisplay::kNoSecondTicks |
                            ChartDisplay::kNoHorizontalGrid | ChartDisplay::kNoVerticalGrid;

std::unique_ptr<ChartComponent> MakePlaceholder() {
    auto placeholder = std::make_unique<ChartComponent>();
    placeholder->SetRectValues(0, 0, 0, 0);
    placeholder->GetStyle().frameWord &= ~kFrameKinds;
    return placeholder;
}

// The class each role's component must have; an archive that puts another class in a filled
// role is refused.
const RuntimeClass& RoleClass(ChartAxisManager::Role role) {
    switch (role) {
    case ChartAxisManager::roleScale:
        return ChartDecimalScale::Class();
    case ChartAxisManager::roleTickMarks:
        return ChartTickMarks::Class();
    case ChartAxisManager::roleGridLines:
        return ChartGridLines::Class();
    case ChartAxisManager::roleDisplay:
        return ChartDisplayBase::Class();
    case ChartAxisManager::roleTitle:
        return ChartLabel::Class();
    default:
        return ChartComponent::Class();
    }
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartAxisManager, ChartCompoundComponent)

ChartAxisManager::ChartAxisManager() : ChartCompoundComponent(chartAxisManagerType) {
    SetTwoPass(0);
    for (int role = 0; role < roleCount; ++role)
        GetChildList().push_back(MakePlaceholder());
}

ChartComponent* ChartAxisManager::ChildAt(int role) const {
    const Children& children = GetChildren();
    if (role < 0 || static_cast<std::size_t>(role) >= children.size()) return nullptr;
    return std::next(children.begin(), role)->get();
}

ChartComponent* ChartAxisManager::RoleChild(Role role) const {
    return m_roles[role] ? ChildAt(role) : nullptr;
}

ChartDecimalScale* ChartAxisManager::GetScale() const {
    return static_cast<ChartDecimalScale*>(RoleChild(roleScale));
}

ChartTickMarks* ChartAxisManager::GetTickMarks() const {
    return static_cast<ChartTickMarks*>(RoleChild(roleTickMarks));
}

ChartGridLines* ChartAxisManager::GetGridLines() const {
    return static_cast<ChartGridLines*>(RoleChild(roleGridLines));
}

ChartComponent* ChartAxisManager::GetAuxiliary() const {
    return RoleChild(roleAuxiliary);
}

ChartDisplayBase* ChartAxisManager::GetDisplay() const {
    return static_cast<ChartDisplayBase*>(RoleChild(roleDisplay));
}

ChartLabel* ChartAxisManager::GetTitle() const {
    return static_cast<ChartLabel*>(RoleChild(roleTitle));
}

void ChartAxisManager::ReleaseAnchors(ChartComponent& leaving, Role role) {
    switch (role) {
    case roleScale:
        static_cast<ChartDecimalScale&>(leaving).SetAnchorList(nullptr);
        if (ChartTickMarks* ticks = GetTickMarks()) ticks->SetTickPoints(nullptr);
        if (ChartGridLines* grid = GetGridLines()) grid->SetTickPoints(nullptr);
        break;
    case roleTickMarks:
        static_cast<ChartTickMarks&>(leaving).SetTickPoints(nullptr);
        break;
    case roleGridLines:
        static_cast<ChartGridLines&>(leaving).SetTickPoints(nullptr);
        break;
    default:
        break;
    }
}

void ChartAxisManager::Fill(Role role, std::unique_ptr<ChartComponent> component) {
    ChartComponent* old = ChildAt(role);
    if (!old || !component) return;
    if (m_roles[role]) ReleaseAnchors(*old, role);
    component->SetParent(GetChart());
    *std::next(GetChildList().begin(), role) = std::move(component);
    m_roles[role] = 1;
}

std::unique_ptr<ChartComponent> ChartAxisManager::Detach(Role role, int deleteFlag) {
    if (!m_roles[role] || !ChildAt(role)) return nullptr;
    ReleaseAnchors(*ChildAt(role), role);
    m_roles[role] = 0;
    auto placeholder = MakePlaceholder();
    placeholder->SetParent(GetChart());
    std::unique_ptr<ChartComponent> old =
        std::exchange(*std::next(GetChildList().begin(), role), std::move(placeholder));
    if (deleteFlag) return nullptr;
    return old;
}

void ChartAxisManager::SetScale(std::unique_ptr<ChartDecimalScale> scale) {
    if (scale) scale->GetStyle().frameWord &= ~kFrameKinds;
    Fill(roleScale, std::move(scale));
}

void ChartAxisManager::SetTitle(std::unique_ptr<ChartLabel> title) {
    if (title) title->GetStyle().frameWord &= ~kFrameKinds;
    Fill(roleTitle, std::move(title));
}

void ChartAxisManager::SetDisplay(std::unique_ptr<ChartDisplayBase> display) {
    if (display) {
        ChartStyle& style = display->GetStyle();
        style.frameWord &= ~kFrameKinds;
        style.labelWord &= ~kOwnAxisLabels;
        style.flagsWord |= kNoOwnLines;
    }
    Fill(roleDisplay, std::move(display));
}

void ChartAxisManager::SetTickMarks(std::unique_ptr<ChartTickMarks> ticks) {
    Fill(roleTickMarks, std::move(ticks));
}

void ChartAxisManager::SetGridLines(std::unique_ptr<ChartGridLines> grid) {
    Fill(roleGridLines, std::move(grid));
}

void ChartAxisManager::SetAuxiliary(std::unique_ptr<ChartComponent> auxiliary) {
    Fill(roleAuxiliary, std::move(auxiliary));
}

std::unique_ptr<ChartComponent> ChartAxisManager::DetachTickMarks(int deleteFlag) {
    return Detach(roleTickMarks, deleteFlag);
}

std::unique_ptr<ChartComponent> ChartAxisManager::DetachGridLines(int deleteFlag) {
    return Detach(roleGridLines, deleteFlag);
}

std::unique_ptr<ChartComponent> ChartAxisManager::DetachAuxiliary(int deleteFlag) {
    return Detach(roleAuxiliary, deleteFlag);
}

std::unique_ptr<ChartComponent> ChartAxisManager::DetachScale(int deleteFlag) {
    return Detach(roleScale, deleteFlag);
}

std::unique_ptr<ChartComponent> ChartAxisManager::DetachDisplay(int deleteFlag) {
    return Detach(roleDisplay, deleteFlag);
}

std::unique_ptr<ChartComponent> ChartAxisManager::DetachTitle(int deleteFlag) {
    return Detach(roleTitle, deleteFlag);
}

void ChartAxisManager::SetDataWindow(int lowIndex, int highIndex, int lowGroup, int highGroup) {
    for (auto& child : GetChildList())
        child->SetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
}

void ChartAxisManager::SetScaleSide(int side) {
    ChartDecimalScale* scale = GetScale();
    if (!scale) return;
    scale->SetLabelSide(side);
    if (ChartTickMarks* ticks = GetTickMarks()) ticks->SetSide(side);
}

void ChartAxisManager::SetScaleMinimum(double minimum) {
    if (ChartDecimalScale* scale = GetScale()) scale->SetMinimum(minimum);
}

void ChartAxisManager::SetScaleMaximum(double maximum) {
    if (ChartDecimalScale* scale = GetScale()) scale->SetMaximum(maximum);
}

void ChartAxisManager::Layout() {
    ChartDecimalScale* scale = GetScale();
    ChartTickMarks* ticks = GetTickMarks();
    ChartGridLines* grid = GetGridLines();
    if (ticks)
        ticks->SetMargins(TruncToInt(GetSpacingPixels()), ticks->GetVerticalMargin(),
                          ticks->GetHorizontalMargin());
    if (!scale) return;
    scale->SetDrawFlag(GetDrawFlag());
    scale->SetAxisStart(m_start.x, m_start.y);
    scale->SetAxisEnd(m_end.x, m_end.y);
    scale->BeginDraw(GetDrawingDC(), GetDrawingWindow());
    scale->BuildLabels();
    // The margin and the recording set here take effect from the next build, which is the one
    // before painting.
    if (ticks) {
        scale->SetMargins(scale->GetSpacing(), scale->GetVerticalMargin(), ticks->GetMajorLength());
        scale->SetRecordAnchors(1);
        ticks->SetTickPoints(&scale->GetAnchorList());
    }
    if (grid) grid->SetTickPoints(&scale->GetAnchorList());
}

int ChartAxisManager::Thickness(bool across) {
    double thickness = 0;
    if (ChartDecimalScale* scale = GetScale()) {
        const RECT bounds = scale->GetBounds();
        thickness += across ? bounds.right - bounds.left : bounds.bottom - bounds.top;
    }
    if (ChartTickMarks* ticks = GetTickMarks()) thickness += ticks->GetMajorLength();
    if (ChartLabel* title = GetTitle()) {
        // Measured in the context the chart draws into; outside a draw the context the manager
        // drew with last may be gone, and the outline of the last draw stands.
        if (HDC dc = GetChart() ? GetChart()->GetDrawingDC() : nullptr) {
            title->BeginDraw(dc, GetDrawingWindow());
            if (!title->GetFont()) title->BuildFont();
            title->ComputeOutline();
            title->EndDraw();
        }
        const auto& outline = title->GetOutline();
        const std::size_t count = std::min<std::size_t>(5, outline.size());
        if (count) {
            auto coordinate = [across](const POINT& p) { return across ? p.x : p.y; };
            auto [low, high] = std::minmax_element(
                outline.begin(), outline.begin() + static_cast<std::ptrdiff_t>(count),
                [&](const POINT& a, const POINT& b) { return coordinate(a) < coordinate(b); });
            thickness += coordinate(*high) - coordinate(*low);
        }
    }
    return TruncToInt(thickness);
}

int ChartAxisManager::GetThicknessX() {
    return Thickness(true);
}

int ChartAxisManager::GetThicknessY() {
    return Thickness(false);
}

void ChartAxisManager::Store(ObjectWriter& archive) const {
    archive.WriteObjectList(GetChildren());
    for (int flag : m_roles)
        archive.WriteInt32(flag);
    for (int value : {m_end.x, m_end.y, m_start.x, m_start.y})
        archive.WriteInt32(value);
}

void ChartAxisManager::Load(ObjectReader& archive, u32) {
    auto children = archive.ReadObjectList<ChartComponent>();
    std::array<int, roleCount> roles{};
    for (int& flag : roles)
        flag = archive.ReadInt32() ? 1 : 0;
    std::array<int, 4> points{};
    for (int& value : points)
        value = archive.ReadInt32();
    for (int role = 0; role < roleCount; ++role)
        if (roles[static_cast<std::size_t>(role)] && static_cast<std::size_t>(role) < children.size() &&
            !children[static_cast<std::size_t>(role)]->IsKindOf(RoleClass(static_cast<Role>(role))))
            throw ArchiveException(ArchiveException::Cause::BadFormat, "axis role of the wrong class");

    Children& list = GetChildList();
    list.clear();
    for (auto& child : children) {
        child->SetParent(GetChart());
        list.push_back(std::move(child));
    }
    std::copy(roles.begin(), roles.end(), m_roles);
    m_end = {points[0], points[1]};
    m_start = {points[2], points[3]};
}

} // namespace vq
