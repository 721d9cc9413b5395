#include "platform/gui/Region.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(Region, CombinesOverlappingRectanglesByMode) {
    const Region a(RECT{0, 0, 10, 10});
    const Region b(RECT{5, 5, 15, 15});
    struct Case {
        int mode;
        POINT in[2];
        POINT out[2];
        int kind;
    };
    const Case cases[] = {
        {RGN_AND, {{5, 5}, {9, 9}}, {{4, 4}, {10, 10}}, SIMPLEREGION},
        {RGN_OR, {{0, 0}, {14, 14}}, {{14, 0}, {0, 14}}, COMPLEXREGION},
        {RGN_DIFF, {{0, 0}, {9, 4}}, {{5, 5}, {10, 10}}, COMPLEXREGION},
        {RGN_XOR, {{0, 0}, {14, 14}}, {{5, 5}, {9, 9}}, COMPLEXREGION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        const Region r = Region::Combine(a, b, c.mode);
        EXPECT_EQ(r.Kind(), c.kind);
        for (const auto& p : c.in)
            EXPECT_TRUE(r.Contains(p.x, p.y)) << p.x << "," << p.y;
        for (const auto& p : c.out)
            EXPECT_FALSE(r.Contains(p.x, p.y)) << p.x << "," << p.y;
    }
}

TEST(Region, EqualSetsHaveEqualRepresentations) {
    const Region left(RECT{0, 0, 5, 10});
    const Region right(RECT{5, 0, 10, 10});
    EXPECT_EQ(Region::Combine(left, right, RGN_OR), Region(RECT{0, 0, 10, 10}));
    EXPECT_EQ(Region::Combine(left, left, RGN_DIFF).Kind(), NULLREGION);
}

TEST(Region, PolygonLeavesOutRightAndBottomEdges) {
    const POINT square[] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
    const Region r = Region::FromPolygon(square, ALTERNATE);
    EXPECT_EQ(r, Region(RECT{2, 2, 6, 6}));
}

} // namespace
} // namespace vq
