#pragma once

#include "chart/ChartComponent.h"

#include <array>
#include <list>
#include <memory>
#include <vector>

namespace vq {

// A component that owns and draws child components, optionally in two passes: a layout pass that
// paints nothing, then a paint pass. Without two-pass it runs the pass its draw flag selects.
class ChartCompoundComponent : public ChartComponent {
    VQ_DECLARE_RUNTIME_CLASS(ChartCompoundComponent)

public:
    using Children = std::list<std::unique_ptr<ChartComponent>>;
    // Flags-word bit of a child drawn on top of the others.
    static constexpr u32 kOverlayChild = 0x1;

    ChartCompoundComponent() : ChartComponent(chartCompoundComponentType) {}

    void SetParent(Chart* chart) override;
    void Draw(HDC dc, HWND window) override;
    void DrawForeground() override;
    int IsCompound() const override { return 1; }

    virtual void InvalidateChildren();
    virtual void SetOverlaySwitch(int on) { m_overlaySwitch = on; }
    virtual int GetOverlaySwitch() const { return m_overlaySwitch; }
    // Counts on from count; a match inside a compound child is found in its turn.
    virtual ChartComponent* FindComponent(int ordinal, int typeCode, int& count);
    virtual Children& GetChildList() { return m_children; }
    const Children& GetChildren() const { return m_children; }
    virtual void AddComponent(std::unique_ptr<ChartComponent> component);
    virtual int GetContentHookFlag() const { return m_contentHook; }
    virtual int GetHookAfterChildren() const { return m_hookAfterChildren; }
    virtual void SetContentHookFlag(int on) { m_contentHook = on; }
    virtual void SetHookAfterChildren(int on) { m_hookAfterChildren = on; }
    virtual void SetOwnBackground(int on) { m_ownBackground = on; }
    virtual int GetOwnBackground() const { return m_ownBackground; }
    virtual int GetBackgroundHookFlag() const { return m_backgroundHook; }
    virtual void SetTwoPass(int on) { m_twoPass = on; }
    virtual int GetTwoPass() const { return m_twoPass; }
    virtual void DrawOverlays();
    virtual void LayoutStep() {}
    virtual void BeforePaintStep() {}
    virtual void AfterLayoutStep() {}
    virtual void AfterPaintStep() {}
    virtual void BackgroundHook() {}
    virtual void ContentHook() {}

    const RECT& GetCompoundDeviceRect() const { return m_deviceRect; }

    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

protected:
    explicit ChartCompoundComponent(int typeCode) : ChartComponent(typeCode) {}
    // The compound's part of an archive after the component part, read whole before any of it
    // replaces what the compound holds.
    struct Content {
        std::vector<std::unique_ptr<ChartComponent>> children;
        std::array<int, 10> values{};
    };
    Content ReadContent(ObjectReader& archive);
    void TakeContent(Content content);
    void SetCompoundDeviceRect(const RECT& rect) { m_deviceRect = rect; }

private:
    void ComputeDeviceRect();
    void DrawChild(ChartComponent& child);

    Children m_children;
    int m_overlaySwitch = 0;
    int m_twoPass = 0;
    int m_contentHook = 0;
    int m_hookAfterChildren = 0;
    int m_backgroundHook = 0;
    int m_ownBackground = 0;
    RECT m_deviceRect{};
};

} // namespace vq
