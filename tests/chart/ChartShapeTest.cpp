#include "chart/ChartCompiledPolygon.h"
#include "chart/ChartFeedback.h"

#include <gtest/gtest.h>
#include <vector>

namespace vq {
namespace {

std::vector<POINT> Copy(std::span<const POINT> points) {
    return {points.begin(), points.end()};
}

TEST(ChartCompiledPolygon, BoxFittedIntoARectanglePutsLargerYHigher) {
    ChartCompiledPolygon box(ChartCompiledPolygon::stockBox);
    const RECT rect{0, 0, 100, 50};
    EXPECT_EQ(Copy(box.FitToRect(rect)), (std::vector<POINT>{{0, 50}, {100, 50}, {100, 0}, {0, 0}, {0, 50}}));
    // Numbers beyond the stock table build the box too; compiling rounds half toward zero.
    ChartCompiledPolygon seven(7);
    EXPECT_EQ(Copy(seven.Compile()), (std::vector<POINT>{{-4, -4}, {5, -4}, {5, 5}, {-4, 5}, {-4, -4}}));
}

TEST(ChartCompiledPolygon, ShapeWithoutExtentFitsToTheEdges) {
    ChartCompiledPolygon line;
    line.AddPoint(3, 1);
    line.AddPoint(3, 9);
    const RECT rect{10, 20, 110, 70};
    EXPECT_EQ(Copy(line.FitToRect(rect)), (std::vector<POINT>{{10, 70}, {10, 20}}));
}

TEST(ChartCompiledPolygon, RegularOutlinesCloseOnTheirFirstPoint) {
    struct Case {
        int n;
        int points;
    };
    for (const Case& c :
         {Case{6, 7}, Case{7, 9}, Case{1, 2}, Case{360, 361}, Case{0, 0}, Case{361, 0}, Case{-4, 0}}) {
        SCOPED_TRACE(c.n);
        ChartCompiledPolygon shape;
        shape.MakeRegular(c.n);
        ASSERT_EQ(shape.GetPointCount(), c.points);
        if (c.points == 0) continue;
        const auto points = Copy(shape.Compile());
        EXPECT_EQ(points.front(), points.back());
        // sin on x, cos on y, both less 50: the first corner is (-50, 50), compiled as (-49, 50).
        EXPECT_EQ(points.front(), (POINT{-49, 50}));
    }
}

TEST(ChartCompiledPolygon, PlaceScalesRotatesAndMoves) {
    ChartCompiledPolygon shape;
    shape.AddPoint(10, 0);
    shape.SetXScale(2);
    EXPECT_EQ(Copy(shape.Place(5, 7)), (std::vector<POINT>{{25, 7}}));
    shape.SetXScale(1);
    shape.SetRotation(90);
    EXPECT_EQ(shape.GetRotatedFlag(), 1);
    // (10, 0) turned by 90 degrees: y = -9.99... truncates to -9, and -9 + 0.5 to -8.
    EXPECT_EQ(Copy(shape.Place(0, 0)), (std::vector<POINT>{{0, -8}}));
    shape.SetRotation(0);
    EXPECT_EQ(shape.GetRotatedFlag(), 0);
}

TEST(ChartCompiledPolygon, BufferGrowsInStepsOf128) {
    ChartCompiledPolygon shape;
    for (int i = 0; i < 129; ++i)
        shape.AddPointInt(i, 2 * i);
    const auto points = shape.Compile();
    EXPECT_EQ(points.size(), 129u);
    EXPECT_EQ(shape.GetBufferCapacity(), 256);
    EXPECT_EQ(points[128], (POINT{128, 256}));
}

TEST(ChartFeedback, ContainsByKind) {
    const ChartFeedback point(100, 100, 5, 0, 0, nullptr);
    const ChartFeedback rect(10, 10, 20, 20, 1, 2, nullptr);
    const POINT triangle[] = {{0, 0}, {40, 0}, {0, 40}};
    const ChartFeedback polygon(triangle, 3, 4, nullptr);
    struct Case {
        const ChartFeedback& record;
        int x, y;
        bool in;
    };
    const Case cases[] = {
        {point, 104, 96, true}, {point, 105, 100, false}, {point, 100, 95, false}, {point, 96, 104, true},
        {rect, 10, 10, true},   {rect, 20, 15, false},    {rect, 19, 19, true},    {rect, 15, 20, false},
        {polygon, 5, 5, true},  {polygon, 35, 35, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.record.GetKind() << " at " << c.x << "," << c.y);
        EXPECT_EQ(c.record.Contains(c.x, c.y) != 0, c.in);
    }
    EXPECT_EQ(rect.GetGroup(), 1);
    EXPECT_EQ(rect.GetIndex(), 2);
}

} // namespace
} // namespace vq
