#include "platform/classlib/Wnd.h"

#include "platform/classlib/WinApp.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/OffscreenHarness.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

std::vector<std::string> trail;

// A window class of the window system itself, as the platform's controls are.
LRESULT PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) trail.push_back("original");
    if (message == WM_SYSCOLORCHANGE) trail.push_back("colours " + std::to_string(GetDlgCtrlID(window)));
    return DefWindowProc(window, message, wParam, lParam);
}

class Control : public CWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    bool reflect = true;
    LRESULT OnUser(WPARAM, LPARAM) {
        trail.push_back("object");
        return Default() + 1;
    }
    LRESULT OnColour(WPARAM, LPARAM) {
        trail.push_back("control colours");
        return 5;
    }
    void OnClicked() { trail.push_back("control clicked"); }
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_DRAWITEM) {
            trail.push_back("control draws");
            return TRUE;
        }
        return reflect && CWnd::OnChildNotify(message, wParam, lParam, result);
    }
};
VQ_BEGIN_MESSAGE_MAP(Control, CWnd)
VQ_ON_MESSAGE(WM_USER, OnUser)
VQ_ON_MESSAGE(WM_REFLECT_BASE + WM_CTLCOLOREDIT, OnColour)
VQ_ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
VQ_END_MESSAGE_MAP()

class Parent : public CWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    LRESULT OnDrawItem(WPARAM, LPARAM) {
        trail.push_back("parent draws");
        return TRUE;
    }
    void OnControl() { trail.push_back("parent clicked"); }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message != WM_KEYDOWN) return FALSE;
        trail.push_back("parent pretranslates");
        return msg->wParam == VK_ESCAPE;
    }
};
VQ_BEGIN_MESSAGE_MAP(Parent, CWnd)
VQ_ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
VQ_ON_COMMAND(7, OnControl)
VQ_END_MESSAGE_MAP()

class WndTest : public ::testing::Test {
protected:
    void SetUp() override {
        trail.clear();
        WNDCLASS wc;
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "Plain";
        RegisterClass(wc);
        ASSERT_TRUE(parent.Create(nullptr, "Parent", WS_OVERLAPPED, RECT{0, 0, 200, 100}, nullptr, 0));
        button =
            CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 5, 5, 60, 24, parent.m_hWnd, 7, nullptr);
        ASSERT_TRUE(control.SubclassWindow(button));
    }

    Parent parent;
    Control control;
    HWND button = 0;
};

TEST_F(WndTest, SubclassedWindowsReachTheObjectFirstAndDefaultCallsTheOriginal) {
    EXPECT_EQ(CWnd::FromHandlePermanent(button), &control);
    EXPECT_EQ(SendMessage(button, WM_USER, 0, 0), 1);
    EXPECT_EQ(trail, (std::vector<std::string>{"object", "original"}));
    // A second object cannot take a window that has one.
    Control other;
    EXPECT_FALSE(other.SubclassWindow(button));
    trail.clear();
    EXPECT_EQ(control.UnsubclassWindow(), button);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
    EXPECT_EQ(SendMessage(button, WM_USER, 0, 0), 0);
    EXPECT_EQ(trail, std::vector<std::string>{"original"});
}

TEST_F(WndTest, NotificationsGoToTheControlsObjectBeforeTheParent) {
    DRAWITEMSTRUCT item;
    item.CtlType = ODT_BUTTON;
    item.CtlID = 7;
    item.hwndItem = button;
    parent.SendMessage(WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&item));
    parent.SendMessage(WM_COMMAND, MAKELPARAM(7, BN_CLICKED), LPARAM(button));
    EXPECT_EQ(parent.SendMessage(WM_CTLCOLOREDIT, 0, LPARAM(button)), 5);
    // A control that does not take its notification leaves it to the parent's map.
    control.reflect = false;
    parent.SendMessage(WM_COMMAND, MAKELPARAM(7, BN_CLICKED), LPARAM(button));
    EXPECT_EQ(trail, (std::vector<std::string>{"control draws", "control clicked", "control colours",
                                               "parent clicked"}));
}

TEST_F(WndTest, TopLevelWindowsPassColourChangesToAllDescendants) {
    HWND inner = CreateWindowEx(0, "Plain", "", WS_CHILD, 0, 0, 10, 10, button, 8, nullptr);
    parent.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(trail, (std::vector<std::string>{"colours 7", "colours 8"}));
    DestroyWindow(inner);
}

TEST_F(WndTest, PreTranslationWalksFromTheTargetUpAndCanSwallow) {
    CWinApp app;
    app.m_pMainWnd = &parent;
    PostMessage(button, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessage(button, WM_KEYDOWN, VK_RETURN, 0);
    PostMessage(button, WM_USER, 0, 0);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(app.PumpMessage());
    EXPECT_EQ(trail, (std::vector<std::string>{"parent pretranslates", "parent pretranslates", "object",
                                               "original"}));
}

TEST_F(WndTest, ObjectsLeaveTheMapWithTheirWindow) {
    HWND window = parent.m_hWnd;
    EXPECT_TRUE(parent.DestroyWindow());
    EXPECT_EQ(parent.m_hWnd, HWND(0));
    EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
    EXPECT_EQ(control.m_hWnd, HWND(0));
}

} // namespace
} // namespace vq
