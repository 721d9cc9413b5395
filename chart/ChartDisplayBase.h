#pragma once

#include "chart/ChartDecimalScale.h"
#include "chart/ChartTitle.h"

#include <memory>
#include <string>
#include <vector>

namespace vq {

// The base of the chart's data displays: which window of the data is shown, the value and X
// ranges under the limits, rounded for the axes, the plot rectangle, and the drawing sequence
// that routes the axes, plot-area and data steps by chart type and display kind.
class ChartDisplayBase : public ChartTitle {
    VQ_DECLARE_RUNTIME_CLASS(ChartDisplayBase)

public:
    // Flags-word bits.
    static constexpr u32 kLimitsBound = 0x4;
    static constexpr u32 kValueLabelStyle = 0x10;
    static constexpr u32 kIndexLabelStyle = 0x20;
    static constexpr u32 kGivenPlot = 0x80;
    static constexpr u32 kDataFirst = 0x100;
    static constexpr u32 kNoZero = 0x2000;
    static constexpr u32 kEmptyPicture = 0x2000000;
    static constexpr u32 kFixedRange = 0x4000000;
    static constexpr u32 kLogValues = 0x8000000;
    // Extra-word bits.
    static constexpr u32 kLogX = 0x80000000;
    static constexpr u32 kNotOption4 = 0x40000000;

    ~ChartDisplayBase() override;

    void DrawForeground() override;
    // Minus a twenty-fifth of the plot's height.
    int GetAutoFontSize() override;
    // After the title group: display kind, chart type, option number and the log flag; chart
    // error 12 with fewer than four numbers.
    int ReadTemplate(std::string_view text) override;
    std::string WriteTemplateKeyword() const override { return "data "; }
    // The title's group, then kind, chart type, option number and the log flag.
    std::string WriteTemplateOwn() const override;

    virtual void SetValueExtentsFromData(int on) { m_valueExtentsFromData = on; }
    virtual int GetValueExtentsFromData() const { return m_valueExtentsFromData; }
    virtual void SetXExtentsFromData(int on) { m_xExtentsFromData = on; }
    virtual int GetXExtentsFromData() const { return m_xExtentsFromData; }
    // The data window and the ranges for the next draw, once.
    virtual void Prepare();
    virtual void SetXAxisScale(std::unique_ptr<ChartDecimalScale> scale) { m_xScale = std::move(scale); }
    virtual ChartDecimalScale* GetXAxisScale() const { return m_xScale.get(); }
    virtual void SetValueAxisScale(std::unique_ptr<ChartDecimalScale> scale) {
        m_valueScale = std::move(scale);
    }
    virtual ChartDecimalScale* GetValueAxisScale() const { return m_valueScale.get(); }
    virtual void SetLabelBlock(std::unique_ptr<ChartLabelBlock> block) { m_labelBlock = std::move(block); }
    virtual ChartLabelBlock* GetLabelBlock() const { return m_labelBlock.get(); }
    virtual double GetValueSpan() const { return m_valueSpan; }
    virtual double GetXSpan() const { return m_xSpan; }
    // Drops the scales, the label block and the position records.
    virtual void Rebuild();
    virtual void SetXExtents(CScale extents) { m_xExtents = extents; }
    virtual void SetValueExtents(CScale extents) { m_valueExtents = extents; }
    virtual CScale GetXExtents() const { return m_xExtents; }
    virtual CScale GetValueExtents() const { return m_valueExtents; }
    virtual void ResetXExtents() { m_xExtents.Clear(); }
    virtual void ResetValueExtents() { m_valueExtents.Clear(); }
    virtual RECT GetPlotRect() const { return m_plot; }
    virtual double GetLowerValueLimit() const { return m_lowerValue; }
    virtual double GetUpperValueLimit() const { return m_upperValue; }
    virtual void SetLowerValueLimit(double limit) { m_lowerValue = limit; }
    virtual void SetUpperValueLimit(double limit) { m_upperValue = limit; }
    virtual double GetLowerXLimit() const { return m_lowerX; }
    virtual double GetUpperXLimit() const { return m_upperX; }
    virtual void SetLowerXLimit(double limit) { m_lowerX = limit; }
    virtual void SetUpperXLimit(double limit) { m_upperX = limit; }
    // Stores the rectangle; the flag says it is given in pixels and kept as it is.
    virtual void SetPlotRect(int left, int top, int right, int bottom, int pixels);
    virtual void SetLastValueExtents(CScale extents) { m_lastValueExtents = extents; }
    virtual CScale GetLastValueExtents() const { return m_lastValueExtents; }
    virtual void SetLastXExtents(CScale extents) { m_lastXExtents = extents; }
    virtual CScale GetLastXExtents() const { return m_lastXExtents; }
    virtual void DrawDataStep();
    virtual void DrawPlotAreaStep();
    virtual void DrawAxesStep();
    virtual void DrawEmptyPicture();
    virtual std::vector<POINT>& GetSecondPositionList() { return m_second; }
    virtual std::vector<POINT>& GetFirstPositionList() { return m_first; }
    virtual std::vector<POINT>& GetThirdPositionList() { return m_third; }
    virtual void FreePositionList(std::vector<POINT>& list) { list.clear(); }
    virtual double GetValueMargin() const;
    virtual double GetXMargin() const;
    // Texts "%g" of 0, step, 2 x step ... up to the value span; chart error 18 outside a draw.
    virtual void BuildValueLabels(double step, std::vector<std::string>& labels) const;
    // A tenth of the largest power of ten not above the value span (one decade less up to 1).
    virtual double GetValueTickStep() const { return TickStepFor(m_valueSpan); }
    // 0 for a span that is not finite or not above 0.
    static double TickStepFor(double span);
    virtual void CalcRanges();
    virtual void DefaultStep() {}
    virtual void DefaultPlotArea() {}
    virtual void DefaultAxes() {}
    virtual void DefaultData() {}
    // The range step of the chart type; none here.
    virtual void CalcRange() {}
    // The operations that serve each display kind and chart type; none here.
    virtual void DrawIndexValueAxes() { DefaultAxes(); }
    virtual void DrawValueIndexAxes() { DefaultAxes(); }
    virtual void DrawGroupValueAxes() { DefaultAxes(); }
    virtual void DrawValueGroupAxes() { DefaultAxes(); }
    virtual void DrawGanttAxes() { DefaultAxes(); }
    virtual void DrawPieLabels() { DefaultAxes(); }
    virtual void DrawPerspectiveAxes() { DefaultAxes(); }
    virtual void DrawRadarAxes() { DefaultAxes(); }
    virtual void DrawPolarAxes() { DefaultAxes(); }
    virtual void DrawXYAxes() { DefaultAxes(); }
    virtual void DrawRectPlotArea() { DefaultPlotArea(); }
    virtual void DrawHorizontalPlotArea() { DrawRectPlotArea(); }
    virtual void DrawBoxPlotArea() { DefaultPlotArea(); }
    virtual void DrawPerspectivePlotArea() { DefaultPlotArea(); }
    virtual void DrawRadarPlotArea() { DefaultPlotArea(); }
    virtual void DrawPolarPlotArea() { DefaultPlotArea(); }
    virtual void DrawXYPlotArea() { DefaultPlotArea(); }

    // Rounding of a range for the axes. A linear range of size 0 is widened first (0 to 0
    // becomes 0 to 1); ranges that are not finite are left as they are.
    static void RoundLinear(CScale& range, double margin);
    static void RoundLog(CScale& range, bool decades);
    static void RoundDate(CScale& range, double margin);
    // The span of a range as the renderers divide by it: never 0 and always finite.
    static double UsableSpan(double span);

    int GetChartType() const { return static_cast<int>((GetStyle().styleWord >> 16) & 0xFF); }
    int GetDisplayKind() const { return static_cast<int>(GetStyle().styleWord >> 24); }
    // Sets the chart type and display kind and marks the style changed.
    void SetTypeAndKind(int chartType, int kind);
    void SetStyleDirty(int dirty) { m_styleDirty = dirty; }
    int IsStyleDirty() const { return m_styleDirty; }
    int IsPrepared() const { return m_prepared; }
    CScale& GetValueRange() { return m_valueRange; }
    CScale& GetXRange() { return m_xRange; }
    int GetFirstGroup() const { return m_firstGroup; }
    int GetLastGroup() const { return m_lastGroup; }
    int GetGroupCount() const { return m_groupCount; }
    int GetFirstIndex() const { return m_firstIndex; }
    int GetLastIndex() const { return m_lastIndex; }
    int GetIndexCount() const { return m_indexCount; }
    bool IsValueAxisDate() const;
    bool IsXAxisDate() const;
    bool IsValueAxisLog() const;
    bool IsXAxisLog() const;

    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

protected:
    ChartDisplayBase();

    RECT m_plot{};

private:
    void RecordExtents();
    void Route(int kind, bool axes);

    CScale m_valueExtents;
    CScale m_xExtents;
    double m_lowerValue = 0;
    double m_upperValue = 0;
    double m_valueSpan = 1;
    double m_lowerX = 0;
    double m_upperX = 0;
    double m_xSpan = 1;
    std::unique_ptr<ChartDecimalScale> m_xScale;
    std::unique_ptr<ChartDecimalScale> m_valueScale;
    std::unique_ptr<ChartLabelBlock> m_labelBlock;
    std::vector<POINT> m_first;
    std::vector<POINT> m_second;
    std::vector<POINT> m_third;
    int m_prepared = 0;
    int m_valueExtentsFromData = 0;
    int m_xExtentsFromData = 0;
    CScale m_lastValueExtents;
    CScale m_lastXExtents;
    CScale m_valueRange;
    CScale m_xRange;
    int m_firstGroup = 0;
    int m_lastGroup = -1;
    int m_groupCount = 0;
    int m_firstIndex = 0;
    int m_lastIndex = -1;
    int m_indexCount = 0;
    int m_styleDirty = 1;
};

} // namespace vq
