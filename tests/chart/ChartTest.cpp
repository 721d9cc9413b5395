#include "chart/Chart.h"

#include "ChartTestSupport.h"
#include "ScriptedMessageBoxes.h"
#include "chart/ChartBackground.h"
#include "chart/ChartCompoundComponent.h"
#include "chart/ChartDynamicData.h"
#include "tests/support/TestPaths.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vq {
namespace {

using test::ChartErrorOf;
using test::ProbeComponent;

void Fill(Chart& chart, std::vector<std::vector<double>> rows) {
    for (int g = 0; g < int(rows.size()); ++g)
        for (int i = 0; i < int(rows[std::size_t(g)].size()); ++i)
            chart.SetItemValue(i, g, rows[std::size_t(g)][std::size_t(i)], false);
}

TEST(Chart, GroupsAreMadeOnlyWhenAskedAndHiddenOnesOnlyHideWhileDrawing) {
    Chart chart;
    EXPECT_EQ(ChartErrorOf([&] { chart.GetGroup(-1, true); }), 2);
    EXPECT_EQ(ChartErrorOf([&] { chart.GetGroup(-1, false); }), 2);
    ChartDataList& last = chart.GetGroup(5, true);
    EXPECT_EQ(chart.GetGroupCount(), 6);
    EXPECT_EQ(&last, chart.GetGroupList().back().get());
    EXPECT_EQ(ChartErrorOf([&] { chart.GetGroup(6, false); }), 2);
    // Walking from the cursor in both directions reaches the right group.
    for (int g : {2, 3, 0, 5, 4, 1})
        EXPECT_EQ(&chart.GetGroup(g, false), std::next(chart.GetGroupList().begin(), g)->get());
    chart.GetGroup(2, false).GetStyle().flagsWord |= ChartStyle::kHiddenGroup;
    EXPECT_NO_THROW(chart.GetGroup(2, false));
    EXPECT_TRUE(chart.IsEmpty());
}

TEST(Chart, DrawingSizeNeedsADrawOrAnExplicitPosition) {
    Chart chart;
    EXPECT_EQ(ChartErrorOf([&] { chart.GetDrawingSize(); }), 18);
    chart.SetPosition(10, 20, 110, 70, true);
    EXPECT_EQ(chart.GetDrawingSize().cx, 100);
    EXPECT_EQ(chart.GetDrawingSize().cy, 50);
}

TEST(Chart, PaletteIsThreeThreeTwo) {
    Chart chart;
    chart.CreatePalette();
    HPALETTE first = chart.GetPalette();
    chart.CreatePalette();
    EXPECT_EQ(chart.GetPalette(), first);
    struct Case {
        UINT index;
        int r, g, b;
    };
    for (const Case& c : {Case{0, 0, 0, 0}, Case{7, 255, 0, 0}, Case{56, 0, 255, 0}, Case{192, 0, 0, 255},
                          Case{73, 36, 36, 85}, Case{255, 255, 255, 255}}) {
        SCOPED_TRACE(c.index);
        PALETTEENTRY e{};
        ASSERT_EQ(GetPaletteEntries(first, c.index, 1, &e), 1u);
        EXPECT_EQ(int(e.peRed), c.r);
        EXPECT_EQ(int(e.peGreen), c.g);
        EXPECT_EQ(int(e.peBlue), c.b);
    }
}

TEST(Chart, PensAreCachedByTheirTenLetterKey) {
    EXPECT_EQ(Chart::PenKey(0, 1, 0xC0C0C0), "ABAMAMAMAA");
    EXPECT_EQ(Chart::PenKey(2, 3, 0x0000FF), "CDPPAAAAAA");
    Chart chart;
    HPEN pen = chart.GetPen(PS_DASH, 1, RGB(1, 2, 3));
    EXPECT_EQ(chart.GetPen(PS_DASH, 1, RGB(1, 2, 3)), pen);
    EXPECT_NE(chart.GetPen(PS_DASH, 2, RGB(1, 2, 3)), pen);
}

TEST(Chart, ResetKeepsShapesAndDeletingGroupsKeepsComponents) {
    Chart chart;
    ChartCompiledPolygon* shape = nullptr;
    ASSERT_TRUE(chart.GetShape("_OC_STOCK_SHAPE_NONSENSE", "WIGETS", shape, 0));
    // An unknown stock name builds number 7: the box.
    ChartCompiledPolygon box(ChartCompiledPolygon::stockBox);
    const auto points = shape->Compile();
    EXPECT_EQ(std::vector<POINT>(points.begin(), points.end()),
              std::vector<POINT>(box.Compile().begin(), box.Compile().end()));
    Fill(chart, {{1, 2}});
    chart.AddComponent(std::make_unique<ChartBackground>());
    chart.DeleteAllGroups();
    EXPECT_EQ(chart.GetGroupCount(), 0);
    EXPECT_EQ(chart.GetComponentList().size(), 1u);
    chart.Reset();
    EXPECT_TRUE(chart.GetComponentList().empty());
    EXPECT_EQ(chart.GetShapeList().size(), 1u);
    EXPECT_TRUE(chart.IsEmpty());
}

TEST(Chart, Sums) {
    Chart chart;
    EXPECT_EQ(chart.GroupSum(-1), 0);
    Fill(chart, {{1, 2, 3}, {10, 20}, {100}});
    chart.GetData(1, 0).SetNull(1); // a null 2 still counts in the group sum and average
    struct Case {
        const char* name;
        std::function<double()> sum;
        double expected;
    };
    const Case cases[] = {
        {"group sum", [&] { return chart.GroupSum(0); }, 6},
        {"default group", [&] { return chart.GroupSum(-1); }, 6},
        {"group average", [&] { return chart.GroupAverage(1); }, 15},
        {"average of a group past the end", [&] { return chart.GroupAverage(4); }, 0},
        {"total skips nulls", [&] { return chart.TotalSum(); }, 134},
        {"across all groups", [&] { return chart.SumAcrossGroups(0, 0, 0); }, 111},
        {"across missing items", [&] { return chart.SumAcrossGroups(1, 0, 2); }, 22},
        {"range skips nulls", [&] { return chart.RangeSum(0, 0, 1, 1); }, 31},
        {"average over indexes", [&] { return chart.AverageOverIndexes(0, 2, 0); }, 4.0 / 3},
        {"average over no index", [&] { return chart.AverageOverIndexes(2, 1, 0); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(c.sum(), c.expected);
    }
    EXPECT_EQ(ChartErrorOf([&] { chart.SumAcrossGroups(3, 0, 0); }), 3);
}

TEST(Chart, StyleOverARaggedWindowSkipsMissingCells) {
    Chart chart;
    Fill(chart, {{1, 2, 3}, {4}});
    chart.GetGroup(3, true);
    ChartStyle style;
    style.fillColour = RGB(1, 2, 3);
    test::ScriptedMessageBoxes boxes;
    chart.ApplyStyleToRange(-1, -1, -1, -1, style, true);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(chart.GetGroupCount(), 4);
    EXPECT_EQ(chart.GetGroup(1, false).GetItemCount(), 1);
    EXPECT_EQ(chart.GetData(2, 0).GetStyle().fillColour, RGB(1, 2, 3));
    EXPECT_EQ(chart.GetData(0, 1).GetStyle().fillColour, RGB(1, 2, 3));
    EXPECT_EQ(chart.GetGroup(3, false).GetStyle().fillColour, RGB(1, 2, 3));
    EXPECT_EQ(chart.GetGroup(3, false).GetItemCount(), 0);
}

TEST(DynamicChart, GroupOperationsNeedTheBufferItem) {
    DynamicChart chart;
    EXPECT_EQ(ChartErrorOf([&] { chart.PushValueToGroup(0, 0, 1); }), 6);
    EXPECT_EQ(ChartErrorOf([&] { chart.PushInt32ToGroup(0, 0, 1); }), 6);
    EXPECT_EQ(ChartErrorOf([&] { chart.PushByteToGroup(0, 0, 1); }), 6);
    EXPECT_EQ(ChartErrorOf([&] { chart.SetBufferLabel(0, 0, "x"); }), 6);
    EXPECT_EQ(ChartErrorOf([&] { chart.GetValueRange(false); }), 1);

    auto buffer = std::make_unique<ChartDynamicData>();
    buffer->SetCapacity(3);
    buffer->SetWrap(1);
    chart.GetGroup(0, true).SetDynamic(1);
    chart.GetGroup(0, false).Append(std::move(buffer));
    for (double v : {4, -2, 7})
        chart.PushValueToGroup(99, 0, v);
    chart.SetBufferLabel(0, 0, "series");
    EXPECT_EQ(chart.GroupSum(0), 9);
    EXPECT_EQ(chart.GetMaxIndexCount(), 3);
    EXPECT_EQ(chart.GetDataAnnotation(0, 5, 1), "series");
    const CScale range = chart.GetValueRange(false);
    EXPECT_EQ(range.GetMinimum(), -2);
    EXPECT_EQ(range.GetMaximum(), 7);
    // A plain group among the dynamic ones has no value range.
    chart.GetGroup(1, true);
    EXPECT_EQ(ChartErrorOf([&] { chart.GetValueRange(false); }), 1);
}

TEST(Chart, FindComponentCountsIntoCompounds) {
    Chart chart;
    chart.AddComponent(std::make_unique<ChartBackground>());
    auto compound = std::make_unique<ChartCompoundComponent>();
    auto first = std::make_unique<ProbeComponent>(chartDisplayType);
    auto second = std::make_unique<ProbeComponent>(chartDisplayType);
    ChartComponent* secondDisplay = second.get();
    compound->AddComponent(std::move(first));
    compound->AddComponent(std::move(second));
    ChartCompoundComponent* holder = compound.get();
    chart.AddComponent(std::move(compound));
    EXPECT_EQ(chart.FindComponent(1, chartDisplayType), secondDisplay);
    EXPECT_EQ(chart.FindComponent(2, chartDisplayType), nullptr);
    EXPECT_EQ(chart.FindComponent(1, -1), holder);
    EXPECT_EQ(chart.FindComponent(2, -1), nullptr);
    EXPECT_EQ(secondDisplay->GetChart(), &chart);
    EXPECT_EQ(chart.SetComponentMaxIndex(1, 9, chartDisplayType), secondDisplay);
    int lowIndex, highIndex, lowGroup, highGroup;
    secondDisplay->GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    EXPECT_EQ(highIndex, 9);
    EXPECT_EQ(lowIndex, -1);
}

TEST(Chart, CreateComponentMasksEachFrameArgumentInPlace) {
    Chart chart;
    ChartComponent* c = chart.CreateComponent(chartBackgroundType, ChartRect::unitInches, RECT{1, 2, 3, 4},
                                              0x1235, 0x1235, 0x1235, 0, 0);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetStyle().frameWord, 0x235u);
    EXPECT_EQ(c->GetRect().GetUnit(), ChartRect::unitInches);
    EXPECT_EQ(c->GetHorizontalMargin(), 0.2);
    EXPECT_EQ(chart.CreateComponent(12345, 0, RECT{}, 0, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(chart.GetComponentList().size(), 1u);
}

TEST(Chart, HitTestAnswersTheLastMatchAndRecordsNothingWhenOff) {
    Chart chart;
    chart.AddRectFeedback(RECT{20, 20, 0, 0}, 1, 1);
    chart.AddPointFeedback(10, 10, 2, 2);
    const POINT triangle[] = {{0, 0}, {30, 0}, {0, 30}};
    chart.AddPolygonFeedback(triangle, 3, 3);
    ASSERT_NE(chart.HitTestFeedback(10, 10), nullptr);
    EXPECT_EQ(chart.HitTestFeedback(10, 10)->GetGroup(), 3);
    EXPECT_EQ(chart.HitTestFeedback(19, 19)->GetGroup(), 1);
    EXPECT_EQ(chart.HitTestFeedback(50, 50), nullptr);
    chart.SetFeedbackEnabled(0);
    chart.AddPointFeedback(50, 50, 4, 4);
    chart.AddRectFeedback(RECT{40, 40, 60, 60}, 4, 4);
    chart.AddPolygonFeedback(triangle, 4, 4);
    EXPECT_EQ(chart.GetFeedbackList().size(), 3u);
}

class ShapeFiles : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Write(const std::string& name, const std::string& text) {
        const auto path = folder / name;
        std::ofstream(path) << text;
        return path.string();
    }
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vq-chart-shapes-" + std::to_string(::getpid()));
};

TEST_F(ShapeFiles, ShapesLoadOnceFromFilesAndResources) {
    Chart chart;
    const std::string square = vq::test::TestPath("VQ_TEST_DATA_DIR") + "/chart/square.shape";
    ChartCompiledPolygon* shape = nullptr;
    ASSERT_TRUE(chart.GetShape(square, "POLYGON", shape, 30));
    EXPECT_EQ(shape->GetPointCount(), 5);
    EXPECT_EQ(shape->GetAngleValue(), 30);
    ChartCompiledPolygon* again = nullptr;
    ASSERT_TRUE(chart.GetShape(square, "POLYGON", again, 0));
    EXPECT_EQ(again, shape);
    EXPECT_EQ(again->GetRotatedFlag(), 0);

    ASSERT_TRUE(chart.GetShape("wiget1", "WIGETS", shape, 0));
    EXPECT_EQ(shape->GetPointCount(), 3);
    EXPECT_EQ(chart.GetShapeList().size(), 2u);
}

TEST_F(ShapeFiles, UnreadableShapesAreError19) {
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"count", "x 1 2"},      {"missing point", "3 0 0 1 1"},
        {"half a point", "1 5"}, {"not a number", "1 5 y"},
        {"empty", ""},           {"infinite", "1 inf 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Chart chart;
        const std::string path = Write("bad.shape", c.text);
        EXPECT_EQ(ChartErrorOf([&] { chart.LoadShape(path, "POLYGON"); }), 19);
        EXPECT_TRUE(chart.GetShapeList().empty());
    }
    Chart chart;
    EXPECT_EQ(ChartErrorOf([&] { chart.LoadShape((folder / "none.shape").string(), "POLYGON"); }), 19);
}

} // namespace
} // namespace vq
