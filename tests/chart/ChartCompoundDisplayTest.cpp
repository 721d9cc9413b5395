#include "chart/ChartCompoundDisplay.h"

#include "ChartWindowFixture.h"
#include "GdiFixture.h"
#include "chart/ChartAxisManager.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartGridLines.h"
#include "chart/ChartIndexScale.h"
#include "chart/ChartLabel.h"
#include "chart/ChartTickMarks.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <filesystem>

namespace vq {
namespace {

constexpr COLORREF kGrid = RGB(0, 128, 128);
constexpr int kColumnType = 3 << 16;
constexpr int kRectKind = 2 << 24;

// Three groups of six values up to 140, the items labelled M1 to M6.
void FillData(Chart& chart) {
    const double values[3][6] = {{20, 75, 140, 60, 95, 40}, {35, 10, 120, 80, 50, 65}, {55, 30, 90, 100, 25, 70}};
    for (int g = 0; g < 3; ++g)
        for (int i = 0; i < 6; ++i) {
            chart.SetItemValue(i, g, values[g][i], false);
            chart.SetItemLabel(i, g, "M" + std::to_string(i + 1));
        }
}

class ChartCompoundWindowTest : public test::ChartWindowFixture {
protected:
    void SetUp() override {
        ChartWindowFixture::SetUp();
        FillData(chart);
        chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 420, 300}, 0, 0, 0x100, 0, 0);
        compound = static_cast<ChartCompoundDisplay*>(chart.CreateComponent(
            chartCompoundDisplayType, ChartRect::unitPixels, {0, 0, 420, 300}, 0, 0, 0, kColumnType, kRectKind));
        OpenFrame({0, 0, 420, 300});
    }
    void Save(const std::string& name) {
        std::filesystem::create_directories(test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
        ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame, test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }
    ChartCompoundDisplay* compound = nullptr;
};

TEST_F(ChartCompoundWindowTest, ReadyMadeColumnLayoutDrawsItsAxesAroundThePlot) {
    ASSERT_TRUE(compound);
    ChartAxisManager* left = compound->GetLeftAxis();
    ChartAxisManager* bottom = compound->GetBottomAxis();
    ASSERT_TRUE(left && bottom);
    auto* display = static_cast<ChartDisplay*>(left->GetDisplay());
    ASSERT_TRUE(display);
    EXPECT_EQ(display->GetChartType(), 3);
    EXPECT_EQ(display->GetDisplayKind(), 2);
    ASSERT_TRUE(left->GetScale() && left->GetTickMarks() && left->GetGridLines());
    ASSERT_TRUE(bottom->GetScale() && bottom->GetTickMarks() && bottom->GetGridLines());
    EXPECT_EQ(bottom->GetScale()->GetTypeCode(), chartIndexScaleType);
    EXPECT_FALSE(compound->GetTopAxis()->GetScale());
    EXPECT_FALSE(compound->GetRightAxis()->GetScale());
    Repaint();
    Save("chart-compound-columns.png");

    EXPECT_EQ(left->GetScale()->GetMinimum(), display->GetValueRange().GetMinimum());
    EXPECT_EQ(left->GetScale()->GetMaximum(), display->GetValueRange().GetMaximum());
    EXPECT_EQ(display->GetValueRange().GetMaximum(), 150);
    std::vector<std::string> texts;
    for (auto& label : bottom->GetScale()->GetLabels())
        texts.push_back(label->GetAnnotationText(1));
    EXPECT_EQ(texts, (std::vector<std::string>{"M1", "M2", "M3", "M4", "M5", "M6"}));

    // The compound's rectangle is the window less the margins of 10.
    const RECT plot = display->GetPlotRect();
    EXPECT_EQ(plot.left, 10 + left->GetThicknessX());
    EXPECT_EQ(plot.bottom, 290 - bottom->GetThicknessY());
    EXPECT_EQ(plot.top, 10);
    EXPECT_EQ(plot.right, 410);
    EXPECT_EQ(left->GetStartPoint().x, plot.left);
    EXPECT_EQ(left->GetStartPoint().y, plot.bottom);
    EXPECT_EQ(left->GetEndPoint().y, plot.top);
    EXPECT_EQ(bottom->GetEndPoint().x, plot.right);

    // The plot's frame on the axis lines; ticks outside it and grid lines across it at the anchors.
    EXPECT_EQ(At(plot.left, (plot.top + plot.bottom) / 2), test::kBlack);
    EXPECT_EQ(At((plot.left + plot.right) / 2, plot.bottom), test::kBlack);
    const std::vector<POINT>& rows = left->GetScale()->GetAnchorList();
    ASSERT_EQ(rows.size(), 16u) << "0 to 150 by 10";
    for (const POINT& a : rows) {
        SCOPED_TRACE(a.y);
        EXPECT_EQ(a.x, plot.left);
        EXPECT_EQ(At(a.x - 3, a.y), test::kBlack);
        if (a.y != plot.top && a.y != plot.bottom) {
            EXPECT_EQ(At(plot.right - 3, a.y), kGrid);
        }
    }
    EXPECT_EQ(rows.front().y, plot.bottom);
    EXPECT_EQ(rows.back().y, plot.top);
    const std::vector<POINT>& columns = bottom->GetScale()->GetAnchorList();
    ASSERT_EQ(columns.size(), 6u);
    const int cell = (plot.right - plot.left) / 6;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const POINT a = columns[i];
        SCOPED_TRACE(a.x);
        EXPECT_EQ(a.y, plot.bottom);
        EXPECT_NEAR(a.x, plot.left + cell / 2 + int(i) * cell, 1) << "in the middle of its cell";
        EXPECT_EQ(At(a.x, plot.bottom + 3), test::kBlack);
        EXPECT_EQ(At(a.x, plot.top + 3), kGrid);
    }
}

} // namespace
} // namespace vq
