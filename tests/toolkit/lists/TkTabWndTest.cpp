#include "toolkit/lists/TkTabWnd.h"

#include "platform/classlib/View.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/ScrollBar.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/TestPaths.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace vq {

// A view that records what the tab window does to it.
class SpyView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(SpyView)
public:
    int activations = 0;
    std::vector<std::pair<UINT, WPARAM>> scrolls;
    void OnDraw(HDC) override {}
    void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView) override {
        if (activate && activateView == this) ++activations;
        CView::OnActivateView(activate, activateView, deactiveView);
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_HSCROLL || message == WM_VSCROLL) scrolls.emplace_back(message, wParam);
        return CView::OnWndMsg(message, wParam, lParam, result);
    }
};
VQ_IMPLEMENT_DYNCREATE(SpyView, CView)

namespace {

constexpr UINT kTabWndId = 113;

// The frame the tab window lives in, which also hears its notifications.
class SpyFrame : public CFrameWnd {
public:
    struct Activation {
        WPARAM index;
        std::int32_t id;
        std::int32_t newIndex;
        std::int32_t oldIndex;
    };
    std::vector<Activation> activations;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == TKTAB_ACTIVATED) {
            const auto* record = reinterpret_cast<const TkTabActivation*>(lParam);
            activations.push_back({wParam, record ? record->id : -2, record ? record->newIndex : -2,
                                   record ? record->oldIndex : -2});
            *result = 0;
            return TRUE;
        }
        return CFrameWnd::OnWndMsg(message, wParam, lParam, result);
    }
};

// A tab window that records the double clicks its strip reports.
class SpyTabWnd : public TkTabWnd {
public:
    std::vector<WPARAM> doubleClicks;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == TKTAB_DOUBLECLICKED) doubleClicks.push_back(wParam);
        return TkTabWnd::OnWndMsg(message, wParam, lParam, result);
    }
};

class TkTabWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        ASSERT_TRUE(frame.CreateEx(WS_EX_CLIENTEDGE, nullptr, "tabs", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   RECT{0, 0, 420, 260}, nullptr, 0));
    }
    void TearDown() override {
        ReleaseCapture();
        if (frame.m_hWnd) frame.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    // A tab window of the style with three views labelled One, Two, Three.
    void MakeTabs(DWORD style, int width = 400, int height = 200) {
        ASSERT_TRUE(tabs.Create(&frame, WS_CHILD | WS_VISIBLE | style, kTabWndId));
        for (const char* label : {"One", "Two", "Three"})
            ASSERT_NE(tabs.AddTab(&SpyView::Class(), label, nullptr, UINT(-1)), nullptr);
        SetWindowPos(tabs.m_hWnd, 0, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        OffscreenHarness::RunUntilIdle();
    }
    SpyView* View(int index) const {
        const char* label = nullptr;
        BOOL selected = FALSE;
        CWnd* window = nullptr;
        void* extra = nullptr;
        return tabs.GetTabInfo(index, label, selected, window, extra) ? dynamic_cast<SpyView*>(window)
                                                                      : nullptr;
    }
    TkTabControl& Strip() const { return *tabs.GetStrip(); }
    // A point of the strip in screen coordinates.
    POINT StripPoint(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(Strip().m_hWnd, &p);
        return p;
    }
    void Click(POINT screen) {
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(screen);
        OffscreenHarness::MouseRelease(screen);
        OffscreenHarness::RunUntilIdle();
    }
    // A press on tab `index` with the keys held, as the window system reports it.
    void ClickWithKeys(int index, WPARAM keys) {
        const POINT p = TabMiddle(index);
        SendMessage(Strip().m_hWnd, WM_LBUTTONDOWN, keys | MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessage(Strip().m_hWnd, WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
        OffscreenHarness::RunUntilIdle();
    }
    // The middle of tab `index` in strip coordinates.
    POINT TabMiddle(int index) const {
        RECT client;
        GetClientRect(Strip().m_hWnd, &client);
        return {Strip().TabLeft(index) + Strip().GetTab(index)->m_width / 2, client.bottom / 2};
    }
    std::vector<BOOL> Selected() const {
        std::vector<BOOL> out;
        for (int i = 0; i < Strip().GetTabCount(); ++i)
            out.push_back(Strip().GetTab(i)->m_selected);
        return out;
    }
    static std::string ScreenshotPath(const char* name) {
        std::filesystem::create_directories(vq::test::TestPath("VQ_TEST_OUTPUT_DIR").c_str());
        return vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name + ".png";
    }

    ManualMonotonicClock clock{1'000'000'000};
    SpyFrame frame;
    SpyTabWnd tabs;
};

TEST_F(TkTabWndTest, ViewsGetIdsActivationShowsFocusesAndNotifiesOnce) {
    MakeTabs(0x10);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(View(i)->GetDlgCtrlID(), TKTAB_FIRST_VIEW_ID + UINT(i));
    int active = 7;
    EXPECT_FALSE(tabs.GetActiveTab(active));
    EXPECT_EQ(active, -1);

    ASSERT_TRUE(tabs.ActivateTab(1));
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(IsWindowVisible(View(1)->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(View(0)->m_hWnd) && IsWindowVisible(View(2)->m_hWnd));
    EXPECT_EQ(GetFocus(), View(1)->m_hWnd);
    EXPECT_EQ(frame.GetActiveView(), View(1));
    EXPECT_EQ(View(1)->activations, 1);
    ASSERT_EQ(frame.activations.size(), 1u);
    EXPECT_EQ(frame.activations[0].index, 1u);
    EXPECT_EQ(frame.activations[0].id, std::int32_t(kTabWndId));
    EXPECT_EQ(frame.activations[0].newIndex, 1);
    EXPECT_EQ(frame.activations[0].oldIndex, -1);

    // Activating it again repeats the showing and focusing but tells nobody.
    SetFocus(frame.m_hWnd);
    ASSERT_TRUE(tabs.ActivateTab(1));
    EXPECT_EQ(GetFocus(), View(1)->m_hWnd);
    EXPECT_EQ(frame.activations.size(), 1u);

    ASSERT_TRUE(tabs.ActivateTab(2));
    EXPECT_FALSE(IsWindowVisible(View(1)->m_hWnd));
    ASSERT_EQ(frame.activations.size(), 2u);
    EXPECT_EQ(frame.activations[1].oldIndex, 1);
}

TEST_F(TkTabWndTest, RemovingTabsPicksTheNextActiveTab) {
    struct Case {
        int active, removed, expectActive;
        bool notified;
    };
    // Last of three, first of three, and a tab before the active one (which keeps its record).
    for (const Case& c : {Case{2, 2, 1, true}, Case{0, 0, 0, true}, Case{2, 0, 1, false}}) {
        SCOPED_TRACE(c.removed);
        MakeTabs(0x10);
        tabs.ActivateTab(c.active);
        CWnd* const keptActive = c.notified ? nullptr : View(c.active);
        CWnd* const removed = View(c.removed);
        frame.activations.clear();
        ASSERT_TRUE(tabs.RemoveTab(c.removed));
        int active = -1;
        ASSERT_TRUE(tabs.GetActiveTab(active));
        EXPECT_EQ(active, c.expectActive);
        EXPECT_EQ(frame.activations.size(), c.notified ? 1u : 0u);
        if (keptActive) {
            EXPECT_EQ(View(active), keptActive);
        }
        EXPECT_TRUE(Strip().GetTab(active)->m_selected);
        // The removed tab's window stays its owner's.
        EXPECT_TRUE(IsWindow(removed->m_hWnd));
        removed->DestroyWindow();
        tabs.DestroyWindow();
    }

    // The only tab going leaves no active tab and says nothing.
    MakeTabs(0x10);
    tabs.ActivateTab(0);
    tabs.RemoveTab(2);
    tabs.RemoveTab(1);
    frame.activations.clear();
    tabs.RemoveTab(0);
    int active = 5;
    EXPECT_FALSE(tabs.GetActiveTab(active));
    EXPECT_TRUE(frame.activations.empty());
}

TEST_F(TkTabWndTest, IndexesAndWindowsNoTabHoldsDoNothing) {
    MakeTabs(0x10);
    CWnd stranger;
    EXPECT_FALSE(tabs.ActivateTab(3));
    EXPECT_FALSE(tabs.ActivateTab(-1));
    EXPECT_FALSE(tabs.ActivateTab(&stranger));
    EXPECT_FALSE(tabs.RemoveTab(&stranger));
    EXPECT_FALSE(tabs.RenameTab(&stranger, "x"));
    EXPECT_FALSE(tabs.RemoveTab(3));
    EXPECT_EQ(Strip().GetTab(3), nullptr);
    tabs.ScrollToTab(&stranger);
    EXPECT_EQ(tabs.GetTabCount(), 3);
    EXPECT_TRUE(frame.activations.empty());

    // A window two tabs share is found at the later tab.
    tabs.AddTab(View(0), "Again");
    int index = -1;
    ASSERT_TRUE(tabs.FindTab(View(0), index));
    EXPECT_EQ(index, 3);

    // Selecting with no active tab tells the owner -1 with no record, and the window ignores it.
    EXPECT_TRUE(Strip().SelectTab(1));
    ASSERT_EQ(frame.activations.size(), 0u);
    int active = 0;
    EXPECT_FALSE(tabs.GetActiveTab(active));
}

TEST_F(TkTabWndTest, InsertingBeforeTheActiveTabKeepsItsRecordActive) {
    MakeTabs(0x10);
    tabs.ActivateTab(1);
    TkTab* const activeRecord = Strip().GetTab(1);
    ASSERT_NE(tabs.InsertTab(&SpyView::Class(), 0, "Zero", nullptr, UINT(-1)), nullptr);
    int active = -1;
    ASSERT_TRUE(tabs.GetActiveTab(active));
    EXPECT_EQ(active, 2);
    EXPECT_EQ(Strip().GetTab(2), activeRecord);
    EXPECT_TRUE(activeRecord->m_selected);
    EXPECT_FALSE(Strip().GetTab(0)->m_selected);
}

TEST_F(TkTabWndTest, BareBaseFailsToCreateAndLeavesNoWindow) {
    TkTabWndBase bare;
    EXPECT_FALSE(bare.Create(&frame, WS_CHILD | WS_VISIBLE, 7));
    EXPECT_EQ(bare.m_hWnd, 0u);
    EXPECT_EQ(GetDlgItem(frame.m_hWnd, 7), 0u);
}

TEST_F(TkTabWndTest, CreationMovesTheClientEdgeFromTheParent) {
    MakeTabs(0x10);
    EXPECT_FALSE(GetWindowLongPtr(frame.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongPtr(tabs.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(TkTabWndTest, PlacingTheTabWindowWithActivationFocusesTheActiveView) {
    MakeTabs(0x10);
    tabs.ActivateTab(2);
    SetFocus(Strip().m_hWnd);
    SetWindowPos(tabs.m_hWnd, 0, 0, 0, 400, 200, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(GetFocus(), View(2)->m_hWnd);
    SetFocus(Strip().m_hWnd);
    SetWindowPos(tabs.m_hWnd, 0, 0, 0, 400, 200, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    EXPECT_EQ(GetFocus(), Strip().m_hWnd);
}

TEST_F(TkTabWndTest, FlatStripPixels) {
    MakeTabs(0x2);
    tabs.ActivateTab(1);
    OffscreenHarness::RunUntilIdle();
    const HWND strip = Strip().m_hWnd;
    RECT client;
    GetClientRect(strip, &client);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), window = GetSysColor(COLOR_WINDOW),
                   shadow = GetSysColor(COLOR_BTNSHADOW), black = RGB(0, 0, 0);
    auto px = [&](int x, int y) { return OffscreenHarness::Pixel(strip, x, y); };
    const int T = client.top, B = client.bottom;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const int L = Strip().TabLeft(i), W = Strip().GetTab(i)->m_width;
        // Inside, just left of where the label starts.
        EXPECT_EQ(px(L + 8, T + 3), i == 1 ? window : face);
        // Both slanted edges are in the black pen, the lower edge in shadow.
        const int middle = (T + B) / 2;
        auto blackIn = [&](int from, int to) {
            for (int x = from; x <= to; ++x)
                if (px(x, middle) == black) return true;
            return false;
        };
        EXPECT_TRUE(blackIn(L + 1, L + 5));
        EXPECT_TRUE(blackIn(L + W - 6, L + W - 2));
        EXPECT_EQ(px(L + W / 2, B - 1), shadow);
    }
    // No top line over the active tab; a line elsewhere.
    const int activeLeft = Strip().TabLeft(1), activeWidth = Strip().GetTab(1)->m_width;
    EXPECT_EQ(px(activeLeft + activeWidth / 2, T), window);
    EXPECT_EQ(px(Strip().TabLeft(2) + Strip().GetTab(2)->m_width / 2 + 4, T), black);
    // Everything fits, so every arrow is grey.
    for (auto button :
         {TkTabControl::kFirst, TkTabControl::kPrevious, TkTabControl::kNext, TkTabControl::kLast}) {
        const RECT r = Strip().ButtonRect(button);
        int shaded = 0, inked = 0;
        for (int y = r.top + 3; y < r.bottom - 3; ++y)
            for (int x = r.left + 3; x < r.right - 3; ++x) {
                shaded += px(x, y) == shadow;
                inked += px(x, y) == black;
            }
        EXPECT_GT(shaded, 4) << button;
        EXPECT_EQ(inked, 0) << button;
    }
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(tabs.m_hWnd, ScreenshotPath("flat-tabs")));
}

TEST_F(TkTabWndTest, CtrlAndShiftClicksAndDoubleClicks) {
    MakeTabs(0x10);
    tabs.ActivateTab(0);
    // Ctrl on the active tab deselects it and leaves no tab active.
    ClickWithKeys(0, MK_CONTROL);
    int active = 0;
    EXPECT_FALSE(tabs.GetActiveTab(active));
    EXPECT_EQ(Selected(), (std::vector<BOOL>{FALSE, FALSE, FALSE}));
    ClickWithKeys(1, MK_CONTROL);
    EXPECT_EQ(Selected(), (std::vector<BOOL>{FALSE, TRUE, FALSE}));
    // Shift selects from the last active tab to the clicked one and activates it.
    ClickWithKeys(2, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<BOOL>{TRUE, TRUE, TRUE}));
    ASSERT_TRUE(tabs.GetActiveTab(active));
    EXPECT_EQ(active, 2);
    // A plain click on another tab clears the rest.
    Click(StripPoint(TabMiddle(0).x, TabMiddle(0).y));
    EXPECT_EQ(Selected(), (std::vector<BOOL>{TRUE, FALSE, FALSE}));

    // Shift with a last active index that names no tab any more takes the clicked tab alone.
    Click(StripPoint(TabMiddle(2).x, TabMiddle(2).y));
    ClickWithKeys(2, MK_CONTROL);
    SpyView* gone = View(2);
    tabs.RemoveTab(2);
    gone->DestroyWindow();
    OffscreenHarness::RunUntilIdle();
    ClickWithKeys(0, MK_SHIFT);
    EXPECT_EQ(Selected(), (std::vector<BOOL>{TRUE, FALSE}));

    SendMessage(Strip().m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(TabMiddle(1).x, TabMiddle(1).y));
    const int beyond = Strip().TabLeft(1) + Strip().GetTab(1)->m_width + 30;
    SendMessage(Strip().m_hWnd, WM_LBUTTONDBLCLK, 0, MAKELPARAM(beyond, 5));
    EXPECT_EQ(tabs.doubleClicks, (std::vector<WPARAM>{1}));
}

TEST_F(TkTabWndTest, HoldingPreviousRepeatsOnTheClockUntilReleased) {
    MakeTabs(0x2, 140);
    TkTabControl& strip = Strip();
    strip.m_nOffset = -200;
    SendMessage(strip.m_hWnd, WM_SIZE, 0, 0);
    const int start = strip.m_nOffset;
    ASSERT_LT(start, -30);
    const RECT previous = strip.ButtonRect(TkTabControl::kPrevious);
    const HWND window = strip.m_hWnd;
    std::vector<int> offsets;
    std::thread user([&] {
        // Each advance lets the held button's loop run; the offsets are read by the GUI thread.
        for (int ms : {100, 201, 10, 11, 21}) {
            std::this_thread::yield();
            clock.AdvanceMilliseconds(ms);
        }
        PostMessage(window, WM_LBUTTONUP, 0, 0);
    });
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(previous.left + 3, previous.top + 3));
    user.join();
    // At least the first step happened at once, and steps never exceed what the clock allowed.
    const int steps = (strip.m_nOffset - start) / 10;
    EXPECT_GE(steps, 1);
    EXPECT_LE(steps, 4);
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(TkTabWndTest, HoldEndsWhenAnotherWindowTakesTheCapture) {
    MakeTabs(0x2, 140);
    TkTabControl& strip = Strip();
    strip.m_nOffset = -200;
    SendMessage(strip.m_hWnd, WM_SIZE, 0, 0);
    const RECT previous = strip.ButtonRect(TkTabControl::kPrevious);
    const HWND window = strip.m_hWnd, thief = frame.m_hWnd;
    // Something the loop dispatches takes the capture away.
    PostMessage(thief, WM_NULL, 0, 0);
    std::thread user([&] { clock.AdvanceMilliseconds(400); });
    SetTimer(thief, 1, 1, [](HWND w, UINT, std::uintptr_t, DWORD) {
        KillTimer(w, 1);
        SetCapture(w);
    });
    user.join();
    clock.AdvanceMilliseconds(10);
    SendMessage(window, WM_LBUTTONDOWN, 0, MAKELPARAM(previous.left + 3, previous.top + 3));
    EXPECT_EQ(GetCapture(), thief);
    ReleaseCapture();
}

TEST_F(TkTabWndTest, NextStopsAtTheLastTabsEnd) {
    MakeTabs(0x2, 140);
    TkTabControl& strip = Strip();
    RECT client;
    GetClientRect(strip.m_hWnd, &client);
    const RECT last = strip.ButtonRect(TkTabControl::kLast);
    // The release is waiting when the press comes, so the button steps once.
    PostMessage(strip.m_hWnd, WM_LBUTTONUP, 0, 0);
    SendMessage(strip.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(last.left + 3, last.top + 3));
    const int end = strip.TabLeft(2) + strip.GetTab(2)->m_width;
    EXPECT_EQ(end, client.right);
    EXPECT_TRUE(strip.m_disabledButtons & TkTabControl::kNext);
    EXPECT_FALSE(strip.m_disabledButtons & TkTabControl::kFirst);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(tabs.m_hWnd, ScreenshotPath("flat-tabs-scrolled")));
}

TEST_F(TkTabWndTest, SharedScrollBarsKeepEachTabsPositionAndPassMessages) {
    MakeTabs(0x10, 300, 200);
    tabs.SetScrollStyle(0, WS_HSCROLL | WS_VSCROLL);
    tabs.SetScrollStyle(1, WS_VSCROLL);
    tabs.ActivateTab(0);
    const HWND vertical = tabs.GetScrollBarCtrl(1, nullptr);
    ASSERT_NE(vertical, 0u);
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = 100;
    info.nPage = 10;
    info.nPos = 40;
    SetScrollInfo(vertical, SB_CTL, &info, TRUE);
    tabs.ActivateTab(1);
    // Tab 1 was never left: its bar shows nothing yet.
    EXPECT_EQ(GetScrollPos(vertical, SB_CTL), 0);
    EXPECT_EQ(tabs.GetScrollBarCtrl(0, nullptr), 0u);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(tabs.m_hWnd, TKTAB_HSCROLL_ID)));
    tabs.ActivateTab(0);
    EXPECT_EQ(GetScrollPos(vertical, SB_CTL), 40);

    SendMessage(tabs.m_hWnd, WM_VSCROLL, 5, LPARAM(vertical));
    ASSERT_EQ(View(0)->scrolls.size(), 1u);
    EXPECT_EQ(View(0)->scrolls[0], (std::pair<UINT, WPARAM>{WM_VSCROLL, 5}));
}

TEST_F(TkTabWndTest, StripWidthFromTheFirstSizeAndDrags) {
    // The active view uses the horizontal bar when the first size comes: width less 60.
    ASSERT_TRUE(tabs.Create(&frame, WS_CHILD | WS_VISIBLE | 0x10, kTabWndId));
    tabs.AddTab(&SpyView::Class(), "One", nullptr, UINT(-1));
    tabs.SetScrollStyle(0, WS_HSCROLL);
    tabs.ActivateTab(0);
    // The client edge takes two pixels at each side: the client area is 100 wide.
    SetWindowPos(tabs.m_hWnd, 0, 0, 0, 104, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(tabs.m_hWnd, &client);
    ASSERT_EQ(client.right, 100);
    EXPECT_EQ(tabs.StripWidth(), 40);

    // Drags stay between 0 and the inside width less 60.
    RECT sizer = tabs.SizerRect();
    SendMessage(tabs.m_hWnd, WM_LBUTTONDOWN, 0, MAKELPARAM(sizer.left + 2, sizer.top + 2));
    SendMessage(tabs.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(sizer.left + 2 + 500, sizer.top + 2));
    EXPECT_EQ(tabs.StripWidth(), client.right - 60);
    SendMessage(tabs.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(-300 & 0xFFFF, sizer.top + 2));
    EXPECT_EQ(tabs.StripWidth(), 0);
    SendMessage(tabs.m_hWnd, WM_LBUTTONUP, 0, 0);
    tabs.DestroyWindow();

    // Without the horizontal bar the strip takes the whole inside width.
    TkTabWnd plain;
    ASSERT_TRUE(plain.Create(&frame, WS_CHILD | WS_VISIBLE | 0x10, kTabWndId + 1));
    plain.AddTab(&SpyView::Class(), "One", nullptr, UINT(-1));
    plain.ActivateTab(0);
    SetWindowPos(plain.m_hWnd, 0, 0, 0, 100, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT inside;
    plain.GetInsideRect(inside);
    EXPECT_EQ(plain.StripWidth(), inside.right - inside.left);
    plain.DestroyWindow();
}

} // namespace
} // namespace vq
