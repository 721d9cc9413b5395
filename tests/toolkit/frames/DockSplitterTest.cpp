#include "DockingFixture.h"

namespace vq::test {
namespace {

class DockSplitterTest : public DockingTest {
protected:
    CountingBar* top[3] = {};
    TkDockBar* topBar = nullptr;

    void SetUp() override {
        DockingTest::SetUp();
        topBar = Dock(AFX_IDW_DOCKBAR_TOP);
        const float shares[3] = {0.5f, 0.3f, 0.2f};
        for (int i = 0; i < 3; ++i) {
            top[i] = MakeBar(UINT(101 + i));
            topBar->DockControlBarAt(top[i], i, 0);
        }
        for (int i = 0; i < 3; ++i)
            top[i]->m_fPctWidth = shares[i];
        // The minimum share follows the dock bar's length from the layout after it has one.
        Layout();
        Layout();
    }

    const TkDockBar::Splitter* SplitterOf(const TkDockBar* dockBar, int kind, const CControlBar* bar) const {
        const int index = dockBar->FindBar(bar);
        for (const auto& s : dockBar->m_arrSplitters)
            if (s->m_nKind == kind && (kind == TkDockBar::Splitter::Bar ? s->m_nIndex == index : true))
                return s.get();
        return nullptr;
    }

    // A drag of the splitter by the pointer: press at its middle, moves, then the ending message.
    void Drag(const TkDockBar* dockBar, const RECT& splitter, POINT by, bool release = true) {
        clock.AdvanceMilliseconds(1000);
        const POINT from = Centre(splitter);
        Press(dockBar->m_hWnd, from);
        MoveTo(dockBar->m_hWnd, {from.x + by.x / 2, from.y + by.y / 2});
        MoveTo(dockBar->m_hWnd, {from.x + by.x, from.y + by.y});
        if (release) Release(dockBar->m_hWnd, {from.x + by.x, from.y + by.y});
    }

    std::vector<float> Shares() const {
        return {top[0]->m_fPctWidth, top[1]->m_fPctWidth, top[2]->m_fPctWidth};
    }
};

TEST_F(DockSplitterTest, BarSplitterMovesLengthFromOneBarToTheOther) {
    const RECT splitter = SplitterOf(topBar, TkDockBar::Splitter::Bar, top[0])->m_rect;
    ASSERT_EQ(splitter, (RECT{315, 0, 321, 180}));
    Drag(topBar, splitter, {40, 0});
    OffscreenHarness::RunUntilIdle();
    // Shares are the committed lengths over the row's length less its splitters.
    EXPECT_FLOAT_EQ(top[0]->m_fPctWidth, 354.0f / 628.0f);
    EXPECT_FLOAT_EQ(top[1]->m_fPctWidth, 148.0f / 628.0f);
    EXPECT_FLOAT_EQ(top[2]->m_fPctWidth, 0.2f);
    EXPECT_TRUE(frame->IsLayoutPending());
    Idle();
    EXPECT_NEAR(InFrame(top[0]).right, 315 + 40, 1);
    EXPECT_NEAR(InFrame(top[1]).left, 321 + 40, 1);
    EXPECT_EQ(InFrame(top[1]).right, 509);
    Save("dock-bar-splitter-dragged");
}

TEST_F(DockSplitterTest, BarSplitterStopsWhereTheBarsBeyondKeepTheirRoom) {
    const RECT splitter = SplitterOf(topBar, TkDockBar::Splitter::Bar, top[0])->m_rect;
    Drag(topBar, splitter, {600, 0});
    OffscreenHarness::RunUntilIdle();
    // Two bars right of it keep 24 pixels each: its near side stops at 640 - 48 - 6.
    EXPECT_FLOAT_EQ(top[0]->m_fPctWidth, float(314 + 271) / 628.0f);
    // The middle bar shrinks to the shortest length, the last bar gives the rest.
    EXPECT_FLOAT_EQ(top[1]->m_fPctWidth, 18.0f / 628.0f);
    EXPECT_FLOAT_EQ(top[2]->m_fPctWidth, 24.0f / 628.0f);
}

TEST_F(DockSplitterTest, EscapeOrTheRightButtonRestoresEverything) {
    const std::vector<float> before = Shares();
    const RECT splitter = SplitterOf(topBar, TkDockBar::Splitter::Bar, top[0])->m_rect;
    Drag(topBar, splitter, {40, 0}, false);
    OffscreenHarness::Key(Qt::Key_Escape, Qt::NoModifier, QString(), true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Shares(), before);
    EXPECT_EQ(SplitterOf(topBar, TkDockBar::Splitter::Bar, top[0])->m_rect, splitter);
    EXPECT_EQ(GetCapture(), HWND(0));
    EXPECT_FALSE(frame->IsLayoutPending());

    Drag(topBar, splitter, {40, 0}, false);
    OffscreenHarness::MousePress(Screen(topBar->m_hWnd, {355, 90}), Qt::RightButton);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Shares(), before);
    EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(DockSplitterTest, RowSplittersThickenTopRowsAndThinBottomRows) {
    const RECT rowSplitter = SplitterOf(topBar, TkDockBar::Splitter::Row, nullptr)->m_rect;
    ASSERT_EQ(rowSplitter, (RECT{0, 180, 640, 186}));
    Drag(topBar, rowSplitter, {0, 30});
    OffscreenHarness::RunUntilIdle();
    Idle();
    for (auto* bar : top)
        EXPECT_EQ(InFrame(bar).Height(), 210);
    EXPECT_EQ(InFrame(topBar).bottom, 216);

    CountingBar* bottom = MakeBar(110);
    bottom->m_szMRUHorzDock = {300, 100};
    TkDockBar* bottomBar = Dock(AFX_IDW_DOCKBAR_BOTTOM);
    bottomBar->DockControlBarAt(bottom, 0, 0);
    Layout();
    const RECT bottomSplitter = SplitterOf(bottomBar, TkDockBar::Splitter::Row, nullptr)->m_rect;
    Drag(bottomBar, bottomSplitter, {0, 30});
    OffscreenHarness::RunUntilIdle();
    Idle();
    EXPECT_EQ(InFrame(bottom).Height(), 70);
    Save("dock-row-splitters-dragged");
}

TEST_F(DockSplitterTest, SplittersShowTheirSplitCursors) {
    ASSERT_NE(tkSysMetrics.m_hResizeCursor1, nullptr);
    ASSERT_NE(tkSysMetrics.m_hResizeCursor2, nullptr);
    const POINT bar = Centre(SplitterOf(topBar, TkDockBar::Splitter::Bar, top[0])->m_rect);
    OffscreenHarness::MouseMove(Screen(topBar->m_hWnd, bar));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(GetCursor(), tkSysMetrics.m_hResizeCursor1);
    const POINT row = Centre(SplitterOf(topBar, TkDockBar::Splitter::Row, nullptr)->m_rect);
    OffscreenHarness::MouseMove(Screen(topBar->m_hWnd, row));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(GetCursor(), tkSysMetrics.m_hResizeCursor2);
}

TEST_F(DockSplitterTest, QuitDuringTheDragEndsItAndStaysQueued) {
    const std::vector<float> before = Shares();
    const RECT splitter = SplitterOf(topBar, TkDockBar::Splitter::Bar, top[0])->m_rect;
    Drag(topBar, splitter, {40, 0}, false);
    PostQuitMessage(3);
    MSG msg;
    bool quit = false;
    while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(msg.wParam, 3u);
            break;
        }
        DispatchMessage(&msg);
    }
    EXPECT_TRUE(quit);
    EXPECT_EQ(Shares(), before);
    EXPECT_EQ(GetCapture(), HWND(0));
}

TEST_F(DockSplitterTest, NoLoopStartsWhileAnotherWindowHoldsTheCapture) {
    const std::vector<float> before = Shares();
    SetCapture(pane);
    auto* splitter = const_cast<TkDockBar::Splitter*>(SplitterOf(topBar, TkDockBar::Splitter::Bar, top[0]));
    EXPECT_EQ(topBar->TrackSplitter(splitter, Centre(splitter->m_rect)), 0);
    const RECT before0 = InFrame(top[0]);
    auto* context = top[0]->GetTkDockContext();
    ASSERT_NE(context, nullptr);
    context->StartDrag(Screen(top[0]->m_hWnd, {8, 60}));
    EXPECT_FALSE(context->m_bDragging);
    EXPECT_EQ(GetCapture(), pane);
    EXPECT_TRUE(IsDesktopLayerClear());
    ReleaseCapture();
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Shares(), before);
    EXPECT_EQ(InFrame(top[0]), before0);
}

} // namespace
} // namespace vq::test
