#include "dialogs.h"
#include "platform/classlib/Dialog.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/StandardControls.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

RECT ChildRect(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    POINT origin{r.left, r.top};
    ScreenToClient(GetParent(control), &origin);
    return {origin.x, origin.y, origin.x + r.Width(), origin.y + r.Height()};
}

// Counts its initialisations; the rest is the base dialog's.
class CountingDialog : public CDialog {
public:
    using CDialog::CDialog;
    int initialised = 0;
    BOOL OnInitDialog() override {
        ++initialised;
        return CDialog::OnInitDialog();
    }
};

class InitSpy : public CWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    int initialised = 0;
    LRESULT OnInitDialog(WPARAM, LPARAM) {
        ++initialised;
        return TRUE;
    }
};
VQ_BEGIN_MESSAGE_MAP(InitSpy, CWnd)
VQ_ON_MESSAGE(WM_INITDIALOG, OnInitDialog)
VQ_END_MESSAGE_MAP()

DialogTemplate Host(DWORD visible) {
    DialogTemplate t;
    t.caption = "Host";
    t.style = WS_POPUP | WS_CAPTION | visible;
    t.rect = {40, 40, 400, 240};
    t.items.push_back({"Edit", "", 10, WS_VISIBLE | WS_TABSTOP, {10, 10, 110, 30}});
    t.items.push_back(
        {"Button", "OK", UINT(IDOK), WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {280, 10, 350, 34}});
    return t;
}

// Runs what is queued as the application's loop would, the windows' own translation first.
void Pump(HWND top) {
    MSG msg;
    while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE))
        if (!CWnd::WalkPreTranslateTree(top, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    OffscreenHarness::RunUntilIdle();
}

TEST(ChildDialog, TabRunsFromTheHostIntoTheChildDialogAndOut) {
    CountingDialog host(Host(WS_VISIBLE));
    ASSERT_TRUE(host.Create());
    EXPECT_EQ(host.initialised, 1);
    EXPECT_TRUE(IsWindowVisible(host.m_hWnd));
    const HWND edit = GetDlgItem(host.m_hWnd, 10);
    const HWND ok = GetDlgItem(host.m_hWnd, IDOK);
    EXPECT_EQ(GetFocus(), edit);

    InitSpy child;
    ASSERT_TRUE(child.CreateDlg(IDD_CHILD, &host));
    EXPECT_EQ(child.initialised, 1);
    EXPECT_EQ(GetParent(child.m_hWnd), host.m_hWnd);
    EXPECT_TRUE(GetWindowLongPtr(child.m_hWnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    // A child dialog leaves the focus where it was.
    EXPECT_EQ(GetFocus(), edit);
    const HWND first = GetDlgItem(child.m_hWnd, IDC_CHILD_FIRST);
    const HWND second = GetDlgItem(child.m_hWnd, IDC_CHILD_SECOND);

    // Keys through the loop: Tab walks the host's controls, then the child's, then wraps.
    const HWND expected[] = {ok, first, second, edit};
    for (const HWND next : expected) {
        PostMessage(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        Pump(host.m_hWnd);
        EXPECT_EQ(GetFocus(), next);
    }
    EXPECT_EQ(GetNextDlgTabItem(host.m_hWnd, edit, TRUE), second);
    EXPECT_EQ(GetNextDlgTabItem(host.m_hWnd, first, TRUE), ok);

    // A hidden child dialog takes no part.
    ShowWindow(child.m_hWnd, SW_HIDE);
    EXPECT_EQ(GetNextDlgTabItem(host.m_hWnd, ok, FALSE), edit);
    host.DestroyWindow();
    EXPECT_EQ(child.m_hWnd, HWND(0));
}

TEST(ChildDialog, ModelessDialogsStayHiddenUnlessTheirTemplateShowsThem) {
    CountingDialog hidden(Host(0));
    ASSERT_TRUE(hidden.Create());
    EXPECT_FALSE(IsWindowVisible(hidden.m_hWnd));
    EXPECT_EQ(hidden.initialised, 1);
    hidden.DestroyWindow();

    CDialog missing(UINT(9999));
    EXPECT_FALSE(missing.Create());
    CWnd noParent;
    EXPECT_FALSE(noParent.CreateDlg(IDD_CHILD, nullptr));
    EXPECT_EQ(noParent.m_hWnd, HWND(0));
}

TEST(ChildDialog, MapDialogRectPlacesAControlWhereTheTemplatePutsIt) {
    CDialog host(Host(WS_VISIBLE));
    ASSERT_TRUE(host.Create());
    CWnd child;
    ASSERT_TRUE(child.CreateDlg(IDD_CHILD, &host));
    const struct {
        UINT id;
        RECT units;
    } cases[] = {{IDC_CHILD_FIRST, {5, 5, 65, 19}}, {IDC_CHILD_SECOND, {5, 22, 65, 36}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        RECT mapped = c.units;
        child.MapDialogRect(&mapped);
        EXPECT_EQ(mapped, ChildRect(GetDlgItem(child.m_hWnd, int(c.id))));
    }

    // A window made otherwise, and a template without a font, have the system's 8 x 16 units.
    EXPECT_EQ(GetDialogBaseUnits(), DWORD(MAKELPARAM(8, 16)));
    RECT plain{4, 8, 10, 20};
    host.MapDialogRect(&plain);
    EXPECT_EQ(plain, (RECT{8, 16, 20, 40}));
    DialogTemplate fontless = Host(WS_VISIBLE);
    EXPECT_EQ(fontless.baseUnits, SIZE{});
}

// Stops windows of one title and puts a border on every other.
class Picky : public CWnd {
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override {
        if (std::string(cs.lpszName) == "refused") return FALSE;
        cs.style |= WS_BORDER;
        return CWnd::PreCreateWindow(cs);
    }
};

TEST(ChildDialog, PreCreateWindowSeesEveryCreationAndParentFramesAreFoundAtAnyDepth) {
    Picky refused;
    EXPECT_FALSE(refused.CreateEx(0, nullptr, "refused", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    EXPECT_EQ(refused.m_hWnd, HWND(0));
    Picky framed;
    ASSERT_TRUE(framed.CreateEx(0, nullptr, "framed", WS_POPUP, RECT{0, 0, 50, 50}, nullptr, 0));
    EXPECT_TRUE(framed.GetStyle() & WS_BORDER);

    CFrameWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Frame", WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0));
    CWnd middle, control;
    ASSERT_TRUE(middle.Create(nullptr, nullptr, WS_CHILD, RECT{0, 0, 200, 100}, &frame, 1));
    // A window without an object between does not stop the climb.
    const HWND bare =
        CreateWindowEx(0, CWnd::WindowClassName(), "", WS_CHILD, 0, 0, 100, 50, middle.m_hWnd, 2, nullptr);
    ASSERT_TRUE(bare);
    ASSERT_TRUE(control.SubclassWindow(
        CreateWindowEx(0, CWnd::WindowClassName(), "", WS_CHILD, 0, 0, 50, 20, bare, 3, nullptr)));
    EXPECT_EQ(control.GetParentFrame(), &frame);
    EXPECT_EQ(middle.GetParentFrame(), &frame);
    EXPECT_EQ(frame.GetParentFrame(), nullptr);
}

} // namespace
} // namespace vq
