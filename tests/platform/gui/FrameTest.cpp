#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "fixture.h"
#include "platform/gui/Icon.h"
#include "platform/gui/ScrollBar.h"
#include "tests/support/TestPaths.h"

namespace vq::test {
namespace {

// A sizable captioned window at (100, 100), 200 x 150: a 4-pixel sizing border, the caption
// below it down to y 22, the client area from (4, 22). It is tracked between 150 x 100 and
// 300 x 200.
class FrameTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        hook = [this](HWND h, UINT m, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (h == frame && m == WM_GETMINMAXINFO) {
                auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
                limits->ptMinTrackSize = {150, 100};
                limits->ptMaxTrackSize = {300, 200};
            }
            return also && also(h, m, wParam, lParam, result);
        };
        frame = Make("Spy", WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, {100, 100, 300, 250});
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    static void Drag(POINT from, POINT by) {
        const POINT to{from.x + by.x, from.y + by.y};
        OffscreenHarness::MousePress(from);
        OffscreenHarness::MouseMove(to, Qt::LeftButton);
        OffscreenHarness::MouseRelease(to);
        OffscreenHarness::RunUntilIdle();
    }

    static RECT WindowRect(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        return r;
    }

    // The sizing edges the window heard of, in order.
    std::vector<WPARAM> SizingEdges() const {
        std::vector<WPARAM> edges;
        for (const auto& s : seen)
            if (s.window == frame && s.message == WM_SIZING) edges.push_back(s.wParam);
        return edges;
    }

    HWND frame = 0;
    // Handles messages after the fixture's own hook.
    std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> also;
};

// Paints the whole window, frame and all, in one colour as a marker.
void Mark(HWND window, COLORREF colour) {
    HDC dc = GetWindowDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, 200, 150};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

constexpr COLORREF kMarker = RGB(255, 0, 255);

TEST_F(FrameTest, ANonClientPaintWithARegionPaintsOnlyTheFrameInsideIt) {
    Mark(frame, kMarker);
    // The bottom sizing border, in screen coordinates.
    HRGN bottom = CreateRectRgn(100, 246, 300, 250);
    SendMessage(frame, WM_NCPAINT, WPARAM(bottom), 0);
    DeleteObject(bottom);
    EXPECT_NE(OffscreenHarness::Pixel(frame, 50, 148), kMarker);
    EXPECT_EQ(OffscreenHarness::Pixel(frame, 50, 10), kMarker);
    EXPECT_EQ(OffscreenHarness::Pixel(frame, 1, 50), kMarker);
    SendMessage(frame, WM_NCPAINT, 1, 0);
    EXPECT_NE(OffscreenHarness::Pixel(frame, 50, 10), kMarker);
    EXPECT_NE(OffscreenHarness::Pixel(frame, 1, 50), kMarker);
}

TEST_F(FrameTest, TakingOffWsVisibleHoldsTheFramePaintingUntilTheBitReturns) {
    const auto style = GetWindowLongPtr(frame, GWL_STYLE);
    SetWindowLongPtr(frame, GWL_STYLE, style & ~std::intptr_t(WS_VISIBLE));
    EXPECT_FALSE(IsWindowVisible(frame));
    Mark(frame, kMarker);
    SendMessage(frame, WM_NCACTIVATE, TRUE, 0);
    SetWindowText(frame, "Renamed");
    SendMessage(frame, WM_NCPAINT, 1, 0);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(OffscreenHarness::Pixel(frame, 50, 10), kMarker);

    // The bit comes back without the window ever having been hidden or shown.
    SetWindowLongPtr(frame, GWL_STYLE, style);
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_TRUE(MessagesOf(frame, {WM_SHOWWINDOW}).empty());
    SendMessage(frame, WM_NCPAINT, 1, 0);
    EXPECT_EQ(OffscreenHarness::Pixel(frame, 50, 10), GetSysColor(COLOR_ACTIVECAPTION));

    // Hiding a held window hides it for good.
    SetWindowLongPtr(frame, GWL_STYLE, style & ~std::intptr_t(WS_VISIBLE));
    ShowWindow(frame, SW_HIDE);
    EXPECT_EQ(MessagesOf(frame, {WM_SHOWWINDOW}), std::vector<UINT>{WM_SHOWWINDOW});
    SetWindowLongPtr(frame, GWL_STYLE, style);
    EXPECT_FALSE(IsWindowVisible(frame));
}

TEST_F(FrameTest, DefaultHitTestingNamesEveryPartOfTheFrame) {
    const HWND scrolled = Make("Spy", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_HSCROLL | WS_VSCROLL,
                               {400, 100, 500, 200}, 0, WS_EX_CLIENTEDGE);
    struct Case {
        HWND window;
        POINT screen;
        int hit;
    };
    // The bordered window: 1 pixel of border, 2 of client edge, then its client area down to
    // (81, 81), the bars right of and below it and the corner between them.
    const Case cases[] = {
        {frame, {200, 175}, HTCLIENT},     {frame, {200, 110}, HTCAPTION},
        {frame, {101, 175}, HTLEFT},       {frame, {50, 50}, HTNOWHERE},
        {scrolled, {440, 140}, HTCLIENT},  {scrolled, {488, 140}, HTVSCROLL},
        {scrolled, {440, 188}, HTHSCROLL}, {scrolled, {488, 188}, HTGROWBOX},
        {scrolled, {400, 140}, HTBORDER},  {scrolled, {402, 140}, HTBORDER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screen.x << "," << c.screen.y);
        EXPECT_EQ(SendMessage(c.window, WM_NCHITTEST, 0, MAKELPARAM(c.screen.x, c.screen.y)), c.hit);
    }
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = 99;
    info.nPage = 20;
    info.nPos = 40;
    SetScrollInfo(scrolled, SB_VERT, &info, TRUE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(frame, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                            "/window-frame.png"));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(scrolled, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                               "/window-bars.png"));
}

TEST_F(FrameTest, TheCaptionMovesTopLevelAndChildWindowsByThePointersTravel) {
    const HWND parent = Make("Spy", WS_POPUP | WS_VISIBLE, {400, 100, 700, 400});
    const HWND child =
        Make("Spy", WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, {10, 10, 160, 110}, parent);
    OffscreenHarness::RunUntilIdle();
    seen.clear();

    Drag({200, 110}, {60, 40});
    EXPECT_EQ(WindowRect(frame), (RECT{160, 140, 360, 290}));
    EXPECT_EQ(MessagesOf(frame, {WM_ENTERSIZEMOVE, WM_GETMINMAXINFO, WM_MOVING, WM_EXITSIZEMOVE,
                                 WM_NCLBUTTONUP, WM_LBUTTONUP}),
              (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_GETMINMAXINFO, WM_MOVING, WM_EXITSIZEMOVE}));
    EXPECT_EQ(GetCapture(), HWND(0));

    Drag({480, 120}, {20, 30});
    EXPECT_EQ(WindowRect(child), (RECT{430, 140, 580, 240}));
    POINT inParent{430, 140};
    ScreenToClient(parent, &inParent);
    EXPECT_EQ(inParent, (POINT{30, 40}));
}

TEST_F(FrameTest, EachBorderAndCornerSizesItsEdgesWithinTheTrackingSizes) {
    struct Case {
        POINT press;
        POINT by;
        RECT result;
        WPARAM edge;
    };
    const Case cases[] = {
        {{298, 175}, {50, 0}, {100, 100, 350, 250}, WMSZ_RIGHT},
        {{298, 175}, {500, 0}, {100, 100, 400, 250}, WMSZ_RIGHT},
        {{101, 175}, {100, 0}, {150, 100, 300, 250}, WMSZ_LEFT},
        {{200, 101}, {0, -30}, {100, 70, 300, 250}, WMSZ_TOP},
        {{200, 248}, {0, -100}, {100, 100, 300, 200}, WMSZ_BOTTOM},
        {{101, 101}, {-20, -20}, {80, 80, 300, 250}, WMSZ_TOPLEFT},
        {{298, 248}, {10, 10}, {100, 100, 310, 260}, WMSZ_BOTTOMRIGHT},
        // Along an edge, near a corner, a border sizes both ways.
        {{290, 101}, {10, -10}, {100, 90, 310, 250}, WMSZ_TOPRIGHT},
        {{101, 240}, {-10, 10}, {90, 100, 300, 260}, WMSZ_BOTTOMLEFT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        MoveWindow(frame, 100, 100, 200, 150, TRUE);
        // Far apart in time, so that no press makes a double click with the one before.
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
        Drag(c.press, c.by);
        EXPECT_EQ(WindowRect(frame), c.result);
        EXPECT_EQ(SizingEdges(), std::vector<WPARAM>{c.edge});
    }
}

TEST_F(FrameTest, TheWindowMayChangeTheRectangleItIsMovedOrSizedTo) {
    also = [](HWND, UINT m, WPARAM, LPARAM lParam, LRESULT&) {
        auto* r = reinterpret_cast<RECT*>(lParam);
        // Moves stay on their row; widths snap to 50 pixels.
        if (m == WM_MOVING) r->bottom -= r->top - 100, r->top = 100;
        if (m == WM_SIZING) r->right = r->left + (r->right - r->left + 25) / 50 * 50;
        return false;
    };
    Drag({200, 110}, {30, 40});
    EXPECT_EQ(WindowRect(frame), (RECT{130, 100, 330, 250}));
    Drag({328, 175}, {30, 0});
    EXPECT_EQ(WindowRect(frame), (RECT{130, 100, 380, 250}));
}

TEST_F(FrameTest, EscapeRestoresTheWindowAndALostCaptureLeavesItWhereItIs) {
    std::vector<std::pair<int, int>> sizes;
    also = [&](HWND h, UINT m, WPARAM, LPARAM lParam, LRESULT&) {
        if (h == frame && m == WM_SIZE) sizes.emplace_back(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return false;
    };
    OffscreenHarness::MousePress({298, 248});
    OffscreenHarness::MouseMove({338, 278}, Qt::LeftButton);
    PostMessage(frame, WM_KEYDOWN, VK_ESCAPE, 0);
    OffscreenHarness::MouseRelease({338, 278});
    OffscreenHarness::RunUntilIdle();
    // Sized live, then back.
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{232, 154}, {192, 124}}));
    EXPECT_EQ(WindowRect(frame), (RECT{100, 100, 300, 250}));
    EXPECT_EQ(MessagesOf(frame, {WM_EXITSIZEMOVE}).size(), 1u);

    seen.clear();
    OffscreenHarness::MousePress({200, 110});
    OffscreenHarness::MouseMove({210, 110}, Qt::LeftButton);
    PostMessage(frame, WM_CANCELMODE, 0, 0);
    OffscreenHarness::MouseMove({250, 110}, Qt::LeftButton);
    OffscreenHarness::MouseRelease({250, 110});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(WindowRect(frame), (RECT{110, 100, 310, 250}));
    EXPECT_EQ(MessagesOf(frame, {WM_EXITSIZEMOVE}).size(), 1u);
    EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(FrameTest, FromTheKeyboardTheFirstArrowPicksTheEdgeAndEnterKeepsTheSize) {
    for (const int key : {VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN})
        PostMessage(frame, WM_KEYDOWN, WPARAM(key), 0);
    SendMessage(frame, WM_SYSCOMMAND, SC_SIZE, 0);
    EXPECT_EQ(WindowRect(frame), (RECT{100, 100, 316, 250}));

    for (const int key : {VK_LEFT, VK_UP, VK_RETURN})
        PostMessage(frame, WM_KEYDOWN, WPARAM(key), 0);
    SendMessage(frame, WM_SYSCOMMAND, SC_MOVE, 0);
    EXPECT_EQ(WindowRect(frame), (RECT{92, 92, 308, 242}));
    EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(FrameTest, TheHitTestAnswerDecidesBetweenClientAndFrameInput) {
    // One window takes its sizing border as client area, another lets its client area move it.
    const HWND mover = Make("Spy", WS_POPUP | WS_VISIBLE, {400, 100, 500, 200});
    also = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& result) {
        if (m != WM_NCHITTEST || (h != frame && h != mover)) return false;
        result = h == frame ? HTCLIENT : HTCAPTION;
        return true;
    };
    OffscreenHarness::MousePress({101, 175});
    OffscreenHarness::MouseRelease({101, 175});
    OffscreenHarness::RunUntilIdle();
    std::vector<std::pair<UINT, LPARAM>> clicks;
    for (const auto& s : seen)
        if (s.window == frame && (s.message == WM_LBUTTONDOWN || s.message == WM_NCLBUTTONDOWN))
            clicks.emplace_back(s.message, s.lParam);
    EXPECT_EQ(clicks, (std::vector<std::pair<UINT, LPARAM>>{{WM_LBUTTONDOWN, MAKELPARAM(-3, 53)}}));
    EXPECT_EQ(WindowRect(frame), (RECT{100, 100, 300, 250}));

    Drag({450, 150}, {20, 10});
    EXPECT_EQ(WindowRect(mover), (RECT{420, 110, 520, 210}));
}

TEST_F(FrameTest, TheFrameShowsItsSizingCursorsAndHearsDoubleClicksWithoutAskingForThem) {
    struct Case {
        POINT at;
        std::uintptr_t cursor;
    };
    const Case cases[] = {{{101, 175}, IDC_SIZEWE},
                          {{200, 248}, IDC_SIZENS},
                          {{101, 101}, IDC_SIZENWSE},
                          {{290, 101}, IDC_SIZENESW},
                          {{200, 110}, IDC_ARROW}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cursor);
        SetCursor(nullptr);
        OffscreenHarness::MouseMove(c.at);
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(GetCursor(), LoadCursor(c.cursor));
    }

    // The first press moves nothing and its release ends the move; the second is a double click.
    seen.clear();
    for (int i = 0; i < 2; ++i) {
        OffscreenHarness::MousePress({200, 110});
        OffscreenHarness::MouseRelease({200, 110});
    }
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(MessagesOf(frame, {WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_NCLBUTTONUP}),
              (std::vector<UINT>{WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_NCLBUTTONUP}));
    EXPECT_EQ(WindowRect(frame), (RECT{100, 100, 300, 250}));
}

TEST_F(FrameTest, TheCaptionShowsTheClassIconWhosePressDropsTheSystemMenu) {
    HICON icon = LoadIcon(IDI_SAMPLE);
    ASSERT_NE(icon, nullptr);
    WNDCLASS wc;
    wc.lpfnWndProc = SpyProc;
    wc.lpszClassName = "SpyIcon";
    wc.hIcon = icon;
    RegisterClass(wc);
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    const HWND withIcon = Make("SpyIcon", style, {400, 100, 600, 200});
    const HWND noSystemMenu = Make("SpyIcon", WS_POPUP | WS_VISIBLE | WS_CAPTION, {400, 250, 600, 350});
    const HWND noIcon = Make("Spy", style, {400, 400, 600, 500});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(GetClassLongPtr(withIcon, GCLP_HICON), reinterpret_cast<std::uintptr_t>(icon));
    EXPECT_EQ(GetClassLongPtr(withIcon, GCLP_HICONSM), 0u);

    // The icon, at the small icon size, starts one pixel into the caption.
    const int border = GetSystemMetrics(SM_CXDLGFRAME);
    const POINT centre{border + 1 + GetSystemMetrics(SM_CXSMICON) / 2, border + GetSystemMetrics(SM_CYSMICON) / 2};
    struct Case {
        HWND window;
        int hit;
    };
    for (const Case& c : {Case{withIcon, HTSYSMENU}, Case{noSystemMenu, HTCAPTION}, Case{noIcon, HTCAPTION}}) {
        SCOPED_TRACE(c.hit);
        const RECT r = WindowRect(c.window);
        EXPECT_EQ(SendMessage(c.window, WM_NCHITTEST, 0, MAKELPARAM(r.left + centre.x, r.top + centre.y)), c.hit);
    }
    EXPECT_NE(OffscreenHarness::Pixel(withIcon, centre.x, centre.y), OffscreenHarness::Pixel(noIcon, centre.x, centre.y));
    EXPECT_EQ(OffscreenHarness::Pixel(noSystemMenu, centre.x, centre.y),
              OffscreenHarness::Pixel(noSystemMenu, centre.x + 60, centre.y));

    // A press on it asks for the system menu; Up wraps to Close there, and Enter closes.
    seen.clear();
    const RECT r = WindowRect(withIcon);
    const POINT at{r.left + centre.x, r.top + centre.y};
    OffscreenHarness::MousePress(at);
    OffscreenHarness::MouseRelease(at);
    PostMessage(withIcon, WM_KEYDOWN, VK_UP, 0);
    PostMessage(withIcon, WM_KEYDOWN, VK_RETURN, 0);
    OffscreenHarness::RunUntilIdle();
    std::vector<WPARAM> commands;
    for (const auto& s : seen)
        if (s.window == withIcon && s.message == WM_SYSCOMMAND) commands.push_back(s.wParam);
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_MOUSEMENU | UINT(HTSYSMENU), SC_CLOSE}));
    EXPECT_FALSE(IsWindow(withIcon));
}

} // namespace
} // namespace vq::test
