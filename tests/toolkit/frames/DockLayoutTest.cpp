#include "DockingFixture.h"
#include "platform/classlib/ToolTipCtrl.h"

namespace vq::test {
namespace {

class DockLayoutTest : public DockingTest {
protected:
    CountingBar* top[3] = {};
    CountingBar* left = nullptr;

    // Three sizing bars sharing the top row by 0.5, 0.3 and 0.2, and one in the left column.
    void DockFour() {
        TkDockBar* topBar = Dock(AFX_IDW_DOCKBAR_TOP);
        const float shares[3] = {0.5f, 0.3f, 0.2f};
        for (int i = 0; i < 3; ++i) {
            top[i] = MakeBar(UINT(101 + i));
            topBar->DockControlBarAt(top[i], i, 0);
        }
        for (int i = 0; i < 3; ++i)
            top[i]->m_fPctWidth = shares[i];
        left = MakeBar(104);
        left->m_szMRUVertDock = {150, 180};
        Dock(AFX_IDW_DOCKBAR_LEFT)->DockControlBarAt(left, 0, 0);
        Layout();
    }

    COLORREF PixelOf(const CWnd* window, std::int32_t x, std::int32_t y) const {
        return OffscreenHarness::Pixel(window->m_hWnd, x, y);
    }
};

TEST_F(DockLayoutTest, RowsShareTheirLengthAndSplittersSitBetweenThem) {
    ASSERT_TRUE(tkSysMetrics.m_bNewShell);
    DockFour();
    // The row is 640 less two splitters long: 628 x 0.5, 0.3 and 0.2, the last bar to the end.
    EXPECT_EQ(InFrame(top[0]), (RECT{1, 0, 315, 180}));
    EXPECT_EQ(InFrame(top[1]), (RECT{321, 0, 509, 180}));
    EXPECT_EQ(InFrame(top[2]), (RECT{515, 0, 640, 180}));
    EXPECT_EQ(InFrame(Dock(AFX_IDW_DOCKBAR_TOP)), (RECT{0, 0, 640, 186}));
    // The column takes the height below the top row, starting 2 pixels above it.
    EXPECT_EQ(InFrame(left), (RECT{0, 184, 150, 480}));
    EXPECT_EQ(InFrame(Dock(AFX_IDW_DOCKBAR_LEFT)), (RECT{0, 186, 158, 480}));
    RECT paneRect;
    GetWindowRect(pane, &paneRect);
    EXPECT_EQ(paneRect, (RECT{158, 186, 640, 480}));
    Save("dock-layout");
    const TkSysMetrics& m = tkSysMetrics;

    // The gripper's two raised lines in the band left of the bar's child.
    TkDockBar* topBar = Dock(AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(PixelOf(top[0], 6, 100), m.m_crButtonHighlight);
    EXPECT_EQ(PixelOf(top[0], 7, 100), m.m_crButtonFace);
    EXPECT_EQ(PixelOf(top[0], 8, 100), m.m_crButtonShadow);
    EXPECT_EQ(PixelOf(top[0], 10, 100), m.m_crButtonHighlight);
    EXPECT_EQ(PixelOf(top[0], 12, 100), m.m_crButtonShadow);
    EXPECT_EQ(top[0]->m_rcHideBtn, (RECT{4, 5, 15, 16}));
    EXPECT_EQ(top[0]->m_rcExpandBtn, (RECT{4, 18, 15, 29}));
    // The hide button's cross and the tip of the expand button's left arrow.
    EXPECT_EQ(PixelOf(top[0], 9, 10), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(PixelOf(top[0], 8, 23), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(PixelOf(top[0], 7, 23), m.m_crButtonFace);
    // A bar splitter: highlight, three of face, shadow, frame; the row splitter below the same way.
    const COLORREF column[6] = {m.m_crButtonHighlight, m.m_crButtonFace,   m.m_crButtonFace,
                                m.m_crButtonFace,      m.m_crButtonShadow, m.m_crWindowFrame};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(PixelOf(topBar, 315 + i, 90), column[i]) << i;
        EXPECT_EQ(PixelOf(topBar, 300, 180 + i), column[i]) << i;
        EXPECT_EQ(PixelOf(Dock(AFX_IDW_DOCKBAR_LEFT), 152 + i, 100), column[i]) << i;
    }

    // An unchanged second layout moves nothing and keeps every splitter.
    std::vector<const TkDockBar::Splitter*> splitters;
    for (const auto& s : topBar->m_arrSplitters)
        splitters.push_back(s.get());
    for (auto* bar : {top[0], top[1], top[2], left})
        bar->moves = 0;
    Layout();
    for (auto* bar : {top[0], top[1], top[2], left})
        EXPECT_EQ(bar->moves, 0);
    ASSERT_EQ(topBar->m_arrSplitters.size(), splitters.size());
    for (std::size_t i = 0; i < splitters.size(); ++i)
        EXPECT_EQ(topBar->m_arrSplitters[i].get(), splitters[i]);
}

TEST_F(DockLayoutTest, ExpandButtonExpandsThenContractsTheBarInItsRow) {
    DockFour();
    TkDockBar* topBar = Dock(AFX_IDW_DOCKBAR_TOP);
    ASSERT_TRUE(top[1]->m_bExpandEnabled);
    ASSERT_TRUE(top[1]->m_bCanExpand);
    Click(top[1]->m_hWnd, Centre(top[1]->m_rcExpandBtn));
    const float m = topBar->m_fMinShare;
    EXPECT_FLOAT_EQ(m, 18.0f / 640.0f);
    EXPECT_FLOAT_EQ(top[0]->m_fPctWidth, m);
    EXPECT_FLOAT_EQ(top[1]->m_fPctWidth, 1.0f);
    EXPECT_FLOAT_EQ(top[2]->m_fPctWidth, m);
    Idle();
    Save("dock-expanded");
    EXPECT_FALSE(top[1]->m_bCanExpand);
    Click(top[1]->m_hWnd, Centre(top[1]->m_rcExpandBtn));
    EXPECT_FLOAT_EQ(top[0]->m_fPctWidth, 0.25f);
    EXPECT_FLOAT_EQ(top[1]->m_fPctWidth, 0.5f);
    EXPECT_FLOAT_EQ(top[2]->m_fPctWidth, 0.25f);
    Idle();
    EXPECT_TRUE(top[1]->m_bCanExpand);

    // The lone bar of its column fills it and cannot expand.
    EXPECT_FALSE(left->m_bExpandEnabled);
    const RECT before = InFrame(left);
    Click(left->m_hWnd, Centre(left->m_rcExpandBtn));
    Idle();
    EXPECT_EQ(InFrame(left), before);
}

TEST_F(DockLayoutTest, BarsTellTheirPlaceTipsAndIds) {
    DockFour();
    int row = -1, column = -1, thickness = 0;
    UINT dockBarId = 0;
    float share = 0;
    ASSERT_TRUE(top[2]->GetDockPosition(row, column, dockBarId, share, thickness));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 2);
    EXPECT_EQ(dockBarId, UINT(AFX_IDW_DOCKBAR_TOP));
    EXPECT_FLOAT_EQ(share, top[2]->m_fPctWidth);
    EXPECT_EQ(thickness, 180);
    ShowWindow(left->m_hWnd, SW_HIDE);
    EXPECT_FALSE(left->GetDockPosition(row, column, dockBarId, share, thickness));

    ToolHit hit;
    EXPECT_EQ(top[0]->OnToolHitTest(Centre(top[0]->m_rcHideBtn), &hit), kHideButtonHit);
    EXPECT_EQ(hit.text, "Hide docked window");
    EXPECT_EQ(top[0]->OnToolHitTest(Centre(top[0]->m_rcExpandBtn), &hit), kExpandButtonHit);
    EXPECT_EQ(hit.text, "Expand docked window");
    top[0]->m_bCanExpand = FALSE;
    EXPECT_EQ(top[0]->OnToolHitTest(Centre(top[0]->m_rcExpandBtn), &hit), kExpandButtonHit);
    EXPECT_EQ(hit.text, "Contract docked window");
    EXPECT_EQ(top[0]->OnToolHitTest({100, 1}, &hit), -1);

    EXPECT_EQ(FindFreeBarId(frame.get(), 101), 105u);
    EXPECT_EQ(FindFreeBarId(frame.get(), 200), 200u);
    EXPECT_FALSE(IsBarIdFree(frame.get(), 0));
    EXPECT_FALSE(IsBarIdFree(nullptr, 5));
    EXPECT_TRUE(AreBarIdsUnique(frame.get()));
    SetWindowLongPtr(top[1]->m_hWnd, GWLP_ID, 101);
    EXPECT_FALSE(AreBarIdsUnique(frame.get()));
    SetWindowLongPtr(top[1]->m_hWnd, GWLP_ID, 102);
}

TEST_F(DockLayoutTest, ContractingOneOfTwoGivesEqualShares) {
    TkDockBar* topBar = Dock(AFX_IDW_DOCKBAR_TOP);
    CountingBar* a = MakeBar(101);
    CountingBar* b = MakeBar(102);
    topBar->DockControlBarAt(a, 0, 0);
    topBar->DockControlBarAt(b, 1, 0);
    Layout();
    topBar->ExpandBar(a, 2);
    EXPECT_FLOAT_EQ(a->m_fPctWidth, 0.5f);
    EXPECT_FLOAT_EQ(b->m_fPctWidth, 0.5f);
}

TEST_F(DockLayoutTest, KeptShareAboveTheOthersSumKeepsItsProportion) {
    TkDockBar* topBar = Dock(AFX_IDW_DOCKBAR_TOP);
    CountingBar* a = MakeBar(101);
    CountingBar* b = MakeBar(102);
    topBar->DockControlBarAt(a, 0, 0);
    topBar->DockControlBarAt(b, 1, 0);
    Layout();
    a->m_fPctWidth = 0.6f;
    b->m_fPctWidth = 0.4f;
    topBar->NormalizeRow(1, a, nullptr, nullptr);
    EXPECT_FLOAT_EQ(a->m_fPctWidth, 0.6f);
    EXPECT_FLOAT_EQ(b->m_fPctWidth, 0.4f);
    // Others summing to more than the kept share scale it up, as before.
    a->m_fPctWidth = 0.2f;
    b->m_fPctWidth = 0.4f;
    topBar->NormalizeRow(1, a, nullptr, nullptr);
    EXPECT_FLOAT_EQ(a->m_fPctWidth, 0.5f);
    EXPECT_FLOAT_EQ(b->m_fPctWidth, 0.5f);
}

TEST_F(DockLayoutTest, HideButtonHidesOnlyWhenReleasedOnIt) {
    DockFour();
    const POINT hide = Centre(left->m_rcHideBtn);
    Press(left->m_hWnd, hide);
    Release(left->m_hWnd, {hide.x + 60, hide.y + 60});
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(IsWindowVisible(left->m_hWnd));
    EXPECT_FALSE(left->m_bHidePressed);
    EXPECT_EQ(GetCapture(), HWND(0));

    Click(left->m_hWnd, hide);
    EXPECT_FALSE(IsWindowVisible(left->m_hWnd));
    // The column closes: the pane takes the frame's whole width.
    EXPECT_EQ(InFrame(Dock(AFX_IDW_DOCKBAR_LEFT)).Width(), 0);
    RECT paneRect;
    GetWindowRect(pane, &paneRect);
    EXPECT_EQ(paneRect.left, 0);
}

TEST_F(DockLayoutTest, LayoutsOfBottomAndRightSidesMirrorTheTopAndLeft) {
    CountingBar* bottom = MakeBar(101);
    bottom->m_szMRUHorzDock = {300, 100};
    CountingBar* right = MakeBar(102);
    right->m_szMRUVertDock = {120, 180};
    Dock(AFX_IDW_DOCKBAR_BOTTOM)->DockControlBarAt(bottom, 0, 0);
    Dock(AFX_IDW_DOCKBAR_RIGHT)->DockControlBarAt(right, 0, 0);
    Layout();
    Save("dock-bottom-right");
    // Bottom: the row splitter above the row, the client edge below it.
    const RECT bottomDock = InFrame(Dock(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_EQ(bottomDock.bottom, 480);
    EXPECT_EQ(bottomDock.Height(), 107);
    const RECT bar = InParent(bottom);
    EXPECT_EQ(bar.top, 5);
    EXPECT_EQ(bar.Height(), 100);
    const RECT rightDock = InFrame(Dock(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_EQ(rightDock.right, 640);
    EXPECT_EQ(InParent(right).Width(), 120);
}

} // namespace
} // namespace vq::test
