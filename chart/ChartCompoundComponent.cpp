#include "chart/ChartCompoundComponent.h"

#include "chart/Chart.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(ChartCompoundComponent, ChartComponent)

void ChartCompoundComponent::SetParent(Chart* chart) {
    ChartComponent::SetParent(chart);
    for (auto& child : m_children)
        child->SetParent(chart);
}

void ChartCompoundComponent::AddComponent(std::unique_ptr<ChartComponent> component) {
    component->SetParent(GetChart());
    m_children.push_back(std::move(component));
}

void ChartCompoundComponent::InvalidateChildren() {
    for (auto& child : m_children)
        child->SetInvalid(1);
}

ChartComponent* ChartCompoundComponent::FindComponent(int ordinal, int typeCode, int& count) {
    for (auto& child : m_children) {
        if (child->GetTypeCode() == typeCode) {
            if (count == ordinal) return child.get();
            if (++count > ordinal) return nullptr;
        }
        if (child->IsCompound())
            if (ChartComponent* found =
                    static_cast<ChartCompoundComponent&>(*child).FindComponent(ordinal, typeCode, count))
                return found;
    }
    return nullptr;
}

void ChartCompoundComponent::ComputeDeviceRect() {
    if (GetStyle().flagsWord & kFixedDeviceRect) return;
    m_deviceRect = GetInteriorRect(GetDeviceRect());
}

void ChartCompoundComponent::Draw(HDC dc, HWND window) {
    SetDrawing(dc, window, 1);
    Chart* chart = GetChart();
    chart->SaveClip();
    struct Restore {
        ChartCompoundComponent& c;
        ~Restore() {
            c.EndDraw();
            c.GetChart()->RestoreClip();
        }
    } restore{*this};
    SelectClipRgn(dc, nullptr);
    if (GetDrawFlag() && m_ownBackground) {
        if (m_backgroundHook) BackgroundHook();
        DrawBackground();
        DrawShadow();
        DrawBorder();
    }
    ComputeDeviceRect();
    if (m_twoPass) SetDrawFlag(0);
    if (!GetDrawFlag()) {
        LayoutStep();
        DrawForeground();
        AfterLayoutStep();
    }
    if (m_twoPass) SetDrawFlag(1);
    if (GetDrawFlag()) {
        BeforePaintStep();
        DrawForeground();
        AfterPaintStep();
    }
    if (m_overlaySwitch) DrawOverlays();
    SetInvalid(0);
}

void ChartCompoundComponent::DrawChild(ChartComponent& child) {
    child.SetDrawFlag(GetDrawFlag());
    child.Draw(GetDrawingDC(), GetDrawingWindow());
}

void ChartCompoundComponent::DrawForeground() {
    ComputeDeviceRect();
    const bool paint = GetDrawFlag() != 0;
    if (m_contentHook && !m_hookAfterChildren && paint) ContentHook();
    for (auto& child : m_children) {
        const bool overlay = (child->GetStyle().flagsWord & kOverlayChild) != 0;
        if (paint && overlay && !m_overlaySwitch) continue;
        DrawChild(*child);
    }
    if (m_contentHook && m_hookAfterChildren && paint) ContentHook();
}

void ChartCompoundComponent::DrawOverlays() {
    for (auto& child : m_children) {
        if (child->IsCompound()) static_cast<ChartCompoundComponent&>(*child).DrawOverlays();
        u32& flags = child->GetStyle().flagsWord;
        if (!(flags & kOverlayChild)) continue;
        flags &= ~kOverlayChild;
        DrawChild(*child);
        flags |= kOverlayChild;
    }
}

void ChartCompoundComponent::Store(ObjectWriter& archive) const {
    ChartComponent::Store(archive);
    archive.WriteObjectList(m_children);
    for (int value :
         {m_overlaySwitch, m_twoPass, m_contentHook, m_hookAfterChildren, m_backgroundHook, m_ownBackground,
          m_deviceRect.left, m_deviceRect.top, m_deviceRect.right, m_deviceRect.bottom})
        archive.WriteInt32(value);
}

ChartCompoundComponent::Content ChartCompoundComponent::ReadContent(ObjectReader& archive) {
    Content content;
    content.children = archive.ReadObjectList<ChartComponent>();
    for (int& value : content.values)
        value = archive.ReadInt32();
    return content;
}

void ChartCompoundComponent::TakeContent(Content content) {
    m_children.clear();
    for (auto& child : content.children) {
        child->SetParent(GetChart());
        m_children.push_back(std::move(child));
    }
    const auto& v = content.values;
    m_overlaySwitch = v[0], m_twoPass = v[1], m_contentHook = v[2], m_hookAfterChildren = v[3];
    m_backgroundHook = v[4], m_ownBackground = v[5];
    m_deviceRect = {v[6], v[7], v[8], v[9]};
}

void ChartCompoundComponent::Load(ObjectReader& archive, u32 schema) {
    ChartComponent::Load(archive, schema);
    TakeContent(ReadContent(archive));
}

} // namespace vq
