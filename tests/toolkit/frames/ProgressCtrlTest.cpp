#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/StandardControls.h"
#include "platform/gui/SystemColours.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/TestPaths.h"
#include "toolkit/frames/TkProgressCtrl.h"

#include <gtest/gtest.h>
#include <memory>

namespace vq::test {
namespace {

constexpr COLORREF kNavy = 0x800000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr std::int32_t kWidth = 200, kHeight = 20;

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, {0, 0, 240, 140}, nullptr, 0));
    }
    void TearDown() override {
        progress.reset();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    TkProgressCtrl& Make(DWORD flags, RECT r = {10, 10, 10 + kWidth, 10 + kHeight}) {
        progress = std::make_unique<TkProgressCtrl>();
        EXPECT_TRUE(progress->Create(WS_CHILD | WS_VISIBLE, r, &parent, 1, flags));
        return *progress;
    }

    COLORREF At(std::int32_t x, std::int32_t y) {
        OffscreenHarness::RunUntilIdle();
        return OffscreenHarness::Pixel(progress->m_hWnd, x, y);
    }

    // Counts the pixels of a colour in columns [from, to) of the bar.
    int Count(COLORREF colour, std::int32_t from, std::int32_t to) {
        OffscreenHarness::RunUntilIdle();
        const RECT client{0, 0, kWidth, kHeight};
        int n = 0;
        for (std::int32_t x = std::max(from, client.left); x < std::min(to, client.right); ++x)
            for (std::int32_t y = 0; y < kHeight; ++y)
                n += OffscreenHarness::Pixel(progress->m_hWnd, x, y) == colour;
        return n;
    }

    // Where the filled part ends: the first column whose top pixel is not the bar colour.
    std::int32_t FilledTo() {
        OffscreenHarness::RunUntilIdle();
        std::int32_t x = 0;
        while (x < kWidth && OffscreenHarness::Pixel(progress->m_hWnd, x, 0) == kNavy)
            ++x;
        return x;
    }

    ManualMonotonicClock clock{1'000'000'000};
    CWnd parent;
    std::unique_ptr<TkProgressCtrl> progress;
};

TEST_F(ProgressTest, FillAndTextFollowThePositionInItsRange) {
    struct Case {
        const char* name;
        int lower, upper, position;
        std::int32_t filled;
        const char* text;
    };
    const Case cases[] = {
        {"quarter", 0, 200, 50, 50, "25 %"},         {"half", 0, 100, 50, 100, "50 %"},
        {"past the end", 0, 100, 300, 200, "100 %"}, {"below a range from 0", 0, 100, -5, 0, "0 %"},
        {"equal bounds", 40, 40, 40, 0, "0 %"},      {"negative range", -100, 100, 0, 100, "50 %"},
    };
    TkProgressCtrl& bar = Make(0x4100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar.SetRange(c.lower, c.upper);
        bar.SetPos(c.position, FALSE);
        EXPECT_EQ(bar.BarText(bar.GetPercent()), c.text);
        EXPECT_EQ(FilledTo(), c.filled);
    }
}

TEST_F(ProgressTest, TextReadsInTheOtherColourOnEachSideOfTheEdge) {
    TkProgressCtrl& bar = Make(0x4100);
    bar.SetPos(50, FALSE);
    // The centred "50 %" straddles the edge at x = 100: glyph pixels left of it are white on
    // navy, right of it navy on white.
    EXPECT_GT(Count(kWhite, 60, 100), 0);
    EXPECT_GT(Count(kNavy, 100, 140), 0);
    EXPECT_EQ(At(2, 1), kNavy);
    EXPECT_EQ(At(kWidth - 2, 1), kWhite);
    EXPECT_TRUE(
        OffscreenHarness::SaveScreenshot(parent.m_hWnd, TestPath("VQ_TEST_OUTPUT_DIR") + "/progress.png"));
}

TEST_F(ProgressTest, FlagsChooseDirectionAndText) {
    {
        TkProgressCtrl& bar = Make(0x4100 | TkProgressCtrl::fillFromRight);
        bar.SetPos(25, FALSE);
        EXPECT_EQ(At(kWidth - 1, 0), kNavy);
        EXPECT_EQ(At(kWidth - 51, 0), kWhite);
        EXPECT_EQ(At(0, 0), kWhite);
    }
    {
        TkProgressCtrl& bar = Make(TkProgressCtrl::vertical | TkProgressCtrl::fillFromTop, {10, 10, 30, 110});
        bar.SetPos(30, FALSE);
        EXPECT_EQ(At(5, 0), kNavy);
        EXPECT_EQ(At(5, 29), kNavy);
        EXPECT_EQ(At(5, 30), kWhite);
        EXPECT_EQ(At(5, 99), kWhite);
    }
    {
        TkProgressCtrl& bar = Make(TkProgressCtrl::vertical, {10, 10, 30, 110});
        bar.SetPos(30, FALSE);
        EXPECT_EQ(At(5, 99), kNavy);
        EXPECT_EQ(At(5, 69), kWhite);
    }
    {
        TkProgressCtrl& bar = Make(0);
        bar.SetPos(0, FALSE);
        EXPECT_EQ(Count(kNavy, 0, kWidth), 0) << "no text at all";
        bar.SetStyleFlags(TkProgressCtrl::captionText);
        bar.SetCaption("Loading");
        bar.SetPos(0, FALSE);
        EXPECT_GT(Count(kNavy, 0, kWidth), 0) << "the caption";
        EXPECT_EQ(bar.BarText(0), "Loading");
    }
}

TEST_F(ProgressTest, NativeModeLeavesTheDrawingToTheCommonControl) {
    RegisterStandardControls();
    TkProgressCtrl& bar = Make(0x4100);
    bar.SetPos(40, FALSE);
    bar.SetStyleFlags(0x4100 | TkProgressCtrl::nativeMode);
    EXPECT_EQ(bar.CProgressCtrl::GetPos(), 40) << "the control is handed the position first";
    EXPECT_EQ(bar.SetPos(60, FALSE), 40);
    EXPECT_EQ(bar.CProgressCtrl::GetPos(), 60);
    bar.StepIt(FALSE);
    EXPECT_EQ(bar.CProgressCtrl::GetPos(), 70);
    // The common control's own look: a sunken edge, blocks of the highlight colour over the face.
    EXPECT_EQ(At(kWidth / 2, kHeight / 2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(kWidth - 4, kHeight / 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(At(12, kHeight / 2), GetSysColor(COLOR_BTNFACE)) << "the gap after the first block";
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(parent.m_hWnd,
                                                 TestPath("VQ_TEST_OUTPUT_DIR") + "/progress-native.png"));
}

TEST_F(ProgressTest, AutoStepRunsOnTheTimerAndStopsAtTheEnd) {
    TkProgressCtrl& bar = Make(0x4100);
    EXPECT_TRUE(bar.SetAutoStep(100));
    for (int i = 1; i <= 10; ++i) {
        clock.AdvanceMilliseconds(100);
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(bar.GetPosition(), i * 10);
    }
    EXPECT_EQ(FilledTo(), kWidth);
    clock.AdvanceMilliseconds(100);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(bar.GetPosition(), 100) << "the timer is gone";
    EXPECT_FALSE(bar.SetAutoStep(100)) << "at the upper bound nothing starts";
    bar.Reset();
    EXPECT_EQ(bar.GetPosition(), 0);
    EXPECT_TRUE(bar.SetAutoStep(0));
}

TEST_F(ProgressTest, PumpedStepsShowInsideOneHandler) {
    TkProgressCtrl& bar = Make(0x4100);
    OffscreenHarness::RunUntilIdle();
    // A loop on the GUI thread with no return to the message loop between steps.
    std::vector<std::int32_t> fills;
    for (int i = 0; i < 10; ++i) {
        bar.StepIt(TRUE);
        std::int32_t x = 0;
        while (x < kWidth && OffscreenHarness::Pixel(bar.m_hWnd, x, 0) == kNavy)
            ++x;
        fills.push_back(x);
    }
    EXPECT_EQ(fills, (std::vector<std::int32_t>{20, 40, 60, 80, 100, 120, 140, 160, 180, 200}));
}

TEST_F(ProgressTest, CommonControlClampsStepsAndWraps) {
    CProgressCtrl control;
    ASSERT_TRUE(control.Create(WS_CHILD | WS_VISIBLE, {10, 40, 110, 56}, &parent, 3));
    int lower = -1, upper = -1;
    control.GetRange(lower, upper);
    EXPECT_EQ(std::pair(lower, upper), std::pair(0, 100));
    EXPECT_EQ(control.SetRange(10, 50), DWORD(MAKELPARAM(0, 100)));
    EXPECT_EQ(control.SetPos(70), 10) << "the old position, clamped into the new range";
    EXPECT_EQ(control.GetPos(), 50);
    EXPECT_EQ(control.OffsetPos(-100), 50);
    EXPECT_EQ(control.GetPos(), 10);
    EXPECT_EQ(control.SetStep(25), 10);
    control.StepIt();
    EXPECT_EQ(control.GetPos(), 35);
    control.StepIt();
    EXPECT_EQ(control.GetPos(), 10) << "a step past the upper bound starts again";
    control.DestroyWindow();
}

TEST_F(ProgressTest, CreatedOnceOnly) {
    TkProgressCtrl& bar = Make(0x4100);
    EXPECT_FALSE(bar.Create(WS_CHILD, {0, 0, 10, 10}, &parent, 2, 0));
    EXPECT_EQ(bar.GetStyleFlags(), 0x4100u);
}

} // namespace
} // namespace vq::test
