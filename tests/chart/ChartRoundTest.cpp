#include "ChartShapeRecorder.h"
#include "ScriptedMessageBoxes.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiJournal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace vq {
namespace {

using test::ShapeScene;

// The plot of the scenes, (10, 10) to (410, 310), puts the centre at (210, 160) and the data
// radius at 120 pixels; on a fixed range of 0 to 10 a unit is 12 pixels.
constexpr POINT kCentre{210, 160};
constexpr POINT kTop{210, 40}, kRight{330, 160}, kBottom{210, 280}, kLeft{90, 160};

// A line's or a marker's recorded ends.
RECT Between(POINT from, POINT to) {
    return {from.x, from.y, to.x, to.y};
}

void SetMarkerKind(ChartData& item, u32 kind) {
    u32& word = item.GetStyle().styleWord;
    word = (word & ~0xFF00u) | (kind << 8);
}

TEST(ChartRadar, SpokesClockwiseFromTheTopAndShortGroupsRepeatTheirLastPoint) {
    ShapeScene scene(23);
    scene.Fixed(0, 10);
    scene.Set(0, {10, 10, 10, 10});
    scene.Set(1, {0, 10, 10});
    scene.Draw();
    const auto filled = scene.Filled();
    ASSERT_EQ(filled.size(), 2u);
    EXPECT_EQ(filled[0].points, (std::vector<POINT>{kTop, kRight, kBottom, kLeft, kTop}));
    EXPECT_EQ(filled[1].points, (std::vector<POINT>{kCentre, kRight, kBottom, kBottom, kCentre}))
        << "the minimum at the centre; the missing fourth point repeats the third";
    EXPECT_EQ(scene.display->Of('o').size(), 2u) << "filled and outlined";
    EXPECT_EQ(scene.chart.GetFeedbackList().size(), 4u + 3u) << "a feedback point per item";
    EXPECT_EQ(scene.chart.GetGroup(1, false).GetCount(), 3) << "nothing made while drawing";
}

TEST(ChartRadar, LinesAndMarkersFollowEachItemsMarkerKind) {
    ShapeScene scene(18);
    scene.Fixed(0, 10);
    scene.Set(0, {10, 10, 10, 10});
    const u32 kinds[] = {1, 0, 2, 4};
    for (int i = 0; i < 4; ++i)
        SetMarkerKind(scene.chart.GetData(i, 0), kinds[i]);
    scene.Draw();
    const auto markers = scene.display->Of('m');
    ASSERT_EQ(markers.size(), 2u) << "kind 0 draws nothing, kind 4 only its line";
    EXPECT_EQ(markers[0].box, Between(kTop, kTop));
    EXPECT_EQ(markers[1].box, Between(kBottom, kBottom));
    const auto lines = scene.display->Of('l');
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].box, Between(kBottom, kLeft));
    EXPECT_EQ(lines[1].box, Between(kLeft, kTop)) << "closed in the first item's style";
}

TEST(ChartRadar, TooFewIndexesOrAnOddPolarGroupCountIsAnErrorShownOnce) {
    struct {
        int type, kind, groups, indexes;
    } const cases[] = {{18, 14, 1, 2}, {23, 1, 2, 2}, {27, 17, 3, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        test::ScriptedMessageBoxes boxes;
        ShapeScene scene(c.type, c.kind);
        for (int g = 0; g < c.groups; ++g)
            for (int i = 0; i < c.indexes; ++i)
                scene.chart.SetItemValue(i, g, 3 + g + i, false);
        GdiJournal journal;
        scene.Draw();
        scene.Draw();
        EXPECT_EQ(boxes.shown.size(), 1u);
        EXPECT_TRUE(scene.Filled().empty());
        if (c.type != 27) {
            EXPECT_TRUE(journal.Calls("LineTo").empty()) << "no frame";
            EXPECT_TRUE(journal.Calls("ExtTextOut").empty()) << "no axes";
        }
    }
}

TEST(ChartRadar, LogarithmicAxisWithALowerLimitOfZero) {
    ShapeScene scene(23);
    scene.display->GetStyle().flagsWord |= ChartDisplayBase::kLogValues;
    scene.Fixed(0, 100);
    scene.Set(0, {1, 10, 100, 0.001});
    scene.Draw();
    const auto filled = scene.Filled();
    ASSERT_EQ(filled.size(), 1u);
    // The range becomes 0.0001 to 100: six decades of 20 pixels from the centre.
    EXPECT_EQ(filled[0].points, (std::vector<POINT>{{210, 80}, {310, 160}, kBottom, {190, 160}, {210, 80}}));
}

TEST(ChartPolar, AnglesClockwiseFromTheTopWithoutMakingItems) {
    ShapeScene scene(27);
    scene.Fixed(0, 10);
    scene.Set(0, {0, 90});
    scene.Set(1, {10, 10});
    scene.Set(2, {0, 90, 180, 270});
    scene.Set(3, {5, 5, 5, 5});
    for (int draw = 0; draw < 5; ++draw)
        scene.Draw();
    EXPECT_EQ(scene.chart.GetGroup(0, false).GetCount(), 2) << "the short pair keeps its items";
    EXPECT_EQ(scene.chart.GetGroup(1, false).GetCount(), 2);
    const auto filled = scene.Filled();
    ASSERT_EQ(filled.size(), 2u);
    EXPECT_TRUE(scene.display->Of('o').empty()) << "filled without an outline";
    EXPECT_EQ(filled[0].points, (std::vector<POINT>{kTop, kRight, kRight, kRight, kTop}))
        << "points after the last item repeat it";
    EXPECT_EQ(filled[1].points, (std::vector<POINT>{{210, 100}, {270, 160}, {210, 220}, {150, 160}, {210, 100}}))
        << "180 below the centre";
}

TEST(ChartPolar, RadiusGroupsSetTheRange) {
    ShapeScene scene(26);
    scene.Set(0, {720, 30});
    scene.Set(1, {4, 7});
    scene.Draw();
    EXPECT_LE(scene.display->GetValueRange().GetMaximum(), 10) << "angles are not values";
    EXPECT_GE(scene.display->GetValueRange().GetMaximum(), 7);
}

class RoundPicture : public test::ChartPictureTest {
protected:
    static constexpr COLORREF kGrid = RGB(0, 128, 128);
    // Circle markers joined by lines in the series colour; groups filled in light colours.
    void Style(int group, int items) {
        static constexpr COLORREF kLight[] = {RGB(240, 150, 150), RGB(150, 150, 240)};
        ChartStyle& own = chart.GetGroup(group, true).GetStyle();
        own.styleWord = (own.styleWord & ~0xFFFu) | 0x0C21;
        own.fillColour = kLight[group % 2];
        for (int i = 0; i < items; ++i) {
            ChartStyle& style = chart.GetData(i, group).GetStyle();
            style.styleWord = (style.styleWord & ~0xFFFFu) | 0x0C22;
            style.fillColour = ChartSeriesColour(group);
        }
    }
    void FillRadar() {
        const char* names[] = {"North", "East", "South", "West", "Up", "Down"};
        for (int i = 0; i < 6; ++i) {
            chart.SetItemValue(i, 0, 20 + 10 * i, false);
            chart.SetItemValue(i, 1, 70 - 8 * i, false);
            chart.SetItemLabel(i, 0, names[i]);
        }
        Style(0, 6);
        Style(1, 6);
    }
    void FillPolar() {
        for (int i = 0; i < 12; ++i) {
            chart.SetItemValue(i, 0, 30.0 * i, false);
            chart.SetItemValue(i, 1, 10 + 5 * (i % 4), false);
        }
        Style(0, 12);
    }
};

TEST_F(RoundPicture, RadarFramesSpokeLabelsAndValueAxis) {
    Open(400, 300, 18, 14);
    FillRadar();
    for (const int type : {18, 23}) {
        SCOPED_TRACE(type);
        display->SetTypeAndKind(type, 14);
        Repaint();
        const RECT p = display->GetPlotRect();
        const int cx = p.left + (p.right - p.left) / 2, cy = p.top + (p.bottom - p.top) / 2;
        ChartDecimalScale* rim = display->GetXAxisScale();
        ASSERT_NE(rim, nullptr);
        ASSERT_EQ(rim->GetLabelCount(), 6);
        EXPECT_EQ(rim->GetLabel(0)->GetCurrentText(), "North");
        EXPECT_LT(rim->GetLabel(0)->GetAnchor().y, cy) << "the first spoke points up";
        EXPECT_GT(rim->GetLabel(1)->GetAnchor().x, cx) << "the next to the right";
        EXPECT_FALSE(display->GetFirstPositionList().empty()) << "the value ticks give the circles";
        if (type == 18) {
            const int r = std::abs(display->GetFirstPositionList().back().y - cy);
            EXPECT_EQ(At(cx, cy + r), kGrid) << "the outer circle, below the centre";
        }
        Save(type == 18 ? "chart-radar-lines.png" : "chart-radar-filled.png");
    }
}

TEST_F(RoundPicture, PolarSixteenSpokesLabelledInDegrees) {
    Open(400, 300, 26, 17);
    FillPolar();
    for (const int type : {26, 27}) {
        SCOPED_TRACE(type);
        display->SetTypeAndKind(type, 17);
        Repaint();
        const RECT p = display->GetPlotRect();
        const int cx = p.left + (p.right - p.left) / 2, cy = p.top + (p.bottom - p.top) / 2;
        ChartDecimalScale* rim = display->GetXAxisScale();
        ASSERT_NE(rim, nullptr);
        ASSERT_EQ(rim->GetLabelCount(), 16);
        for (int k = 0; k < 16; ++k) {
            char text[16];
            std::snprintf(text, sizeof text, "%3.2f", k * 22.5);
            EXPECT_EQ(rim->GetLabel(k)->GetCurrentText(), text);
        }
        EXPECT_NEAR(rim->GetLabel(0)->GetAnchor().x, cx, 1);
        EXPECT_LT(rim->GetLabel(0)->GetAnchor().y, cy) << "0.00 at the top";
        EXPECT_GT(rim->GetLabel(4)->GetAnchor().x, cx) << "90.00 to the right";
        EXPECT_GT(rim->GetLabel(8)->GetAnchor().y, cy) << "180.00 below";
        ChartDecimalScale* values = display->GetValueAxisScale();
        ASSERT_NE(values, nullptr);
        ASSERT_GE(values->GetLabelCount(), 2);
        const std::string second = values->GetLabel(1)->GetCurrentText();
        ASSERT_GE(second.size(), 3u);
        EXPECT_EQ(second.front(), ' ');
        EXPECT_EQ(second.back(), ' ') << "a blank on each side";
        Save(type == 26 ? "chart-polar-lines.png" : "chart-polar-filled.png");
    }
}

} // namespace
} // namespace vq
