#pragma once

#include "chart/ChartCompoundComponent.h"

#include <memory>
#include <vector>

namespace vq {

class ChartAxisManager;
class ChartDecimalScale;
class ChartDisplayBase;
class ChartGridLines;
class ChartTickMarks;

// Data displays laid out around one plot area with four axis managers (bottom, top, left, right):
// each draw measures the axes, shrinks the rectangle to the plot area that remains, hands every
// display's ranges to its axes (and to the secondary axes opposite, through their factors) and
// tells the displays and grids where the plot is. A layout pass runs before each paint pass.
class ChartCompoundDisplay : public ChartCompoundComponent {
    VQ_DECLARE_RUNTIME_CLASS(ChartCompoundDisplay)

public:
    // The managers' places in the child list.
    enum Side : int { sideBottom, sideTop, sideLeft, sideRight };
    // Extra-word bit: vertical axes carry the X range and horizontal ones the value range.
    static constexpr u32 kSwapAxes = 0x20000000;

    ChartCompoundDisplay();

    void LayoutStep() override { Layout(); }
    void BeforePaintStep() override { BeforePaint(); }
    void AfterLayoutStep() override { FitPlotRect(); }

    // With the pixel flag the rectangle is used as given and never shrunk.
    virtual void SetLayoutRect(int left, int top, int right, int bottom, int pixels);
    // The range of a secondary axis whose factor is 0 passes through these; unchanged here.
    virtual double MapSecondaryValue(double value) { return value; }
    virtual double MapSecondaryX(double value) { return value; }
    virtual void ShowSecondaryX(int on) { m_secondaryXShown = on; }
    virtual void ShowSecondaryValue(int on) { m_secondaryValueShown = on; }
    virtual void SetSecondaryXOnTop(int on) { m_secondaryXOnTop = on; }
    virtual void SetSecondaryValueOnRight(int on) { m_secondaryValueOnRight = on; }
    virtual void SetSecondaryXFactor(double factor) { m_secondaryXFactor = factor; }
    virtual void SetSecondaryValueFactor(double factor) { m_secondaryValueFactor = factor; }
    virtual int GetShowSecondaryX() const { return m_secondaryXShown; }
    virtual int GetShowSecondaryValue() const { return m_secondaryValueShown; }
    virtual int GetSecondaryXOnTop() const { return m_secondaryXOnTop; }
    virtual int GetSecondaryValueOnRight() const { return m_secondaryValueOnRight; }
    virtual double GetSecondaryXFactor() const { return m_secondaryXFactor; }
    virtual double GetSecondaryValueFactor() const { return m_secondaryValueFactor; }
    // The manager's scale records its anchors in the list and its tick marks draw at them; the
    // list stays the caller's.
    virtual void AssignPositionList(ChartAxisManager* manager, std::vector<POINT>& list);
    virtual void AssignBottomPositionList(std::vector<POINT>& list);
    virtual void AssignTopPositionList(std::vector<POINT>& list);
    virtual void AssignLeftPositionList(std::vector<POINT>& list);
    virtual void AssignRightPositionList(std::vector<POINT>& list);
    // Null when the child list holds no manager there.
    virtual ChartAxisManager* GetBottomAxis() const { return GetAxis(sideBottom); }
    virtual ChartAxisManager* GetTopAxis() const { return GetAxis(sideTop); }
    virtual ChartAxisManager* GetLeftAxis() const { return GetAxis(sideLeft); }
    virtual ChartAxisManager* GetRightAxis() const { return GetAxis(sideRight); }
    virtual void SetBottomScale(std::unique_ptr<ChartDecimalScale> scale);
    virtual void SetTopScale(std::unique_ptr<ChartDecimalScale> scale);
    virtual void SetLeftScale(std::unique_ptr<ChartDecimalScale> scale);
    virtual void SetRightScale(std::unique_ptr<ChartDecimalScale> scale);
    virtual void SetLeftGridLines(std::unique_ptr<ChartGridLines> grid);
    virtual void SetRightGridLines(std::unique_ptr<ChartGridLines> grid);
    virtual void SetBottomGridLines(std::unique_ptr<ChartGridLines> grid);
    virtual void SetTopGridLines(std::unique_ptr<ChartGridLines> grid);
    virtual void SetBottomTickMarks(std::unique_ptr<ChartTickMarks> ticks);
    virtual void SetTopTickMarks(std::unique_ptr<ChartTickMarks> ticks);
    virtual void SetLeftTickMarks(std::unique_ptr<ChartTickMarks> ticks);
    virtual void SetRightTickMarks(std::unique_ptr<ChartTickMarks> ticks);
    virtual void SetBottomDisplay(std::unique_ptr<ChartDisplayBase> display);
    virtual void SetTopDisplay(std::unique_ptr<ChartDisplayBase> display);
    virtual void SetLeftDisplay(std::unique_ptr<ChartDisplayBase> display);
    virtual void SetRightDisplay(std::unique_ptr<ChartDisplayBase> display);
    virtual void SetBottomAuxiliary(std::unique_ptr<ChartComponent> auxiliary);
    virtual void SetTopAuxiliary(std::unique_ptr<ChartComponent> auxiliary);
    virtual void SetLeftAuxiliary(std::unique_ptr<ChartComponent> auxiliary);
    virtual void SetRightAuxiliary(std::unique_ptr<ChartComponent> auxiliary);
    virtual void SetCornerFlag(int flag) { m_cornerFlag = flag; }
    virtual int GetCornerFlag() const { return m_cornerFlag; }

    // The ready-made column layout: a display of the chart type (bits 16-23 of the first word)
    // and display kind (bits 24-31 of the second) with a decimal scale on the left, an index
    // scale along the bottom, each with tick marks and grid lines.
    void AddStandardAxes(u32 chartTypeWord, u32 kindWord);

    // Axis lines on the rectangle's edges, titles, ranges, then the plot area for every display.
    void Layout();
    // Shrinks the rectangle by the axes' thickness; only in the layout pass of a rectangle that
    // was not given in pixels.
    void FitPlotRect();
    // Lays out again on the fitted rectangle and hands it to the auxiliary components.
    void BeforePaint();
    ChartAxisManager* GetAxis(Side side) const;

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    // Reads the managers and every field before any of them replaces what the display holds: a
    // stream that fails leaves the display with its own managers.
    void Load(ObjectReader& archive, u32 schema) override;

private:
    void PlaceAxisLines(const RECT& r);
    void PlaceTitles(const RECT& r);
    void RangeDisplay(Side side);
    void GiveRange(ChartAxisManager& axis, const CScale& range, const ChartDisplayBase& display,
                   bool auxiliary);
    void GivePlotArea(Side side, const RECT& r);
    // The secondary axis opposite a primary one when it is shown and allowed there; else null.
    ChartAxisManager* SecondaryOf(Side primary) const;
    Side CompanionOf(Side side) const;
    CScale MapSecondary(const CScale& range, bool vertical);

    int m_secondaryValueOnRight = 1;
    int m_secondaryXOnTop = 1;
    int m_cornerFlag = 1;
    std::vector<POINT> m_positionLists[4];
    int m_secondaryXShown = 0;
    int m_secondaryValueShown = 0;
    double m_secondaryXFactor = 0;
    double m_secondaryValueFactor = 0;
};

} // namespace vq
