#pragma once

#include "chart/ChartDisplayBase.h"

#include <functional>
#include <span>

namespace vq {

class ChartDataList;

// The chart's data display: the range step of each chart type, the frames and axes of the
// rectangular charts and the renderers of the bar, column, line, area, high-low, stock and pie
// families. Types without a renderer draw no data.
class ChartDisplay : public ChartDisplayBase {
    VQ_DECLARE_RUNTIME_CLASS(ChartDisplay)

public:
    // Flags-word bits of the plot area and axes.
    static constexpr u32 kNoFirstTicks = 0x800;
    static constexpr u32 kNoSecondTicks = 0x1000;
    static constexpr u32 kNoHorizontalGrid = 0x8000;
    static constexpr u32 kNoVerticalGrid = 0x10000;
    static constexpr u32 kNoGroupAxis = 0x400000;
    static constexpr u32 kNoIndexAxis = 0x800000;
    static constexpr u32 kNoValueAxis = 0x1000000;
    static constexpr u32 kShadedFaces = 0x10000000;
    static constexpr u32 kOpaquePlot = 0x20000000;
    static constexpr u32 kExplicitSizes = 0x40000000;
    static constexpr u32 kKeepGroupOrder = 0x200;
    static constexpr u32 kNullBreaksLine = 0x40000;
    static constexpr u32 kEqualUnits = 0x200000;
    // Extra-word bits.
    static constexpr u32 kThinLines = 0x10000000;
    static constexpr u32 kScalesTakeWindow = 0x08000000;
    static constexpr u32 kOrientLabels = 0x40000000;
    static constexpr u32 kSizesWidenRanges = 0x02000000;

    ChartDisplay();

    void CalcRange() override;
    virtual void CalcStandardRange();
    virtual void CalcBoxRange() { CalcStandardRange(); }
    void DrawIndexValueAxes() override;
    void DrawValueIndexAxes() override;
    void DrawGroupValueAxes() override;
    void DrawValueGroupAxes() override;
    // Floating bars: one row per pair of groups on the left, the value axis along the bottom.
    void DrawGanttAxes() override;
    void DrawRectPlotArea() override;
    void DrawBoxPlotArea() override;
    void DrawDataStep() override;

    // Bars and columns.
    virtual void DrawBars();
    virtual void DrawColumns();
    virtual void DrawOverlapColumns();
    virtual void DrawOverlapBars();
    virtual void DrawStackedColumns();
    virtual void DrawStackedBars();
    virtual void DrawGroupStackedColumns();
    virtual void DrawGroupStackedBars();
    virtual void DrawFloatingBars();
    // A negative value turns the display into a column chart for good and ranges it as one.
    virtual void CalcStackedRange();
    virtual void CalcGroupStackedRange();
    // Lines and areas.
    virtual void DrawLines();
    virtual void DrawSteps();
    virtual void DrawAreas();
    virtual void DrawStackedAreas();
    virtual void DrawMixed();
    virtual void CalcStackedAreaRange();
    // Values with a spread: high-low bars and bands, stock charts.
    virtual void DrawHighLow();
    virtual void DrawStock();
    // Points placed by an X and a value: XY lines, bubbles and vector arrows, over two value axes.
    virtual void CalcXYRange();
    virtual void DrawXY();
    virtual void CalcBubbleRange();
    virtual void DrawBubbles();
    virtual void CalcVectorRange();
    virtual void DrawVectors();
    void DrawXYAxes() override;
    void DrawXYPlotArea() override;
    // Perspective columns, ribbons and strips: a back wall at the top of the plot and a floor
    // running down from it to the plot's bottom edge. A negative value, or ribbons over fewer
    // than two indices, turn the display into a column chart from the next draw on.
    virtual void DrawPerspectiveColumns();
    virtual void DrawPerspectiveAreas();
    void DrawPerspectivePlotArea() override;
    void DrawPerspectiveAxes() override;
    // The back wall in the plot's top left corner; answers the horizontal shift of the front.
    virtual int CalcFloorRect(RECT& floor);
    // Radar charts (one closed polygon per group over spokes at equal angles) and polar charts
    // (pairs of groups: angles in degrees, then radii).
    virtual void DrawRadar();
    virtual void DrawPolar();
    virtual void CalcPolarRange();
    void DrawRadarPlotArea() override;
    void DrawRadarAxes() override;
    void DrawPolarPlotArea() override;
    void DrawPolarAxes() override;
    // Pies; a negative value turns the display into a column chart from the next draw on.
    virtual void DrawPie();
    virtual void DrawPieChart() { DrawPie(); }
    void DrawPieLabels() override;

    // Whether item ranges widen the value range: on for good once a high-low type ranged.
    int IncludesItemRanges() const { return m_itemRanges; }

    u32 GetSchema() const override { return 0x80000001; }

private:
    enum class Category { index, group };
    // Category axis along the bottom, value axis at a side.
    void DrawCategoryValueAxes(Category category);
    // Category axis on the left, value axis along the bottom.
    void DrawValueCategoryAxes(Category category);
    ChartDecimalScale& CategoryScale(Category category);
    ChartDecimalScale& ValueScale(bool dateKind);
    void SetUpScale(ChartDecimalScale& scale, bool category, std::vector<POINT>& anchors, bool vertical);
    // Builds and draws the scale between the points; answers its bounds.
    RECT LayOut(ChartDecimalScale& scale, POINT start, POINT end, int side, int drawFlag);
    // First pass of a value axis along the bottom: the plot rises above its labels and gives way
    // to their overhang at either end.
    void MakeRoomBelow(const ChartDecimalScale& scale, const RECT& bounds);
    bool AxesHidden();
    int Depth() const;
    void DrawTicks(std::vector<POINT>& points);

    // Shared by the renderers.
    // The range minimum as the renderers subtract it: its logarithm on a logarithmic axis, -3.0
    // there for a minimum of 0 or below.
    double Base();
    double AxisValue(double value) const;
    // The group when it exists; the renderers that must not create groups read null items instead.
    ChartDataList* FindGroup(int group);
    // The item at the index, created when missing; the shared null item without a group.
    ChartData& ItemOf(ChartDataList* group, int index);
    // The item's own style when it carries one, else the fallback.
    static const ChartStyle& StyleOf(ChartData& item, const ChartStyle& fallback);
    // The items of the group the renderers visit: from the first index, within the window.
    int VisitedCount(ChartDataList& group);
    // The width of one bar: 10/11 of the space, or the explicit width scaled to the device but
    // never more than the space.
    double BarWidth(double space, double deviceRatio) const;
    // The plot moved in by the depth: scaled by the device ratios, or in pixels.
    RECT RaisedPlot(bool byDeviceRatio) const;
    void AddPoint(int x, int y, int group, int index);
    void AddPolygon(std::span<const POINT> points, int group, int index);
    // The limit rules around a range walk: the fixed case answers whether the walk is skipped.
    bool ApplyFixedLimits();
    void ApplyBoundingLimits();
    // The same rules for any axis' range and limits.
    static bool FixRange(CScale& range, double lower, double upper, u32 flags);
    static void BoundRange(CScale& range, double lower, double upper, u32 flags);
    void StackedRange(bool byGroup);
    void DrawOverlapped(const RECT& plot, bool upright, bool raised);
    using PileVisitor =
        std::function<void(int pile, int part, int group, int index, ChartData& item, const ChartStyle& style)>;
    void WalkPiles(bool byGroup, const PileVisitor& visit);
    using SideBySideVisitor = std::function<void(int index, int group, ChartData& item, const ChartStyle& style)>;
    void WalkSideBySide(const SideBySideVisitor& visit);
    void StackedColumns(bool byGroup);
    void StackedBars(bool byGroup);
    void ToColumnChart();
    void SetUpSpread(ChartStyle& spread, const ChartStyle& groupStyle, int position, bool upper);
    // The groups of the window by their mean, largest first, unless the window order is kept.
    std::vector<int> GroupsByMean();
    // The back wall placed for the display kind; answers the shift of the floor's front edge.
    int PlaceFloor(RECT& floor);
    // A column chart from the next draw on, remembering that it was turned.
    void TurnIntoColumns();
    // A label block attached to the chart for this draw, given the data window as the scales are.
    void TakeDataWindow(ChartLabelBlock& block);
    // The display's font and text colour.
    void TakeFont(ChartLabelBlock& block);
    // A row of labels for the pass, named by the text of each position when asked, recording its
    // anchors and pushed along the direction when labels overlap.
    void SetUpLabelRow(ChartLabelBlock& row, int pass, int count, bool rename, std::vector<POINT>& anchors,
                       POINT direction, const std::function<std::string(int)>& text);
    // The points of a round chart's group, each item's registered for feedback under the group;
    // points past the last item repeat the last point set.
    void RoundPoints(std::vector<POINT>& points, int set, int group, const std::function<POINT(int)>& pointAt);
    // Markers and lines of a round chart's polygon by each item's marker kind.
    void DrawRoundOutline(std::span<const POINT> points, int set, int colourWord,
                          const std::function<ChartData&(int)>& itemAt);
    void DrawRoundFrame(int spokes, double step);
    // Labels around the rim, named by the caller, and the value axis from the centre up.
    void DrawRoundAxes(int spokes, double step, bool trim, const std::function<void(ChartLabelBlock&, int)>& name);

    // One point of an XY layout: its two items, where its feedback goes, its colour word, and
    // whether it starts a line.
    struct XYPoint {
        ChartData* x;
        ChartData* y;
        int group, index, colour;
        bool start;
    };
    using XYVisitor = std::function<void(const XYPoint&)>;
    // The points of the chart type's layout in drawing order; the range and the drawing take the
    // same pairs.
    void WalkXYPoints(const XYVisitor& visit);
    void WalkAlternating(const XYVisitor& visit);
    // The four values of one arrow, its x item, the first group of its series and its number.
    struct Vector {
        double x, y, c, d;
        ChartData* xItem;
        int group, index, number;
    };
    void WalkVectors(const std::function<void(const Vector&)>& visit);
    // Which axes a two-axis range walk computes from the data.
    struct FreeAxes {
        bool value, x;
        bool Any() const { return value || x; }
    };
    // Empties the value and X ranges and fixes each one that has its limits.
    FreeAxes FixTwoRanges();
    // The same for charts whose series take a set of groups each (bubbles, vectors): fewer groups
    // than one set, or a logarithmic value axis, is an error.
    FreeAxes FixSeriesRanges(int groupsPerSeries);
    void BoundTwoRanges(FreeAxes free);
    // Both axes' extents 0 to 0: nothing to place points on.
    bool ExtentsAreZero() const;
    // A cross of 4 device units each way in the palette colour, where no bubble or arrow shows.
    void DrawCross(int x, int y, int colourWord, int group, int index);
    // Units per inch made equal on both axes: the plot shrinks under fixed limits, else a range grows.
    void EqualiseUnits();
    ChartDecimalScale& XScale(bool dateKind, bool log);

    int m_itemRanges = 0;
};

} // namespace vq
