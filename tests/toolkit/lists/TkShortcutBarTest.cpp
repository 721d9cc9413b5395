#include "toolkit/lists/TkShortcutBar.h"

#include "platform/classlib/View.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/SystemColours.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/TestPaths.h"
#include "toolkit/lists/TkShortcutListCtrl.h"

#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace vq {

// A view that counts how often one of its kind is deleted.
class CountedView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(CountedView)
public:
    static int deleted;
    ~CountedView() override { ++deleted; }
    void OnDraw(HDC) override {}
};
int CountedView::deleted = 0;
VQ_IMPLEMENT_DYNCREATE(CountedView, CView)

namespace {

// Counts its deletions, to show an owned object goes once.
class Counted : public Object {
public:
    explicit Counted(int& deletions) : deletions_(deletions) {}
    ~Counted() override { ++deletions_; }

private:
    int& deletions_;
};

// Records the old bar's extent and the clock at every step of a switch.
class StepBar : public TkShortcutBar {
public:
    int watched = -1;
    std::vector<std::pair<int, DWORD>> steps;
    std::string shot;
    void PositionClients() override {
        // Halfway through, the picture of the previous step is on the screen.
        if (steps.size() == 4 && !shot.empty()) {
            EXPECT_TRUE(OffscreenHarness::SaveScreenshot(m_hWnd, shot));
        }
        if (TkBar* bar = GetBarAt(watched)) steps.emplace_back(bar->GetClientExtent(), GetTickCount());
        TkShortcutBar::PositionClients();
    }
};

class TkShortcutBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 240, 340}, nullptr, 0));
    }
    void TearDown() override {
        if (bar.m_hWnd) bar.DestroyWindow();
        owner.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }
    void Make(DWORD style, int bars = 3) {
        ASSERT_TRUE(bar.Create(&owner, WS_CHILD | WS_VISIBLE | style, 1000));
        SetWindowPos(bar.m_hWnd, 0, 0, 0, 200, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        const char* labels[] = {"Monitor", "Displays", "Tools", "Extra"};
        for (int i = 0; i < bars; ++i)
            ASSERT_NE(bar.AddBar(labels[i], TRUE), nullptr);
        OffscreenHarness::RunUntilIdle();
    }
    POINT HeaderPoint(int index) const {
        const RECT& r = bar.GetBarAt(index)->GetHeaderRect();
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(bar.m_hWnd, &p);
        return p;
    }
    void Click(int index) {
        OffscreenHarness::MousePress(HeaderPoint(index));
        OffscreenHarness::MouseRelease(HeaderPoint(index));
        OffscreenHarness::RunUntilIdle();
    }
    COLORREF At(int x, int y) const { return OffscreenHarness::Pixel(bar.m_hWnd, x, y); }
    void Save(const char* name) {
        EXPECT_TRUE(OffscreenHarness::SaveScreenshot(bar.m_hWnd,
                                                     vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }

    ManualMonotonicClock clock{1'000'000'000};
    CWnd owner;
    StepBar bar;
};

TEST_F(TkShortcutBarTest, HeadersStackAndTheOpenBarFillsTheRest) {
    Make(0);
    EXPECT_FALSE(bar.HasActiveBar());
    // With no bar open the window shows its background.
    EXPECT_EQ(At(100, 150), GetSysColor(COLOR_WINDOW));
    Save("shortcut-bar-closed.png");
    ASSERT_TRUE(bar.SetActiveBar(0));
    OffscreenHarness::RunUntilIdle();
    const int h = bar.GetBarAt(0)->GetHeaderExtent();
    ASSERT_GT(h, 5);
    EXPECT_EQ(bar.GetBarAt(0)->GetHeaderRect(), (RECT{0, 0, 200, h}));
    EXPECT_EQ(bar.GetBarAt(0)->GetClientRect(), (RECT{0, h, 200, 300 - 2 * h}));
    EXPECT_EQ(bar.GetBarAt(1)->GetHeaderRect(), (RECT{0, 300 - 2 * h, 200, 300 - h}));
    EXPECT_EQ(bar.GetBarAt(2)->GetHeaderRect(), (RECT{0, 300 - h, 200, 300}));
    RECT list;
    GetWindowRect(bar.GetBarWnd(0)->m_hWnd, &list);
    EXPECT_EQ(list.Height(), 300 - 3 * h);
    EXPECT_EQ(OffscreenHarness::Pixel(bar.GetBarWnd(0)->m_hWnd, 100, 40), GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(At(100, h / 2 - 3), GetSysColor(COLOR_BTNFACE));
    Save("shortcut-bar-open.png");

    Click(2);
    EXPECT_EQ(bar.GetActiveIndex(), 2);
    EXPECT_EQ(bar.GetBarAt(2)->GetHeaderRect(), (RECT{0, 2 * h, 200, 3 * h}));
    EXPECT_TRUE(IsWindowVisible(bar.GetBarWnd(2)->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(bar.GetBarWnd(0)->m_hWnd));
    // The open header and a disabled one take no clicks.
    Click(2);
    EXPECT_EQ(bar.GetActiveIndex(), 2);
    bar.GetBarAt(0)->SetEnabled(FALSE);
    Click(0);
    EXPECT_EQ(bar.GetActiveIndex(), 2);
}

TEST_F(TkShortcutBarTest, TheOpenHeaderIsFramedAndColouredHeadersAreFlat) {
    Make(TKSB_FRAMEACTIVE);
    bar.SetActiveBar(1);
    bar.SetBarBkColor(RGB(0, 128, 128), 2);
    OffscreenHarness::RunUntilIdle();
    Save("shortcut-bar-framed.png");
    const RECT open = bar.GetBarAt(1)->GetHeaderRect();
    EXPECT_EQ(At(open.left + 2, (open.top + open.bottom) / 2), RGB(255, 0, 0));
    EXPECT_EQ(At((open.left + open.right) / 2, open.top + 1), RGB(255, 0, 0));
    const RECT plain = bar.GetBarAt(0)->GetHeaderRect();
    EXPECT_NE(At(plain.left + 2, (plain.top + plain.bottom) / 2), RGB(255, 0, 0));
    // A header of another colour is a flat fill, edges and all.
    const RECT teal = bar.GetBarAt(2)->GetHeaderRect();
    EXPECT_EQ(At(teal.left, teal.top), RGB(0, 128, 128));
    EXPECT_EQ(At(teal.right - 1, teal.bottom - 1), RGB(0, 128, 128));
    EXPECT_NE(At(plain.right - 1, plain.bottom - 1), GetSysColor(COLOR_BTNFACE));
}

TEST_F(TkShortcutBarTest, HeadersMeasureTheirTextAndScaleTallIcons) {
    Make(0);
    bar.SetBarLabel(0, "");
    HDC dc = GetDC(bar.m_hWnd);
    HGDIOBJ old = SelectObject(dc, bar.GetFont(0));
    TEXTMETRIC metrics;
    GetTextMetrics(dc, &metrics);
    SelectObject(dc, old);
    TkBar& first = *bar.GetBarAt(0);
    first.CalcSize(dc, TRUE);
    ReleaseDC(bar.m_hWnd, dc);
    EXPECT_EQ(first.GetHeaderExtent(), metrics.tmHeight + 5);

    // A 32 x 32 icon asked for a header 20 high comes as 16 x 16.
    TkBar header;
    header.SetHeaderRect(RECT{0, 0, 100, 20});
    ASSERT_TRUE(header.LoadIcon(128, 32, 32));
    EXPECT_EQ(header.Icon().m_cx, 16);
    // In a header 12 high it is drawn 8 x 8 from 2 below the top, one pixel further when pushed.
    header.SetHeaderRect(RECT{0, 0, 100, 12});
    for (const BOOL pushed : {FALSE, TRUE}) {
        SCOPED_TRACE(pushed);
        HDC paint = CreateCompatibleDC(nullptr);
        HBITMAP target = CreateBitmap(100, 12, 1, 32, nullptr);
        HGDIOBJ oldTarget = SelectObject(paint, target);
        HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
        const RECT all{0, 0, 100, 12};
        FillRect(paint, &all, green);
        DeleteObject(green);
        header.DrawIcon(paint, pushed, FALSE);
        RECT inked{1000, 1000, -1, -1};
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 100; ++x)
                if (target->bits.ColourOf(target->bits.Pixel(x, y)) != RGB(0, 255, 0)) {
                    inked.left = std::min(inked.left, x);
                    inked.top = std::min(inked.top, y);
                    inked.right = std::max(inked.right, x + 1);
                    inked.bottom = std::max(inked.bottom, y + 1);
                }
        const int shift = pushed ? 1 : 0;
        EXPECT_GE(inked.left, 4 + shift);
        EXPECT_GE(inked.top, 2);
        EXPECT_LE(inked.right, 12 + shift);
        EXPECT_LE(inked.bottom, 10);
        EXPECT_GT(inked.right, inked.left);
        SelectObject(paint, oldTarget);
        DeleteObject(target);
        DeleteDC(paint);
    }
}

TEST_F(TkShortcutBarTest, ABarAndItsCopyDeleteTheOwnedObjectOnce) {
    int deletions = 0;
    {
        TkBar original;
        original.SetOwnedObject(new Counted(deletions));
        original.SetLabel("Hosts");
        TkBar copy(original);
        TkBar assigned;
        assigned = original;
        EXPECT_EQ(copy.GetLabel(), "Hosts");
        EXPECT_EQ(copy.GetOwnedObject(), nullptr);
        copy.DeleteOwnedObject();
        assigned.DeleteOwnedObject();
        EXPECT_EQ(deletions, 0);
        original.DeleteOwnedObject();
        EXPECT_EQ(deletions, 1);
    }
    EXPECT_EQ(deletions, 1);
}

TEST_F(TkShortcutBarTest, AnimatedSwitchStepsAnEighthAtATimeOnTheClock) {
    // In a tall window the old bar slides in eighths; one under 8 pixels high in single pixels.
    for (const bool small : {false, true}) {
        SCOPED_TRACE(small);
        Make(TKSB_ANIMATE);
        const int h = bar.GetBarAt(0)->GetHeaderExtent();
        SetWindowPos(bar.m_hWnd, 0, 0, 0, 200, small ? 3 * h + 5 : 300, SWP_NOZORDER | SWP_NOACTIVATE);
        bar.SetActiveBar(0);
        const int start = bar.GetBarAt(0)->GetClientExtent();
        const int step = small ? 1 : start / 8;
        ASSERT_GT(step, 0);
        bar.watched = 0;
        bar.shot = small ? "" : vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/shortcut-bar-animating.png";
        std::atomic<bool> done{false};
        std::thread user([&] {
            while (!done) {
                clock.AdvanceMilliseconds(1);
                std::this_thread::yield();
            }
        });
        bar.SetActiveBar(1);
        done = true;
        user.join();
        std::vector<int> expected;
        for (int extent = start - step; extent >= 1; extent -= step)
            expected.push_back(extent);
        std::vector<int> seen;
        for (const auto& [extent, tick] : bar.steps)
            if (extent > 0) seen.push_back(extent);
        EXPECT_EQ(seen, expected);
        for (std::size_t i = 1; i < seen.size(); ++i)
            EXPECT_GE(bar.steps[i].second - bar.steps[i - 1].second, 7u) << i;
        // The last move is the final layout: the old bar closed, the new one filling the rest.
        ASSERT_FALSE(bar.steps.empty());
        EXPECT_EQ(bar.steps.back().first, 0);
        EXPECT_EQ(bar.GetBarAt(1)->GetClientExtent(), start);
        EXPECT_EQ(bar.GetActiveIndex(), 1);
        bar.steps.clear();
        bar.watched = -1;
        bar.DestroyWindow();
    }
}

TEST_F(TkShortcutBarTest, PressAndReleaseOpensOnlyOnReleaseOverTheHeader) {
    Make(TKSB_PRESSRELEASE);
    bar.SetActiveBar(0);
    OffscreenHarness::MousePress(HeaderPoint(2));
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(bar.GetBarAt(2)->GetFlags() & TkBar::Pushed);
    OffscreenHarness::MouseMove(HeaderPoint(1), Qt::LeftButton);
    OffscreenHarness::MouseRelease(HeaderPoint(1));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(bar.GetActiveIndex(), 0);
    EXPECT_FALSE(bar.GetBarAt(2)->GetFlags() & TkBar::Pushed);
    // Escape cancels the press, but the mouse stays with the bar until the release.
    OffscreenHarness::MousePress(HeaderPoint(2));
    OffscreenHarness::RunUntilIdle();
    MSG escape{bar.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, POINT{}};
    EXPECT_TRUE(bar.PreTranslateMessage(&escape));
    EXPECT_EQ(GetCapture(), bar.m_hWnd);
    OffscreenHarness::MouseRelease(HeaderPoint(2));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(bar.GetActiveIndex(), 0);
    EXPECT_EQ(GetCapture(), 0u);
    Click(2);
    EXPECT_EQ(bar.GetActiveIndex(), 2);
}

TEST_F(TkShortcutBarTest, RemovingDisablingAndInsertingKeepAnOpenBar) {
    Make(0);
    bar.SetActiveBar(2);
    ASSERT_TRUE(bar.RemoveBar(2));
    EXPECT_EQ(bar.GetActiveIndex(), 1);
    EXPECT_EQ(bar.GetActiveBar()->GetLabel(), "Displays");
    bar.SetActiveBar(0);
    ASSERT_TRUE(bar.RemoveBar(0));
    EXPECT_EQ(bar.GetActiveBar()->GetLabel(), "Displays");
    EXPECT_FALSE(bar.SetActiveBar(5));
    EXPECT_EQ(bar.GetActiveBar()->GetLabel(), "Displays");
    // A bar put before the open one leaves that one open.
    ASSERT_NE(bar.InsertBar(0, "Tools", TRUE), nullptr);
    EXPECT_EQ(bar.GetActiveBar()->GetLabel(), "Displays");
    EXPECT_EQ(bar.GetActiveIndex(), 1);
    // Disabling a closed bar opens the next enabled one after it.
    ASSERT_NE(bar.AddBar("Extra", TRUE), nullptr);
    bar.SetActiveBar(0);
    ASSERT_TRUE(bar.DisableBar(1));
    EXPECT_EQ(bar.GetActiveIndex(), 2);
    bar.SetActiveBar(-1);
    EXPECT_THROW(bar.GetActiveBar(), ResourceException);
}

TEST_F(TkShortcutBarTest, AViewBarGoesWithItsWindowAndObjectOnce) {
    Make(0, 1);
    CountedView::deleted = 0;
    TkBar* views = bar.AddBar(&CountedView::Class(), "Views", nullptr, TRUE, UINT(-1));
    ASSERT_NE(views, nullptr);
    const HWND window = views->GetWndHandle();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetDlgCtrlID(window), 60161);
    bar.SetActiveBar(1);
    ASSERT_TRUE(bar.RemoveBar(1));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CountedView::deleted, 1);
    EXPECT_EQ(bar.GetActiveIndex(), 0);
}

TEST_F(TkShortcutBarTest, HeadersTallerThanTheWindowLeaveTheOpenBarAPixel) {
    Make(0);
    bar.SetActiveBar(1);
    const int h = bar.GetBarAt(0)->GetHeaderExtent();
    SetWindowPos(bar.m_hWnd, 0, 0, 0, 200, 2 * h, SWP_NOZORDER | SWP_NOACTIVATE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(bar.GetBarAt(1)->GetClientExtent(), 1);
    RECT list;
    GetWindowRect(bar.GetBarWnd(1)->m_hWnd, &list);
    EXPECT_GE(list.Height(), 0);
    SetWindowPos(bar.m_hWnd, 0, 0, 0, 200, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(bar.GetBarAt(1)->GetClientExtent(), 300 - 3 * h);
}

} // namespace
} // namespace vq
