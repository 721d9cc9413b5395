#pragma once

#include "chart/ChartDisplayBase.h"

namespace vq {

// The chart's data display: the range step of each chart type and the frames and axes of the
// rectangular charts. The renderers of the data come with their chart types; until then a type
// draws no data.
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
    // Extra-word bits.
    static constexpr u32 kScalesTakeWindow = 0x08000000;
    static constexpr u32 kOrientLabels = 0x40000000;

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

    int m_itemRanges = 0;
};

} // namespace vq
