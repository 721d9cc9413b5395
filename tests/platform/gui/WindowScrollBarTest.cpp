#include "WindowFixture.h"
#include "platform/gui/ScrollBar.h"
#include "platform/gui/StandardControls.h"

namespace vq::test {
namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

// A window 100 x 200 with its own vertical bar, range 0..99, page 10: the bar is x 84..100, its
// arrows 16 pixels long, and a 16-pixel thumb runs over the 152 pixels between them.
class WindowScrollBarTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window = Make("Spy", WS_POPUP | WS_VISIBLE | WS_VSCROLL, {0, 0, 100, 200});
        SetInfo(SIF_RANGE | SIF_PAGE, 10);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    void SetInfo(UINT mask, UINT page) {
        SCROLLINFO info;
        info.fMask = mask;
        info.nMax = 99;
        info.nPage = page;
        SetScrollInfo(window, SB_VERT, &info, TRUE);
    }

    static void Click(POINT at) {
        OffscreenHarness::MousePress(at);
        OffscreenHarness::MouseRelease(at);
        OffscreenHarness::RunUntilIdle();
    }

    // Code and position of every report to the window, which names no bar control.
    std::vector<std::pair<UINT, int>> Reports() const {
        std::vector<std::pair<UINT, int>> out;
        for (const auto& s : seen)
            if (s.window == window && s.message == WM_VSCROLL) {
                EXPECT_EQ(s.lParam, 0);
                out.emplace_back(LOWORD(s.wParam), int(std::int16_t(HIWORD(s.wParam))));
            }
        return out;
    }

    RECT Client() const {
        RECT r;
        GetClientRect(window, &r);
        return r;
    }

    HWND window = 0;
};

TEST_F(WindowScrollBarTest, PressesAreReportedAndTheThumbFollowsOnlyTheOwnerOrADrag) {
    Click({92, 190});
    Click({92, 100});
    EXPECT_EQ(Reports(), (std::vector<std::pair<UINT, int>>{
                             {SB_LINEDOWN, 0}, {SB_ENDSCROLL, 0}, {SB_PAGEDOWN, 0}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 0);
    // The thumb's dark lower edge shows where it is.
    EXPECT_EQ(OffscreenHarness::Pixel(window, 92, 31), kBlack);

    // Dragged from 4 pixels into it down to y 100 the thumb starts 80 pixels into the track:
    // 80 / 152 of the way to position 90 is 47.
    seen.clear();
    COLORREF underDrag = CLR_INVALID;
    hook = [&](HWND, UINT m, WPARAM wParam, LPARAM, LRESULT&) {
        if (m == WM_VSCROLL && LOWORD(wParam) == SB_THUMBTRACK)
            underDrag = OffscreenHarness::Pixel(window, 92, 110);
        return false;
    };
    OffscreenHarness::MousePress({92, 20});
    OffscreenHarness::MouseMove({92, 100}, Qt::LeftButton);
    OffscreenHarness::MouseRelease({92, 100});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Reports(), (std::vector<std::pair<UINT, int>>{
                             {SB_THUMBTRACK, 47}, {SB_THUMBPOSITION, 47}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(underDrag, kBlack);
    EXPECT_NE(OffscreenHarness::Pixel(window, 92, 110), kBlack);
    EXPECT_EQ(OffscreenHarness::Pixel(window, 92, 31), kBlack);
    EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(WindowScrollBarTest, AHeldPageAreaRepeatsUntilTheOwnersThumbReachesThePointer) {
    // From position 50 the thumb covers y 100; the clock then also passes the release timer.
    hook = [&](HWND h, UINT m, WPARAM wParam, LPARAM, LRESULT&) {
        if (h == window && m == WM_VSCROLL && LOWORD(wParam) == SB_PAGEDOWN) {
            const int position = GetScrollPos(window, SB_VERT) + 10;
            SetScrollPos(window, SB_VERT, position, TRUE);
            clock.AdvanceMilliseconds(position == 50 ? 200'000 : 600);
        }
        if (h == window && m == WM_TIMER && wParam == 7) {
            KillTimer(window, 7);
            OffscreenHarness::MouseRelease({92, 100});
        }
        return false;
    };
    SetTimer(window, 7, 100'000, nullptr);
    OffscreenHarness::MousePress({92, 100});
    OffscreenHarness::RunUntilIdle();
    const std::pair<UINT, int> page{SB_PAGEDOWN, 0};
    EXPECT_EQ(Reports(),
              (std::vector<std::pair<UINT, int>>{page, page, page, page, page, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 50);
}

TEST_F(WindowScrollBarTest, BarsShowWhileThereIsSomewhereToScrollAndArrowsCanBeSwitchedOff) {
    SetInfo(SIF_PAGE, 100);
    EXPECT_FALSE(GetWindowLongPtr(window, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(Client(), (RECT{0, 0, 100, 200}));

    // Kept, but disabled: the arrow is drawn embossed and takes no press.
    SetInfo(SIF_PAGE | SIF_DISABLENOSCROLL, 100);
    EXPECT_EQ(Client(), (RECT{0, 0, 84, 200}));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(OffscreenHarness::Pixel(window, 92, 192), GetSysColor(COLOR_BTNSHADOW));
    Click({92, 190});
    EXPECT_TRUE(Reports().empty());

    SetInfo(SIF_PAGE, 10);
    EXPECT_EQ(OffscreenHarness::Pixel(window, 92, 192), kBlack);
    EXPECT_TRUE(EnableScrollBar(window, SB_VERT, ESB_DISABLE_RTDN));
    EXPECT_FALSE(EnableScrollBar(window, SB_VERT, ESB_DISABLE_RTDN));
    Click({92, 190});
    Click({92, 8});
    EXPECT_EQ(Reports(), (std::vector<std::pair<UINT, int>>{{SB_LINEUP, 0}, {SB_ENDSCROLL, 0}}));

    std::vector<std::pair<int, int>> sizes;
    for (const auto& s : seen)
        if (s.window == window && s.message == WM_SIZE)
            sizes.emplace_back(GET_X_LPARAM(s.lParam), GET_Y_LPARAM(s.lParam));
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{100, 200}, {84, 200}}));

    EXPECT_TRUE(ShowScrollBar(window, SB_BOTH, TRUE));
    EXPECT_EQ(Client(), (RECT{0, 0, 84, 184}));
    EXPECT_EQ(SendMessage(window, WM_NCHITTEST, 0, MAKELPARAM(92, 192)), HTGROWBOX);

    // A Qt-backed control's widget has bars of its own, so the layer draws none.
    RegisterStandardControls();
    const HWND list = Make("ListBox", WS_CHILD | WS_VISIBLE | WS_VSCROLL, {0, 0, 80, 80}, window);
    RECT listClient;
    GetClientRect(list, &listClient);
    EXPECT_EQ(listClient, (RECT{0, 0, 80, 80}));
}

} // namespace
} // namespace vq::test
