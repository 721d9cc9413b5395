#pragma once

#include "chart/ChartComponent.h"

#include <optional>
#include <vector>

namespace vq {

// Lines across the plot area through every tick point of an axis, with evenly spaced minor lines
// between neighbours; depth kinds step diagonally into the depth and run along the back wall.
class ChartGridLines : public ChartComponent {
    VQ_DECLARE_RUNTIME_CLASS(ChartGridLines)

public:
    static constexpr int kUserStyle = 7;

    ChartGridLines();

    CScale GetComponentRange() const override;
    void DrawBackground() override {}
    void DrawBorder() override {}
    void DrawShadow() override {}
    void DrawForeground() override;

    virtual void SetMajorDashCount(int count) { m_majorDashCount = count; }
    virtual void SetMinorDashCount(int count) { m_minorDashCount = count; }
    virtual int GetMajorDashCount() const { return m_majorDashCount; }
    virtual int GetMinorDashCount() const { return m_minorDashCount; }
    virtual void SetMinorCount(int count) { m_minorCount = count; }
    virtual int GetMinorCount() const { return m_minorCount; }
    virtual void SetMinorPenOverride(std::optional<LOGPEN> pen) { m_minorOverride = pen; }
    virtual void SetMajorPenOverride(std::optional<LOGPEN> pen) { m_majorOverride = pen; }
    // The runs are copied; at most the dash count of them reach the pen.
    virtual void SetMajorDashes(std::vector<DWORD> runs) { m_majorDashes = std::move(runs); }
    virtual void SetMinorDashes(std::vector<DWORD> runs) { m_minorDashes = std::move(runs); }
    virtual std::optional<LOGPEN> GetMinorPenOverride() const { return m_minorOverride; }
    virtual std::optional<LOGPEN> GetMajorPenOverride() const { return m_majorOverride; }
    virtual const std::vector<DWORD>& GetMajorDashes() const { return m_majorDashes; }
    virtual const std::vector<DWORD>& GetMinorDashes() const { return m_minorDashes; }
    virtual void SetPlotRect(int left, int top, int right, int bottom) {
        m_plot = {left, top, right, bottom};
    }
    virtual RECT GetPlotRect() const { return m_plot; }
    virtual void SetVertical(int vertical) { m_vertical = vertical; }
    virtual int GetVertical() const { return m_vertical; }
    // The points stay the caller's.
    virtual void SetTickPoints(const std::vector<POINT>* points) { m_points = points; }
    virtual void SetMajorColor(COLORREF colour) { m_majorColour = colour; }
    virtual void SetMinorColor(COLORREF colour) { m_minorColour = colour; }
    virtual void SetMajorWidth(int width) { m_majorWidth = width; }
    virtual void SetMinorWidth(int width) { m_minorWidth = width; }
    virtual void SetMajorStyle(int style) { m_majorStyle = style; }
    virtual void SetMinorStyle(int style) { m_minorStyle = style; }
    virtual COLORREF GetMajorColor() const { return m_majorColour; }
    virtual COLORREF GetMinorColor() const { return m_minorColour; }
    virtual int GetMajorWidth() const { return m_majorWidth; }
    virtual int GetMinorWidth() const { return m_minorWidth; }
    virtual int GetMajorStyle() const { return m_majorStyle; }
    virtual int GetMinorStyle() const { return m_minorStyle; }
    virtual void DrawOtherHorizontal(int, int) {}
    virtual void DrawOtherVertical(int, int) {}
    virtual void DrawHorizontalLine(int x, int y, HPEN pen);
    virtual void DrawVerticalLine(int x, int y, HPEN pen);

    // The display kind the lines follow, a chart type's kind put in place of kind 1.
    int ResolveKind();

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

private:
    HPEN MakePen(const std::optional<LOGPEN>& override, int style, int width, COLORREF colour,
                 const std::vector<DWORD>& dashes, int dashCount) const;
    int Depth() const;

    int m_minorCount = 0;
    int m_majorStyle = PS_SOLID;
    int m_minorStyle = PS_SOLID;
    int m_majorWidth = 1;
    int m_minorWidth = 1;
    const std::vector<POINT>* m_points = nullptr;
    COLORREF m_majorColour = 0x808000;
    COLORREF m_minorColour = 0x808000;
    int m_vertical = 0;
    RECT m_plot{};
    std::optional<LOGPEN> m_minorOverride;
    std::optional<LOGPEN> m_majorOverride;
    std::vector<DWORD> m_majorDashes;
    std::vector<DWORD> m_minorDashes;
    int m_majorDashCount = 0;
    int m_minorDashCount = 0;
};

} // namespace vq
