#include "platform/classlib/DataExchange.h"
#include "platform/classlib/FormView.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/ScrollBar.h"
#include "tests/support/TestPaths.h"
#include "views.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

constexpr COLORREF kMarker = RGB(200, 0, 0);
constexpr COLORREF kPaper = RGB(255, 255, 255);
// Where the grid view draws its marker, in content coordinates.
constexpr RECT kMarkerRect{150, 450, 170, 470};

// Content of 2000 x 2000: white paper with one red marker; remembers the content point of the
// last click.
class GridView : public CScrollView {
    VQ_DECLARE_RUNTIME_CLASS(GridView)
    VQ_DECLARE_MESSAGE_MAP()
public:
    POINT clicked{-1, -1};
    void OnDraw(HDC dc) override {
        const RECT paper{0, 0, 2000, 2000};
        HBRUSH white = CreateSolidBrush(kPaper);
        FillRect(dc, &paper, white);
        DeleteObject(white);
        HBRUSH red = CreateSolidBrush(kMarker);
        FillRect(dc, &kMarkerRect, red);
        DeleteObject(red);
    }
    LRESULT OnLButtonDown(WPARAM, LPARAM lParam) {
        const POINT scrolled = GetScrollPosition();
        clicked = {GET_X_LPARAM(lParam) + scrolled.x, GET_Y_LPARAM(lParam) + scrolled.y};
        return 0;
    }
};
VQ_IMPLEMENT_DYNCREATE(GridView, CScrollView)
VQ_BEGIN_MESSAGE_MAP(GridView, CScrollView)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_END_MESSAGE_MAP()

POINT ScreenOf(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

void Click(HWND window, POINT client) {
    const POINT at = ScreenOf(window, client);
    OffscreenHarness::MousePress(at);
    OffscreenHarness::MouseRelease(at);
    OffscreenHarness::RunUntilIdle();
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

TEST(ScrollView, BarAndWheelScrollTheContentAndClicksMapToContentPoints) {
    CFrameWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Grid", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300}, nullptr, 0));
    auto* view = static_cast<GridView*>(frame.CreateView({&GridView::Class(), nullptr}, AFX_IDW_PANE_FIRST));
    ASSERT_NE(view, nullptr);
    view->SetScrollSizes(MM_TEXT, {2000, 2000});
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(view->GetStyle() & WS_VSCROLL);
    EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
    RECT client;
    GetClientRect(view->m_hWnd, &client);
    EXPECT_EQ(client,
              (RECT{0, 0, 400 - GetSystemMetrics(SM_CXVSCROLL), 300 - GetSystemMetrics(SM_CYHSCROLL)}));
    EXPECT_EQ(OffscreenHarness::Pixel(view->m_hWnd, 160, 200), kPaper);

    // A press on the vertical bar's track below the thumb scrolls a page: a tenth of the content.
    RECT window;
    GetWindowRect(view->m_hWnd, &window);
    const POINT track{window.right - GetSystemMetrics(SM_CXVSCROLL) / 2, window.top + 200};
    OffscreenHarness::MousePress(track);
    OffscreenHarness::MouseRelease(track);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(view->GetScrollPosition(), (POINT{0, 200}));
    EXPECT_EQ(OffscreenHarness::Pixel(view->m_hWnd, 160, 255), kMarker);

    // A notch of the wheel towards the user scrolls three lines of a tenth of a page each.
    OffscreenHarness::Wheel(ScreenOf(view->m_hWnd, {100, 100}), -WHEEL_DELTA);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(view->GetScrollPosition(), (POINT{0, 260}));
    EXPECT_EQ(OffscreenHarness::Pixel(view->m_hWnd, 160, 195), kMarker);
    EXPECT_EQ(OffscreenHarness::Pixel(view->m_hWnd, 160, 255), kPaper);

    Click(view->m_hWnd, {160, 195});
    EXPECT_EQ(view->clicked, (POINT{160, 455}));
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame.m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                                   "/scroll-view.png"));

    // Scrolling stops at the content's end, and the content's far corner is drawn there.
    view->ScrollToPosition({5000, 5000});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(view->GetScrollPosition(), (POINT{2000 - client.Width(), 2000 - client.Height()}));
    EXPECT_EQ(OffscreenHarness::Pixel(view->m_hWnd, 160, 195), kPaper);
}

// A view whose window refuses to be made.
class RefusingView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(RefusingView)
    VQ_DECLARE_MESSAGE_MAP()
public:
    LRESULT OnCreate(WPARAM, LPARAM) { return -1; }
};
VQ_IMPLEMENT_DYNCREATE(RefusingView, CView)
VQ_BEGIN_MESSAGE_MAP(RefusingView, CView)
VQ_ON_MESSAGE(WM_CREATE, OnCreate)
VQ_END_MESSAGE_MAP()

TEST(ViewCreation, AViewWhoseWindowFailsIsFreedOnceAndAFrameWithoutItsViewFails) {
    CFrameWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Frame", WS_POPUP, RECT{0, 0, 200, 100}, nullptr, 0));
    EXPECT_EQ(frame.CreateView({&RefusingView::Class(), nullptr}, AFX_IDW_PANE_FIRST), nullptr);
    EXPECT_EQ(GetWindow(frame.m_hWnd, GW_CHILD), HWND(0));

    CFrameWnd loaded;
    CCreateContext context{&RefusingView::Class(), nullptr};
    EXPECT_FALSE(loaded.LoadFrame(IDR_DEVICE, WS_POPUP, nullptr, &context));
    EXPECT_EQ(loaded.m_hWnd, HWND(0));
}

// Records every activation it hears of, into one log shared by the views of a test.
std::vector<std::string> activations;

class SpyView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(SpyView)
public:
    void OnActivateView(BOOL activate, CView* activated, CView* deactivated) override {
        activations.push_back(std::to_string(GetDlgCtrlID()) + (activate ? " on" : " off"));
        CView::OnActivateView(activate, activated, deactivated);
    }
};
VQ_IMPLEMENT_DYNCREATE(SpyView, CView)

TEST(ViewActivation, AClickIntoAViewMovesTheActiveViewAndTheFocus) {
    CFrameWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Two", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200}, nullptr, 0));
    CView* first = frame.CreateView({&SpyView::Class(), nullptr}, 1);
    CView* second = frame.CreateView({&SpyView::Class(), nullptr}, 2);
    ASSERT_TRUE(first && second);
    MoveWindow(first->m_hWnd, 0, 0, 200, 200, TRUE);
    MoveWindow(second->m_hWnd, 200, 0, 200, 200, TRUE);
    SetActiveWindow(frame.m_hWnd);
    activations.clear();
    frame.SetActiveView(first);
    EXPECT_EQ(activations, (std::vector<std::string>{"1 on"}));
    EXPECT_EQ(GetFocus(), first->m_hWnd);

    activations.clear();
    Click(second->m_hWnd, {50, 50});
    EXPECT_EQ(activations, (std::vector<std::string>{"1 off", "2 on"}));
    EXPECT_EQ(frame.GetActiveView(), second);
    EXPECT_EQ(GetFocus(), second->m_hWnd);

    // Clicking the active view again, or changing views quietly, tells nobody.
    activations.clear();
    Click(second->m_hWnd, {60, 60});
    frame.SetActiveView(first, FALSE);
    EXPECT_TRUE(activations.empty());
    EXPECT_EQ(frame.GetActiveView(), first);

    // A view that goes stops being the active one.
    first->DestroyWindow();
    EXPECT_EQ(frame.GetActiveView(), nullptr);

    // From a control two windows below a view the climb still ends at the frame.
    CWnd panel, control;
    ASSERT_TRUE(panel.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 100}, second, 5));
    ASSERT_TRUE(control.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 20}, &panel, 6));
    EXPECT_EQ(control.GetParentFrame(), &frame);
}

// The fields of the form's template, exchanged with its controls.
class FieldsForm : public CFormView {
    VQ_DECLARE_RUNTIME_CLASS(FieldsForm)
public:
    FieldsForm() : CFormView(IDD_FIELDS) {}
    int count = 7;
    std::string label = "seven";
    int enabled = int(BST_CHECKED);
    int level = 1;
    std::string name = "beta";
    int initialUpdates = 0;
    void OnInitialUpdate() override {
        ++initialUpdates;
        for (const char* entry : {"alpha", "beta", "gamma"})
            SendDlgItemMessage(IDC_NAMES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        CFormView::OnInitialUpdate();
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_COUNT, count);
        DDX_Text(dx, IDC_LABEL, label);
        DDX_Check(dx, IDC_ENABLED, enabled);
        DDX_Radio(dx, IDC_LOW, level);
        DDX_LBString(dx, IDC_NAMES, name);
    }
    LRESULT SendDlgItemMessage(UINT id, UINT message, WPARAM wParam, LPARAM lParam) const {
        return ::vq::SendMessage(::vq::GetDlgItem(m_hWnd, int(id)), message, wParam, lParam);
    }
};
VQ_IMPLEMENT_DYNCREATE(FieldsForm, CFormView)

std::string TextOf(HWND window) {
    char text[64] = {};
    GetWindowText(window, text, int(sizeof text));
    return text;
}

RECT ChildRect(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    POINT origin{r.left, r.top};
    ScreenToClient(GetParent(control), &origin);
    return {origin.x, origin.y, origin.x + r.Width(), origin.y + r.Height()};
}

// Counts the command its accelerator gives.
class RefreshFrame : public CFrameWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    int refreshed = 0;
    void OnRefresh() { ++refreshed; }
};
VQ_BEGIN_MESSAGE_MAP(RefreshFrame, CFrameWnd)
VQ_ON_COMMAND(ID_REFRESH, OnRefresh)
VQ_END_MESSAGE_MAP()

TEST(FormView, AFormFromATemplateInitialisesOnceExchangesItsFieldsAndCyclesWithTab) {
    RefreshFrame frame;
    CCreateContext context{&FieldsForm::Class(), nullptr};
    ASSERT_TRUE(frame.LoadFrame(IDR_DEVICE, WS_POPUP, nullptr, &context));
    EXPECT_EQ(frame.GetWindowText(), "Devices");
    EXPECT_NE(frame.GetAccelerators(), nullptr);
    MoveWindow(frame.m_hWnd, 20, 20, 420, 260, TRUE);
    auto* form = dynamic_cast<FieldsForm*>(frame.GetDlgItem(AFX_IDW_PANE_FIRST));
    ASSERT_NE(form, nullptr);
    frame.InitialUpdateFrame(nullptr, TRUE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(IsWindowVisible(frame.m_hWnd));
    EXPECT_EQ(frame.GetActiveView(), form);
    EXPECT_EQ(form->initialUpdates, 1);
    EXPECT_EQ(TextOf(GetDlgItem(form->m_hWnd, IDC_COUNT)), "7");
    EXPECT_EQ(TextOf(GetDlgItem(form->m_hWnd, IDC_LABEL)), "seven");
    EXPECT_EQ(form->SendDlgItemMessage(IDC_ENABLED, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    EXPECT_EQ(form->SendDlgItemMessage(IDC_HIGH, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    EXPECT_EQ(form->SendDlgItemMessage(IDC_NAMES, LB_GETCURSEL, 0, 0), 1);

    // The user's changes come back into the fields.
    SetWindowText(GetDlgItem(form->m_hWnd, IDC_COUNT), "42");
    SetWindowText(GetDlgItem(form->m_hWnd, IDC_LABEL), "answer");
    form->SendDlgItemMessage(IDC_ENABLED, BM_SETCHECK, BST_UNCHECKED, 0);
    form->SendDlgItemMessage(IDC_HIGH, BM_SETCHECK, BST_UNCHECKED, 0);
    form->SendDlgItemMessage(IDC_LOW, BM_SETCHECK, BST_CHECKED, 0);
    form->SendDlgItemMessage(IDC_NAMES, LB_SETCURSEL, 2, 0);
    EXPECT_TRUE(form->UpdateData(TRUE));
    EXPECT_EQ(form->count, 42);
    EXPECT_EQ(form->label, "answer");
    EXPECT_EQ(form->enabled, int(BST_UNCHECKED));
    EXPECT_EQ(form->level, 0);
    EXPECT_EQ(form->name, "gamma");

    // Tab runs through the form's tab stops and round again.
    const HWND start = GetDlgItem(form->m_hWnd, IDC_COUNT);
    SetFocus(start);
    const UINT order[] = {IDC_LABEL, IDC_ENABLED, IDC_LOW, IDC_NAMES, IDC_COUNT};
    for (const UINT id : order) {
        PostMessage(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        Pump(frame.m_hWnd);
        EXPECT_EQ(GetFocus(), GetDlgItem(form->m_hWnd, int(id))) << id;
    }

    // The frame's accelerators turn Ctrl+R into its command.
    OffscreenHarness::Key(Qt::Key_Control, Qt::ControlModifier, "", true);
    OffscreenHarness::Key(Qt::Key_R, Qt::ControlModifier, "", true);
    OffscreenHarness::Key(Qt::Key_R, Qt::ControlModifier, "", false);
    OffscreenHarness::Key(Qt::Key_Control, Qt::NoModifier, "", false);
    Pump(frame.m_hWnd);
    EXPECT_EQ(frame.refreshed, 1);

    // A control placed by hand at the template's units lands on the template's control.
    RECT mapped{7, 25, 67, 39};
    form->MapDialogRect(&mapped);
    EXPECT_EQ(mapped, ChildRect(GetDlgItem(form->m_hWnd, IDC_LABEL)));
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame.m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                                   "/form-view.png"));
    frame.DestroyWindow();
}

} // namespace
} // namespace vq
