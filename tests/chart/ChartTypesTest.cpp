#include "ChartShapeRecorder.h"
#include "ScriptedMessageBoxes.h"
#include "platform/gui/Gdi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace vq {
namespace {

using test::ShapeScene;
using Shape = test::ShapeRecorder::Shape;

TEST(ChartBars, EdgeCasesInTheCallJournal) {
    {
        SCOPED_TRACE("overlapped parts own the spans between neighbouring values");
        ShapeScene j(11);
        j.Fixed(-10, 10);
        j.Set(0, {5});
        j.Set(1, {-3});
        j.Set(2, {8});
        j.Draw();
        ASSERT_EQ(j.display->Of('b').size(), 3u);
        const auto bars = j.display->Of('b');
        EXPECT_EQ(bars[0].box, (RECT{28, 205, 391, 160})) << "-3 to 0";
        EXPECT_EQ(bars[0].group, 1);
        EXPECT_EQ(bars[1].box, (RECT{28, 160, 391, 85})) << "0 to 5";
        EXPECT_EQ(bars[1].group, 0);
        EXPECT_EQ(bars[2].box, (RECT{28, 85, 391, 40})) << "5 to 8";
        EXPECT_EQ(bars[2].group, 2);
    }
    {
        SCOPED_TRACE("a stacked null adds nothing but still makes a part");
        ShapeScene j(37);
        j.Fixed(0, 10);
        j.Set(0, {2});
        j.Set(1, {std::nullopt});
        j.Set(2, {3});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('b'), (std::vector<RECT>{{28, 250, 391, 310}, {28, 250, 391, 250}, {28, 160, 391, 250}}));
    }
    {
        SCOPED_TRACE("floating bars: an odd group left out, reversed pairs, clipping at the left edge");
        ShapeScene j(30);
        j.Fixed(0, 10);
        j.Set(0, {2, 7, -5});
        j.Set(1, {6, 3, 4});
        j.Set(2, {1, 1, 1});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('b'), (std::vector<RECT>{{90, 23, 250, 295}, {130, 23, 290, 295}, {10, 23, 170, 295}}));
        for (const Shape& c : j.display->Of('b'))
            EXPECT_EQ(c.group, 0);
        ShapeScene reversed(30);
        reversed.Fixed(0, 10);
        reversed.Set(0, {7});
        reversed.Set(1, {3});
        reversed.Draw();
        EXPECT_EQ(reversed.GroupAt(140, 100), 1) << "the end value lies left in a reversed pair";
        EXPECT_EQ(reversed.GroupAt(280, 100), 0);
    }
    struct {
        int type;
        double width;
        std::vector<RECT> bars;
    } const explicitSizes[] = {
        {3, 1000, {{10, 190, 210, 310}, {210, 190, 410, 310}}},
        {3, 20, {{100, 190, 120, 310}, {300, 190, 320, 310}}},
        {2, 1000, {{10, 160, 170, 310}, {10, 10, 170, 160}}},
    };
    for (const auto& c : explicitSizes) {
        SCOPED_TRACE(testing::Message() << "explicit width " << c.width << " on type " << c.type);
        ShapeScene j(c.type);
        j.Fixed(0, 10);
        j.display->GetStyle().flagsWord |= ChartDisplay::kExplicitSizes;
        j.display->GetStyle().thirdSize = c.width;
        j.Set(0, {4, 4});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('b'), c.bars);
    }
}

TEST(ChartBars, StackedChartsMeetingNegativeValuesBecomeColumnsForGood) {
    for (int type : {37, 38, 39, 40}) {
        SCOPED_TRACE(type);
        ShapeScene j(type, 1);
        j.Set(0, {4, -2});
        j.Set(1, {3, 5});
        j.Draw();
        EXPECT_EQ(j.display->GetChartType(), 3);
        EXPECT_EQ(j.display->GetDisplayKind(), 2);
        EXPECT_LT(j.display->GetValueRange().GetMinimum(), -2) << "ranged as columns, below the sums";
        j.Set(0, {4, 2});
        j.Draw();
        EXPECT_EQ(j.display->GetChartType(), 3) << "positive data do not turn it back";
    }
    ShapeScene stacked(37);
    stacked.Set(0, {2, 4});
    stacked.Set(1, {3, 1});
    stacked.display->Prepare();
    stacked.display->CalcStackedRange();
    EXPECT_EQ(stacked.display->GetValueRange().GetMinimum(), 2) << "the sums only, not 0";
    EXPECT_EQ(stacked.display->GetValueRange().GetMaximum(), 5);
}

TEST(ChartLines, EdgeCasesInTheCallJournal) {
    {
        SCOPED_TRACE("one index: every point at the left edge, drawn from itself");
        ShapeScene j(1);
        j.Fixed(0, 10);
        j.Set(0, {3});
        j.Set(1, {7});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{10, 220, 10, 220}, {10, 100, 10, 100}}));
    }
    {
        SCOPED_TRACE("a span of 0 is drawn as 1");
        ShapeScene j(1);
        j.display->GetStyle().flagsWord |= ChartDisplayBase::kFixedRange;
        j.Set(0, {5, 5});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{10, 310, 10, 310}, {10, 310, 410, 310}}));
    }
    {
        SCOPED_TRACE("marker kind 0 draws nothing but records feedback");
        ShapeScene j(1);
        j.Set(0, {1, 2, 3});
        for (int i = 0; i < 3; ++i)
            j.chart.GetData(i, 0).GetStyle().styleWord &= ~0xFF00u;
        j.Draw();
        EXPECT_TRUE(j.display->Boxes('s').empty());
        EXPECT_EQ(j.chart.GetFeedbackList().size(), 3u);
    }
    for (bool breaks : {false, true}) {
        SCOPED_TRACE(breaks ? "a null breaks the line" : "a null is bridged");
        ShapeScene j(1);
        j.Fixed(0, 10);
        j.Set(0, {1, std::nullopt, 3});
        if (breaks) j.display->GetStyle().flagsWord |= ChartDisplay::kNullBreaksLine;
        j.Draw();
        const RECT second = breaks ? RECT{410, 220, 410, 220} : RECT{10, 280, 410, 220};
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{10, 280, 10, 280}, second}));
    }
    {
        SCOPED_TRACE("thinning draws every fifth of 2000 points on 400 pixels");
        ShapeScene j(1);
        j.display->GetStyle().extraWord |= ChartDisplay::kThinLines;
        for (int i = 0; i < 2000; ++i)
            j.chart.SetItemValue(i, 0, i % 7, false);
        j.Draw();
        const auto segments = j.display->Boxes('s');
        ASSERT_EQ(segments.size(), 400u);
        EXPECT_EQ(segments[1].right, 10 + static_cast<int>(5 * 400.0 / 1999 + 0.5));
    }
}

TEST(ChartAreas, EdgeCasesInTheCallJournal) {
    {
        SCOPED_TRACE("the larger area first");
        ShapeScene j(6);
        j.Fixed(0, 100);
        j.Set(0, {10, 10});
        j.Set(1, {100, 100});
        j.Draw();
        const auto polygons = j.display->Of('f');
        ASSERT_EQ(polygons.size(), 2u);
        EXPECT_EQ(polygons[0].points.front().y, 10) << "the mean of 100 first";
        EXPECT_EQ(polygons[1].points.front().y, 280);
    }
    {
        SCOPED_TRACE("stacked bands 0-1, 1-3, 3-6 without outline");
        ShapeScene j(14);
        j.Fixed(0, 6);
        j.Set(0, {1});
        j.Set(1, {2});
        j.Set(2, {3});
        j.Draw();
        const auto polygons = j.display->Of('f');
        ASSERT_EQ(polygons.size(), 3u);
        const int edges[][2] = {{310, 260}, {260, 160}, {160, 10}};
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(polygons[k].points,
                      (std::vector<POINT>{{10, edges[k][0]}, {10, edges[k][1]}, {10, edges[k][0]}}));
        ShapeScene range(14);
        range.Set(0, {1});
        range.Set(1, {2});
        range.Set(2, {3});
        range.display->Prepare();
        range.display->CalcStackedAreaRange();
        EXPECT_EQ(range.display->GetValueRange().GetMinimum(), 1) << "the sums only, not 0";
        EXPECT_EQ(range.display->GetValueRange().GetMaximum(), 6);
    }
    {
        SCOPED_TRACE("a mixed chart's segment starts at the bar's top centre");
        ShapeScene j(25);
        j.Fixed(0, 10);
        j.Set(0, {2, 6, 4});
        const u32 kinds[] = {2, 5, 2};
        for (int i = 0; i < 3; ++i) {
            u32& word = j.chart.GetData(i, 0).GetStyle().styleWord;
            word = (word & ~0xFF00u) | (kinds[i] << 8);
        }
        j.Draw();
        ASSERT_EQ(j.display->Boxes('b').size(), 1u);
        EXPECT_EQ(j.display->Boxes('b')[0].top, 130);
        const auto lines = j.display->Of('l');
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().box, (RECT{210, 130, 343, 190}));
    }
}

TEST(ChartHighLow, NullsGroupCountsAndSpreadColours) {
    {
        SCOPED_TRACE("a null in a band is an error, shown once; high-low bars skip it");
        test::ScriptedMessageBoxes boxes;
        ShapeScene band(24);
        band.Set(0, {1, std::nullopt, 3});
        band.Draw();
        band.Draw();
        EXPECT_EQ(boxes.shown.size(), 1u);
        ShapeScene bars(7);
        bars.Set(0, {1, std::nullopt, 3});
        bars.Draw();
        EXPECT_EQ(bars.display->Boxes('b').size(), 4u) << "two parts for each of two items";
        EXPECT_EQ(boxes.shown.size(), 1u);
    }
    {
        SCOPED_TRACE("stock charts take sets of four groups");
        test::ScriptedMessageBoxes boxes;
        ShapeScene six(29);
        for (int g = 0; g < 6; ++g)
            six.Set(g, {double(g + 1)});
        six.Draw();
        EXPECT_EQ(boxes.shown.size(), 1u);
        EXPECT_TRUE(six.display->shapes.empty());
        ShapeScene eight(29);
        eight.Fixed(0, 10);
        for (int g = 0; g < 8; ++g)
            eight.Set(g, {8.0 - g % 4, 8.0 - g % 4});
        eight.Draw();
        const auto lines = eight.display->Of('l');
        ASSERT_EQ(lines.size(), 12u) << "a line and two ticks per set, two sets in each of two slots";
        EXPECT_LT(lines[0].box.left, lines[3].box.left) << "the sets side by side";
        EXPECT_LT(lines[3].box.left, 210);
        EXPECT_GE(lines[6].box.left, 210);
        EXPECT_EQ(lines[0].box.top, 70) << "high";
        EXPECT_EQ(lines[0].box.bottom, 100) << "low";
    }
    for (bool ownFill : {true, false}) {
        SCOPED_TRACE(ownFill ? "data fill kind 2: red up, blue down" : "palette 2g and 2g + 1");
        ShapeScene j(24);
        j.Fixed(0, 10);
        for (int g = 0; g < 2; ++g) {
            j.Set(g, {4, 5, 6});
            ChartStyle& style = j.chart.GetGroup(g, false).GetStyle();
            if (ownFill) {
                style.styleWord = (style.styleWord & ~0xF0u) | 0x20;
                style.fillColour = RGB(255, 0, 0);
                style.secondFillColour = RGB(0, 0, 255);
            }
            for (int i = 0; i < 3; ++i) {
                CScale& range = j.chart.GetData(i, g).GetRangeRecord();
                range.Clear();
                range.Update(2.0 + g);
                range.Update(8.0 + g);
            }
        }
        j.Draw();
        const auto polygons = j.display->Of('f');
        ASSERT_EQ(polygons.size(), 4u);
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(polygons[k].points.size(), 7u);
            EXPECT_EQ(polygons[k].fillKind, ownFill ? 2u : 1u);
            if (ownFill) {
                EXPECT_EQ(polygons[k].fillColour, k % 2 ? RGB(0, 0, 255) : RGB(255, 0, 0));
            }
        }
        // Group 1's upper spread lies over group 0's; group 0's lower spread shows below group 1's.
        EXPECT_EQ(j.canvas.At(210, 100), ownFill ? RGB(255, 0, 0) : ChartSeriesColour(2));
        EXPECT_EQ(j.canvas.At(210, 235), ownFill ? RGB(0, 0, 255) : ChartSeriesColour(1));
    }
}

// The rulings: windows without items, one floating group, polygons over the points that were
// set, logarithmic axes from 0. Run under the undefined-behaviour checks too.
TEST(ChartTypesRulings, EmptyWindowsAndPartialPolygonsDrawSafely) {
    const int types[] = {1, 2, 3, 4, 6, 7, 11, 12, 13, 14, 15, 16, 24, 25, 30, 31, 35, 36, 37, 38, 39, 40};
    for (int type : types)
        for (bool noIndexes : {true, false}) {
            SCOPED_TRACE(testing::Message() << "type " << type << (noIndexes ? " without indexes" : " without groups"));
            ShapeScene j(type);
            j.Set(0, {1, 2});
            j.Set(1, {3, 4});
            if (noIndexes)
                j.display->SetDataWindow(5, 4, -1, -1);
            else
                j.display->SetDataWindow(-1, -1, 3, 2);
            j.Draw();
            EXPECT_TRUE(j.display->shapes.empty());
        }
    ShapeScene floating(30);
    floating.Set(0, {1, 2});
    floating.Draw();
    EXPECT_TRUE(floating.display->shapes.empty()) << "one floating group";

    ShapeScene oneIndex(24);
    oneIndex.Fixed(0, 10);
    oneIndex.Set(0, {5});
    oneIndex.Draw();
    ASSERT_EQ(oneIndex.display->Of('f').size(), 2u);
    for (const Shape& c : oneIndex.display->Of('f'))
        for (const POINT& at : c.points)
            EXPECT_EQ(at.x, 10) << "a one-index band stands at the left edge";

    ShapeScene shortGroup(24);
    shortGroup.Fixed(0, 10);
    shortGroup.Set(0, {5, 6, 7, 8});
    shortGroup.Set(1, {1, 2});
    shortGroup.Draw();
    const auto bands = shortGroup.display->Of('f');
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[2].points.size(), 5u) << "the short band returns from its last item";
    EXPECT_EQ(bands[2].points.front(), bands[2].points.back());

    ShapeScene gaps(6);
    gaps.Fixed(0, 10);
    gaps.Set(0, {2, std::nullopt, 4});
    gaps.Draw();
    ASSERT_EQ(gaps.display->Of('f').size(), 1u);
    EXPECT_EQ(gaps.display->Of('f')[0].points,
              (std::vector<POINT>{{10, 250}, {410, 190}, {410, 310}, {10, 310}}));

    for (int type : {1, 35, 30, 3}) {
        SCOPED_TRACE(testing::Message() << "type " << type << " on a log axis from 0");
        ShapeScene log(type);
        log.Fixed(0, 100);
        log.display->GetStyle().flagsWord |= ChartDisplayBase::kLogValues;
        log.Set(0, {1, 10});
        log.Set(1, {5, 50});
        log.Draw();
        EXPECT_FALSE(log.display->shapes.empty());
        for (const Shape& c : log.display->shapes) {
            EXPECT_GT(c.box.right, -100000);
            EXPECT_LT(c.box.right, 100000);
        }
    }
}

} // namespace
} // namespace vq
