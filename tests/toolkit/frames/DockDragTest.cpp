#include "DockingFixture.h"
#include "platform/gui/DragRect.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"
#include "toolkit/frames/TkToolBarRectTracker.h"

#include <functional>

namespace vq::test {
namespace {

// A window whose message, queued between the moves of a gesture, looks at the screen while the
// drag loop runs.
class Probe : public CWnd {
public:
    std::function<void()> look;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if ((message == WM_APP || message == WM_TIMER) && look) {
            // A timer comes after every paint: what it looks at is on the screen.
            if (message == WM_TIMER) KillTimer(m_hWnd, wParam);
            look();
            *result = 0;
            return TRUE;
        }
        return CWnd::OnWndMsg(message, wParam, lParam, result);
    }
};

class DockDragTest : public DockingTest {
protected:
    CountingBar* top[2] = {};
    CountingBar* left = nullptr;
    Probe probe;

    void SetUp() override {
        DockingTest::SetUp();
        ASSERT_TRUE(probe.CreateEx(0, nullptr, "", WS_CHILD, RECT{0, 0, 1, 1}, frame.get(), 9));
        TkDockBar* topBar = Dock(AFX_IDW_DOCKBAR_TOP);
        for (int i = 0; i < 2; ++i) {
            top[i] = MakeBar(UINT(101 + i));
            topBar->DockControlBarAt(top[i], i, 0);
            top[i]->m_fPctWidth = 0.5f;
        }
        left = MakeBar(103);
        left->m_szMRUVertDock = {150, 180};
        Dock(AFX_IDW_DOCKBAR_LEFT)->DockControlBarAt(left, 0, 0);
        Layout();
        Layout();
    }

    void TearDown() override {
        probe.DestroyWindow();
        DockingTest::TearDown();
    }

    void Look() const { PostMessage(probe.m_hWnd, WM_APP, 0, 0); }
    static void MoveScreen(POINT p) { OffscreenHarness::MouseMove(p, Qt::LeftButton); }

    // The bar's mini frame, when it floats in one.
    static CWnd* MiniFrameOf(const CControlBar* bar) {
        if (!bar->m_pDockBar || !bar->m_pDockBar->m_bFloating) return nullptr;
        return dynamic_cast<TkMiniDockFrameWnd*>(bar->m_pDockBar->GetParent());
    }

    static RECT WindowRect(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }

    // Floats the second top bar by a drag of its gripper into the middle of the pane.
    void FloatByDrag() {
        clock.AdvanceMilliseconds(1000);
        Press(top[1]->m_hWnd, {8, 60});
        MoveScreen({420, 300});
        MoveScreen({400, 320});
        OffscreenHarness::MouseRelease({400, 320});
        OffscreenHarness::RunUntilIdle();
    }

    static int Inverted(const QImage& now, const QImage& before, int x, int y) {
        return (now.pixel(x, y) & 0xFFFFFF) == (~before.pixel(x, y) & 0xFFFFFF) ? 1 : 0;
    }
};

TEST_F(DockDragTest, DraggingTheGripperFloatsTheBarAndClosesItsRow) {
    const QImage before = ScreenComposite();
    TkDockContext* context = top[1]->GetTkDockContext();
    RECT overDock{}, overPane{};
    SIZE overDockSize{}, overPaneSize{};
    QImage seenOverDock, seenOverPane, onScreen;
    clock.AdvanceMilliseconds(1000);
    Press(top[1]->m_hWnd, {8, 60});
    // Over the left dock bar, then over the pane.
    MoveScreen({60, 300});
    probe.look = [&] {
        overDock = context->m_rectLast;
        overDockSize = context->m_sizeLast;
        seenOverDock = ScreenComposite();
        probe.look = [&] {
            overPane = context->m_rectLast;
            overPaneSize = context->m_sizeLast;
            seenOverPane = ScreenComposite();
            onScreen = RenderDesktopOverlay();
        };
    };
    Look();
    MoveScreen({400, 320});
    Look();
    OffscreenHarness::MouseRelease({400, 320});
    OffscreenHarness::RunUntilIdle();

    // Over a dock bar: a frame one pixel wide, inverted by the white brush.
    ASSERT_FALSE(seenOverDock.isNull());
    EXPECT_EQ(overDockSize, (SIZE{1, 1}));
    const int midY = (overDock.top + overDock.bottom) / 2;
    EXPECT_EQ(Inverted(seenOverDock, before, overDock.left, midY), 1);
    EXPECT_EQ(Inverted(seenOverDock, before, overDock.left + 1, midY), 0);
    seenOverDock.save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/dock-drag-over-dock-bar.png"));
    // Elsewhere: the floating frame's outline in the halftone brush, every other pixel.
    ASSERT_FALSE(seenOverPane.isNull());
    EXPECT_EQ(overPaneSize, (SIZE{GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1}));
    const int y = (overPane.top + overPane.bottom) / 2;
    EXPECT_NE(Inverted(seenOverPane, before, overPane.left, y),
              Inverted(seenOverPane, before, overPane.left + 1, y));
    EXPECT_NE(Inverted(seenOverPane, before, overPane.left, y),
              Inverted(seenOverPane, before, overPane.left, y + 1));
    seenOverPane.save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/dock-drag-over-pane.png"));
    // The real screen's overlay showed the same frame while the drag ran, and nothing else.
    ASSERT_FALSE(onScreen.isNull());
    EXPECT_EQ(onScreen.pixel(overPane.left, y), seenOverPane.pixel(overPane.left, y) | 0xFF000000u);
    EXPECT_EQ(qAlpha(onScreen.pixel(Centre(overPane).x, Centre(overPane).y)), 0);
    onScreen.save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/dock-drag-overlay.png"));

    // Afterwards nothing is left on the screen, the bar floats where the frame was last drawn and
    // the row closes up.
    EXPECT_TRUE(IsDesktopLayerClear());
    EXPECT_FALSE(GetDesktopOverlay()->isVisible());
    CWnd* mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    const RECT miniRect = WindowRect(mini->m_hWnd);
    EXPECT_EQ((POINT{miniRect.left, miniRect.top}), context->m_ptMRUFloatPos);
    EXPECT_EQ(context->m_ptMRUFloatPos, (POINT{overPane.left - 2, overPane.top - 2}));
    EXPECT_EQ(InFrame(top[0]).right, 640);
    const QImage after = ScreenComposite();
    after.save(QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/dock-floated.png"));
}

TEST_F(DockDragTest, CaptionDragDocksIntoTheLeftColumn) {
    FloatByDrag();
    CWnd* mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    const RECT miniRect = WindowRect(mini->m_hWnd);
    const HWND miniWindow = mini->m_hWnd;
    const POINT caption{miniRect.left + 30, miniRect.top + 8};
    ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(caption.x, caption.y)), HTCAPTION);
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress(caption);
    // Low enough that the horizontal rectangle misses the top row, high enough that it misses
    // the bottom edge: only the column takes it.
    MoveScreen({caption.x - 100, caption.y});
    MoveScreen({60, 260});
    OffscreenHarness::MouseRelease({60, 260});
    OffscreenHarness::RunUntilIdle();
    Idle();
    EXPECT_EQ(top[1]->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_TRUE(top[1]->m_dwStyle & CBRS_ALIGN_LEFT);
    EXPECT_EQ(top[1]->GetTkDockContext()->m_uMRUDockID, UINT(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_TRUE(IsDesktopLayerClear());
    // The floating frame went with its last bar.
    EXPECT_FALSE(IsWindow(miniWindow));
    Save("dock-docked-left");
}

TEST_F(DockDragTest, BarsThatShareFloatingFramesDockIntoOneAndOthersDoNot) {
    for (CountingBar* bar : top)
        bar->EnableDocking(CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    frame->FloatControlBar(top[0], {800, 500}, CBRS_ALIGN_TOP | CBRS_FLOAT_MULTI);
    OffscreenHarness::RunUntilIdle();
    CWnd* shared = MiniFrameOf(top[0]);
    ASSERT_NE(shared, nullptr);
    CDockBar* floatingDock = top[0]->m_pDockBar;
    const POINT drop = Centre(WindowRect(floatingDock->m_hWnd));
    TkDockContext* context = top[1]->GetTkDockContext();
    const UINT dockIdBefore = context->m_uMRUDockID;
    SIZE seen{};
    probe.look = [&] { seen = context->m_sizeLast; };

    clock.AdvanceMilliseconds(1000);
    Press(top[1]->m_hWnd, {8, 60});
    MoveScreen({drop.x - 50, drop.y});
    MoveScreen(drop);
    Look();
    OffscreenHarness::MouseRelease(drop);
    OffscreenHarness::RunUntilIdle();
    // Previewed as a docked rectangle, docked beside the first bar, and the bar's way back to the
    // frame's sides is still the one it had.
    EXPECT_EQ(seen, (SIZE{1, 1}));
    EXPECT_EQ(top[1]->m_pDockBar, floatingDock);
    EXPECT_EQ(MiniFrameOf(top[1]), shared);
    EXPECT_EQ(floatingDock->GetDockedCount(), 2);
    // The frame grew round both bars.
    RECT first = WindowRect(top[0]->m_hWnd), second = WindowRect(top[1]->m_hWnd);
    const RECT around = WindowRect(shared->m_hWnd);
    EXPECT_TRUE(IntersectRects(first, second).IsEmpty());
    for (const RECT& r : {first, second})
        EXPECT_TRUE(around.left <= r.left && around.top <= r.top && r.right <= around.right &&
                    r.bottom <= around.bottom);
    EXPECT_EQ(context->m_uMRUDockID, dockIdBefore);
    EXPECT_TRUE(IsDesktopLayerClear());
    ScreenComposite().save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/dock-shared-floating-frame.png"));

    // A bar that does not share floating frames floats in one of its own.
    clock.AdvanceMilliseconds(1000);
    Press(left->m_hWnd, {60, 8});
    MoveScreen({drop.x, drop.y - 40});
    MoveScreen(drop);
    OffscreenHarness::MouseRelease(drop);
    OffscreenHarness::RunUntilIdle();
    ASSERT_NE(MiniFrameOf(left), nullptr);
    EXPECT_NE(MiniFrameOf(left), shared);
    EXPECT_EQ(floatingDock->GetDockedCount(), 2);
}

TEST_F(DockDragTest, FloatingFramesKeepTheirCaptionsInStepWithTheFrame) {
    SetActiveWindow(frame->m_hWnd);
    FloatByDrag();
    CWnd* mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    const RECT miniRect = WindowRect(mini->m_hWnd);
    auto caption = [&] {
        OffscreenHarness::RunUntilIdle();
        return OffscreenHarness::Pixel(mini->m_hWnd, miniRect.Width() - 40, GetSystemMetrics(SM_CYFRAME) + 3);
    };
    const COLORREF active = GetSysColor(COLOR_ACTIVECAPTION), inactive = GetSysColor(COLOR_INACTIVECAPTION);
    ASSERT_NE(active, inactive);
    EXPECT_EQ(caption(), active);
    // The floating frame taking the activation keeps the frame active, and the other way round.
    SetActiveWindow(mini->m_hWnd);
    EXPECT_TRUE(frame->IsStayActive());
    EXPECT_EQ(caption(), active);
    Save(mini->m_hWnd, "dock-mini-frame-active");
    SetActiveWindow(frame->m_hWnd);
    EXPECT_EQ(caption(), active);
    // Another window taking it deactivates both, whichever of them had it.
    SetActiveWindow(mini->m_hWnd);
    SetActiveWindow(0);
    EXPECT_FALSE(frame->IsStayActive());
    EXPECT_EQ(caption(), inactive);
    Save(mini->m_hWnd, "dock-mini-frame-inactive");
    SetActiveWindow(frame->m_hWnd);
    EXPECT_EQ(caption(), active);
    // A disabled frame takes its floating frames with it.
    EnableWindow(frame->m_hWnd, FALSE);
    EXPECT_FALSE(IsWindowEnabled(mini->m_hWnd));
    EnableWindow(frame->m_hWnd, TRUE);
    EXPECT_TRUE(IsWindowEnabled(mini->m_hWnd));
}

TEST_F(DockDragTest, FloatingBarMovesFourPixelsWithoutDockingAndDocksOnTheFifth) {
    FloatByDrag();
    CWnd* mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    top[1]->GetTkDockContext()->ToggleDocking();
    // Float it over the top row, where its frame overlaps the top dock bar.
    frame->FloatControlBar(top[1], {300, 40}, CBRS_ALIGN_TOP);
    OffscreenHarness::RunUntilIdle();
    mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    const RECT miniRect = WindowRect(mini->m_hWnd);
    const POINT caption{miniRect.left + 30, miniRect.top + 8};
    TkDockContext* context = top[1]->GetTkDockContext();
    SIZE seen{};
    probe.look = [&] { seen = context->m_sizeLast; };
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress(caption);
    for (int i = 1; i <= 4; ++i)
        MoveScreen({caption.x, caption.y + i});
    Look();
    OffscreenHarness::MouseRelease({caption.x, caption.y + 4});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(seen, (SIZE{GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1}));
    ASSERT_NE(MiniFrameOf(top[1]), nullptr);

    const RECT moved = WindowRect(MiniFrameOf(top[1])->m_hWnd);
    const POINT grip{moved.left + 30, moved.top + 8};
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress(grip);
    for (int i = 1; i <= 5; ++i)
        MoveScreen({grip.x, grip.y + i});
    Look();
    OffscreenHarness::MouseRelease({grip.x, grip.y + 5});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(seen, (SIZE{1, 1}));
    EXPECT_EQ(top[1]->m_pDockBar, Dock(AFX_IDW_DOCKBAR_TOP));
}

TEST_F(DockDragTest, CtrlFloatsAtTheDropPointAndShiftFlipsTheFrame) {
    TkDockContext* context = top[1]->GetTkDockContext();
    RECT seenRect{};
    probe.look = [&] { seenRect = context->m_rectLast; };
    clock.AdvanceMilliseconds(1000);
    Press(top[1]->m_hWnd, {8, 60});
    MoveScreen({400, 320});
    OffscreenHarness::Key(Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
    Look();
    OffscreenHarness::Key(Qt::Key_Shift, Qt::NoModifier, QString(), false);
    // Back over the top row, Ctrl held: no docking.
    MoveScreen({420, 100});
    OffscreenHarness::Key(Qt::Key_Control, Qt::ControlModifier, QString(), true);
    OffscreenHarness::MouseRelease({420, 100});
    OffscreenHarness::RunUntilIdle();
    OffscreenHarness::Key(Qt::Key_Control, Qt::NoModifier, QString(), false);
    OffscreenHarness::RunUntilIdle();
    // Flipped, a horizontal bar previews its vertical frame.
    RECT vertical = context->m_rectFrameDragVert;
    EXPECT_EQ(seenRect.Width(), vertical.Width());
    EXPECT_EQ(seenRect.Height(), vertical.Height());
    ASSERT_NE(MiniFrameOf(top[1]), nullptr);
    const RECT miniRect = WindowRect(MiniFrameOf(top[1])->m_hWnd);
    EXPECT_EQ((POINT{miniRect.left, miniRect.top}), context->m_ptMRUFloatPos);
    EXPECT_TRUE(IsDesktopLayerClear());
}

TEST_F(DockDragTest, DoubleClicksToggleBetweenTheRowAndTheFloatingFrame) {
    TkDockContext* context = top[1]->GetTkDockContext();
    context->m_ptMRUFloatPos = {350, 260};
    context->m_dwMRUFloatStyle = CBRS_ALIGN_TOP;
    const float share = top[1]->m_fPctWidth;
    const RECT docked = InFrame(top[1]);
    clock.AdvanceMilliseconds(1000);
    Click(top[1]->m_hWnd, {8, 60});
    // The second press close behind the first is a double click.
    Press(top[1]->m_hWnd, {8, 60});
    Release(top[1]->m_hWnd, {8, 60});
    OffscreenHarness::RunUntilIdle();
    CWnd* mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    const RECT miniRect = WindowRect(mini->m_hWnd);
    EXPECT_EQ((POINT{miniRect.left, miniRect.top}), (POINT{350, 260}));
    EXPECT_FLOAT_EQ(top[1]->m_fPrevPctWidth, share);

    const POINT caption{miniRect.left + 30, miniRect.top + 8};
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress(caption);
    OffscreenHarness::MouseRelease(caption);
    OffscreenHarness::MousePress(caption);
    OffscreenHarness::MouseRelease(caption);
    OffscreenHarness::RunUntilIdle();
    Idle();
    EXPECT_EQ(top[1]->m_pDockBar, Dock(AFX_IDW_DOCKBAR_TOP));
    EXPECT_FLOAT_EQ(top[1]->m_fPctWidth, share);
    EXPECT_EQ(InFrame(top[1]), docked);

    // With docking switched off a floating bar stays floating; switched on again, the bar gets
    // back exactly the sides it had.
    top[1]->SendMessage(WM_COMMAND, ID_BAR_ALLOWDOCKING, 0);
    OffscreenHarness::RunUntilIdle();
    ASSERT_NE(MiniFrameOf(top[1]), nullptr);
    EXPECT_EQ(top[1]->m_dwDockStyle & CBRS_ALIGN_ANY, 0u);
    context->ToggleDocking();
    EXPECT_NE(MiniFrameOf(top[1]), nullptr);
    top[1]->SendMessage(WM_COMMAND, ID_BAR_ALLOWDOCKING, 0);
    EXPECT_EQ(top[1]->m_dwDockStyle, DWORD(CBRS_ALIGN_ANY));
}

TEST_F(DockDragTest, TheRightButtonOffersTheBarMenuWhoseItemsDockAndHide) {
    auto keys = [&](std::initializer_list<int> list) {
        for (const int key : list)
            PostMessage(top[1]->m_hWnd, WM_KEYDOWN, WPARAM(key), 0);
    };
    auto rightClick = [&](CWnd* bar) {
        const POINT p = Screen(bar->m_hWnd, {60, 60});
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(p, Qt::RightButton);
        OffscreenHarness::MouseRelease(p, Qt::RightButton);
    };
    // Without the style the bar offers no menu.
    rightClick(top[1]);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(frame->barMenus.empty());

    top[1]->ModifyBarStyleEx(0, CBX_CONTEXTMENU, FALSE);
    top[1]->EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
    QImage menuShown;
    RECT popup{};
    probe.look = [&] {
        GetWindowRect(WindowFromPoint(Screen(top[1]->m_hWnd, {62, 62})), &popup);
        menuShown = ScreenComposite();
        keys({VK_DOWN, VK_RETURN});
    };
    // The press lands on the bar's child, which leaves the menu to the bar.
    rightClick(top[1]);
    SetTimer(probe.m_hWnd, 1, 10, nullptr);
    clock.AdvanceMilliseconds(25);
    OffscreenHarness::RunUntilIdle();
    probe.look = nullptr;
    ASSERT_EQ(frame->barMenus.size(), 1u);
    const std::vector<std::pair<UINT, bool>> offered{{ID_BAR_ALLOWDOCKING, true}, {ID_BAR_HIDE, false}};
    EXPECT_EQ(frame->barMenus[0], offered);
    ASSERT_FALSE(menuShown.isNull());
    // The tick sits in the margin of the first item only.
    auto ticked = [&](int item) {
        const int height = (popup.Height() - 2) / 2, first = popup.top + 1 + item * height;
        int dark = 0;
        for (int y = first; y < first + height; ++y)
            for (int x = popup.left + 1; x < popup.left + 18; ++x)
                dark += (menuShown.pixel(x, y) & 0xFFFFFF) == 0 ? 1 : 0;
        return dark;
    };
    EXPECT_GT(ticked(0), 10);
    EXPECT_EQ(ticked(1), 0);
    menuShown.copy(0, 0, 640, 480).save(
        QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/dock-bar-context-menu.png"));
    // "Allow Docking" unchecked: the docked bar floats and docks nowhere.
    ASSERT_NE(MiniFrameOf(top[1]), nullptr);
    EXPECT_EQ(top[1]->m_dwDockStyle & CBRS_ALIGN_ANY, 0u);

    // From the keyboard the menu opens inside the bar; checked again it gives back the sides.
    keys({VK_DOWN, VK_RETURN});
    top[1]->SendMessage(WM_CONTEXTMENU, WPARAM(top[1]->m_hWnd), MAKELPARAM(-1, -1));
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(frame->barMenus.size(), 2u);
    EXPECT_FALSE(frame->barMenus[1][0].second);
    EXPECT_EQ(top[1]->m_dwDockStyle & CBRS_ALIGN_ANY, DWORD(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT));

    // "Hide" hides the bar and its floating frame with it.
    CWnd* mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    rightClick(top[1]);
    keys({VK_DOWN, VK_DOWN, VK_RETURN});
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsWindowVisible(top[1]->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(mini->m_hWnd));
}

TEST_F(DockDragTest, FloatInMainWindowGoesThroughTheFrameAndBack) {
    TkDockContext* context = top[1]->GetTkDockContext();
    context->m_ptMRUFloatPos = {50, 60};
    context->m_dwMRUFloatStyle = CBRS_ALIGN_TOP;
    top[1]->SendMessage(WM_COMMAND, ID_BAR_FLOATINMAIN, 0);
    ASSERT_EQ(frame->hostCalls.size(), 1u);
    EXPECT_EQ(frame->hostCalls[0], "child 50,60 " + std::to_string(CBRS_ALIGN_TOP));
    EXPECT_FALSE(context->m_bPrevFloating);
    // The frame floats it in a dock bar of a child frame; from there a float from a mini frame
    // goes back to one.
    Dock(AFX_IDW_DOCKBAR_TOP)->m_bInMDIChild = TRUE;
    context->m_bPrevFloating = TRUE;
    top[1]->SendMessage(WM_COMMAND, ID_BAR_FLOATINMAIN, 0);
    ASSERT_EQ(frame->hostCalls.size(), 2u);
    EXPECT_EQ(frame->hostCalls[1], "back 50,60 " + std::to_string(CBRS_ALIGN_TOP));
    Dock(AFX_IDW_DOCKBAR_TOP)->m_bInMDIChild = FALSE;
}

TEST_F(DockDragTest, FloatingFrameResizesWithinItsLimitsAndCloses) {
    FloatByDrag();
    CWnd* mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    RECT r = WindowRect(mini->m_hWnd);
    const POINT border{r.left + 1, (r.top + r.bottom) / 2};
    ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(border.x, border.y)), HTLEFT);
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress(border);
    MoveScreen({border.x + 2000, border.y});
    OffscreenHarness::MouseRelease({border.x + 2000, border.y});
    OffscreenHarness::RunUntilIdle();
    const int minimum =
        GetSystemMetrics(SM_CXMENUSIZE) + 2 * (GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXBORDER));
    EXPECT_EQ(top[1]->m_szMRUFloat.cx, minimum);
    mini = MiniFrameOf(top[1]);
    ASSERT_NE(mini, nullptr);
    Save(mini->m_hWnd, "dock-mini-frame-narrow");

    r = WindowRect(mini->m_hWnd);
    const POINT right{r.right - 1, (r.top + r.bottom) / 2};
    ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(right.x, right.y)), HTRIGHT);
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress(right);
    MoveScreen({right.x + 100, right.y});
    MoveScreen({right.x + 5000, right.y});
    OffscreenHarness::MouseRelease({right.x + 5000, right.y});
    OffscreenHarness::RunUntilIdle();
    // Past the full-screen width the edge stops at it.
    EXPECT_EQ(top[1]->m_szMRUFloat.cx, GetSystemMetrics(SM_CXFULLSCREEN));

    // The floating child covers the bar's client area.
    mini = MiniFrameOf(top[1]);
    RECT client;
    GetClientRect(top[1]->m_hWnd, &client);
    RECT child;
    GetWindowRect(GetWindow(top[1]->m_hWnd, GW_CHILD), &child);
    EXPECT_EQ(child.Width(), client.Width());
    EXPECT_EQ(child.Height(), client.Height());

    // The close box hides the bar and its frame.
    r = WindowRect(mini->m_hWnd);
    POINT close{r.right - 8, r.top + 10};
    ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCLOSE);
    Save(mini->m_hWnd, "dock-mini-frame");
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress(close);
    OffscreenHarness::MouseRelease(close);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsWindowVisible(top[1]->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(mini->m_hWnd));
}

TEST_F(DockDragTest, ScaledChildrenWaitForALayoutRecordedWithASize) {
    CountingBar* bar = MakeBar(120, (kSizingExStyle & ~DWORD(CBX_FILLCHILD)) | CBX_SCALECHILDREN);
    HWND child = GetWindow(bar->m_hWnd, GW_CHILD);
    // Recorded at creation with no size, nothing can be scaled from it.
    SetWindowPos(bar->m_hWnd, 0, 0, 0, 200, 100, SWP_NOZORDER);
    SetWindowPos(bar->m_hWnd, 0, 0, 0, 300, 200, SWP_NOZORDER);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.Width(), 10);
    SetWindowPos(child, 0, 20, 10, 100, 50, SWP_NOZORDER);
    bar->RecordChildLayout();
    SetWindowPos(bar->m_hWnd, 0, 0, 0, 600, 400, SWP_NOZORDER);
    GetWindowRect(child, &r);
    EXPECT_GT(r.Width(), 100);
    EXPECT_GT(r.Height(), 50);
}

TEST_F(DockDragTest, ButtonTrackerMovesItsRectangleOverTheDesktopAndLeavesNoTrace) {
    TkToolBarRectTracker tracker(RECT{20, 10, 60, 30});
    bool drawnMidway = false;
    SIZE thickness{};
    probe.look = [&] {
        drawnMidway = !IsDesktopLayerClear();
        thickness = tracker.LastSize();
    };
    // Queued before the loop starts, as a press's handler would find them.
    MoveTo(top[0]->m_hWnd, {30, 40});
    Look();
    MoveTo(top[0]->m_hWnd, {40, 50});
    Release(top[0]->m_hWnd, {40, 50});
    EXPECT_TRUE(tracker.TrackFromMiddle(top[0], {10, 30}));
    EXPECT_EQ(tracker.m_rect, (RECT{50, 30, 90, 50}));
    EXPECT_TRUE(drawnMidway);
    EXPECT_EQ(thickness, (SIZE{3, 3}));
    EXPECT_TRUE(IsDesktopLayerClear());
    // Refused while the pointer is taken.
    SetCapture(pane);
    EXPECT_FALSE(tracker.TrackFromMiddle(top[0], {10, 30}));
    ReleaseCapture();
}

TEST(DragRectTest, DrawingTheSameFrameTwiceRestoresEveryPixel) {
    HBITMAP bitmap = CreateBitmap(40, 30, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            SetPixel(dc, x, y, RGB(x * 6, y * 8, 90));
    std::vector<COLORREF> before;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            before.push_back(GetPixel(dc, x, y));
    const RECT r{5, 4, 35, 26};
    DrawDragRect(dc, &r, SIZE{3, 3}, nullptr, SIZE{});
    EXPECT_TRUE(GetPixel(dc, 5, 10) != before[10 * 40 + 5] || GetPixel(dc, 6, 10) != before[10 * 40 + 6]);
    DrawDragRect(dc, nullptr, SIZE{}, &r, SIZE{3, 3});
    std::vector<COLORREF> after;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            after.push_back(GetPixel(dc, x, y));
    EXPECT_EQ(after, before);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

} // namespace
} // namespace vq::test
