#include "ToolBarFixture.h"
#include "platform/classlib/WinApp.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkPTNFactory.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <filesystem>

namespace vq::test {
namespace {

class ToolBarManagerTest : public ToolBarTest {
protected:
    static RECT WindowRect(const CWnd* window) {
        RECT r;
        GetWindowRect(window->m_hWnd, &r);
        return r;
    }
    std::vector<UINT> UserIds() const {
        std::vector<UINT> ids;
        for (TkCustomToolBar* bar : manager->GetCustomBars())
            if (bar->m_hWnd && bar->GetDlgCtrlID() >= kFirstUserBarId) ids.push_back(bar->GetDlgCtrlID());
        return ids;
    }
};

TEST_F(ToolBarManagerTest, DefinitionsDockAfterOthersHideAndFloat) {
    AddBar(100, {ID_TB_BLACK, ID_TB_BLUE});
    AddBar(101, {ID_TB_GREY, 0, ID_TB_LINE}, AFX_IDW_DOCKBAR_TOP, 100);
    AddBar(102, {ID_TB_BLACK, ID_TB_BLUE}, AFX_IDW_DOCKBAR_LEFT);
    AddBar(103, {ID_TB_GREY}, AFX_IDW_DOCKBAR_LEFT, 102);
    AddBar(104, {ID_TB_LINE}, AFX_IDW_DOCKBAR_TOP, 0, TRUE, FALSE);
    AddBar(105, {ID_TB_BLACK, ID_TB_GREY}, AFX_IDW_DOCKBAR_TOP, 0, FALSE);
    AddBar(106, {ID_TB_BLUE}, AFX_IDW_DOCKBAR_TOP, 999);
    ASSERT_TRUE(manager->CreateDefaultBars());
    Layout();
    Save(frame->m_hWnd, "toolbar-manager-default-bars");

    // Neighbours in a dock bar share the 2 pixels of their borders.
    const RECT first = WindowRect(Bar(100)), right = WindowRect(Bar(101));
    EXPECT_EQ(right.top, first.top) << "same row";
    EXPECT_EQ(right.left, first.right - 2);
    const RECT upper = WindowRect(Bar(102)), lower = WindowRect(Bar(103));
    EXPECT_EQ(lower.left, upper.left) << "same column";
    EXPECT_EQ(lower.top, upper.bottom - 2);
    EXPECT_FALSE(IsWindowVisible(Bar(104)->m_hWnd));
    EXPECT_TRUE(Bar(105)->IsFloating());
    EXPECT_TRUE(IsWindowVisible(Bar(105)->m_hWnd));
    // Docked after a bar that does not exist: docked all the same, in a row of its own.
    EXPECT_EQ(Bar(106)->m_pDockBar, Dock(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(WindowRect(Bar(106)).top, first.bottom - 2);
    for (UINT id : {100u, 101u, 102u, 103u})
        EXPECT_EQ(Bar(id)->GetWindowText(), "Bar " + std::to_string(id));

    // Bars by screen area: hidden ones never, floating ones by their whole floating frame.
    const POINT mid = Centre(right);
    EXPECT_EQ(manager->BarFromScreenRect(RECT{mid.x, mid.y, mid.x + 1, mid.y + 1}), Bar(101));
    EXPECT_NE(manager->BarFromScreenRect(WindowRect(Bar(104))), Bar(104));
    HWND floatingFrame = Bar(105)->GetParentFrame()->m_hWnd;
    SetWindowPos(floatingFrame, 0, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT bar105 = WindowRect(Bar(105));
    RECT floating;
    GetWindowRect(floatingFrame, &floating);
    ASSERT_LT(floating.top, bar105.top);
    EXPECT_EQ(manager->BarFromScreenRect(RECT{bar105.left, floating.top, bar105.left + 1, floating.top + 1}),
              Bar(105));
}

TEST_F(ToolBarManagerTest, UserBarsTakeTheFirstFreeIdOfTheirRange) {
    TkCustomToolBar* a = manager->CreateUserBar(nullptr);
    TkCustomToolBar* b = manager->CreateUserBar("Mine");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(b->GetWindowText(), "Mine");
    TkCustomToolBar* c = manager->CreateUserBar(nullptr);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->GetDlgCtrlID(), 59426u);
    EXPECT_EQ(c->GetWindowText(), "ToolBar3");
    a->DestroyWindow();
    TkCustomToolBar* again = manager->CreateUserBar(nullptr);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->GetDlgCtrlID(), 59424u);
    EXPECT_EQ(again->GetWindowText(), "ToolBar1");
    int made = 0;
    while (manager->CreateUserBar(nullptr) && made < 300)
        ++made;
    EXPECT_EQ(made, 224 - 3) << "59424 to 59647";
    EXPECT_EQ(UserIds().size(), 224u);
}

TEST_F(ToolBarManagerTest, TheLastButtonOfAUserBarTakesTheBarWithIt) {
    AddBar(100, {ID_TB_BLACK});
    ASSERT_TRUE(manager->CreateDefaultBars());
    TkCustomToolBar* user = manager->CreateUserBar(nullptr);
    ASSERT_TRUE(user);
    user->InsertButton(0, ID_TB_BLACK, FALSE, TRUE);
    // The menu bar's id is no user bar's: emptied, it stays.
    auto* menuLike = new TkCustomToolBar;
    ASSERT_TRUE(menuLike->CreateToolBar(frame.get(), WS_CHILD | WS_VISIBLE | CBRS_TOP, kMenuBarId, "Menu"));
    menuLike->m_bAutoDelete = TRUE;
    menuLike->InsertButton(0, ID_TB_BLUE, FALSE, TRUE);

    EXPECT_FALSE(user->RemoveButton(0, FALSE));
    EXPECT_EQ(manager->BarFromId(kFirstUserBarId), nullptr);
    EXPECT_TRUE(UserIds() == std::vector<UINT>{kMenuBarId});
    for (UINT id : {100u, UINT(kMenuBarId)}) {
        TkCustomToolBar* bar = Bar(id);
        ASSERT_TRUE(bar) << id;
        EXPECT_FALSE(bar->RemoveButton(0, FALSE)) << id;
        EXPECT_EQ(Bar(id), bar) << id;
        EXPECT_EQ(bar->GetButtonCount(), 0) << id;
    }
    OffscreenHarness::RunUntilIdle();
}

TEST_F(ToolBarManagerTest, CommonToolBarMessagesAddAndDeleteButtons) {
    AddBar(100, {ID_TB_BLACK});
    ASSERT_TRUE(manager->CreateDefaultBars());
    TkCustomToolBar* bar = Bar(100);
    TBBUTTON records[3];
    records[0].idCommand = ID_TB_BLUE;
    records[0].fsState = TBSTATE_ENABLED | TBSTATE_CHECKED;
    records[0].fsStyle = TBSTYLE_CHECK;
    records[2].idCommand = ID_TB_GREY;
    records[2].fsState = TBSTATE_ENABLED;
    EXPECT_EQ(bar->SendMessage(TB_ADDBUTTONS, 3, reinterpret_cast<LPARAM>(records)), TRUE);
    ASSERT_EQ(bar->GetButtonCount(), 4);
    EXPECT_EQ(bar->GetButtonStyle(1), DWORD(TKBS_CHECKBOX | TKBS_CHECKED));
    EXPECT_TRUE(bar->GetButtonAt(2)->IsSeparator());
    EXPECT_EQ(bar->GetButtonCommand(3), UINT(ID_TB_GREY));
    EXPECT_FALSE(bar->GetButtonStyle(3) & TKBS_DISABLED) << "the record's enabled bit enables";
    EXPECT_EQ(bar->SendMessage(TB_DELETEBUTTON, 0, 0), TRUE);
    EXPECT_EQ(bar->GetButtonCommand(0), UINT(ID_TB_BLUE));
}

TEST_F(ToolBarManagerTest, SwitchesReachEveryBarOnce) {
    AddBar(100, {ID_TB_BLACK, 0, ID_TB_BLUE});
    AddBar(101, {ID_TB_GREY});
    ASSERT_TRUE(manager->CreateDefaultBars());
    Layout();
    const std::vector<TkCustomToolBar*> bars = manager->GetCustomBars();
    ASSERT_EQ(bars.size(), 2u);
    for (TkCustomToolBar* bar : bars)
        EXPECT_TRUE(bar->GetBarStyle() & CBRS_TOOLTIPS);
    manager->SetToolTips(FALSE);
    for (TkCustomToolBar* bar : bars)
        EXPECT_FALSE(bar->GetBarStyle() & CBRS_TOOLTIPS);
    // The same value again touches no bar.
    bars[0]->SetBarStyle(bars[0]->GetBarStyle() | CBRS_TOOLTIPS);
    manager->SetToolTips(FALSE);
    EXPECT_TRUE(bars[0]->GetBarStyle() & CBRS_TOOLTIPS);

    EXPECT_FALSE(frame->IsLayoutPending());
    manager->SetCoolLook(TRUE, kCoolLookBits);
    EXPECT_TRUE(frame->IsLayoutPending());
    for (TkCustomToolBar* bar : bars)
        EXPECT_EQ(bar->m_dwExStyle & kCoolLookBits, kCoolLookBits);

    manager->SetLargeButtons(TRUE);
    Layout();
    Save(frame->m_hWnd, "toolbar-large-buttons");
    EXPECT_EQ(bars[0]->GetButtonRect(0).Width(), 29);
    EXPECT_EQ(bars[0]->GetButtonRect(0).Height(), 31);
    EXPECT_EQ(bars[0]->GetButtonRect(1).Width(), 10);
    // Large images are stretched from the normal ones: the black square is there, bigger.
    const RECT r = bars[0]->GetButtonRect(0);
    EXPECT_EQ(OffscreenHarness::Pixel(bars[0]->m_hWnd, r.left + 14, r.top + 15), RGB(0, 0, 0));
}

TEST_F(ToolBarManagerTest, SwitchesRoundTripThroughProfileAndTree) {
    AddBar(100, {ID_TB_BLACK});
    ASSERT_TRUE(manager->CreateDefaultBars());
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vq-toolbar-profile";
    std::filesystem::create_directories(folder);
    CWinApp app;
    app.m_pszProfileName = (folder / "profile.ini").string();
    const std::string longName(300, 'p');
    for (const std::string& name : {std::string("Main"), longName}) {
        SCOPED_TRACE(name.size());
        manager->SetToolTips(FALSE);
        manager->SetCoolLook(TRUE, kCoolLookBits);
        manager->SetLargeButtons(TRUE);
        manager->SaveStateToProfile(name.c_str());
        manager->SetToolTips(TRUE);
        manager->SetCoolLook(FALSE, kCoolLookBits);
        manager->SetLargeButtons(FALSE);
        manager->LoadStateFromProfile(name.c_str());
        EXPECT_FALSE(manager->GetToolTips());
        EXPECT_TRUE(manager->GetCoolLook());
        EXPECT_TRUE(manager->GetLargeButtons());
        EXPECT_FALSE(Bar(100)->GetBarStyle() & CBRS_TOOLTIPS);
    }

    TkPTNFactory factory;
    TkPersistentTreeNode* root = factory.CreateNode();
    ASSERT_EQ(root->Create("Root", nullptr), 0);
    ASSERT_TRUE(manager->SaveStateToTree(&factory, root));
    std::string text;
    root->FindChild("ToolBarMgr")->GetValue("ToolTips", text, "");
    EXPECT_EQ(text, "False");
    manager->SetToolTips(TRUE);
    manager->SetLargeButtons(FALSE);
    EXPECT_TRUE(manager->LoadStateFromTree(root));
    EXPECT_FALSE(manager->GetToolTips());
    EXPECT_TRUE(manager->GetLargeButtons());
    EXPECT_FALSE(manager->SaveStateToTree(&factory, nullptr));
    app.m_pszProfileName = "Vorquel";
    std::filesystem::remove_all(folder);
}

TEST_F(ToolBarManagerTest, ATreeWithoutTheNodeTurnsTipsAndTheFlatLookOnInTheBars) {
    manager->SetToolTips(FALSE);
    AddBar(100, {ID_TB_BLACK, ID_TB_BLUE});
    ASSERT_TRUE(manager->CreateDefaultBars());
    Layout();
    TkCustomToolBar* bar = Bar(100);
    const RECT r = bar->GetButtonRect(0);
    EXPECT_EQ(OffscreenHarness::Pixel(bar->m_hWnd, r.left, r.top), tkSysMetrics.m_crButtonHighlight)
        << "raised, classic";

    TkPTNFactory factory;
    TkPersistentTreeNode* root = factory.CreateNode();
    ASSERT_EQ(root->Create("Root", nullptr), 0);
    EXPECT_TRUE(manager->LoadStateFromTree(root));
    EXPECT_TRUE(manager->GetToolTips());
    EXPECT_TRUE(manager->GetCoolLook());
    EXPECT_FALSE(manager->GetLargeButtons());
    EXPECT_TRUE(bar->GetBarStyle() & CBRS_TOOLTIPS);
    EXPECT_EQ(bar->m_dwExStyle & kCoolLookBits, kCoolLookBits);
    Layout();
    Save(frame->m_hWnd, "toolbar-tree-without-manager-node");
    const RECT flat = bar->GetButtonRect(0);
    EXPECT_EQ(OffscreenHarness::Pixel(bar->m_hWnd, flat.left, flat.top), tkSysMetrics.m_crButtonFace)
        << "flat";
    EXPECT_FALSE(manager->LoadStateFromTree(nullptr));
}

TEST_F(ToolBarManagerTest, AnEmptyFrameGetsItsDefaultBarsOnRefresh) {
    AddBar(100, {ID_TB_BLACK});
    EXPECT_TRUE(manager->GetCustomBars().empty());
    manager->RefreshBars();
    ASSERT_NE(Bar(100), nullptr);
    EXPECT_EQ(manager->GetBarTypeId(Bar(100)), UINT(kCustomToolBarType));
    TkControlBarInfo info;
    info.m_nTypeID = kCustomToolBarType;
    info.m_nBarID = 120;
    CControlBar* made = manager->CreateBarFromInfo(&info);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetDlgCtrlID(), 120u);
    info.m_nTypeID = 1;
    EXPECT_EQ(manager->CreateBarFromInfo(&info), nullptr);
}

TEST_F(ToolBarManagerTest, ABarWithoutDockingSpansItsParent) {
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, RECT{10, 10, 310, 210}, frame.get(), 9));
    struct Case {
        DWORD style;
        SIZE size;
    };
    for (const Case& c : {Case{CBRS_ALIGN_TOP, {300, 28}}, Case{CBRS_ALIGN_LEFT, {29, 200}}}) {
        TkCustomToolBar bar;
        ASSERT_TRUE(bar.CreateToolBar(&host, WS_CHILD | WS_VISIBLE | c.style, 50, ""));
        SetWindowPos(bar.m_hWnd, 0, 0, 0, c.size.cx == 300 ? 40 : 29, c.size.cy == 200 ? 40 : 28,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SizeParentParams layout;
        GetClientRect(host.m_hWnd, &layout.rect);
        bar.SendMessage(WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
        RECT r;
        GetWindowRect(bar.m_hWnd, &r);
        EXPECT_EQ((SIZE{r.Width(), r.Height()}), c.size) << c.style;
    }
    host.DestroyWindow();
}

// A customisation dialog stand-in that counts the bars' notices.
class NoticeWindow : public CWnd {
public:
    std::vector<std::pair<UINT, int>> notices;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_BARNOTIFY) notices.emplace_back(UINT(wParam), int(lParam));
        return CWnd::OnWndMsg(message, wParam, lParam, result);
    }
};

TEST_F(ToolBarManagerTest, RegisteredDialogsHearOfBarsComingAndGoing) {
    NoticeWindow dialog;
    ASSERT_TRUE(dialog.CreateEx(0, nullptr, "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    manager->RegisterDialog(&dialog);
    manager->RegisterDialog(&dialog);
    TkCustomToolBar* bar = manager->CreateUserBar(nullptr);
    ASSERT_TRUE(bar);
    bar->DestroyWindow();
    manager->UnregisterDialog(&dialog);
    manager->CreateUserBar(nullptr);
    // Created and destroyed, once each, with being shown on the way; nothing after unregistering.
    const std::vector<std::pair<UINT, int>> expected{{59424u, 0}, {59424u, 2}, {59424u, 3}};
    EXPECT_EQ(dialog.notices, expected);
    dialog.DestroyWindow();
}

TEST_F(ToolBarManagerTest, LockingTheFrameLeavesOnlyItsDockBarsEnabled) {
    AddBar(100, {ID_TB_BLACK});
    ASSERT_TRUE(manager->CreateDefaultBars());
    HWND pane = GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST);
    HWND off = CreateWindowEx(0, CWnd::WindowClassName(), "", WS_CHILD | WS_DISABLED, 0, 0, 5, 5,
                              frame->m_hWnd, 7, nullptr);
    HWND gone =
        CreateWindowEx(0, CWnd::WindowClassName(), "", WS_CHILD, 0, 0, 5, 5, frame->m_hWnd, 8, nullptr);
    EnableWindow(frame->m_hWnd, FALSE);
    manager->LockFrameForCustomize();
    EXPECT_TRUE(IsWindowEnabled(frame->m_hWnd));
    EXPECT_FALSE(IsWindowEnabled(pane));
    EXPECT_TRUE(IsWindowEnabled(Dock(AFX_IDW_DOCKBAR_TOP)->m_hWnd));
    DestroyWindow(gone);
    manager->UnlockFrameAfterCustomize();
    EXPECT_FALSE(IsWindowEnabled(frame->m_hWnd)) << "as the modal dialog left it";
    EXPECT_TRUE(IsWindowEnabled(pane));
    EXPECT_FALSE(IsWindowEnabled(off)) << "disabled before, disabled after";
    EnableWindow(frame->m_hWnd, TRUE);
}

TEST_F(ToolBarManagerTest, WhileCustomisingAFloatingBarHidesAtOnce) {
    AddBar(100, {ID_TB_BLACK}, AFX_IDW_DOCKBAR_TOP, 0, FALSE);
    ASSERT_TRUE(manager->CreateDefaultBars());
    Layout();
    TkCustomToolBar* bar = Bar(100);
    ASSERT_TRUE(bar->IsFloating());
    manager->LockFrameForCustomize();
    manager->SetCustomizeMode(TRUE);
    frame->ShowControlBar(bar, FALSE, TRUE);
    // No idle time comes, so no delayed layout: only the bar's own message hides it.
    EXPECT_TRUE(IsWindowVisible(bar->m_hWnd));
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_FALSE(bar->IsVisible());
    manager->SetCustomizeMode(FALSE);
    manager->UnlockFrameAfterCustomize();
    EnableWindow(frame->m_hWnd, TRUE);
}

} // namespace
} // namespace vq::test
