#include "platform/classlib/Wnd.h"
#include "platform/gui/ControlTypes.h"
#include "toolkit/frames/TkWndPlugIn.h"

#include <gtest/gtest.h>
#include <memory>

namespace vq {
namespace {

int defaultSetText = 0;

LRESULT CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) ++defaultSetText;
    return DefWindowProc(window, message, wParam, lParam);
}

const char* CountingClass() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = &CountingProc;
        wc.lpszClassName = "VqPlugInTestHost";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqPlugInTestHost" : nullptr;
}

// Answers WM_USER with 7; takes WM_USER + 1 fully with 7 after asking for 5, WM_USER + 2 with 9.
class SpyPlugIn : public TkWndPlugIn {
    VQ_DECLARE_MESSAGE_MAP()
public:
    int commands = 0;
    LRESULT OnAnswer(WPARAM, LPARAM) { return 7; }
    LRESULT OnAnswerFive(WPARAM, LPARAM) {
        m_bHandled = TRUE;
        SetMessageResult(5);
        return 7;
    }
    LRESULT OnTakeAll(WPARAM, LPARAM) {
        m_bHandled = TRUE;
        return 9;
    }
    LRESULT OnSetText(WPARAM, LPARAM) { return Default(); }
    void OnCommand42() { ++commands; }
};

VQ_BEGIN_MESSAGE_MAP(SpyPlugIn, TkWndPlugIn)
VQ_ON_MESSAGE(WM_USER, OnAnswer)
VQ_ON_MESSAGE(WM_USER + 1, OnAnswerFive)
VQ_ON_MESSAGE(WM_USER + 2, OnTakeAll)
VQ_ON_MESSAGE(WM_SETTEXT, OnSetText)
VQ_ON_COMMAND(42, OnCommand42)
VQ_END_MESSAGE_MAP()

// A host keeping the plug-in contract: the plug-in sees every message first.
class Host : public CWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    std::unique_ptr<SpyPlugIn> plugIn;
    int hostTakeAll = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (plugIn) {
            LRESULT result = 0;
            plugIn->OnWndMsg(message, wParam, lParam, &result);
            const BOOL handled = plugIn->m_bHandled;
            plugIn->m_bHandled = FALSE;
            if (handled) return result;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    LRESULT OnTakeAll(WPARAM, LPARAM) { return ++hostTakeAll; }
};

VQ_BEGIN_MESSAGE_MAP(Host, CWnd)
VQ_ON_MESSAGE(WM_USER + 2, OnTakeAll)
VQ_END_MESSAGE_MAP()

// Counts the system change and the notification it sent, reflected back to it.
class Child : public CWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    int colourChanges = 0;
    int reflected = 0;
    LRESULT OnSysColorChange(WPARAM, LPARAM) { return ++colourChanges, 0; }
    LRESULT OnReflectedNotify(WPARAM, LPARAM) { return ++reflected, 0; }
};

VQ_BEGIN_MESSAGE_MAP(Child, CWnd)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
VQ_ON_MESSAGE(WM_REFLECT_BASE + WM_NOTIFY, OnReflectedNotify)
VQ_END_MESSAGE_MAP()

struct PlugInFixture : testing::Test {
    Host host;
    void SetUp() override {
        const RECT rect{0, 0, 200, 100};
        ASSERT_TRUE(host.CreateEx(0, CountingClass(), "host", WS_OVERLAPPED, rect, nullptr, 0));
        host.plugIn = std::make_unique<SpyPlugIn>();
        ASSERT_TRUE(host.plugIn->AttachToHost(&host));
    }
};

TEST(WndPlugIn, DetachedAnswersNothingWhateverItsMap) {
    SpyPlugIn plugIn;
    LRESULT result = 0;
    EXPECT_FALSE(plugIn.OnWndMsg(WM_USER, 0, 0, &result));
    EXPECT_FALSE(plugIn.OnCmdMsg(42, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(plugIn.DefWindowProc(WM_SETTEXT, 0, 0), 0);
    EXPECT_EQ(plugIn.commands, 0);
    EXPECT_FALSE(plugIn.AttachToHost(nullptr));
    EXPECT_FALSE(plugIn.IsAttached());
}

TEST_F(PlugInFixture, DeletingAnAttachedPlugInLeavesTheHostAndItsMapEntry) {
    const HWND window = host.m_hWnd;
    EXPECT_EQ(host.plugIn->m_hWnd, window);
    EXPECT_EQ(CWnd::FromHandlePermanent(window), &host);
    host.plugIn.reset();
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(CWnd::FromHandlePermanent(window), &host);
}

TEST_F(PlugInFixture, ExplicitResultHoldsForOneDispatchAndReachesTheSender) {
    LRESULT result = 0;
    EXPECT_EQ(host.plugIn->OnWndMsg(WM_USER + 1, 0, 0, &result), 5);
    EXPECT_EQ(result, 5);
    EXPECT_EQ(host.plugIn->OnWndMsg(WM_USER, 0, 0, &result), TRUE);
    EXPECT_EQ(result, 7);
    EXPECT_EQ(host.SendMessage(WM_USER + 1), 5);
    EXPECT_EQ(host.SendMessage(WM_USER + 2), 9);
}

TEST_F(PlugInFixture, HandledMessageNeverReachesTheHostsHandler) {
    EXPECT_EQ(host.SendMessage(WM_USER + 2), 9);
    EXPECT_EQ(host.hostTakeAll, 0);
    host.plugIn->DetachFromHost();
    EXPECT_EQ(host.SendMessage(WM_USER + 2), 1);
}

TEST_F(PlugInFixture, HandlerCallingDefaultLeavesTheDefaultToTheHost) {
    defaultSetText = 0;
    host.SetWindowText("changed");
    EXPECT_EQ(defaultSetText, 1);
    EXPECT_EQ(host.GetWindowText(), "changed");
}

TEST_F(PlugInFixture, CommandsGoThroughTheOwnMapWhileAttached) {
    EXPECT_TRUE(host.plugIn->OnCmdMsg(42, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(host.plugIn->commands, 1);
}

TEST_F(PlugInFixture, ChildrenHearReflectionsAndColourChangesOnce) {
    Child child;
    const RECT rect{0, 0, 50, 20};
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rect, &host, 100));
    host.SendMessage(WM_SYSCOLORCHANGE);
    NMHDR header{child.m_hWnd, 100, 1};
    host.SendMessage(WM_NOTIFY, 100, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(child.colourChanges, 1);
    EXPECT_EQ(child.reflected, 1);
}

} // namespace
} // namespace vq
