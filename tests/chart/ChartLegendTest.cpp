#include "chart/ChartLegend.h"

#include "ChartTestSupport.h"
#include "ChartWindowFixture.h"
#include "GdiFixture.h"
#include "chart/Chart.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <cmath>
#include <filesystem>

namespace vq {
namespace {

using test::ProbeComponent;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Series named "Series n" with items "cat n", all drawn in a red line style with blue fills and
// circle markers.
void Fill(Chart& chart, int series, int items) {
    for (int s = 0; s < series; ++s) {
        chart.SetGroupLabel(s, "Series " + std::to_string(s), true);
        for (int i = 0; i < items; ++i) {
            chart.SetItemValue(i, s, 10.0 * (i + 1), false);
            chart.SetItemLabel(i, s, "cat " + std::to_string(i));
            ChartStyle& style = chart.GetData(i, s).GetStyle();
            style.styleWord = 0x0C22;
            style.lineColour = kRed;
            style.fillColour = kBlue;
        }
    }
}

// A display of the chart type standing just before the legend.
void AddDisplay(Chart& chart, int chartType) {
    auto display = std::make_unique<ProbeComponent>(chartDisplayType);
    display->GetStyle().frameWord = 0;
    display->GetStyle().styleWord = static_cast<u32>(chartType) << 16;
    chart.AddComponent(std::move(display));
}

ChartLegend& AddLegend(Chart& chart, RECT r) {
    auto* legend = static_cast<ChartLegend*>(
        chart.CreateComponent(chartLegendType, ChartRect::unitPixels, r, 0, 0, 0x100, 0, 0));
    legend->SetMargins(0, 0, 0);
    legend->SetFont(-12, 0, "Arial");
    return *legend;
}

double WidestEntry(ChartLegend& legend) {
    int widest = 0;
    for (auto& label : legend.GetEntries().GetLabels())
        widest = std::max<int>(widest, label->GetOutlineSize().cx);
    return widest;
}

TEST(ChartLegend, ColumnsRowsAndFittedWidth) {
    test::MemoryCanvas canvas(700, 200);
    {
        Chart chart;
        Fill(chart, 6, 1);
        ChartLegend& legend = AddLegend(chart, {0, 0, 300, 100});
        chart.DrawComponentList(canvas.Dc(), 0);
        const double w = WidestEntry(legend);
        ASSERT_GT(w, 0);
        EXPECT_EQ(legend.GetEntryCount(), 6);
        EXPECT_EQ(legend.GetColumns(), static_cast<int>(std::floor(300 / (2 * 20 + w))));
        EXPECT_EQ(legend.GetRows(), (6 + legend.GetColumns() - 1) / legend.GetColumns());
    }
    {
        Chart chart;
        Fill(chart, 2, 1);
        ChartLegend& legend = AddLegend(chart, {0, 0, 600, 40});
        chart.DrawComponentList(canvas.Dc(), 0);
        EXPECT_EQ(legend.GetRows(), 1);
        EXPECT_EQ(legend.GetColumns(), 2) << "one row of two entries has two columns";
    }
    {
        Chart chart;
        Fill(chart, 3, 1);
        ChartLegend& legend = AddLegend(chart, {10, 10, 600, 100});
        legend.SetOptions(1 | 4);
        chart.DrawComponentList(canvas.Dc(), 0);
        const double w = WidestEntry(legend);
        EXPECT_EQ(legend.GetColumns(), 3);
        EXPECT_EQ(legend.GetLegendRect().left, 10) << "keeps its left edge";
        EXPECT_EQ(legend.GetLegendRect().right - 10, static_cast<int>((1.2 * 20 + w) * 3));
        EXPECT_EQ(legend.GetRect().Right(), 600) << "the position itself is not changed";
    }
}

TEST(ChartLegend, FixedGridsOfLessThanARowOrOfTheDefaultSizesDraw) {
    for (double rows : {0.5, 10'000'000.0}) {
        SCOPED_TRACE(rows);
        Chart chart;
        Fill(chart, 3, 2);
        ChartLegend& legend = AddLegend(chart, {0, 0, 300, 100});
        legend.SetOptions(1 | 2);
        legend.GetStyle().flagsWord |= ChartLegend::kFixedGrid;
        legend.GetStyle().firstSize = rows;
        test::MemoryCanvas canvas(300, 100);
        chart.DrawComponentList(canvas.Dc(), 0);
        EXPECT_GE(legend.GetRows(), 1);
        EXPECT_GE(legend.GetColumns(), 1);
    }
}

TEST(ChartLegend, KeyKindsDrawLinesBoxesAndSymbols) {
    enum Look { line, box, symbol, lineAndSymbol };
    struct {
        int keyKind, chartType;
        Look look;
    } const cases[] = {
        {ChartLegend::keyLine, -1, line},
        {ChartLegend::keyBox, -1, box},
        {ChartLegend::keySymbol, -1, symbol},
        {ChartLegend::keyByChartType, -1, line},
        {ChartLegend::keyByChartType, 1, lineAndSymbol},
        {ChartLegend::keyByChartType, 0, box},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.keyKind << " type " << c.chartType);
        Chart chart;
        Fill(chart, 1, 1);
        if (c.chartType >= 0) AddDisplay(chart, c.chartType);
        ChartLegend& legend = AddLegend(chart, {0, 0, 200, 40});
        legend.SetKeySize(30);
        legend.GetStyle().labelWord = (legend.GetStyle().labelWord & ~0xF000u) | (u32(c.keyKind) << 12);
        test::MemoryCanvas canvas(200, 40);
        chart.DrawComponentList(canvas.Dc(), 0);
        const POINT a = legend.GetEntries().GetLabel(0)->GetAnchor();
        const int h = legend.GetEntries().GetLabel(0)->GetOutlineSize().cy;
        const int left = a.x + 3, right = a.x + 33, middle = a.y + h / 2, centre = (left + right) / 2;
        const COLORREF atCentre = canvas.At(centre, middle);
        const COLORREF alongLine = canvas.At(left + 2, middle);
        const COLORREF corner = canvas.At(left + 2, a.y + 1);
        switch (c.look) {
        case line:
            EXPECT_EQ(atCentre, kRed);
            EXPECT_EQ(corner, kWhite);
            break;
        case box:
            EXPECT_EQ(atCentre, kBlue);
            EXPECT_EQ(corner, kBlue);
            break;
        case symbol:
            EXPECT_EQ(atCentre, kBlue);
            EXPECT_EQ(alongLine, kWhite);
            break;
        case lineAndSymbol:
            EXPECT_EQ(atCentre, kBlue);
            EXPECT_EQ(alongLine, kRed);
            break;
        }
    }
}

TEST(ChartLegend, PerCategoryEntriesFollowTheChartTypesIndexStep) {
    Chart chart;
    Fill(chart, 2, 6);
    AddDisplay(chart, 20);
    ChartLegend& legend = AddLegend(chart, {0, 0, 400, 60});
    legend.GetStyle().extraWord = (legend.GetStyle().extraWord & ~0xFFu) | 2;
    test::MemoryCanvas canvas(400, 60);
    chart.DrawComponentList(canvas.Dc(), 0);
    EXPECT_EQ(legend.GetIndexStep(), 2);
    ASSERT_EQ(legend.GetEntryCount(), 3);
    const char* const expected[] = {"cat 0", "cat 2", "cat 4"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(legend.GetEntries().GetLabel(i)->GetCurrentText(), expected[i]);
}

class ChartLegendWindowTest : public test::ChartWindowFixture {};

TEST_F(ChartLegendWindowTest, ALegendOfLineSeriesIsReadable) {
    OpenFrame({0, 0, 360, 120});
    auto* back = chart.CreateComponent(chartBackgroundType, ChartRect::unitPixels, {0, 0, 360, 120}, 0, 0,
                                       0x100, 0, 0);
    back->GetStyle().fillColour = RGB(240, 240, 240);
    Fill(chart, 5, 1);
    const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 140, 0), RGB(0, 0, 200), RGB(200, 120, 0),
                                RGB(120, 0, 160)};
    for (int s = 0; s < 5; ++s) {
        ChartStyle& style = chart.GetData(0, s).GetStyle();
        style.lineColour = colours[s];
        style.fillColour = colours[s];
    }
    AddDisplay(chart, 1);
    ChartLegend& legend = AddLegend(chart, {10, 10, 350, 110});
    legend.GetStyle().frameWord = 0x103;
    legend.SetMargins(5, 5, 5);
    legend.GetStyle().flagsWord |= ChartLegend::kKeyBeforeText;
    Repaint();
    EXPECT_EQ(legend.GetEntryCount(), 5);
    const POINT a = legend.GetEntries().GetLabel(1)->GetAnchor();
    EXPECT_EQ(At(a.x - 20, a.y + 7), colours[1]) << "the key sits before its text";
    const std::string path = test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-legend.png";
    std::filesystem::create_directories(test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame, path));
}

} // namespace
} // namespace vq
