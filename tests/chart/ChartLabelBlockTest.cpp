#include "chart/ChartLabelBlock.h"

#include "ChartTestSupport.h"
#include "ChartWindowFixture.h"
#include "GdiFixture.h"
#include "chart/Chart.h"
#include "chart/ChartData.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <filesystem>

namespace vq {
namespace {

using test::ProbeComponent;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

ChartLabelBlock& NewBlock(Chart& chart, int labels) {
    auto owned = std::make_unique<ChartLabelBlock>();
    ChartLabelBlock& block = *owned;
    chart.AddComponent(std::move(owned));
    for (int i = 0; i < labels; ++i)
        block.AddLabel("L" + std::to_string(i));
    return block;
}

TEST(ChartLabelBlock, DistributeSpreadsEvenlyAndASingleLabelSitsAtTheEnd) {
    Chart chart;
    ChartLabelBlock& five = NewBlock(chart, 5);
    five.SetRecordAnchors(1);
    five.DistributeLabels(0, 0, 100, 0);
    const int expected[] = {0, 25, 50, 75, 100};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(five.GetLabel(i)->GetAnchor().x, expected[i]);
        EXPECT_EQ(five.GetLabel(i)->GetX(), expected[i]);
        EXPECT_EQ(five.GetAnchorList()[std::size_t(i)].x, expected[i]) << "anchors recorded";
    }
    ChartLabelBlock& one = NewBlock(chart, 1);
    one.DistributeLabels(0, 0, 100, 0);
    EXPECT_EQ(one.GetLabel(0)->GetAnchor().x, 100);
    EXPECT_TRUE(one.GetAnchorList().empty()) << "anchors recorded only when asked";
}

TEST(ChartLabelBlock, ListOperations) {
    Chart chart;
    ChartLabelBlock& block = NewBlock(chart, 0);
    EXPECT_EQ(block.GetLabel(-1), nullptr);
    block.SetLabelText("third", 2, 1);
    ASSERT_EQ(block.GetLabelCount(), 3) << "the gap is filled with empty labels";
    EXPECT_EQ(block.GetLabel(0)->GetCurrentText(), "");
    EXPECT_EQ(block.GetLabel(-2)->GetCurrentText(), "third");
    EXPECT_EQ(block.GetLabel(-1), block.GetLabel(0));
    EXPECT_EQ(block.GetLabel(-3), nullptr);
    EXPECT_EQ(block.GetLabel(3), nullptr);
    block.SetLabelText("first", 0, 1);
    EXPECT_EQ(block.GetLabel(0)->GetCurrentText(), "first");
    EXPECT_TRUE(block.GetLabel(0)->IsInBlock());
    EXPECT_FALSE(block.GetLabel(0)->HasOwnStyle());

    struct {
        double degrees, angle;
        int preset;
    } const rotations[] = {{-90, 270, 1}, {30, 30, 0}, {720, 0, 1}, {-45, 315, 0}};
    for (const auto& r : rotations) {
        SCOPED_TRACE(r.degrees);
        block.SetRotationAll(r.degrees);
        EXPECT_DOUBLE_EQ(block.GetLabel(1)->GetAngle(), r.angle);
        EXPECT_EQ(block.GetLabel(1)->IsRotationPreset(), r.preset);
    }
    block.SetRotationAll(std::numeric_limits<double>::infinity());
    EXPECT_DOUBLE_EQ(block.GetLabel(1)->GetAngle(), 315) << "an endless angle changes nothing";
    block.RemoveLastLabel();
    EXPECT_EQ(block.GetLabelCount(), 2);
    block.RemoveAllLabels();
    EXPECT_EQ(block.GetLabel(-2), nullptr);
}

// Two labels on one anchor, drawn in a block over white.
class ChartLabelBlockWindowTest : public test::ChartWindowFixture {
protected:
    ChartLabelBlock& Overlapping(bool drop, bool leader) {
        OpenFrame({0, 0, 300, 120});
        auto white = std::make_unique<ProbeComponent>();
        white->GetStyle().frameWord = 0;
        white->onForeground = [](ProbeComponent& self) {
            const RECT all{0, 0, 300, 120};
            FillRect(self.GetDrawingDC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        };
        chart.AddComponent(std::move(white));
        ChartLabelBlock& block = NewBlock(chart, 2);
        block.SetFont(-20, 0, "Arial");
        if (!drop) block.GetStyle().labelWord &= ~0xF0u;
        if (leader) block.GetStyle().extraWord |= ChartLabelBlock::kLeaderLine;
        block.GetStyle().lineColour = kRed;
        block.SetLabelText("First", 0, 1);
        block.SetLabelText("Second", 1, 1);
        block.SetAnchorAll(ChartLabel::anchorLeftMiddle);
        for (int i = 0; i < 2; ++i)
            block.GetLabel(i)->SetPosition(20, 60);
        return block;
    }
    int DarkIn(RECT r) {
        int dark = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                dark += GetGValue(At(x, y)) < 100;
        return dark;
    }
};

TEST_F(ChartLabelBlockWindowTest, InDropModeOnlyTheFirstOfTwoOverlappingLabelsDraws) {
    ChartLabelBlock& block = Overlapping(true, false);
    Repaint();
    const RECT bounds = block.GetBounds();
    EXPECT_GT(DarkIn({20, 40, bounds.right + 1, 80}), 20);
    EXPECT_EQ(DarkIn({bounds.right + 2, 0, 300, 120}), 0) << "the pushed label is dropped";
    EXPECT_GT(block.GetLabel(1)->GetAnchor().x, bounds.right - 1) << "it was moved before it was dropped";
}

TEST_F(ChartLabelBlockWindowTest, WithoutDropTheSecondIsPushedAlongItsDirectionAndJoinedByALeader) {
    ChartLabelBlock& block = Overlapping(false, true);
    Repaint();
    const POINT moved = block.GetLabel(1)->GetAnchor();
    const auto& first = block.GetLabel(0)->GetOutline();
    int firstRight = 0;
    for (const POINT& p : first)
        firstRight = std::max<int>(firstRight, p.x);
    EXPECT_EQ(moved.y, 60) << "pushed along (1, 0) only";
    EXPECT_GE(moved.x, firstRight) << "clear of the first";
    EXPECT_GT(DarkIn({moved.x + 2, 40, 300, 80}), 20) << "the second is drawn where it was pushed";
    EXPECT_EQ(At(20 + 4, 60), kRed) << "the circle of radius 4 round the first anchor";
    EXPECT_EQ(At(moved.x - 1, 60), kRed) << "the leader line runs back to it";
    EXPECT_EQ(At(20, 60 - 8), kWhite);
    const std::string path = test::TestPath("VQ_TEST_OUTPUT_DIR") + "/chart-label-block.png";
    std::filesystem::create_directories(test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame, path));
}

TEST(ChartLabelBlock, ADirectionThatCannotMoveALabelRaisesError17) {
    Chart chart;
    ChartLabelBlock& block = NewBlock(chart, 2);
    block.SetDirectionAll(0, 0);
    for (int i = 0; i < 2; ++i)
        block.GetLabel(i)->SetPosition(50, 50);
    test::MemoryCanvas canvas(100, 100);
    block.SetDrawFlag(1);
    EXPECT_EQ(test::ChartErrorOf([&] { block.Draw(canvas.Dc(), 0); }), 17);
}

// A component that labels items at one point, each with label position 6.
TEST(ChartLabelBlock, DataLabelsUnderHandling3GoIntoOneBlockForThePass) {
    Chart chart;
    chart.GetStyle().labelWord = (chart.GetStyle().labelWord & ~(3u << 28)) | (3u << 28);
    ChartData items[3];
    for (int i = 0; i < 3; ++i) {
        items[i].SetValue(1.5 + i);
        items[i].GetStyle().labelWord = (items[i].GetStyle().labelWord & ~0xF000F0u) | 0x20 | (6u << 20);
    }
    auto probe = std::make_unique<ProbeComponent>();
    probe->GetStyle().frameWord = 0;
    probe->onForeground = [&](ProbeComponent& self) {
        for (auto& item : items)
            self.DrawDataLabel(100, 50, &item);
    };
    chart.AddComponent(std::move(probe));
    test::MemoryCanvas canvas(300, 100);
    chart.DrawComponentList(canvas.Dc(), 0);
    auto* block = static_cast<ChartLabelBlock*>(chart.FindComponentByName(Chart::kLabelBlockName));
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(block->GetLabelCount(), 3);
    EXPECT_EQ(chart.GetComponentList().size(), 2u) << "one block for all labels";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(block->GetLabel(i)->GetDirectionX(), 1);
        EXPECT_EQ(block->GetLabel(i)->GetDirectionY(), 0);
        EXPECT_TRUE(block->GetLabel(i)->HasOwnStyle());
    }
    EXPECT_LT(block->GetLabel(0)->GetAnchor().x, block->GetLabel(1)->GetAnchor().x) << "pushed, not dropped";
    EXPECT_LT(block->GetLabel(1)->GetAnchor().x, block->GetLabel(2)->GetAnchor().x);
    chart.DrawComponentList(canvas.Dc(), 0);
    block = static_cast<ChartLabelBlock*>(chart.FindComponentByName(Chart::kLabelBlockName));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->GetLabelCount(), 3) << "the last pass's block is gone, this pass made a new one";
}

} // namespace
} // namespace vq
