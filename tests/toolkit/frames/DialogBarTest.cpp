#include "DockingFixture.h"
#include "docking.h"
#include "platform/classlib/WinApp.h"
#include "toolkit/frames/TkDialogBar.h"

namespace vq::test {
namespace {

class DialogBarTest : public DockingTest {
protected:
    std::unique_ptr<TkDialogBar> bar = std::make_unique<TkDialogBar>();

    void TearDown() override {
        bar.reset();
        DockingTest::TearDown();
    }

    RECT ChildRect(UINT id) const {
        RECT r;
        GetWindowRect(GetDlgItem(bar->m_hWnd, int(id)), &r);
        MapWindowPoints(0, bar->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
};

TEST_F(DialogBarTest, TemplateWithoutVisibleGivesAHiddenBarOfItsSize) {
    ASSERT_TRUE(bar->Create(frame.get(), IDD_DOCKBAR, WS_CHILD | CBRS_TOP | CBRS_SIZE_DYNAMIC,
                            CBX_TOOLBARLIKE | CBX_SCALECHILDREN, 200));
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_EQ(bar->GetDlgCtrlID(), 200u);
    RECT window;
    GetWindowRect(bar->m_hWnd, &window);
    const SIZE size{window.Width(), window.Height()};
    EXPECT_EQ(bar->m_sizeDefault, size);
    EXPECT_EQ(bar->m_szMRUFloat, size);
    EXPECT_EQ(bar->m_szMRUHorzDock, size);
    EXPECT_EQ(bar->m_szMRUVertDock, size);
    EXPECT_FALSE(bar->GetStyle() & WS_CAPTION);
    const RECT button = ChildRect(IDC_APPLY);
    const RECT edit = ChildRect(IDC_VALUE);

    // Shown and docked in a row of its own, it keeps its height and its controls the template's
    // places, stretched along the row in proportion.
    bar->EnableDocking(CBRS_ALIGN_ANY);
    ShowWindow(bar->m_hWnd, SW_SHOWNA);
    Dock(AFX_IDW_DOCKBAR_TOP)->DockControlBarAt(bar.get(), 0, 0);
    Layout();
    EXPECT_TRUE(IsWindowVisible(bar->m_hWnd));
    RECT client;
    GetClientRect(bar->m_hWnd, &client);
    EXPECT_EQ(client.Height(), size.cy);
    for (const auto& [id, was] : {std::pair{UINT(IDC_APPLY), button}, std::pair{UINT(IDC_VALUE), edit}}) {
        const RECT now = ChildRect(id);
        EXPECT_EQ(now.top, was.top);
        EXPECT_EQ(now.bottom, was.bottom);
        EXPECT_EQ(now.left, client.Width() * was.left / size.cx);
        EXPECT_EQ(now.right, client.Width() * was.right / size.cx);
    }
    Save("dialog-bar-docked");

    // At idle the controls nobody handles are disabled.
    CWinApp app;
    app.m_pMainWnd = frame.get();
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(bar->m_hWnd, IDC_APPLY)));
    app.OnIdle(0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(bar->m_hWnd, IDC_APPLY)));
    app.m_pMainWnd = nullptr;
}

TEST_F(DialogBarTest, ControlsScaleWhenASplitterResizesTheBar) {
    ASSERT_TRUE(bar->Create(frame.get(), IDD_DOCKBAR, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC,
                            CBX_SCALECHILDREN, 200));
    bar->EnableDocking(CBRS_ALIGN_ANY);
    CountingBar* other = MakeBar(101);
    TkDockBar* topBar = Dock(AFX_IDW_DOCKBAR_TOP);
    topBar->DockControlBarAt(bar.get(), 0, 0);
    topBar->DockControlBarAt(other, 1, 0);
    bar->m_fPctWidth = other->m_fPctWidth = 0.5f;
    Layout();
    Layout();
    const RECT before = ChildRect(IDC_VALUE);
    const TkDockBar::Splitter* splitter = nullptr;
    for (const auto& s : topBar->m_arrSplitters)
        if (s->m_nKind == TkDockBar::Splitter::Bar) splitter = s.get();
    ASSERT_NE(splitter, nullptr);
    clock.AdvanceMilliseconds(1000);
    const POINT from = Centre(splitter->m_rect);
    Press(topBar->m_hWnd, from);
    MoveTo(topBar->m_hWnd, {from.x + 100, from.y});
    Release(topBar->m_hWnd, {from.x + 100, from.y});
    OffscreenHarness::RunUntilIdle();
    Idle();
    const RECT after = ChildRect(IDC_VALUE);
    EXPECT_GT(after.Width(), before.Width());
    EXPECT_GT(after.left, before.left);
    Save("dialog-bar-scaled");
}

TEST_F(DialogBarTest, TemplateTestReadsTheStyleWhereTheTemplateKeepsIt) {
    EXPECT_FALSE(TkDialogBar::IsBarTemplate(999, TRUE));
    EXPECT_FALSE(TkDialogBar::IsBarTemplate(999, FALSE));
    EXPECT_TRUE(TkDialogBar::IsBarTemplate(IDD_VISIBLEBAR, FALSE));
    EXPECT_FALSE(TkDialogBar::IsBarTemplate(IDD_VISIBLEBAR, TRUE));
    EXPECT_TRUE(TkDialogBar::IsBarTemplate(IDD_DOCKBAR, TRUE));
    EXPECT_TRUE(TkDialogBar::IsBarTemplate(IDD_PLAINCHILDBAR, TRUE));
    EXPECT_FALSE(TkDialogBar::IsBarTemplate(IDD_POPUPBAR, TRUE));
    // An extended template cut off before its style, and a plain one too short for it.
    const unsigned char extended[] = {1, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(TkDialogBar::IsBarTemplate(std::span(extended), TRUE));
    const unsigned char plain[] = {0, 0, 0x40};
    EXPECT_FALSE(TkDialogBar::IsBarTemplate(std::span(plain), TRUE));
}

} // namespace
} // namespace vq::test
