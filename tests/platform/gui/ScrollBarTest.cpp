#include "WindowFixture.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/StandardControls.h"

#include <QScrollBar>

namespace vq::test {
namespace {

class ScrollBarTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 100, 200});
        bar = Make("ScrollBar", WS_CHILD | WS_VISIBLE | SBS_VERT, {10, 10, 26, 190}, top, 0, 3);
        SCROLLINFO info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = 99;
        info.nPage = 10;
        SetScrollInfo(bar, SB_CTL, &info, TRUE);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    // What the owner heard: code and position.
    std::vector<std::pair<UINT, int>> Reports() const {
        std::vector<std::pair<UINT, int>> out;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_VSCROLL && HWND(s.lParam) == bar)
                out.emplace_back(LOWORD(s.wParam), int(std::int16_t(HIWORD(s.wParam))));
        return out;
    }

    // Where the user sees the thumb.
    int Shown() const { return static_cast<QScrollBar*>(QtControlOf(bar))->sliderPosition(); }

    HWND top = 0;
    HWND bar = 0;
};

TEST_F(ScrollBarTest, APageClickIsReportedAndTheThumbWaitsForTheOwner) {
    OffscreenHarness::MousePress({18, 170});
    OffscreenHarness::MouseRelease({18, 170});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Reports(), (std::vector<std::pair<UINT, int>>{{SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    EXPECT_EQ(Shown(), 0);

    // The owner moving it is no user action.
    seen.clear();
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 10, TRUE), 0);
    EXPECT_TRUE(Reports().empty());
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 10);
    EXPECT_EQ(Shown(), 10);
}

TEST_F(ScrollBarTest, AThumbDragTracksThenReportsItsPositionAndEnds) {
    // The thumb sits just below the upper arrow.
    OffscreenHarness::MousePress({18, 35});
    OffscreenHarness::MouseMove({18, 95}, Qt::LeftButton);
    OffscreenHarness::MouseRelease({18, 95});
    OffscreenHarness::RunUntilIdle();
    const auto reports = Reports();
    ASSERT_GE(reports.size(), 3u);
    const int tracked = reports[reports.size() - 3].second;
    EXPECT_EQ(reports[reports.size() - 3].first, UINT(SB_THUMBTRACK));
    EXPECT_GT(tracked, 20);
    EXPECT_LT(tracked, 70);
    EXPECT_EQ(reports[reports.size() - 2], (std::pair<UINT, int>{SB_THUMBPOSITION, tracked}));
    EXPECT_EQ(reports.back().first, UINT(SB_ENDSCROLL));
    for (std::size_t i = 0; i + 3 < reports.size(); ++i)
        EXPECT_EQ(reports[i].first, UINT(SB_THUMBTRACK));
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
    EXPECT_EQ(Shown(), 0);
    EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(ScrollBarTest, PositionsStayWhereAWholePageFits) {
    struct Case {
        int asked;
        int kept;
    };
    for (const Case c : {Case{-5, 0}, Case{50, 50}, Case{90, 90}, Case{91, 90}, Case{1000, 90}}) {
        SCOPED_TRACE(c.asked);
        SetScrollPos(bar, SB_CTL, c.asked, TRUE);
        EXPECT_EQ(GetScrollPos(bar, SB_CTL), c.kept);
        EXPECT_EQ(Shown(), c.kept);
    }
    SCROLLINFO info;
    info.fMask = SIF_PAGE;
    info.nPage = 500;
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
    EXPECT_EQ(info.nPage, 100u);
    EXPECT_EQ(info.nPos, 0);

    // A window's own bars keep their values the same way.
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = 49;
    info.nPage = 20;
    info.nPos = 40;
    EXPECT_EQ(SetScrollInfo(top, SB_VERT, &info, TRUE), 30);
    EXPECT_EQ(GetScrollPos(top, SB_VERT), 30);
    EXPECT_EQ(GetScrollPos(top, SB_HORZ), 0);
}

} // namespace
} // namespace vq::test
