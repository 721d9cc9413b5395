#include "platform/gui/Hooks.h"
#include "platform/gui/Icon.h"
#include "platform/gui/SystemColours.h"
#include "platform/registry/Registry.h"
#include "tests/support/TempDir.h"
#include "tests/toolkit/frames/MdiFrameFixture.h"
#include "toolkit/frames/TkToolBarManager.h"

namespace vq::test {
namespace {

constexpr UINT kTop = AFX_IDW_DOCKBAR_TOP;

// The window-list entries of a menu, as their ids with a check mark flag.
std::vector<std::pair<UINT, bool>> WindowList(HMENU menu) {
    std::vector<std::pair<UINT, bool>> list;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id >= kFirstMdiChildId && id < kFirstMdiChildId + kMdiWindowListLength)
            list.emplace_back(id, (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0);
    }
    return list;
}

std::vector<std::pair<UINT, UINT>> MenuItems(HMENU menu) {
    std::vector<std::pair<UINT, UINT>> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        items.emplace_back(GetMenuItemID(menu, i), GetMenuState(menu, UINT(i), MF_BYPOSITION));
    return items;
}

// Queues a left click on the item of an open popup, as the popup's window would receive it: the
// harness would dispatch input itself, past the menu's loop.
bool ClickItem(HMENU popup, UINT position) {
    RECT item;
    if (!GetMenuItemRect(0, popup, position, &item)) return false;
    const POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    const HWND target = WindowFromPoint(at);
    POINT local = at;
    ScreenToClient(target, &local);
    PostMessage(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
    PostMessage(target, WM_LBUTTONUP, 0, MAKELPARAM(local.x, local.y));
    return true;
}

// While a menu is tracked, clicks the item of `popup` at `position` once it is open.
struct PopupClick {
    static inline HMENU popup = nullptr;
    static inline UINT position = 0;
    static inline bool clicked = false;
    static LRESULT Filter(int code, WPARAM, LPARAM) {
        if (code == MSGF_MENU && !clicked) clicked = ClickItem(popup, position);
        return 0;
    }
};

// Presses the frame's menu bar at item `barItem` and clicks the item at `position` of the popup
// it drops; true when the click was made.
bool ChooseFromMenuBar(HWND frame, int barItem, HMENU popup, UINT position) {
    PopupClick::popup = popup;
    PopupClick::position = position;
    PopupClick::clicked = false;
    HHOOK filter = SetWindowsHookEx(WH_MSGFILTER, PopupClick::Filter, nullptr, 0);
    RECT item;
    GetMenuItemRect(frame, GetMenu(frame), UINT(barItem), &item);
    const POINT press{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    OffscreenHarness::MousePress(press);
    OffscreenHarness::MouseRelease(press);
    OffscreenHarness::RunUntilIdle();
    UnhookWindowsHookEx(filter);
    return PopupClick::clicked;
}

// While a bar's context menu is open: reads its items as a user sees them (text, then
// "[checked]" and "[grey]"; "-" for a separator), saves a screenshot of it when named, and
// clicks the item with the command `wanted`.
struct BarMenuChoice {
    static inline UINT wanted = 0;
    static inline std::string shot;
    static inline std::vector<std::string> items;
    static inline bool clicked = false;
    static LRESULT Filter(int code, WPARAM, LPARAM) {
        HMENU menu = MdiTestFrame::lastBarMenu;
        if (code != MSGF_MENU || clicked || !IsMenu(menu)) return 0;
        items.clear();
        UINT position = UINT(-1);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            const UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
            if (state & MF_SEPARATOR) {
                items.push_back("-");
                continue;
            }
            char text[64] = "";
            MENUITEMINFO info;
            info.fMask = MIIM_TYPE;
            info.dwTypeData = text;
            info.cch = sizeof text;
            GetMenuItemInfo(menu, UINT(i), TRUE, &info);
            std::string entry = text;
            if (state & MF_CHECKED) entry += " [checked]";
            if (state & MF_GRAYED) entry += " [grey]";
            items.push_back(entry);
            if (GetMenuItemID(menu, i) == wanted) position = UINT(i);
        }
        RECT first;
        if (!GetMenuItemRect(0, menu, 0, &first)) return 0;
        if (!shot.empty()) {
            const HWND popup = WindowFromPoint({first.left + 2, first.top + 2});
            UpdateWindow(popup);
            OffscreenHarness::SaveScreenshot(popup, TestPath("VQ_TEST_OUTPUT_DIR") + "/" + shot);
        }
        clicked = ClickItem(menu, position);
        return 0;
    }
};

// A right click in the middle of the bar; answers the items its menu offered once `wanted` was
// clicked there.
std::vector<std::string> ChooseFromBarMenu(CControlBar* bar, UINT wanted, const char* shot = "") {
    BarMenuChoice::wanted = wanted;
    BarMenuChoice::shot = shot;
    BarMenuChoice::items.clear();
    BarMenuChoice::clicked = false;
    MdiTestFrame::lastBarMenu = nullptr;
    HHOOK filter = SetWindowsHookEx(WH_MSGFILTER, BarMenuChoice::Filter, nullptr, 0);
    RECT r;
    GetWindowRect(bar->m_hWnd, &r);
    const POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    OffscreenHarness::MousePress(at, Qt::RightButton);
    OffscreenHarness::MouseRelease(at, Qt::RightButton);
    OffscreenHarness::RunUntilIdle();
    UnhookWindowsHookEx(filter);
    EXPECT_TRUE(BarMenuChoice::clicked);
    return BarMenuChoice::items;
}

// The caption's colour a few pixels inside its left end, past its icon.
COLORREF CaptionPixel(HWND window) {
    const bool thick = GetWindowLongPtr(window, GWL_STYLE) & WS_THICKFRAME;
    const int frame = GetSystemMetrics(thick ? SM_CYFRAME : SM_CYDLGFRAME);
    return OffscreenHarness::Pixel(window, frame + GetSystemMetrics(SM_CXSMICON) + 6, frame + 3);
}

// The close box of an MDI child's caption, in window coordinates.
RECT CloseBox(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int frame = GetSystemMetrics(SM_CXFRAME);
    const int right = r.Width() - frame - 2;
    const int top = frame + 2;
    const int bottom = frame + GetSystemMetrics(SM_CYCAPTION) - 1 - 3;
    return {right - (GetSystemMetrics(SM_CXSIZE) - 2), top, right, bottom};
}

TEST_F(MdiFrameTest, LoadFrameDocksWithNotificationsAndHoldsTwoChildren) {
    MakeFrame(false);
    EXPECT_EQ(frame->GetTitle(), "Main Test");
    struct Side { UINT id; DWORD style; };
    for (const Side& side : {Side{kTop, 0x2800}, Side{AFX_IDW_DOCKBAR_BOTTOM, 0x8200},
                             Side{AFX_IDW_DOCKBAR_LEFT, 0x1400}, Side{AFX_IDW_DOCKBAR_RIGHT, 0x4100}}) {
        SCOPED_TRACE(side.id);
        TkDockBar* dock = Dock(side.id);
        ASSERT_NE(dock, nullptr);
        EXPECT_EQ(dock->m_dwStyle & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY), side.style);
    }
    SpyBar* bar = MakeBar(201);
    frame->DockControlBarPlacedAt(bar, kTop, 0, 0, 100, 80);
    SpyBar* left = MakeBar(202);
    frame->DockControlBar(left, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(Log(), (std::vector<std::string>{"bar 201 pre-dock", "bar 201 docked", "bar 202 pre-dock",
                                               "bar 202 docked"}));
    EXPECT_EQ(bar->m_pDockBar, Dock(kTop));
    EXPECT_EQ(left->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
    // The bar docked at the left shows its gripper across its top: two raised lines, each lit above
    // and shaded below, one row apart.
    frame->RecalcLayout();
    OffscreenHarness::RunUntilIdle();
    const COLORREF lit = GetSysColor(COLOR_BTNHIGHLIGHT), face = GetSysColor(COLOR_BTNFACE),
                   shade = GetSysColor(COLOR_BTNSHADOW);
    std::vector<COLORREF> column;
    for (int y = 0; y < 30; ++y)
        if (const COLORREF c = OffscreenHarness::Pixel(left->m_hWnd, 20, y); column.empty() || column.back() != c)
            column.push_back(c);
    const std::vector<COLORREF> gripper{lit, face, shade, face, lit, face, shade};
    EXPECT_NE(std::search(column.begin(), column.end(), gripper.begin(), gripper.end()), column.end());

    CDocument* first = NewDocument();
    CDocument* second = NewDocument();
    MdiChild* one = ChildOf(first);
    MdiChild* two = ChildOf(second);
    ASSERT_TRUE(one && two);
    EXPECT_EQ(frame->MDIGetActive(), two);
    frame->RecalcLayout();
    ::vq::SendMessage(frame->m_hWndMDIClient, WM_MDICASCADE, 0, 0);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(CaptionPixel(two->m_hWnd), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(CaptionPixel(one->m_hWnd), GetSysColor(COLOR_INACTIVECAPTION));
    const RECT box = CloseBox(two->m_hWnd);
    EXPECT_EQ(OffscreenHarness::Pixel(two->m_hWnd, box.left + 2, box.bottom - 3), GetSysColor(COLOR_BTNFACE));
    // The maximise box beside it, with a gap of caption between.
    const int maxLeft = box.left - 2 - box.Width();
    EXPECT_EQ(OffscreenHarness::Pixel(two->m_hWnd, maxLeft + 2, box.bottom - 3), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(OffscreenHarness::Pixel(two->m_hWnd, box.left - 1, box.bottom - 3), GetSysColor(COLOR_ACTIVECAPTION));
    SaveShot(frame->m_hWnd, "mdi_frame.png");

    const RECT normal = InClient(two->m_hWnd);
    two->MDIMaximize();
    EXPECT_TRUE(IsZoomed(two->m_hWnd));
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    ASSERT_TRUE(GetWindowPlacement(two->m_hWnd, &placement));
    EXPECT_EQ(placement.showCmd, UINT(SW_SHOWMAXIMIZED));
    EXPECT_EQ(placement.rcNormalPosition, normal);
    // The maximised state passes to the child that becomes active.
    one->MDIActivate();
    EXPECT_TRUE(IsZoomed(one->m_hWnd));
    EXPECT_FALSE(IsZoomed(two->m_hWnd));
    EXPECT_EQ(InClient(two->m_hWnd), normal);
}

TEST_F(MdiFrameTest, WithoutMenuBarTheActiveChildsMenuListsTheWindows) {
    MakeFrame(false);
    CDocument* first = NewDocument();
    CDocument* second = NewDocument();
    HMENU shared = docTemplate->m_hMenuShared;
    EXPECT_EQ(GetMenu(frame->m_hWnd), shared);
    HMENU window = GetSubMenu(shared, 2);
    EXPECT_EQ(WindowList(window),
              (std::vector<std::pair<UINT, bool>>{{kFirstMdiChildId, false}, {kFirstMdiChildId + 1, true}}));
    // Choosing an entry goes through the default procedure, which activates that window.
    frame->SendMessage(WM_COMMAND, kFirstMdiChildId, 0);
    EXPECT_EQ(frame->MDIGetActive(), ChildOf(first));
    EXPECT_EQ(WindowList(window),
              (std::vector<std::pair<UINT, bool>>{{kFirstMdiChildId, true}, {kFirstMdiChildId + 1, false}}));

    OffscreenHarness::Key(Qt::Key_Control, Qt::ControlModifier, "", true);
    OffscreenHarness::RunUntilIdle();
    MSG key{ChildOf(first)->m_hWnd, WM_KEYDOWN, VK_F6, 0, 0, {}};
    EXPECT_TRUE(frame->PreTranslateMessage(&key));
    OffscreenHarness::Key(Qt::Key_Control, Qt::NoModifier, "", false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(frame->MDIGetActive(), ChildOf(second));

    app.m_pDocManager->CloseAllDocuments(FALSE);
    EXPECT_EQ(GetMenu(frame->m_hWnd), frame->m_hMenuDefault);
    EXPECT_TRUE(WindowList(window).empty());
}

TEST_F(MdiFrameTest, TheRealMenuBarShowsTheChildsMenuAndItsWindowPopupActivatesByMouse) {
    MakeFrame(false);
    CDocument* first = NewDocument();
    NewDocument();
    OffscreenHarness::RunUntilIdle();
    HMENU shared = docTemplate->m_hMenuShared;
    ASSERT_EQ(GetMenu(frame->m_hWnd), shared);

    // The bar is a row of the menu's height between caption and client area.
    RECT window, firstItem, lastItem;
    GetWindowRect(frame->m_hWnd, &window);
    const int count = GetMenuItemCount(shared);
    ASSERT_TRUE(GetMenuItemRect(frame->m_hWnd, shared, 0, &firstItem));
    ASSERT_TRUE(GetMenuItemRect(frame->m_hWnd, shared, UINT(count - 1), &lastItem));
    POINT clientOrigin{0, 0};
    ClientToScreen(frame->m_hWnd, &clientOrigin);
    EXPECT_EQ(firstItem.Height(), GetSystemMetrics(SM_CYMENU));
    EXPECT_GE(firstItem.top - window.top, GetSystemMetrics(SM_CYCAPTION));
    EXPECT_LE(firstItem.bottom, clientOrigin.y);

    // Every item shows its text on the menu colour; past the last one the bar is empty.
    const COLORREF menu = GetSysColor(COLOR_MENU);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        RECT item;
        GetMenuItemRect(frame->m_hWnd, shared, UINT(i), &item);
        item = OffsetRectBy(item, -window.left, -window.top);
        int text = 0;
        for (int y = item.top; y < item.bottom; ++y)
            for (int x = item.left; x < item.right; ++x)
                text += OffscreenHarness::Pixel(frame->m_hWnd, x, y) != menu;
        EXPECT_GT(text, 5);
        EXPECT_EQ(OffscreenHarness::Pixel(frame->m_hWnd, item.left + 1, item.top + 1), menu);
    }
    EXPECT_EQ(OffscreenHarness::Pixel(frame->m_hWnd, lastItem.right - window.left + 5,
                                      (lastItem.top + lastItem.bottom) / 2 - window.top),
              menu);
    SaveShot(frame->m_hWnd, "mdi_menu_bar.png");

    // A press on "Window" drops its popup; choosing the first window there activates it.
    HMENU windows = GetSubMenu(shared, 2);
    UINT at = 0;
    while (at < UINT(GetMenuItemCount(windows)) && GetMenuItemID(windows, int(at)) != kFirstMdiChildId)
        ++at;
    EXPECT_TRUE(ChooseFromMenuBar(frame->m_hWnd, 2, windows, at));
    EXPECT_EQ(frame->MDIGetActive(), ChildOf(first));
    EXPECT_EQ(WindowList(windows),
              (std::vector<std::pair<UINT, bool>>{{kFirstMdiChildId, true}, {kFirstMdiChildId + 1, false}}));
}

TEST_F(MdiFrameTest, MenuBarSwitchesByMenuIdAndNeverBringsARealMenu) {
    // A second template shares the frame's id: the frame's own menu still wins.
    app.AddDocTemplate(std::make_unique<CMultiDocTemplate>(IDR_MAIN, &MdiDoc::Class(), &MdiChild::Class(),
                                                           &MdiView::Class()));
    MakeFrame(true);
    EXPECT_EQ(GetMenu(frame->m_hWnd), nullptr);
    EXPECT_EQ(menuBar.id, UINT(IDR_MAIN));
    ASSERT_NE(frame->GetFrameMenu(), nullptr);
    EXPECT_EQ(frame->GetMenuById(IDR_MAIN), frame->GetFrameMenu());

    CDocument* document = NewDocument();
    MdiChild* child = ChildOf(document);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(menuBar.id, UINT(IDR_DOC));
    EXPECT_EQ(GetMenu(frame->m_hWnd), nullptr);
    // The client lists the open windows in the Window popup of the menu shown.
    EXPECT_EQ(WindowList(GetSubMenu(docTemplate->m_hMenuShared, 2)).size(), 1u);

    const UINT getMenu = TkMDIFrameWnd::GetMenuMessage();
    EXPECT_EQ(HMENU(frame->SendMessage(getMenu, IDR_DOC, 2)), GetSubMenu(docTemplate->m_hMenuShared, 2));
    EXPECT_EQ(frame->SendMessage(getMenu, IDR_DOC, 3), 0);

    EXPECT_FALSE(frame->RegisterMenus({IDR_EXTRA_A, IDR_EXTRA_B, IDR_EXTRA_C}));
    EXPECT_NE(frame->GetMenuById(IDR_EXTRA_A), nullptr);
    EXPECT_EQ(frame->GetMenuById(IDR_EXTRA_C), nullptr);

    child->MDIMaximize();
    EXPECT_TRUE(menuBar.buttons);
    child->MDIRestore();
    EXPECT_FALSE(menuBar.buttons);
    child->MDIMaximize();
    EXPECT_TRUE(menuBar.buttons);

    auto* barFrame = new TkMDIChildWnd;
    barFrame->m_bAutoDelete = TRUE;
    ASSERT_TRUE(barFrame->LoadFrame(IDR_CHILDFLOAT, WS_OVERLAPPEDWINDOW, frame, nullptr));
    EXPECT_EQ(menuBar.id, UINT(IDR_CHILDFLOAT));
    EXPECT_EQ(frame->GetCurrentMenu(), frame->GetFrameMenu());
    barFrame->DestroyWindow();

    app.m_pDocManager->CloseAllDocuments(FALSE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    EXPECT_EQ(menuBar.id, UINT(IDR_MAIN));
    EXPECT_FALSE(menuBar.buttons);
    EXPECT_EQ(GetMenu(frame->m_hWnd), nullptr);
}

// Records whether a command's state was asked and left enabled.
class EnableSpy : public CCmdUI {
public:
    bool disabled = false;
    void Enable(BOOL enable) override { disabled = disabled || !enable; }
};

TEST_F(MdiFrameTest, CommandsGoThroughChildViewDocumentWorkspaceFrameAndApplication) {
    MakeFrame(false);
    NewDocument();
    CDocument* active = NewDocument();
    EnableSpy workspaceState;
    workspaceState.m_nID = ID_WORKSPACE_NEW;
    workspaceState.DoUpdate(frame, TRUE);
    EXPECT_FALSE(workspaceState.disabled);
    for (UINT id = ID_WORKSPACE_NEW; id <= ID_WORKSPACE_MRU_LAST; ++id)
        frame->SendMessage(WM_COMMAND, id, 0);
    EXPECT_TRUE(Log().empty());

    auto* manager = dynamic_cast<MdiWorkspace*>(frame->CreateWorkspaceManager("Workspaces", 0, &MdiWorkspace::Class(), TRUE));
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->location, "Workspaces");
    struct Case { UINT id; const char* taker; };
    const std::string title = active->GetTitle();
    for (const Case& c : {Case{ID_CMD_VIEW, "view"}, Case{ID_CMD_DOC, "doc"}, Case{ID_CMD_WORKSPACE, "workspace"},
                          Case{ID_CMD_FRAME, "frame"}, Case{ID_CMD_APP, "app"}}) {
        SCOPED_TRACE(c.taker);
        Log().clear();
        frame->SendMessage(WM_COMMAND, c.id, 0);
        ASSERT_EQ(Log().size(), 1u);
        EXPECT_EQ(Log()[0].substr(0, Log()[0].find(' ')), c.taker);
    }
    // The active document's accelerator: F5 is its view's command.
    Log().clear();
    MSG key{ChildOf(active)->GetActiveView()->m_hWnd, WM_KEYDOWN, VK_F5, 0, 0, {}};
    EXPECT_TRUE(frame->PreTranslateMessage(&key));
    EXPECT_EQ(Log(), (std::vector<std::string>{"view " + title}));
}

TEST_F(MdiFrameTest, CommandsChosenFromTheDrawnMenuOrByKeyReachTheirTakers) {
    MakeFrame(false);
    NewDocument();
    CDocument* active = NewDocument();
    ASSERT_NE(frame->CreateWorkspaceManager("Workspaces", 0, &MdiWorkspace::Class(), TRUE), nullptr);
    HMENU edit = GetSubMenu(docTemplate->m_hMenuShared, 1);
    struct Case { UINT position; const char* taker; };
    for (const Case& c : {Case{0, "view"}, Case{1, "doc"}, Case{2, "workspace"}, Case{3, "frame"}, Case{4, "app"}}) {
        SCOPED_TRACE(c.taker);
        Log().clear();
        MdiView::routedThrough = nullptr;
        EXPECT_TRUE(ChooseFromMenuBar(frame->m_hWnd, 1, edit, c.position));
        ASSERT_EQ(Log().size(), 1u);
        EXPECT_EQ(Log()[0].substr(0, Log()[0].find(' ')), c.taker);
    }
    // The view heard it through its own frame; routing over, no frame routes any more.
    Log().clear();
    ChooseFromMenuBar(frame->m_hWnd, 1, edit, 0);
    EXPECT_EQ(MdiView::routedThrough, ChildOf(active));
    EXPECT_EQ(AfxGetRoutingFrame(), nullptr);

    // F5 is the document's key for its view's command, and the frame's for the application's once
    // no document is open.
    const auto pressF5 = [&] {
        OffscreenHarness::Key(Qt::Key_F5, Qt::NoModifier, "", true);
        OffscreenHarness::Key(Qt::Key_F5, Qt::NoModifier, "", false);
        MSG msg;
        while (PeekMessage(&msg, 0, 0, 0, PM_NOREMOVE) && app.PumpMessage()) {
        }
    };
    Log().clear();
    SetFocus(ChildOf(active)->GetActiveView()->m_hWnd);
    pressF5();
    EXPECT_EQ(Log(), (std::vector<std::string>{"view " + active->GetTitle()}));
    // Alt+E from the view drops the frame's Edit menu with its first item, View, selected.
    Log().clear();
    OffscreenHarness::Key(Qt::Key_Alt, Qt::AltModifier, "", true);
    OffscreenHarness::Key(Qt::Key_E, Qt::AltModifier, "e", true);
    OffscreenHarness::Key(Qt::Key_E, Qt::AltModifier, "", false);
    OffscreenHarness::Key(Qt::Key_Alt, Qt::NoModifier, "", false);
    OffscreenHarness::Key(Qt::Key_Return, Qt::NoModifier, "", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Log(), (std::vector<std::string>{"view " + active->GetTitle()}));
    app.m_pDocManager->CloseAllDocuments(FALSE);
    OffscreenHarness::RunUntilIdle();
    Log().clear();
    SetFocus(frame->m_hWnd);
    pressF5();
    EXPECT_EQ(Log(), (std::vector<std::string>{"app"}));
}

TEST_F(MdiFrameTest, FloatingActiveChildTakesCommandsUntilAChildIsClicked) {
    MakeFrame(false);
    CDocument* document = NewDocument();
    MdiChild* child = ChildOf(document);
    // The document goes with its last view.
    auto* floatingDoc = new MdiDoc;
    floatingDoc->SetTitle("Floating");
    auto* floating = new CFrameWnd;
    floating->m_bAutoDelete = TRUE;
    ASSERT_TRUE(floating->CreateEx(0, nullptr, "Floating", WS_CHILD | WS_CAPTION | WS_VISIBLE | WS_CLIPSIBLINGS,
                                   RECT{500, 300, 700, 420}, frame, 0));
    CCreateContext context;
    context.m_pNewViewClass = &MdiView::Class();
    context.m_pCurrentDoc = floatingDoc;
    CView* view = floating->CreateView(context, AFX_IDW_PANE_FIRST);
    ASSERT_NE(view, nullptr);
    floating->SetActiveView(view, FALSE);
    floating->RecalcLayout();
    // Above the MDI client, where a user sees it.
    SetWindowPos(floating->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    frame->ActivateFloatingChild(floating);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(frame->GetActiveFrame(), floating);
    frame->SendMessage(WM_COMMAND, ID_CMD_VIEW, 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{"view Floating"}));
    EXPECT_EQ(CaptionPixel(floating->m_hWnd), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(CaptionPixel(child->m_hWnd), GetSysColor(COLOR_INACTIVECAPTION));
    SaveShot(frame->m_hWnd, "mdi_floating_child.png");

    // A click in the child's view.
    POINT inChild{10, 10};
    ClientToScreen(child->GetActiveView()->m_hWnd, &inChild);
    OffscreenHarness::MousePress(inChild);
    OffscreenHarness::MouseRelease(inChild);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(frame->GetActiveFrame(), child);
    Log().clear();
    frame->SendMessage(WM_COMMAND, ID_CMD_VIEW, 0);
    EXPECT_EQ(Log(), (std::vector<std::string>{"view " + document->GetTitle()}));
    EXPECT_EQ(CaptionPixel(floating->m_hWnd), GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(CaptionPixel(child->m_hWnd), GetSysColor(COLOR_ACTIVECAPTION));
    floating->DestroyWindow();
}

TEST_F(MdiFrameTest, CustomisingFrameIgnoresTheMouseAndSwallowsClose) {
    MakeFrame(false);
    TkToolBarManager manager(frame, frame);
    frame->SetControlBarManager(&manager);
    manager.SetCustomizeMode(TRUE);
    EXPECT_EQ(frame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(10, 10)), HTERROR);
    MSG close{frame->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0, 0, {}};
    EXPECT_TRUE(frame->PreTranslateMessage(&close));
    manager.SetCustomizeMode(FALSE);
    EXPECT_NE(frame->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(10, 10)), HTERROR);
    frame->SetControlBarManager(nullptr);
}

TEST_F(MdiFrameTest, PlugInSeesMessagesFirstAndGoesBeforeTheWindowOnClose) {
    MakeFrame(false);
    ASSERT_TRUE(SpyFramePlugIn::alive);
    EXPECT_EQ(frame->SendMessage(WM_USER + 7), 77);
    EXPECT_EQ(frame->userMessages, 0);

    NewDocument();
    MdiDoc::refuseClose = true;
    frame->SendMessage(WM_CLOSE);
    ASSERT_TRUE(IsWindow(frame->m_hWnd));
    EXPECT_TRUE(SpyFramePlugIn::alive);

    MdiDoc::refuseClose = false;
    const HWND window = frame->m_hWnd;
    SpyFramePlugIn::seen.clear();
    frame->SendMessage(WM_CLOSE);
    frame = nullptr;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(SpyFramePlugIn::alive);
    for (UINT message : SpyFramePlugIn::seen) {
        EXPECT_NE(message, UINT(WM_DESTROY));
        EXPECT_NE(message, UINT(WM_NCDESTROY));
    }
}

TEST_F(MdiFrameTest, BarFloatsInTheMainWindowFromItsMenuAndDocksBackInItsRow) {
    MakeFrame(false);
    SpyBar* bar = MakeBar(301);
    frame->DockControlBar(bar, kTop);
    frame->RecalcLayout();
    auto offered = [&] {
        HMENU menu = CreatePopupMenu();
        AppendMenu(menu, MF_STRING | MF_CHECKED, ID_BAR_ALLOWDOCKING, "Allow Docking");
        AppendMenu(menu, MF_STRING, ID_BAR_HIDE, "Hide");
        frame->SendMessage(WM_EXTENDBARMENU, reinterpret_cast<WPARAM>(static_cast<TkControlBar*>(bar)),
                           reinterpret_cast<LPARAM>(menu));
        auto items = MenuItems(menu);
        DestroyMenu(menu);
        return items;
    };
    auto items = offered();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[2].second & MF_SEPARATOR, UINT(MF_SEPARATOR));
    EXPECT_EQ(items[3].first, UINT(ID_BAR_FLOATINMAIN));
    EXPECT_EQ(items[3].second & MF_CHECKED, 0u);
    EXPECT_EQ(items[0].second & MF_GRAYED, 0u);

    Log().clear();
    bar->SendMessage(WM_COMMAND, ID_BAR_FLOATINMAIN, 0);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Log(), (std::vector<std::string>{"bar 301 pre-child", "bar 301 child"}));
    ASSERT_TRUE(bar->IsFloatingInMainWindow());
    auto* childFrame = dynamic_cast<TkControlBarMDIChildWnd*>(bar->GetParentFrame());
    ASSERT_NE(childFrame, nullptr);
    EXPECT_EQ(childFrame->GetWindowText(), "Bar 301");
    EXPECT_EQ(childFrame->GetStyle() & WS_MAXIMIZEBOX, 0u);
    EXPECT_TRUE(IsWindowVisible(childFrame->m_hWnd));
    SaveShot(frame->m_hWnd, "mdi_bar_in_main.png");
    items = offered();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[3].second & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(items[0].second & MF_GRAYED, UINT(MF_GRAYED));

    bar->SendMessage(WM_COMMAND, ID_BAR_FLOATINMAIN, 0);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(bar->IsFloatingInMainWindow());
    EXPECT_EQ(bar->m_pDockBar, Dock(kTop));
}

TEST_F(MdiFrameTest, RightClickOnABarOffersFloatInMainWindowAndTheMouseTogglesIt) {
    MakeFrame(false);
    SpyBar* bar = MakeBar(331);
    frame->DockControlBarPlacedAt(bar, kTop, 0, 0, 100, 80);
    frame->RecalcLayout();
    OffscreenHarness::RunUntilIdle();
    RECT docked;
    GetWindowRect(bar->m_hWnd, &docked);
    const float share = bar->m_fPctWidth;
    HICON icon = LoadIcon(IDR_DOC, 16, 16);
    bar->SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    Log().clear();
    EXPECT_EQ(ChooseFromBarMenu(bar, ID_BAR_FLOATINMAIN, "mdi_bar_context_menu.png"),
              (std::vector<std::string>{"Allow Docking [checked]", "Hide", "-", "Float In Main Window"}));
    EXPECT_EQ(Log(), (std::vector<std::string>{"bar 331 pre-child", "bar 331 child"}));
    ASSERT_TRUE(bar->IsFloatingInMainWindow());
    auto* childFrame = dynamic_cast<TkControlBarMDIChildWnd*>(bar->GetParentFrame());
    ASSERT_NE(childFrame, nullptr);
    EXPECT_EQ(childFrame->GetWindowText(), "Bar 331");
    EXPECT_EQ(childFrame->GetStyle() & WS_MAXIMIZEBOX, 0u);
    EXPECT_EQ(HICON(childFrame->SendMessage(WM_GETICON, ICON_SMALL)), icon);
    SaveShot(frame->m_hWnd, "mdi_bar_floated_by_menu.png");

    EXPECT_EQ(ChooseFromBarMenu(bar, ID_BAR_FLOATINMAIN),
              (std::vector<std::string>{"Allow Docking [checked] [grey]", "Hide", "-", "Float In Main Window [checked]"}));
    EXPECT_FALSE(bar->IsFloatingInMainWindow());
    EXPECT_EQ(bar->m_pDockBar, Dock(kTop));
    EXPECT_FLOAT_EQ(bar->m_fPctWidth, share);
    RECT back;
    GetWindowRect(bar->m_hWnd, &back);
    EXPECT_EQ(back, docked);

    // A bar that floated in its own frame before goes back to such a frame.
    frame->FloatControlBar(bar, 300, 300, CBRS_ALIGN_TOP);
    OffscreenHarness::RunUntilIdle();
    ChooseFromBarMenu(bar, ID_BAR_FLOATINMAIN);
    EXPECT_TRUE(bar->IsFloatingInMainWindow());
    ChooseFromBarMenu(bar, ID_BAR_FLOATINMAIN);
    EXPECT_FALSE(bar->IsFloatingInMainWindow());
    EXPECT_NE(dynamic_cast<TkMiniDockFrameWnd*>(bar->GetParentFrame()), nullptr);
}

TEST_F(MdiFrameTest, BarsFloatedInTheMainWindowCascadeAndStayInsideTheClient) {
    MakeFrame(false);
    RECT client;
    GetClientRect(frame->m_hWndMDIClient, &client);
    std::vector<POINT> corners;
    for (UINT id : {311u, 312u, 313u}) {
        SpyBar* bar = MakeBar(id);
        frame->DockControlBar(bar, kTop);
        frame->FloatControlBarAsChild(bar, -1, -1, CBRS_ALIGN_TOP);
        const RECT r = InClient(bar->GetParentFrame()->m_hWnd);
        corners.push_back({r.left, r.top});
    }
    EXPECT_EQ(corners, (std::vector<POINT>{{30, 30}, {50, 53}, {70, 76}}));

    frame->m_nNextChildFloatX = client.Width() - 35;
    SpyBar* wrapping = MakeBar(314);
    frame->DockControlBar(wrapping, kTop);
    frame->FloatControlBarAsChild(wrapping, -1, -1, CBRS_ALIGN_TOP);
    EXPECT_EQ(frame->m_nNextChildFloatX, 30);

    struct Case { POINT inClient; POINT expected; };
    SpyBar* placed = MakeBar(315);
    frame->DockControlBar(placed, kTop);
    for (const Case& c : {Case{{-50, 40}, {0, 40}}, Case{{60, -20}, {60, 0}},
                          Case{{60, client.Height() + 40}, {60, client.Height() - 30}}}) {
        SCOPED_TRACE(c.expected.y);
        POINT screen = c.inClient;
        ClientToScreen(frame->m_hWndMDIClient, &screen);
        frame->FloatControlBarAsChild(placed, screen.x, screen.y, CBRS_ALIGN_TOP);
        const RECT r = InClient(placed->GetParentFrame()->m_hWnd);
        EXPECT_EQ(POINT({r.left, r.top}), c.expected);
    }
}

TEST_F(MdiFrameTest, ClosingABarsFrameHidesTheBarWhichShowsAgainInTheSameFrame) {
    MakeFrame(false);
    SpyBar* bar = MakeBar(321);
    frame->DockControlBar(bar, kTop);
    frame->FloatControlBarAsChild(bar, -1, -1, CBRS_ALIGN_TOP);
    auto* childFrame = dynamic_cast<TkControlBarMDIChildWnd*>(bar->GetParentFrame());
    ASSERT_NE(childFrame, nullptr);
    OffscreenHarness::RunUntilIdle();
    const RECT box = CloseBox(childFrame->m_hWnd);
    RECT window;
    GetWindowRect(childFrame->m_hWnd, &window);
    const POINT click{window.left + (box.left + box.right) / 2, window.top + (box.top + box.bottom) / 2};
    OffscreenHarness::MousePress(click);
    OffscreenHarness::MouseRelease(click);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(childFrame->m_hWnd));
    frame->ShowControlBar(bar, TRUE, FALSE);
    childFrame->MDIMaximize();
    ASSERT_TRUE(IsZoomed(childFrame->m_hWnd));
    childFrame->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsZoomed(childFrame->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(childFrame->m_hWnd));
    frame->ShowControlBar(bar, TRUE, FALSE);
    EXPECT_EQ(bar->GetParentFrame(), childFrame);
    EXPECT_TRUE(IsWindowVisible(childFrame->m_hWnd));

    // A mini frame follows its last visible bar, and shows without taking the activation.
    SpyBar* floating = MakeBar(322);
    frame->DockControlBar(floating, kTop);
    frame->FloatControlBar(floating, 100, 100, CBRS_ALIGN_TOP);
    CFrameWnd* mini = floating->GetParentFrame();
    ASSERT_TRUE(dynamic_cast<TkMiniDockFrameWnd*>(mini));
    SetActiveWindow(frame->m_hWnd);
    frame->ShowControlBar(floating, FALSE, FALSE);
    EXPECT_FALSE(IsWindowVisible(mini->m_hWnd));
    frame->ShowControlBar(floating, TRUE, FALSE);
    EXPECT_TRUE(IsWindowVisible(mini->m_hWnd));
    EXPECT_EQ(GetActiveWindow(), frame->m_hWnd);

    // Delayed: nothing moves before the idle pass.
    SpyBar* docked = MakeBar(323);
    frame->DockControlBar(docked, kTop);
    frame->RecalcLayout();
    frame->ShowControlBar(docked, FALSE, TRUE);
    EXPECT_TRUE(IsWindowVisible(docked->m_hWnd));
    Idle();
    EXPECT_FALSE(IsWindowVisible(docked->m_hWnd));
}

} // namespace
} // namespace vq::test

namespace vq::test {
namespace {

class MdiBarStateTest : public MdiFrameTest {
protected:
    TempDir dir;

    void SetUp() override {
        SetUserRegistryFolder(dir.File("registry"));
        app.SetRegistryKey("Test Maker");
        MdiFrameTest::SetUp();
    }
    void TearDown() override {
        MdiFrameTest::TearDown();
        SetUserRegistryFolder(std::nullopt);
    }

    // The four bars of the layout, docked on top to start with.
    std::vector<SpyBar*> MakeBars() {
        std::vector<SpyBar*> made;
        for (UINT id : {401u, 402u, 403u, 404u}) {
            made.push_back(MakeBar(id));
            frame->DockControlBar(made.back(), kTop);
        }
        frame->RecalcLayout();
        return made;
    }

    struct BarPlace {
        UINT dockBar;
        bool visible;
        bool inMain;
        RECT where;
        bool operator==(const BarPlace&) const = default;
    };
    // Where each bar is: its dock bar's id, shown or not, in the main window, and its frame's
    // rectangle in the client for a bar floated in the main window.
    std::vector<BarPlace> Places(const std::vector<SpyBar*>& made) const {
        std::vector<BarPlace> places;
        for (SpyBar* bar : made) {
            BarPlace p{bar->m_pDockBar ? bar->m_pDockBar->GetDlgCtrlID() : 0u, bar->IsVisible() != FALSE,
                       bar->IsFloatingInMainWindow() != FALSE, {}};
            if (p.inMain) p.where = InClient(bar->GetParentFrame()->m_hWnd);
            places.push_back(p);
        }
        return places;
    }
};

TEST_F(MdiBarStateTest, SavedLayoutGivesANewFrameTheSameBarsInTheSamePlaces) {
    MakeFrame(false);
    std::vector<SpyBar*> made = MakeBars();
    frame->DockControlBar(made[3], AFX_IDW_DOCKBAR_LEFT);
    frame->FloatControlBar(made[1], 300, 300, CBRS_ALIGN_TOP);
    POINT at{40, 50};
    ClientToScreen(frame->m_hWndMDIClient, &at);
    frame->FloatControlBarAsChild(made[2], at.x, at.y, CBRS_ALIGN_TOP);
    frame->ShowControlBar(made[3], FALSE, FALSE);
    frame->RecalcLayout();
    OffscreenHarness::RunUntilIdle();
    const std::vector<BarPlace> before = Places(made);
    const QImage shotBefore = OffscreenHarness::Composite(frame->m_hWnd);
    SaveShot(frame->m_hWnd, "mdi_bar_state_saved.png");
    frame->SaveBarState("Layout");
    frame->DestroyWindow();
    bars.clear();
    OffscreenHarness::RunUntilIdle();

    MakeFrame(false);
    made = MakeBars();
    frame->LoadBarState("Layout");
    frame->RecalcLayout();
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Places(made), before);
    SaveShot(frame->m_hWnd, "mdi_bar_state_loaded.png");
    EXPECT_TRUE(OffscreenHarness::Composite(frame->m_hWnd) == shotBefore);
}

// A bar the layout remakes by its class name; counts the ones alive.
class RemadeBar : public TkControlBar {
    VQ_DECLARE_RUNTIME_CLASS(RemadeBar)
public:
    static inline int alive = 0;
    RemadeBar() { ++alive; }
    ~RemadeBar() override { --alive; }
};
VQ_IMPLEMENT_DYNCREATE(RemadeBar, TkControlBar)

TEST_F(MdiBarStateTest, BarsRemadeByClassNameGoWithTheFrame) {
    MakeFrame(false);
    auto made = std::make_unique<RemadeBar>();
    ASSERT_TRUE(made->Create(frame, "Remade", WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC, 0x0F50, 501));
    made->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(made.get(), AFX_IDW_DOCKBAR_LEFT);
    frame->RecalcLayout();
    frame->SaveBarState("Remade");
    frame->DestroyWindow();
    made.reset();
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(RemadeBar::alive, 0);

    MakeFrame(false);
    frame->LoadBarState("Remade");
    auto* remade = dynamic_cast<RemadeBar*>(frame->FindControlBar(501));
    ASSERT_NE(remade, nullptr);
    EXPECT_EQ(RemadeBar::alive, 1);
    EXPECT_EQ(remade->m_pDockBar, Dock(AFX_IDW_DOCKBAR_LEFT));
    frame->DestroyWindow();
    frame = nullptr;
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(RemadeBar::alive, 0);
}

} // namespace
} // namespace vq::test
