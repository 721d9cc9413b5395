#pragma once

#include "chart/ChartCompoundComponent.h"

#include <memory>

namespace vq {

class ChartDecimalScale;
class ChartDisplayBase;
class ChartGridLines;
class ChartLabel;
class ChartTickMarks;

// One side of a compound display: six children in fixed roles (scale, tick marks, grid lines,
// auxiliary component, data display, axis title), the two ends of the axis line in pixels, the
// layout of the scale along that line and the thickness the axis takes from the plot area.
// An empty role holds a placeholder that draws nothing, so the child list keeps its positions.
class ChartAxisManager : public ChartCompoundComponent {
    VQ_DECLARE_RUNTIME_CLASS(ChartAxisManager)

public:
    enum Role : int {
        roleScale,
        roleTickMarks,
        roleGridLines,
        roleAuxiliary,
        roleDisplay,
        roleTitle,
        roleCount
    };

    ChartAxisManager();

    // Reaches every child; the manager's own window stays as it was.
    void SetDataWindow(int lowIndex, int highIndex, int lowGroup, int highGroup) override;
    void LayoutStep() override { Layout(); }
    void BeforePaintStep() override { Layout(); }

    // Each detach empties the role and answers the component, now the caller's; with the delete
    // flag, or for an empty role, it answers null.
    virtual std::unique_ptr<ChartComponent> DetachTickMarks(int deleteFlag);
    virtual std::unique_ptr<ChartComponent> DetachGridLines(int deleteFlag);
    virtual std::unique_ptr<ChartComponent> DetachAuxiliary(int deleteFlag);
    virtual std::unique_ptr<ChartComponent> DetachScale(int deleteFlag);
    virtual std::unique_ptr<ChartComponent> DetachDisplay(int deleteFlag);
    virtual std::unique_ptr<ChartComponent> DetachTitle(int deleteFlag);
    virtual ChartGridLines* GetGridLines() const;
    virtual void SetGridLines(std::unique_ptr<ChartGridLines> grid);
    virtual void SetValue(int value) { m_value = value; }
    virtual int GetValue() const { return m_value; }
    virtual void SetScaleSide(int side);
    virtual void SetScaleMinimum(double minimum);
    virtual void SetScaleMaximum(double maximum);
    virtual ChartComponent* GetAuxiliary() const;
    virtual ChartTickMarks* GetTickMarks() const;
    virtual ChartDecimalScale* GetScale() const;
    virtual ChartDisplayBase* GetDisplay() const;
    virtual ChartLabel* GetTitle() const;
    // Across a vertical axis: the labels' width, the tick length and the title's width.
    virtual int GetThicknessX();
    // Across a horizontal axis: the same in heights.
    virtual int GetThicknessY();
    // The display stops drawing axes, tick marks and grid lines of its own.
    virtual void SetDisplay(std::unique_ptr<ChartDisplayBase> display);
    virtual void SetStartPoint(int x, int y) { m_start = {x, y}; }
    virtual void SetEndPoint(int x, int y) { m_end = {x, y}; }
    virtual POINT GetStartPoint() const { return m_start; }
    virtual POINT GetEndPoint() const { return m_end; }
    virtual void SetTickMarks(std::unique_ptr<ChartTickMarks> ticks);
    virtual void SetScale(std::unique_ptr<ChartDecimalScale> scale);
    virtual void SetAuxiliary(std::unique_ptr<ChartComponent> auxiliary);
    virtual void SetTitle(std::unique_ptr<ChartLabel> title);

    // Builds the scale's labels along the axis line and hands its anchors to the tick marks and
    // grid lines.
    void Layout();
    int HasRole(Role role) const { return m_roles[role]; }

    u32 GetSchema() const override { return 0x80000001; }
    // Only the children, the role flags and the two points; the component part is not stored.
    void Store(ObjectWriter& archive) const override;
    // Reads everything before any of it replaces the current children.
    void Load(ObjectReader& archive, u32 schema) override;

private:
    ChartComponent* ChildAt(int role) const;
    ChartComponent* RoleChild(Role role) const;
    void Fill(Role role, std::unique_ptr<ChartComponent> component);
    std::unique_ptr<ChartComponent> Detach(Role role, int deleteFlag);
    // Tick marks and grid lines hold the scale's anchor list: they let go of it when the scale
    // or they themselves leave.
    void ReleaseAnchors(ChartComponent& leaving, Role role);
    int Thickness(bool across);

    int m_value = 0;
    int m_roles[roleCount] = {};
    POINT m_end{};
    POINT m_start{};
};

} // namespace vq
