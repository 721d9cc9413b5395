#pragma once

#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/View.h"
#include "platform/gui/Desktop.h"
#include "platform/gui/Menu.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/Static.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/TestPaths.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkDockBar.h"
#include "toolkit/frames/TkDockContext.h"
#include "toolkit/frames/TkMiniDockFrameWnd.h"

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vq::test {

// A class-library frame docking toolkit bars, standing in for the toolkit's MDI frame where a bar
// floats in the main window.
class DockingFrame : public CFrameWnd, public TkDockingFrameHost {
public:
    BOOL tabsShown = FALSE;
    BOOL mdiFrame = FALSE;
    std::vector<std::string> hostCalls;
    // The items of every bar menu the frame was offered, as id and check mark.
    std::vector<std::vector<std::pair<UINT, bool>>> barMenus;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_EXTENDBARMENU) {
            auto* menu = reinterpret_cast<HMENU>(lParam);
            std::vector<std::pair<UINT, bool>> items;
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                const UINT id = GetMenuItemID(menu, i);
                items.emplace_back(id, (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0);
            }
            barMenus.push_back(items);
        }
        return CFrameWnd::OnWndMsg(message, wParam, lParam, result);
    }

    BOOL AreWorkbookTabsShown() const override { return tabsShown; }
    void FloatControlBarAsMDIChild(CControlBar*, POINT point, DWORD style) override {
        hostCalls.push_back("child " + std::to_string(point.x) + "," + std::to_string(point.y) + " " +
                            std::to_string(style));
    }
    BOOL IsToolkitMDIFrame() const override { return mdiFrame; }
    CFrameWnd* CreateFloatingFrameAsMDIChild(DWORD style) override {
        hostCalls.push_back("floating frame " + std::to_string(style));
        return CreateFloatingFrame(style);
    }
    void FloatControlBarBack(CControlBar*, POINT point, DWORD style) override {
        hostCalls.push_back("back " + std::to_string(point.x) + "," + std::to_string(point.y) + " " +
                            std::to_string(style));
    }
};

// A sizing bar that counts the moves the layouts give it.
class CountingBar : public TkControlBar {
public:
    int moves = 0;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_WINDOWPOSCHANGED) ++moves;
        return TkControlBar::OnWndMsg(message, wParam, lParam, result);
    }
};

inline constexpr DWORD kSizingExStyle = 0x0F50;
inline constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC;

class DockingTest : public ::testing::Test {
protected:
    ManualMonotonicClock clock{1'000'000'000};
    std::unique_ptr<DockingFrame> frame;
    std::vector<std::unique_ptr<CountingBar>> bars;
    HWND pane = 0;

    void SetUp() override {
        SetMonotonicClock(&clock);
        frame = std::make_unique<DockingFrame>();
        ASSERT_TRUE(
            frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, RECT{0, 0, 640, 480}, nullptr, 0));
        frame->m_pFloatingFrameClass = &TkMiniDockFrameWnd::Class();
        frame->EnableDocking(CBRS_ALIGN_ANY, &TkDockBar::Class());
        for (UINT id :
             {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT})
            Dock(id)->SetHost(frame.get());
        pane = CreateWindowEx(0, CWnd::WindowClassName(), "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                              frame->m_hWnd, AFX_IDW_PANE_FIRST, nullptr);
    }

    void TearDown() override {
        bars.clear();
        frame.reset();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    TkDockBar* Dock(UINT id) const { return dynamic_cast<TkDockBar*>(frame->GetControlBar(id)); }

    // A sizing bar with a child that fills it, docking anywhere.
    CountingBar* MakeBar(UINT id, DWORD exStyle = kSizingExStyle, DWORD style = kBarStyle) {
        auto bar = std::make_unique<CountingBar>();
        EXPECT_TRUE(bar->Create(frame.get(), ("Bar " + std::to_string(id)).c_str(), style, exStyle, id));
        CreateWindowEx(0, CWnd::WindowClassName(), "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, bar->m_hWnd, 1,
                       nullptr);
        bar->EnableDocking(CBRS_ALIGN_ANY);
        bars.push_back(std::move(bar));
        return bars.back().get();
    }

    // Lays the frame out and lets every window paint.
    void Layout() {
        frame->RecalcLayout();
        OffscreenHarness::RunUntilIdle();
    }

    // What the frame does when the queue runs dry.
    void Idle() {
        frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        OffscreenHarness::RunUntilIdle();
    }

    static RECT InFrame(const CWnd* window, const CWnd* frameWnd) {
        RECT r;
        GetWindowRect(window->m_hWnd, &r);
        MapWindowPoints(0, frameWnd->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    RECT InFrame(const CWnd* window) const { return InFrame(window, frame.get()); }

    static RECT InParent(const CWnd* window) {
        RECT r;
        GetWindowRect(window->m_hWnd, &r);
        MapWindowPoints(0, GetParent(window->m_hWnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    static LPARAM At(std::int32_t x, std::int32_t y) { return MAKELPARAM(x, y); }

    static POINT Screen(HWND window, POINT p) {
        ClientToScreen(window, &p);
        return p;
    }

    // A click of the left button at a point of the window's client area, as the user gives it.
    void Click(HWND window, POINT p) {
        // Far enough from the last press not to make a double click of it.
        clock.AdvanceMilliseconds(1000);
        Press(window, p);
        Release(window, p);
        OffscreenHarness::RunUntilIdle();
    }
    // Input queued, not yet dispatched: tests queue whole gestures before the press is handled.
    static void Press(HWND window, POINT p) { OffscreenHarness::MousePress(Screen(window, p)); }
    static void Release(HWND window, POINT p) { OffscreenHarness::MouseRelease(Screen(window, p)); }
    static void MoveTo(HWND window, POINT p) {
        OffscreenHarness::MouseMove(Screen(window, p), Qt::LeftButton);
    }

    static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    void Save(const std::string& name) const { Save(frame->m_hWnd, name); }
    static void Save(HWND window, const std::string& name) {
        const std::string path = vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name + ".png";
        EXPECT_TRUE(OffscreenHarness::SaveScreenshot(window, path)) << path;
    }
};

} // namespace vq::test
