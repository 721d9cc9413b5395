#include "ChartShapeRecorder.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/ImagePrintContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace vq {
namespace {

using test::ShapeScene;
using test::Spot;
using Shape = test::ShapeRecorder::Shape;

constexpr COLORREF kWhite = RGB(255, 255, 255);

void ExpectRange(const CScale& range, double minimum, double maximum) {
    EXPECT_DOUBLE_EQ(range.GetMinimum(), minimum);
    EXPECT_DOUBLE_EQ(range.GetMaximum(), maximum);
}

CScale Between(double low, double high) {
    CScale range;
    range.Update(low);
    range.Update(high);
    return range;
}

void SetMarkerKind(ChartStyle& style, u32 kind) {
    style.styleWord = (style.styleWord & ~0xFF00u) | (kind << 8);
}

TEST(ChartXY, LayoutsNullsAndFixedAxes) {
    {
        SCOPED_TRACE("group pairs: one line through (1, 10), (2, 20), (3, 30)");
        ShapeScene ranged(21);
        ranged.Set(0, {1, 2, 3});
        ranged.Set(1, {10, 20, 30});
        ranged.display->Prepare();
        ranged.display->CalcXYRange();
        ExpectRange(ranged.XRange(), 1, 3);
        ExpectRange(ranged.ValueRange(), 10, 30);
        ShapeScene j(21);
        j.Set(0, {1, 2, 3});
        j.Set(1, {10, 20, 30});
        j.FixedXY(0, 40, 0, 4);
        j.Draw();
        EXPECT_EQ(j.display->Boxes('m'), (std::vector<RECT>{{110, 235, 110, 235}}));
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{110, 235, 210, 160}, {210, 160, 310, 85}}));
        for (const Shape& c : j.display->Of('s'))
            EXPECT_EQ(c.kind, 1) << "a marker at the end of each segment";
        EXPECT_EQ(j.chart.spots, (std::vector<Spot>{{110, 235, 0, 0}, {210, 160, 0, 1}, {310, 85, 0, 2}}));
    }
    {
        SCOPED_TRACE("index pairs: one line per pair of indexes through the groups");
        ShapeScene j(20);
        j.FixedXY();
        j.Set(0, {1, 1, 5, 5});
        j.Set(1, {2, 2, 6, 6});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('m'), (std::vector<RECT>{{50, 280, 50, 280}, {210, 160, 210, 160}}));
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{50, 280, 90, 250}, {210, 160, 250, 130}}));
        EXPECT_EQ(j.chart.spots[2], (Spot{210, 160, 0, 2})) << "under the x item";
    }
    struct {
        const char* what;
        int type;
        std::vector<std::vector<std::optional<double>>> groups;
        int error;
    } const errors[] = {
        {"three groups of group pairs", 21, {{1}, {2}, {3}}, 23},
        {"three indexes of index pairs", 20, {{1, 2, 3}}, 23},
        {"an odd item count alternating", 19, {{1, 2, 3}}, 23},
        {"x null, y set", 21, {{std::nullopt, 2}, {5, 6}}, 7},
        {"any null alternating", 19, {{1, std::nullopt}}, 7},
        {"both null is no error", 21, {{std::nullopt, 2}, {std::nullopt, 6}}, -1},
    };
    for (const auto& c : errors) {
        SCOPED_TRACE(c.what);
        ShapeScene j(c.type);
        for (std::size_t g = 0; g < c.groups.size(); ++g) {
            int i = 0;
            for (const auto& v : c.groups[g]) {
                ChartData& item = j.chart.GetData(i++, static_cast<int>(g));
                if (v) item.SetValue(*v);
            }
        }
        EXPECT_EQ(j.Error(), c.error);
    }
    for (bool breaks : {false, true}) {
        SCOPED_TRACE(breaks ? "two null coordinates break the line" : "two null coordinates are passed over");
        ShapeScene j(21);
        j.FixedXY();
        j.Set(0, {1, std::nullopt, 3});
        j.Set(1, {1, std::nullopt, 3});
        if (breaks) j.display->GetStyle().flagsWord |= ChartDisplay::kNullBreaksLine;
        j.Draw();
        EXPECT_EQ(j.display->Of('m').size(), breaks ? 2u : 1u);
        EXPECT_EQ(j.display->Of('s').size(), breaks ? 0u : 1u);
    }
    {
        SCOPED_TRACE("fixed value limits keep points above them out of the X range");
        ShapeScene j(21);
        j.display->GetStyle().flagsWord |= ChartDisplayBase::kFixedRange;
        j.display->SetUpperValueLimit(10);
        j.Set(0, {1, 2, 50});
        j.Set(1, {5, 8, 20});
        j.display->Prepare();
        j.display->CalcXYRange();
        ExpectRange(j.ValueRange(), 0, 10);
        ExpectRange(j.XRange(), 1, 2);
    }
    {
        SCOPED_TRACE("separate logarithmic X axis from 0");
        ShapeScene j(34);
        j.display->GetStyle().extraWord |= ChartDisplayBase::kLogX;
        j.display->SetXExtents(Between(0, 1000));
        j.Set(0, {1, 10, 100});
        j.Set(1, {1, 2, 3});
        j.Draw();
        EXPECT_GT(j.display->GetLastXExtents().GetMinimum(), 0);
        EXPECT_TRUE(j.display->IsXAxisLog());
        EXPECT_FALSE(j.display->IsValueAxisLog());
        const auto spots = j.chart.spots;
        ASSERT_EQ(spots.size(), 3u);
        EXPECT_EQ(spots[1].x - spots[0].x, spots[2].x - spots[1].x) << "decades equally wide";
        EXPECT_GT(spots[0].x, 10);
        EXPECT_LT(spots[2].x, 410);
    }
}

TEST(ChartXY, EqualUnitsPerInchShrinkThePlotOrWidenARange) {
    {
        SCOPED_TRACE("fixed limits: 10 units across 400 and up 300 pixels become 300 by 300");
        ShapeScene j(21, 15);
        j.FixedXY();
        j.display->GetStyle().flagsWord |= ChartDisplay::kEqualUnits | ChartDisplay::kNoIndexAxis |
                                           ChartDisplay::kNoValueAxis;
        j.Set(0, {5});
        j.Set(1, {5});
        j.Draw();
        EXPECT_EQ(j.display->GetPlotRect(), (RECT{60, 10, 360, 310})) << "about its centre";
        EXPECT_EQ(j.chart.spots, (std::vector<Spot>{{210, 160, 0, 0}}));
    }
    {
        SCOPED_TRACE("free ranges: the value extents grow to 400 x 300's ratio");
        ShapeScene j(21, 15);
        j.display->GetStyle().flagsWord |= ChartDisplay::kEqualUnits | ChartDisplay::kNoIndexAxis |
                                           ChartDisplay::kNoValueAxis;
        j.display->SetXExtents(Between(0, 8));
        j.display->SetValueExtents(Between(0, 4));
        j.Set(0, {0, 8});
        j.Set(1, {0, 3});
        j.Draw();
        EXPECT_EQ(j.display->GetPlotRect(), (RECT{10, 10, 410, 310})) << "the plot keeps its size";
        ExpectRange(j.display->GetLastXExtents(), 0, 8);
        ExpectRange(j.display->GetLastValueExtents(), 0, 6);
        EXPECT_EQ(j.chart.spots[1], (Spot{410, 160, 0, 1}));
    }
}

TEST(ChartBubbles, SizesOrderCrossesAndErrors) {
    {
        SCOPED_TRACE("explicit sizes: 1, 4 and 9 by area give 10, 20 and 30 pixels, largest first");
        ShapeScene j(42);
        j.FixedXY();
        j.display->GetStyle().flagsWord |= ChartDisplay::kExplicitSizes;
        j.display->GetStyle().thirdSize = 30;
        j.Set(0, {2, 5, 8});
        j.Set(1, {5, 5, 5});
        j.Set(2, {1, 4, 9});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('b'),
                  (std::vector<RECT>{{300, 130, 360, 190}, {190, 140, 230, 180}, {80, 150, 100, 170}}));
        for (const Shape& c : j.display->Of('b')) {
            EXPECT_EQ(c.kind, 0x1100) << "circles";
            EXPECT_EQ(c.group, 0);
        }
    }
    {
        SCOPED_TRACE("size 0: a cross of 4 pixels in the colour of its place in the order");
        ShapeScene j(41);
        j.FixedXY();
        j.Set(0, {2, 8});
        j.Set(1, {5, 5});
        j.Set(2, {0, 1});
        j.Draw();
        ASSERT_EQ(j.display->Of('b').size(), 1u);
        EXPECT_EQ(j.chart.spots.back(), (Spot{90, 160, 0, 0}));
        EXPECT_EQ(j.canvas.At(93, 163), ChartSeriesColour(1));
        EXPECT_EQ(j.canvas.At(87, 157), ChartSeriesColour(1));
        EXPECT_EQ(j.canvas.At(93, 157), ChartSeriesColour(1));
        EXPECT_NE(j.canvas.At(96, 160), ChartSeriesColour(1)) << "4 pixels each way";
    }
    {
        SCOPED_TRACE("marker kind 5 draws squares whose area follows the size; a bubble wholly outside is skipped");
        ShapeScene j(42);
        j.FixedXY();
        j.Set(0, {5, 30});
        j.Set(1, {5, 5});
        j.Set(2, {4, 4});
        for (int i = 0; i < 2; ++i)
            SetMarkerKind(j.chart.GetData(i, 0).GetStyle(), 5);
        j.Draw();
        ASSERT_EQ(j.display->Of('b').size(), 1u);
        EXPECT_EQ(j.display->Of('b')[0].kind, 0x500);
        EXPECT_EQ(j.display->Boxes('b')[0], (RECT{130, 100, 290, 220})) << "side 2 units";
    }
    ShapeScene two(41);
    two.Set(0, {1});
    two.Set(1, {1});
    EXPECT_EQ(two.Error(), 21);
    ShapeScene log(41);
    for (int g = 0; g < 3; ++g)
        log.Set(g, {1});
    log.display->GetStyle().flagsWord |= ChartDisplayBase::kLogValues;
    EXPECT_EQ(log.Error(), 22);
}

TEST(ChartBubbles, SizesWidenTheRangesOnlyWhenAsked) {
    for (bool widen : {false, true}) {
        SCOPED_TRACE(widen ? "the bubbles' extent counts" : "the centres count");
        ShapeScene j(41);
        if (widen) j.display->GetStyle().extraWord |= ChartDisplay::kSizesWidenRanges;
        j.Set(0, {2, 6});
        j.Set(1, {3, 4});
        j.Set(2, {1, 2});
        j.display->Prepare();
        j.display->CalcBubbleRange();
        ExpectRange(j.XRange(), widen ? 1 : 2, widen ? 8 : 6);
        ExpectRange(j.ValueRange(), widen ? 2 : 3, widen ? 6 : 4);
    }
}

TEST(ChartVectors, ArrowsBearingsCrossesAndSeries) {
    auto vector = [](ShapeScene& j, int series, std::initializer_list<std::optional<double>> x,
                     std::initializer_list<std::optional<double>> y, std::initializer_list<std::optional<double>> c,
                     std::initializer_list<std::optional<double>> d) {
        j.Set(4 * series, x);
        j.Set(4 * series + 1, y);
        j.Set(4 * series + 2, c);
        j.Set(4 * series + 3, d);
    };
    {
        SCOPED_TRACE("bearing 0 points up 2 value units, bearing 90 right 2 X units");
        ShapeScene j(43);
        j.FixedXY();
        vector(j, 0, {5, 5}, {5, 5}, {0, 90}, {2, 2});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{210, 160, 210, 101}, {210, 160, 290, 160}}));
        for (const Shape& c : j.display->Of('s')) {
            EXPECT_EQ(c.kind, 8) << "no markers on the segment";
            EXPECT_EQ(c.markerKind, 18) << "the line and its ends";
        }
        EXPECT_EQ(j.display->Boxes('k'), (std::vector<RECT>{{210, 160, 210, 160}, {210, 160, 210, 160}}));
        EXPECT_EQ(j.chart.spots,
                  (std::vector<Spot>{{210, 160, 0, 0}, {210, 101, 2, 0}, {210, 160, 0, 1}, {290, 160, 2, 1}}));
        EXPECT_EQ(j.canvas.At(210, 130), ChartSeriesColour(0)) << "vector number 0";
        EXPECT_EQ(j.canvas.At(250, 160), ChartSeriesColour(1)) << "vector number 1";
    }
    {
        SCOPED_TRACE("the midpoint type marks the point between tail and head");
        ShapeScene j(44);
        j.FixedXY();
        vector(j, 0, {5}, {5}, {90}, {2});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{170, 160, 250, 160}}));
        EXPECT_EQ(j.display->Boxes('k'), (std::vector<RECT>{{210, 160, 210, 160}}));
    }
    {
        SCOPED_TRACE("displacements; (0, 0) is a cross");
        ShapeScene j(45);
        j.FixedXY();
        vector(j, 0, {5, 2}, {5, 2}, {1, 0}, {-1, 0});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{210, 160, 250, 190}}));
        EXPECT_EQ(j.chart.spots.back(), (Spot{90, 250, 0, 1}));
        EXPECT_EQ(j.canvas.At(93, 253), ChartSeriesColour(1));
        EXPECT_EQ(j.canvas.At(87, 247), ChartSeriesColour(1));
    }
    {
        SCOPED_TRACE("explicit sizes: the longest arrow 40 pixels, half as long 20, whatever the axes");
        ShapeScene j(43);
        j.FixedXY(0, 1000);
        j.display->GetStyle().flagsWord |= ChartDisplay::kExplicitSizes;
        j.display->GetStyle().thirdSize = 40;
        vector(j, 0, {2, 2}, {100, 500}, {90, 90}, {6, 3});
        j.Draw();
        EXPECT_EQ(j.display->Boxes('s'), (std::vector<RECT>{{90, 280, 130, 280}, {90, 160, 110, 160}}));
    }
    {
        SCOPED_TRACE("a window of 7 groups holds one series; the others do not count");
        ShapeScene j(43);
        vector(j, 0, {1, 3}, {2, 4}, {0, 0}, {1, 1});
        for (int g = 4; g < 7; ++g)
            j.Set(g, {1000, 1000});
        j.display->Prepare();
        j.display->CalcVectorRange();
        ExpectRange(j.XRange(), 1, 3);
        ExpectRange(j.ValueRange(), 2, 4);
        j.display->GetStyle().extraWord |= ChartDisplay::kSizesWidenRanges;
        j.display->CalcVectorRange();
        ExpectRange(j.ValueRange(), 2, 5);
    }
    {
        SCOPED_TRACE("only X limits fix the X range; the values of vectors outside them do not count");
        ShapeScene j(45);
        j.display->GetStyle().flagsWord |= ChartDisplayBase::kFixedRange;
        j.display->SetUpperXLimit(10);
        vector(j, 0, {1, 20, 9}, {3, 100, 5}, {0, 0, 2}, {1, 0, 1});
        j.display->Prepare();
        j.display->CalcVectorRange();
        ExpectRange(j.XRange(), 0, 10);
        ExpectRange(j.ValueRange(), 3, 6);
    }
    ShapeScene three(43);
    for (int g = 0; g < 3; ++g)
        three.Set(g, {1});
    EXPECT_EQ(three.Error(), 21);
    ShapeScene log(43);
    for (int g = 0; g < 4; ++g)
        log.Set(g, {1});
    log.display->GetStyle().flagsWord |= ChartDisplayBase::kLogValues;
    EXPECT_EQ(log.Error(), 22);
}

TEST(ChartVectors, ArrowHeadsAreTheStyleLineEnds) {
    ShapeScene j(43);
    j.FixedXY();
    j.Set(0, {5});
    j.Set(1, {5});
    j.Set(2, {90});
    j.Set(3, {3});
    j.chart.GetData(0, 0).GetStyle().name = "|ARROW";
    j.Draw();
    const auto ends = j.display->Of('e');
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_EQ(ends[1].box.left, 330);
    EXPECT_EQ(ends[1].kind, 2);
    EXPECT_EQ(j.canvas.At(322, 165), ChartSeriesColour(0)) << "the head's fill";
    EXPECT_EQ(j.canvas.At(322, 155), ChartSeriesColour(0));
    EXPECT_EQ(j.canvas.At(203, 165), j.canvas.At(5, 5)) << "no head at the tail";
}

// Spans of 0, logarithms of non-positive minimums and pairs across groups, also run under the
// undefined-behaviour checks.
TEST(ChartXYRulings, ZeroSpansLogFloorsAndPairsAcrossGroups) {
    for (int type : {21, 41, 43}) {
        SCOPED_TRACE(testing::Message() << "type " << type << " with every x 0 under fixed values");
        ShapeScene j(type, 1);
        j.display->GetStyle().flagsWord |= ChartDisplayBase::kFixedRange;
        j.display->SetUpperValueLimit(10);
        j.Set(0, {0, 0});
        j.Set(1, {2, 3});
        j.Set(2, {0, 0});
        j.Set(3, {4, 5});
        j.Draw();
        ExpectRange(j.display->GetLastXExtents(), 0, 0);
        ASSERT_FALSE(j.chart.spots.empty());
        for (const Spot& s : j.chart.spots) {
            EXPECT_EQ(s.x, 10) << "at the left edge, as on an axis of size 1";
            EXPECT_GE(s.y, 10);
            EXPECT_LE(s.y, 310);
        }
    }
    {
        SCOPED_TRACE("user extents of size 0 count as size 1");
        auto drawn = [](int type) {
            auto j = std::make_unique<ShapeScene>(type);
            j->Set(0, {5, 6});
            j->Set(1, {5, 6});
            j->Set(2, {1, 1});
            j->Set(3, {1, 1});
            j->display->Prepare();
            j->display->SetXExtents(Between(5, 5));
            j->display->SetValueExtents(Between(5, 5));
            j->Draw();
            return j;
        };
        const auto xy = drawn(21);
        ASSERT_EQ(xy->chart.spots.size(), 4u);
        EXPECT_EQ(xy->chart.spots[0], (Spot{10, 310, 0, 0}));
        EXPECT_EQ(xy->chart.spots[1], (Spot{410, 10, 0, 1}));
        const auto bubbles = drawn(41);
        const auto boxes = bubbles->display->Boxes('b');
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0], (RECT{-390, 10, 410, 610})) << "radius 1 across 400 and up 300 pixels";
        EXPECT_EQ(boxes[1], (RECT{10, -290, 810, 310}));
        const auto vectors = drawn(45);
        ASSERT_EQ(vectors->chart.spots.size(), 4u);
        EXPECT_EQ(vectors->chart.spots[0], (Spot{10, 310, 0, 0}));
        EXPECT_EQ(vectors->chart.spots[2], (Spot{410, 10, 0, 1}));
    }
    {
        SCOPED_TRACE("user extents below 0 on logarithmic axes start at 0.001");
        ShapeScene j(21);
        j.display->GetStyle().flagsWord |= ChartDisplayBase::kLogValues;
        j.Set(0, {1});
        j.Set(1, {1});
        j.display->Prepare();
        j.display->SetXExtents(Between(-5, 1000));
        j.display->SetValueExtents(Between(-5, 1000));
        j.Draw();
        EXPECT_EQ(j.chart.spots, (std::vector<Spot>{{210, 160, 0, 0}})) << "1 halfway between 0.001 and 1000";
    }
    {
        SCOPED_TRACE("alternating data with an odd group: the pair across the groups counts in the range");
        ShapeScene j(19);
        j.Set(0, {1, 2, 3});
        j.Set(1, {100, 4, 5});
        j.Draw();
        EXPECT_GE(j.display->GetLastValueExtents().GetMaximum(), 100);
        ASSERT_EQ(j.chart.spots.size(), 3u);
        EXPECT_EQ(j.chart.spots[1].group, 0) << "the x item's group";
        EXPECT_EQ(j.chart.spots[1].index, 2);
        const RECT p = j.display->GetPlotRect();
        for (const Spot& s : j.chart.spots) {
            EXPECT_GE(s.y, p.top);
            EXPECT_LE(s.y, p.bottom);
        }
        EXPECT_EQ(j.display->Of('m').size(), 2u) << "a line for each group";
    }
}

// The charts in a window with their axes, checked by their pixels and saved for a look.
class XYWindow : public test::ChartPictureTest {
protected:
    ChartDisplay* Open(int type) { return ChartPictureTest::Open(400, 300, type, 1); }
    bool AnyDark(RECT r) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = At(x, y);
                if (GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80) return true;
            }
        return false;
    }
    // Where the last draw put a value pair.
    POINT Mapped(double x, double y) {
        const RECT p = display->GetPlotRect();
        const CScale xe = display->GetLastXExtents(), ve = display->GetLastValueExtents();
        return {static_cast<int>((x - xe.GetMinimum()) * (p.right - p.left) / xe.GetSpan() + p.left + 0.5),
                static_cast<int>(p.bottom - (y - ve.GetMinimum()) * (p.bottom - p.top) / ve.GetSpan() + 0.5)};
    }
};

TEST_F(XYWindow, GroupPairsDrawAtTheirMappedPixelsOverTwoValueAxes) {
    Open(21);
    for (int i = 0; i < 3; ++i) {
        chart.SetItemValue(i, 0, i + 1.0, false);
        chart.SetItemValue(i, 1, 10.0 * (i + 1), false);
        SetMarkerKind(chart.GetData(i, 0).GetStyle(), 12);
    }
    Repaint();
    const RECT p = display->GetPlotRect();
    EXPECT_GT(p.left, 10) << "room for the value labels";
    EXPECT_LT(p.bottom, 290) << "room for the X labels";
    ASSERT_NE(display->GetXAxisScale(), nullptr);
    ASSERT_NE(display->GetValueAxisScale(), nullptr);
    EXPECT_GE(display->GetSecondPositionList().size(), 2u) << "X ticks";
    EXPECT_GE(display->GetFirstPositionList().size(), 2u) << "value ticks";
    EXPECT_TRUE(AnyDark({p.left, p.bottom + 3, p.right, 300})) << "X labels";
    EXPECT_TRUE(AnyDark({0, p.top, p.left - 3, p.bottom})) << "value labels";
    for (int i = 0; i < 3; ++i) {
        const POINT at = Mapped(i + 1.0, 10.0 * (i + 1));
        EXPECT_EQ(At(at.x, at.y), ChartSeriesColour(0)) << "point " << i;
        EXPECT_EQ(At(at.x + 4, at.y - 4), kWhite) << "a marker of 5 pixels";
    }
    Save("chart-xy-group-pairs.png");
}

TEST_F(XYWindow, BubblesAndArrows) {
    Open(42);
    const double sizes[] = {1, 4, 9}, ys[] = {3, 6, 4};
    for (int i = 0; i < 3; ++i) {
        chart.SetItemValue(i, 0, 2.0 + 3 * i, false);
        chart.SetItemValue(i, 1, ys[i], false);
        chart.SetItemValue(i, 2, sizes[i], false);
    }
    display->GetStyle().flagsWord |= ChartDisplay::kExplicitSizes | ChartDisplayBase::kFixedRange;
    display->GetStyle().thirdSize = 30;
    display->SetUpperValueLimit(10);
    display->SetUpperXLimit(10);
    Repaint();
    POINT at = Mapped(8, 4);
    EXPECT_EQ(At(at.x + 28, at.y), ChartSeriesColour(0)) << "the largest, 30 pixels, drawn first";
    EXPECT_NE(At(at.x + 32, at.y), ChartSeriesColour(0));
    at = Mapped(5, 6);
    EXPECT_EQ(At(at.x - 18, at.y), ChartSeriesColour(1)) << "20 pixels";
    EXPECT_NE(At(at.x - 22, at.y), ChartSeriesColour(1));
    at = Mapped(2, 3);
    EXPECT_EQ(At(at.x + 8, at.y), ChartSeriesColour(2)) << "the smallest, 10 pixels, drawn last";
    Save("chart-xy-bubbles.png");

    chart.DeleteAllGroups();
    display->SetTypeAndKind(43, 1);
    display->GetStyle().flagsWord &= ~(ChartDisplay::kExplicitSizes | ChartDisplayBase::kFixedRange);
    for (int i = 0; i < 8; ++i) {
        chart.SetItemValue(i, 0, 1.0 + i, false);
        chart.SetItemValue(i, 1, 1.0 + (i % 3), false);
        chart.SetItemValue(i, 2, 45.0 * i, false);
        chart.SetItemValue(i, 3, 0.8, false);
        chart.GetData(i, 0).GetStyle().name = "|ARROW";
    }
    display->GetStyle().extraWord |= ChartDisplay::kSizesWidenRanges;
    Repaint();
    at = Mapped(7, 1);
    const POINT head = Mapped(6.2, 1);
    EXPECT_EQ(At((at.x + head.x) / 2, at.y), ChartSeriesColour(6)) << "bearing 270 points left";
    EXPECT_EQ(At(head.x + 6, head.y + 2), ChartSeriesColour(6)) << "the arrow head";
    EXPECT_EQ(At(head.x - 3, head.y + 3), kWhite);
    Save("chart-xy-vectors.png");
}

TEST(ChartXYPrint, ExplicitSizesAndCrossesScaleByTheDeviceRatio) {
    ImagePrintContext bubblePage(1250, 937, 300), crossPage(1250, 937, 300);
    const double ratio = 300.0 / 96;
    ShapeScene bubbles(42);
    bubbles.FixedXY();
    bubbles.display->GetStyle().flagsWord |= ChartDisplay::kExplicitSizes;
    bubbles.display->GetStyle().thirdSize = 30;
    bubbles.Set(0, {5});
    bubbles.Set(1, {5});
    bubbles.Set(2, {9});
    bubbles.Draw(bubblePage.Dc());
    const int half = static_cast<int>(30 * ratio + 0.5);
    EXPECT_EQ(bubbles.display->Boxes('b'), (std::vector<RECT>{{210 - half, 160 - half, 210 + half, 160 + half}}));

    ShapeScene cross(45);
    cross.FixedXY();
    cross.Set(0, {5});
    cross.Set(1, {5});
    cross.Set(2, {0});
    cross.Set(3, {0});
    cross.Draw(crossPage.Dc());
    HDC dc = crossPage.Dc();
    EXPECT_EQ(GetPixel(dc, 210 + 11, 160 + 11), ChartSeriesColour(0)) << "12 pixels each way";
    EXPECT_EQ(GetPixel(dc, 210 - 11, 160 + 11), ChartSeriesColour(0));
    EXPECT_NE(GetPixel(dc, 210 + 15, 160 + 15), ChartSeriesColour(0));
}

} // namespace
} // namespace vq
