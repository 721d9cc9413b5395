#include "ChartTestSupport.h"
#include "ChartWindowFixture.h"
#include "ScriptedMessageBoxes.h"
#include "chart/Chart.h"
#include "chart/ChartBackground.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartLabelBlock.h"
#include "platform/res/Resources.h"
#include "tests/support/TestPaths.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vq {
namespace {

std::string FixturePath() {
    return test::TestPath("VQ_TEST_DATA_DIR") + "/chart/every-keyword.tpl";
}

std::string Text(UINT id) {
    char text[256];
    LoadString(id, text, sizeof text);
    return text;
}

std::vector<int> TypeCodes(Chart& chart) {
    std::vector<int> codes;
    for (auto& component : chart.GetComponentList())
        codes.push_back(component->GetTypeCode());
    return codes;
}

// The fixture's components, in its order; the block's two labels live inside the block.
const std::vector<int> kFixtureCodes = {chartBackgroundType, chartTitleType,     chartDisplayType,
                                        chartLegendType,     chartLabelType,     chartLabelBlockType,
                                        chartTextPanelType,  chartDataWatcherType};

class ChartTemplateWindowTest : public test::ChartWindowFixture {};

TEST_F(ChartTemplateWindowTest, EveryKeywordLoadsFromAFileAndAResourceAndDraws) {
    test::ScriptedMessageBoxes boxes;
    Chart fromResource;
    fromResource.LoadTemplate("EVERY");
    EXPECT_EQ(TypeCodes(fromResource), kFixtureCodes);

    for (int i = 0; i < 6; ++i)
        for (int g = 0; g < 2; ++g)
            chart.SetItemValue(i, g, 20 + 15 * i + 30 * g, false);
    chart.SetAnnotation("Traffic", 1);
    chart.SetGroupLabel(0, "In", true);
    chart.SetGroupLabel(1, "Out", true);
    for (int i = 0; i < 6; ++i)
        chart.SetItemLabel(i, 0, std::to_string(i * 4) + "h");
    chart.LoadTemplate(FixturePath());
    ASSERT_EQ(TypeCodes(chart), kFixtureCodes);
    EXPECT_TRUE(boxes.shown.empty());

    auto at = chart.GetComponentList().begin();
    ChartComponent& background = **at;
    EXPECT_EQ(background.GetStyle().GetBorderKind(), 7u);
    EXPECT_EQ(background.GetStyle().GetFillKind(), 1u);
    EXPECT_EQ(background.GetStyle().fillColour, RGB(192, 192, 192));
    EXPECT_EQ(background.GetRect().Right(), -1) << "the drawing area's edge";
    ChartComponent& title = **++at;
    EXPECT_EQ(title.GetStyle().GetFillKind(), 4u);
    EXPECT_EQ(title.GetStyle().gradientAngle, 90);
    EXPECT_EQ(title.GetStyle().secondFillColour, RGB(160, 190, 255));
    auto& display = static_cast<ChartDisplay&>(**++at);
    EXPECT_EQ(display.GetChartType(), 3);
    EXPECT_EQ(display.GetDisplayKind(), 2);
    std::advance(at, 2);
    auto& label = static_cast<ChartLabel&>(**at);
    EXPECT_EQ(label.GetAnnotationText(1), "Peak hour");
    auto& block = static_cast<ChartLabelBlock&>(**++at);
    ASSERT_EQ(block.GetLabelCount(), 2);
    EXPECT_EQ(block.GetLabels()[0]->GetAnnotationText(1), "First");
    EXPECT_EQ(block.GetLabels()[1]->GetAnnotationText(1), "Second");
    EXPECT_EQ(block.GetAnnotationText(2), "The block's own text") << "after endblock the block takes it";
    ChartComponent& watcher = **std::next(at, 2);
    EXPECT_EQ(watcher.GetStyle().pictureName, "no such picture.bmp");
    EXPECT_NE(watcher.GetStyle().frameWord & (1u << 31), 0u) << "stretched";

    OpenFrame({0, 0, 400, 300});
    Repaint();
    EXPECT_EQ(At(5, 295), RGB(192, 192, 192)) << "the background's fill";
    const RECT plot = display.GetPlotRect();
    EXPECT_EQ(At(plot.left, (plot.top + plot.bottom) / 2 + 3), RGB(0, 0, 0)) << "the display's frame";
    std::filesystem::create_directories(test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(frame,
                                                 test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-template.png"));

    // Every written line, read by a chart of its own, writes the same line again.
    for (auto& component : chart.GetComponentList()) {
        std::string line;
        component->WriteTemplate(line);
        Chart again;
        again.ReadTemplateText(line);
        ASSERT_EQ(again.GetComponentList().size(), 1u) << line;
        std::string second;
        again.GetComponentList().front()->WriteTemplate(second);
        EXPECT_EQ(second, line);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(ChartTemplate, CommonFieldsByFillKind) {
    struct {
        const char* fields;
        u32 frame;
        COLORREF first, second;
        const char* picture;
    } const cases[] = {
        {"0 0 -1 -1 0 7 1 0 192 192 192", 0x80000107, RGB(192, 192, 192), 0, ""},
        {"1 2 3 4 1 2 2 3 1 2 3 4 5 6", 0x80000232, RGB(1, 2, 3), RGB(4, 5, 6), ""},
        {"0 0 10 10 0 0 4 0 1 2 3 4 5 6 45", 0x80000400, RGB(1, 2, 3), RGB(4, 5, 6), ""},
        {"0 0 10 10 0 0 5 0 \"my pic.bmp\" 1", 0x80000500, 0, 0, "my pic.bmp"},
        {"0 0 10 10 0 0 5 0 \"my pic.bmp\" 0", 0x00000500, 0, 0, "my pic.bmp"},
        {"0 0 10 10 0 0 5 0 \"my pic.bmp\"", 0x80000500, 0, 0, "my pic.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields);
        ChartBackground component;
        component.GetStyle().frameWord = 0x0FFFF000;
        component.ReadTemplateCommon(c.fields);
        EXPECT_EQ(component.GetStyle().frameWord, c.frame) << "the other bits are cleared";
        EXPECT_EQ(component.GetStyle().fillColour, c.first);
        EXPECT_EQ(component.GetStyle().secondFillColour, c.second);
        EXPECT_EQ(component.GetStyle().pictureName, c.picture);
        // Written and read again: the same fields.
        ChartBackground again;
        again.ReadTemplateCommon(component.WriteTemplateCommon());
        EXPECT_EQ(again.WriteTemplateCommon(), component.WriteTemplateCommon());
    }
}

TEST(ChartTemplate, MalformedLinesStopTheReadingAndKeepWhatCameBefore) {
    const std::string good = "background 0 0 -1 -1 0 1 0 0\r";
    const std::string after = "\rtitle 0 0 -1 30 0 0 0 0 0 0 0 \"Arial\" 9 0 0";
    struct {
        std::string line;
        int error; // 0: no message
    } const cases[] = {
        {"   ", 0},
        {"rect 0 0 1 1 0 0 0 0", 0},
        {"background " + std::string(290, '1'), 0},
        {"annotation 1 nobody takes this", 0},
        {"label 0 0 0 0 0 0 0 0 0 0 0 \"Arial\" 9 0 0\rtextpanel 0 0 9 9 0 0 0 0 0 0 0 \"A\" 9 0 0\r"
         "annotation 1 the panel closed the label",
         0},
        {"title 1 2 3 4 5 6 7", 8},
        {"background 0 0 10 10 0 0 5 0 \"a\\b.bmp\" 1", 9},
        {"background 0 0 10 10 0 0 7 0", 9},
        {"background 0 0 10 10 0 0 1 0 255 255", 9},
        {"title 0 0 10 10 0 0 0 0 1 2 3 \"Arial\" 9 0", 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        test::ScriptedMessageBoxes boxes;
        Chart chart;
        chart.ReadTemplateText(good + c.line + after);
        ASSERT_FALSE(chart.GetComponentList().empty());
        EXPECT_EQ(chart.GetComponentList().front()->GetTypeCode(), chartBackgroundType);
        EXPECT_NE(chart.GetComponentList().back()->GetTypeCode(), chartTitleType) << "nothing after the bad line";
        if (c.error == 0) {
            EXPECT_TRUE(boxes.shown.empty());
            continue;
        }
        ASSERT_EQ(boxes.shown.size(), 2u);
        char expected[256];
        ChartException(c.error).GetErrorMessage(expected, sizeof expected);
        EXPECT_EQ(boxes.shown[0].text, expected);
        const std::string line = c.line.substr(c.line.rfind('\r') + 1);
        EXPECT_EQ(boxes.shown[1].text, Text(21601) + line);
    }

    test::ScriptedMessageBoxes boxes;
    Chart chart;
    chart.LoadTemplate(test::TestPath("VQ_TEST_DATA_DIR") + "/chart/no-such-template.tpl");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, Text(21602));
    EXPECT_EQ(boxes.shown[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND));
    EXPECT_TRUE(chart.GetComponentList().empty());
}

struct Cell {
    int index, group;
    double value;
    bool null;
    const char* label;
};

TEST(ChartImport, RowsHeadersAndCells) {
    struct {
        const char* text;
        int groups;
        std::vector<const char*> groupLabels;
        std::vector<Cell> cells;
        const char* title;
    } const cases[] = {
        {"1,2\r\n3,4", 2, {"0", "1"}, {{0, 0, 1, false, "A"}, {1, 0, 2, false, "B"}, {0, 1, 3, false, ""}, {1, 1, 4, false, ""}}, ""},
        {",A,B\r\nr1,1,2\r\nr2,3,4", 2, {"r1", "r2"}, {{0, 0, 1, false, "A"}, {1, 0, 2, false, "B"}, {0, 1, 3, false, ""}, {1, 1, 4, false, ""}}, ""},
        {"Traffic\tA", 1, {""}, {{0, 0, 0, true, "A"}}, "Traffic"},
        {"\r\n1,2", 0, {}, {}, ""},
        {"1|2", 2, {"0", "1"}, {{0, 0, 1, false, "A"}, {0, 1, 2, false, ""}}, ""},
        {"1,nan,1e999,12abc,3/15/2024 10:30,15 Mar 2024,,x",
         1,
         {"0"},
         {{0, 0, 1, false, "A"}, {1, 0, 0, true, "B"}, {2, 0, 0, true, "C"}, {3, 0, 12, false, "D"},
          {4, 0, 45366.4375, false, "E"}, {5, 0, 45366, false, "F"}, {6, 0, 0, true, "G"}, {7, 0, 0, true, "H"}},
         ""},
        {",5,x\r\nrow,,7,q", 1, {"row"},
         {{0, 0, 0, true, "5"}, {1, 0, 7, false, "x"}, {2, 0, 0, true, ""}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Chart chart;
        chart.ImportText(c.text);
        ASSERT_EQ(chart.GetGroupCount(), c.groups);
        for (int g = 0; g < c.groups; ++g)
            EXPECT_EQ(chart.GetGroupAnnotation(g, 1), c.groupLabels[static_cast<std::size_t>(g)]) << g;
        for (const Cell& cell : c.cells) {
            SCOPED_TRACE(testing::Message() << cell.index << "," << cell.group);
            ChartData& item = chart.GetData(cell.index, cell.group);
            EXPECT_EQ(item.IsNull() != 0, cell.null);
            if (!cell.null) {
                EXPECT_DOUBLE_EQ(item.GetValue(), cell.value);
            }
            EXPECT_EQ(item.GetAnnotationText(1), cell.label);
        }
        EXPECT_EQ(chart.GetAnnotation(1), c.title);
        EXPECT_EQ(chart.IsEmpty(), c.groups == 0 ? 1 : 0);
    }
}

TEST(ChartImport, LetterLabelsResetsAndBuffers) {
    std::string row;
    for (int i = 0; i < 28; ++i)
        row += std::to_string(i) + ",";
    Chart chart;
    chart.CreateComponent(chartTitleType, 0, {0, 0, 10, 10}, 0, 0, 0, 0, 0);
    chart.ImportText("1");
    EXPECT_EQ(chart.GetComponentList().size(), 1u) << "an empty chart keeps its components";
    chart.ImportText(row);
    EXPECT_TRUE(chart.GetComponentList().empty()) << "a chart holding data is reset, components included";
    EXPECT_EQ(chart.GetData(0, 0).GetAnnotationText(1), "A");
    EXPECT_EQ(chart.GetData(25, 0).GetAnnotationText(1), "Z");
    EXPECT_EQ(chart.GetData(26, 0).GetAnnotationText(1), "BA");
    EXPECT_EQ(chart.GetData(27, 0).GetAnnotationText(1), "BB");

    DynamicChart dynamic;
    EXPECT_EQ(test::ChartErrorOf([&] { dynamic.ImportText("1,2"); }), 0);
    EXPECT_EQ(dynamic.GetGroupCount(), 0);
}

} // namespace
} // namespace vq
