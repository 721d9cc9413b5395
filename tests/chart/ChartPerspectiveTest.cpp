#include "ChartShapeRecorder.h"
#include "ScriptedMessageBoxes.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/GdiJournal.h"
#include "platform/gui/ImagePrintContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace vq {
namespace {

using test::ShapeScene;

// Three groups of four on the 400 x 300 plot, means 5, 9 and 1, on a fixed range 0 to 10 (15
// pixels per unit on the 150 pixels high back wall). Group 2 starts at the minimum.
void FillThreeGroups(ShapeScene& scene) {
    scene.Fixed(0, 10);
    scene.Set(0, {5, 5, 5, 5});
    scene.Set(1, {9, 9, 9, 9});
    scene.Set(2, {0, 1, 2, 1});
}

std::vector<POINT> Face(std::initializer_list<POINT> points) {
    return points;
}

TEST(ChartPerspective, ColumnsStandOnTheFloorBeforeTheBackWall) {
    ShapeScene scene(9, 6);
    FillThreeGroups(scene);
    GdiJournal journal;
    scene.Draw();

    {
        SCOPED_TRACE("the frame: back wall 160 x 150 at the top left, floor's front edge from L + 240 to R");
        const auto walls = journal.Calls("Rectangle");
        ASSERT_FALSE(walls.empty());
        EXPECT_EQ(walls.front().device, (RECT{10, 10, 171, 161}));
        bool floor = false;
        for (const auto& call : journal.Calls("PolyPolygon"))
            floor = floor || call.device == RECT{10, 160, 410, 310};
        EXPECT_TRUE(floor) << "from (10, 160) to (410, 310)";
    }

    const auto filled = scene.Filled();
    ASSERT_EQ(filled.size(), 3u * 4u * 3u) << "front, side and top of every column";
    {
        SCOPED_TRACE("the largest mean stands next to the side wall, columns 53 wide");
        EXPECT_EQ(scene.chart.GetFeedbackList()[0]->GetGroup(), 1);
        EXPECT_EQ(filled[0].points, Face({{230, 197}, {176, 197}, {176, 62}, {230, 62}, {230, 197}}));
        EXPECT_EQ(filled[1].points, Face({{176, 197}, {176, 62}, {116, 24}, {116, 159}, {176, 197}})) << "side";
        EXPECT_EQ(filled[2].points, Face({{176, 62}, {116, 24}, {169, 24}, {230, 62}, {176, 62}})) << "top";
    }
    {
        SCOPED_TRACE("each index steps 60 right and 37.5 down; the last meets the front edge");
        const int expectedBase[] = {197, 235, 272, 310};
        for (int j = 0; j < 4; ++j) {
            const auto& front = filled[static_cast<std::size_t>(3 * j)].points;
            EXPECT_EQ(front[0].x, 230 + 60 * j) << j;
            EXPECT_EQ(front[0].y, expectedBase[j]) << j;
        }
    }
    {
        SCOPED_TRACE("next groups by mean, one column width further from the side wall");
        EXPECT_EQ(scene.chart.GetFeedbackList()[12]->GetGroup(), 0);
        EXPECT_EQ(filled[12].points[0].x, 176);
        EXPECT_EQ(scene.chart.GetFeedbackList()[24]->GetGroup(), 2);
        EXPECT_EQ(filled[24].points[0].x, 123);
        EXPECT_EQ(filled[24].points[0].y, filled[24].points[2].y) << "a value at the minimum has no height";
        EXPECT_EQ(filled[26].points[0].y, filled[24].points[0].y) << "its top face lies on the floor";
    }
    {
        SCOPED_TRACE("every face is feedback under the group's number and the index");
        const auto& feedback = scene.chart.GetFeedbackList();
        ASSERT_EQ(feedback.size(), 36u);
        EXPECT_EQ(feedback[0]->GetGroup(), 1);
        EXPECT_EQ(feedback[5]->GetIndex(), 1);
        EXPECT_EQ(feedback[35]->GetGroup(), 2);
    }

    scene.display->GetStyle().flagsWord |= ChartDisplay::kKeepGroupOrder;
    scene.Draw();
    EXPECT_EQ(scene.chart.GetFeedbackList()[0]->GetGroup(), 0) << "the window order kept";
    EXPECT_EQ(scene.Filled()[0].points[0].x, 230);
}

TEST(ChartPerspective, MirroredKindsPutTheWallRight) {
    ShapeScene scene(9, 7);
    FillThreeGroups(scene);
    GdiJournal journal;
    scene.Draw();
    EXPECT_EQ(journal.Calls("Rectangle").front().device, (RECT{250, 10, 411, 161})) << "flush right";
    const auto filled = scene.Filled();
    ASSERT_FALSE(filled.empty());
    EXPECT_EQ(filled[0].points, Face({{190, 197}, {243, 197}, {243, 62}, {190, 62}, {190, 197}}));
}

TEST(ChartPerspective, StripsRibbonsAndTheirNulls) {
    {
        SCOPED_TRACE("strips only, one per pair of neighbouring indices");
        ShapeScene scene(17, 6);
        FillThreeGroups(scene);
        scene.Draw();
        EXPECT_EQ(scene.Filled().size(), 3u * 3u);
    }
    {
        SCOPED_TRACE("ribbons add a front cap and a side face per group, the side face as index -1");
        ShapeScene scene(10, 6);
        FillThreeGroups(scene);
        scene.Draw();
        const auto filled = scene.Filled();
        ASSERT_EQ(filled.size(), 3u * 5u);
        // The first group by mean, at p = 0: its edge runs dg = 53 left of the strips' right side.
        EXPECT_EQ(filled[0].points, Face({{196, 75}, {249, 75}, {169, 25}, {116, 25}, {196, 75}}));
        EXPECT_EQ(filled[3].points, Face({{356, 175}, {409, 175}, {409, 310}, {356, 310}, {356, 175}})) << "cap";
        EXPECT_EQ(filled[4].points.size(), 4u + 3u);
        EXPECT_EQ(scene.chart.GetFeedbackList()[4]->GetIndex(), -1);
    }
    {
        SCOPED_TRACE("a null joins its neighbours; a null last index closes the side under the last point");
        ShapeScene scene(10, 6);
        scene.Fixed(0, 10);
        scene.Set(0, {2, std::nullopt, 6, std::nullopt});
        scene.Draw();
        const auto filled = scene.Filled();
        ASSERT_EQ(filled.size(), 3u);
        EXPECT_EQ(filled[0].points, Face({{170, 170}, {330, 170}, {170, 130}, {10, 130}, {170, 170}}));
        EXPECT_EQ(filled[1].points, Face({{170, 170}, {330, 170}, {330, 260}, {170, 260}, {170, 170}}));
        EXPECT_EQ(filled[2].points, Face({{10, 130}, {170, 170}, {170, 260}, {10, 160}, {10, 130}}));
    }
}

TEST(ChartPerspective, ShadingFollowsTheSteepnessOfEachStrip) {
    // One ribbon on the fixed range 0 to 10: index steps of 80 pixels, 15 pixels a unit.
    ShapeScene scene(10, 6);
    scene.Fixed(0, 10);
    scene.display->GetStyle().flagsWord |= ChartDisplay::kShadedFaces;
    scene.Set(0, {0, 10, 10, 8, 0});
    GdiJournal journal;
    scene.Draw();
    std::vector<int> modes;
    for (const auto& call : journal.Calls("PolyPolygon"))
        if (call.rop2 != R2_COPYPEN) modes.push_back(call.rop2);
    // Runs over rises: 60 / 150 steep, flat, 60 / 30 gentle, 60 / 120 steep; then the cap.
    EXPECT_EQ(modes, (std::vector<int>{R2_MASKPEN, R2_MERGEPEN, R2_MERGEPEN, R2_MASKPEN, R2_MASKPEN}));
}

TEST(ChartPerspective, NegativeValuesOrTooFewIndexesTurnIntoColumns) {
    struct {
        int type;
        std::initializer_list<std::optional<double>> first, second;
    } const cases[] = {{9, {3, -2, 4}, {2, 2, 2}}, {10, {3, -2, 4}, {2, 2, 2}}, {17, {5}, {2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        test::ScriptedMessageBoxes boxes;
        ShapeScene scene(c.type, 6);
        scene.Set(0, c.first);
        scene.Set(1, c.second);
        scene.Draw();
        EXPECT_TRUE(scene.Filled().empty());
        EXPECT_EQ(scene.display->GetChartType(), 3);
        EXPECT_EQ(scene.display->GetDisplayKind(), 2);
        EXPECT_EQ(scene.display->GetStyle().extraWord & 0xFFu, 1u);
        scene.Draw();
        EXPECT_FALSE(scene.Filled().empty()) << "columns from the next draw on";
        EXPECT_TRUE(boxes.shown.empty()) << "the axes end without a message";
    }
}

TEST(ChartPerspective, ExplicitSizesScaleByTheDeviceRatio) {
    // Sizes of 10: 10 pixels on the screen, 10 x 300 / 96 on a 300-dpi page.
    for (const int dpi : {0, 300}) {
        SCOPED_TRACE(dpi);
        ShapeScene scene(9, 6);
        FillThreeGroups(scene);
        ChartStyle& style = scene.display->GetStyle();
        style.flagsWord |= ChartDisplay::kExplicitSizes;
        style.secondSize = style.thirdSize = 10;
        if (dpi) {
            ImagePrintContext page(1250, 937, dpi);
            scene.Draw(page.Dc());
        } else {
            scene.Draw();
        }
        const auto filled = scene.Filled();
        ASSERT_EQ(filled.size(), 36u);
        const auto& front = filled[0].points;
        const auto& side = filled[1].points;
        const double ratio = dpi ? dpi / 96.0 : 1.0;
        EXPECT_NEAR(front[0].x - front[1].x, 10 * ratio, 1) << "column width";
        EXPECT_NEAR(side[0].x - side[2].x, 10 * ratio, 1) << "column depth";
        // The floor's depth and height follow the sizes too: the first column's front corner.
        EXPECT_EQ(front[0], (dpi ? POINT{162, 239} : POINT{195, 287}));
    }
}

constexpr COLORREF kLight[] = {RGB(240, 150, 150), RGB(150, 230, 150), RGB(150, 150, 240)};

class PerspectivePicture : public test::ChartPictureTest {
protected:
    void Fill() {
        const double values[3][4] = {{40, 55, 35, 50}, {80, 70, 90, 75}, {15, 25, 10, 20}};
        for (int g = 0; g < 3; ++g) {
            chart.GetGroup(g, true).SetGroupAnnotationText(std::string("Group ") + char('A' + g), false, 1);
            for (int i = 0; i < 4; ++i) {
                chart.SetItemValue(i, g, values[g][i], false);
                chart.SetItemLabel(i, g, std::string("Q") + char('1' + i));
                ChartStyle& style = chart.GetData(i, g).GetStyle();
                style.styleWord = (style.styleWord & ~0xF0u) | 0x20;
                style.fillColour = kLight[g];
                chart.GetGroup(g, false).GetStyle() = style;
            }
        }
    }
    // Pixels of the square around the point that are darker, or lighter, than the colour.
    int Shaded(POINT at, COLORREF colour, bool darker) {
        int count = 0;
        for (int y = at.y - 3; y <= at.y + 3; ++y)
            for (int x = at.x - 3; x <= at.x + 3; ++x) {
                const COLORREF c = At(x, y);
                if (c == colour) continue;
                const bool below = GetRValue(c) <= GetRValue(colour) && GetGValue(c) <= GetGValue(colour) &&
                                   GetBValue(c) <= GetBValue(colour);
                count += below == darker;
            }
        return count;
    }
};

TEST_F(PerspectivePicture, EveryKindDrawsItsFloorWallsAndAxes) {
    Open(400, 300, 9, 6);
    Fill();
    for (const int type : {9, 10, 17})
        for (const int kind : {4, 5, 6, 7}) {
            SCOPED_TRACE(testing::Message() << "type " << type << " kind " << kind);
            display->SetTypeAndKind(type, kind);
            Repaint();
            const RECT p = display->GetPlotRect();
            const bool left = kind == 4 || kind == 6;
            if (type != 17) {
                EXPECT_EQ(At(left ? p.right - 3 : p.left + 3, p.bottom - 2), kLight[1])
                    << "the largest mean at the front corner next to the side wall";
            }
            ASSERT_NE(display->GetXAxisScale(), nullptr);
            EXPECT_EQ(display->GetXAxisScale()->GetLabelCount(), 3) << "group labels";
            char name[64];
            std::snprintf(name, sizeof name, "chart-perspective-type%d-kind%d.png", type, kind);
            Save(name);
        }
}

TEST_F(PerspectivePicture, ShadingDarkensFrontsAndLightensTops) {
    Open(400, 300, 9, 6);
    Fill();
    for (const bool shaded : {false, true}) {
        SCOPED_TRACE(shaded);
        if (shaded) display->GetStyle().flagsWord |= ChartDisplay::kShadedFaces;
        display->SetStyleDirty(1);
        Repaint();
        const RECT p = display->GetPlotRect();
        const int w = p.right - p.left, fb = p.top + (p.bottom - p.top) / 2;
        const double dg = 0.4 * w / 3, bw = 0.6 * w / 4, dy = (p.bottom - fb) / 4.0;
        // The front column of the largest group: 75 of a range the value axis rounds.
        const double k = (fb - p.top) / display->GetValueSpan();
        const int top = static_cast<int>(p.bottom - (75 - display->GetValueRange().GetMinimum()) * k);
        const POINT front{static_cast<int>(p.right - dg / 2), (top + p.bottom) / 2};
        const POINT lid{static_cast<int>(p.right - dg / 2 - bw / 2), static_cast<int>(top - dy / 2)};
        if (shaded) {
            EXPECT_GT(Shaded(front, kLight[1], true), 5);
            EXPECT_GT(Shaded(lid, kLight[1], false), 5);
        } else {
            EXPECT_EQ(At(front.x, front.y), kLight[1]);
            EXPECT_EQ(At(lid.x, lid.y), kLight[1]);
        }
        Save(shaded ? "chart-perspective-shaded.png" : "chart-perspective-plain.png");
    }
}

} // namespace
} // namespace vq
