#include "toolkit/lists/Tk3DTabWnd.h"

#include "platform/classlib/ToolTipCtrl.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/StandardControls.h"
#include "tests/support/TestPaths.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

constexpr UINT TabWndId = 114;

// A page of a tab window: plain, with what dialogs do with WM_NEXTDLGCTL.
class Page : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NEXTDLGCTL) {
            NextDlgCtl(m_hWnd, wParam, lParam);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Hears the activations the tab window passes on.
class Owner : public CWnd {
public:
    std::vector<std::int32_t> activated;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TKTAB_ACTIVATED) {
            activated.push_back(std::int32_t(wParam));
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A tab window that may take the Ctrl keys for itself.
class KeyedTabWnd : public Tk3DTabWnd {
public:
    LRESULT takeCtrlKeys = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TKTAB_CTRLKEY) return takeCtrlKeys;
        return Tk3DTabWnd::WindowProc(message, wParam, lParam);
    }
};

class Tk3DTabWndTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto& page : pages)
            if (page->m_hWnd) page->DestroyWindow();
        if (owner.m_hWnd) owner.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }
    // A tab window of `flags` in a 420 x 300 owner with three pages; the owner's children made
    // before it come first in the Tab order.
    void Make(DWORD flags, std::vector<std::string> labels = {"Hosts", "Statistics", "Events"},
              int width = 400, int height = 260, DWORD extra = 0) {
        if (!owner.m_hWnd) {
            ASSERT_TRUE(
                owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 420, 300}, nullptr, 0));
        }
        ASSERT_TRUE(tabs.Create(&owner, WS_CHILD | WS_VISIBLE | extra | flags, TabWndId));
        for (const std::string& label : labels) {
            pages.push_back(std::make_unique<Page>());
            ASSERT_TRUE(pages.back()->CreateEx(0, nullptr, "", WS_CHILD, RECT{0, 0, 10, 10}, &tabs, 0));
            ASSERT_NE(tabs.AddTab(pages.back().get(), label.c_str()), nullptr);
        }
        SetWindowPos(tabs.m_hWnd, 0, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        OffscreenHarness::RunUntilIdle();
    }
    Tk3DTabControl& Strip() const { return *tabs.GetStrip(); }
    Tk3DTab& Tab(int index) const { return *Strip().Get3DTab(index); }
    int Active() const {
        int index = -1;
        tabs.GetActiveTab(index);
        return index;
    }
    int LabelWidth(const std::string& label) const {
        HDC dc = GetDC(Strip().m_hWnd);
        HGDIOBJ old = SelectObject(dc, Strip().GetFont(1));
        SIZE extent{0, 0};
        GetTextExtentPoint32(dc, label.c_str(), int(label.size()), &extent);
        SelectObject(dc, old);
        ReleaseDC(Strip().m_hWnd, dc);
        return extent.cx;
    }
    // What the shown labels take along the strip, with the slack the strip keeps.
    int Needed() const {
        int total = 12;
        for (int i = 0; i < Strip().GetTabCount(); ++i)
            total += 12 + LabelWidth(Tab(i).m_label);
        return total;
    }
    COLORREF StripPixel(int x, int y) const { return OffscreenHarness::Pixel(Strip().m_hWnd, x, y); }
    POINT Centre(int index) const {
        const RECT& r = Tab(index).m_rect;
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(Strip().m_hWnd, &p);
        return p;
    }
    void Save(const std::string& name) {
        EXPECT_TRUE(OffscreenHarness::SaveScreenshot(tabs.m_hWnd,
                                                     vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }

    Owner owner;
    KeyedTabWnd tabs;
    std::vector<std::unique_ptr<Page>> pages;
};

// ---- fitting labels

TEST_F(Tk3DTabWndTest, LongLabelsShrinkFromTheWidestOneCharacterAStep) {
    const std::vector<std::string> labels = {"Conversations between hosts", "Addresses learned today",
                                             "Interfaces of this machine"};
    Make(TK3DTAB_BOTTOM, labels);
    Strip().AutoFitLabels(0, 57, 100);
    EXPECT_TRUE(Strip().m_bShowLabels);
    EXPECT_LE(Needed(), 100);
    int narrowest = 1000, widest = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string& shown = Tab(i).m_label;
        SCOPED_TRACE(shown);
        ASSERT_GT(shown.size(), 3u);
        EXPECT_EQ(shown.substr(shown.size() - 3), "...");
        EXPECT_EQ(labels[i].rfind(shown.substr(0, shown.size() - 3), 0), 0u);
        EXPECT_TRUE(Tab(i).m_bShortened);
        narrowest = std::min(narrowest, LabelWidth(shown));
        widest = std::max(widest, LabelWidth(shown));
    }
    // Taking from the widest each time leaves them about equally wide.
    EXPECT_LE(widest - narrowest, LabelWidth("W"));
}

TEST_F(Tk3DTabWndTest, OnlyWhatMustShrinkShrinks) {
    const std::string longLabel = "Statistics of the whole network";
    Make(TK3DTAB_BOTTOM, {longLabel, "Hosts", "Log"});
    const int room = 3 * 12 + 12 + LabelWidth("Hosts") + LabelWidth("Log") + LabelWidth("Statistics of...");
    Strip().AutoFitLabels(0, 57, room);
    EXPECT_EQ(Tab(1).m_label, "Hosts");
    EXPECT_EQ(Tab(2).m_label, "Log");
    EXPECT_FALSE(Tab(1).m_bShortened);
    EXPECT_EQ(Tab(0).m_label, "Statistics of...");
    // One character more would not have fitted: the label lost one character a step.
    EXPECT_GT(Needed() - LabelWidth("Statistics of...") + LabelWidth("Statistics of ..."), room);
}

TEST_F(Tk3DTabWndTest, ShortLabelsNeverGetAnEllipsisAndTinyStripsShowNone) {
    struct Case {
        std::vector<std::string> labels;
        int available;
        bool shown;
    };
    const Case cases[] = {
        {{"IP", "OS", "Hosts of the network"}, 70, true},
        {{"IP", "OS", "Hosts of the network"}, 40, false},
        {{"abc", "def", "ghi"}, 60, true},
        {{"abc", "def", "ghi"}, 58, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.available);
        Make(TK3DTAB_BOTTOM, c.labels);
        Strip().AutoFitLabels(0, 57, c.available);
        EXPECT_EQ(bool(Strip().m_bShowLabels), c.shown);
        for (int i = 0; i < 3; ++i) {
            if (c.labels[i].size() < 3) {
                EXPECT_EQ(Tab(i).m_label.find("..."), std::string::npos);
            }
            EXPECT_LE(Tab(i).m_label.size(), std::max<std::size_t>(c.labels[i].size(), 3));
        }
        tabs.DestroyWindow();
        pages.clear();
    }
}

// A vertical strip fits along its height; below 19 pixels a tab the labels go and the tips stay.
TEST_F(Tk3DTabWndTest, AStripTooShortForLabelsGivesBareTabsWithTips) {
    Make(TK3DTAB_LEFT, {"Hosts", "Statistics", "Events"}, 300, 56 + 4 + 6);
    RECT strip;
    GetClientRect(Strip().m_hWnd, &strip);
    ASSERT_LT(strip.Height(), 3 * 19);
    EXPECT_FALSE(Strip().m_bShowLabels);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Tab(i).m_rect.Height(), 6) << i;
    // An icon makes a bare tab 25 long.
    IconImage icon;
    icon.colour = CreateBitmap(16, 16, 1, 32, nullptr);
    icon.mask = CreateBitmap(16, 16, 1, 1, nullptr);
    tabs.SetTabIcon(1, &icon);
    EXPECT_EQ(Tab(1).m_rect.Height(), 25);
    const RECT& second = Tab(1).m_rect;
    ToolHit hit;
    EXPECT_EQ(Strip().OnToolHitTest(POINT{second.left + 2, second.top + 2}, &hit), 2);
    EXPECT_EQ(hit.text, "Statistics");
    EXPECT_EQ(hit.info.hwnd, Strip().m_hWnd);
    tabs.SetTabIcon(1, HICON(nullptr));
    DeleteObject(icon.colour);
    DeleteObject(icon.mask);
}

TEST_F(Tk3DTabWndTest, TheActiveTabStandsOutUnlessFlat) {
    for (const DWORD flat : {DWORD(0), TK3DTAB_FLATACTIVE}) {
        SCOPED_TRACE(flat);
        Make(TK3DTAB_BOTTOM | flat, {"Aaa", "Aaa", "Aaa"});
        tabs.ActivateTab(1);
        const RECT& active = Tab(1).m_rect;
        const RECT& other = Tab(0).m_rect;
        EXPECT_EQ(active.Width(), other.Width() + (flat ? 0 : 6));
        EXPECT_EQ(active.Height(), other.Height() + (flat ? 0 : 3));
        EXPECT_EQ(active.top, other.top);
        tabs.DestroyWindow();
        pages.clear();
    }
}

// ---- pixels

struct OutlinePoint {
    int dx, dy; // from the active tab's corner named by `fromRight`/`fromBottom`
    bool fromRight, fromBottom;
    int colour; // 0 highlight, 1 black
};

struct PositionCase {
    DWORD flag;
    const char* name;
    std::vector<OutlinePoint> points;
};

TEST_F(Tk3DTabWndTest, EachPositionDrawsItsOutlinesAndPageBorder) {
    const PositionCase cases[] = {
        // (L, T + 1) highlight and (R, T + 2) black
        {TK3DTAB_BOTTOM, "bottom", {{0, 1, false, false, 0}, {0, 2, true, false, 1}, {0, 5, true, false, 1}}},
        // (L, T + 3) highlight on the left edge, (R, T + 3) black on the right
        {TK3DTAB_TOP, "top", {{0, 3, false, false, 0}, {3, 0, false, false, 0}, {0, 3, true, false, 1}}},
        // (L, T + 3) highlight, (L + 3, B) black
        {TK3DTAB_LEFT, "left", {{0, 3, false, false, 0}, {3, 0, false, true, 1}, {3, 0, false, false, 0}}},
        // (L + 1, T) highlight, (R, T + 3) black
        {TK3DTAB_RIGHT, "right", {{1, 0, false, false, 0}, {0, 3, true, false, 1}, {3, 0, false, true, 1}}},
    };
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), black = RGB(0, 0, 0);
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Make(c.flag);
        tabs.ActivateTab(1);
        OffscreenHarness::RunUntilIdle();
        Save(std::string("tabs-3d-") + c.name + ".png");
        const RECT& r = Tab(1).m_rect;
        for (const OutlinePoint& p : c.points) {
            const int x = p.fromRight ? r.right - p.dx : r.left + p.dx;
            const int y = p.fromBottom ? r.bottom - p.dy : r.top + p.dy;
            EXPECT_EQ(StripPixel(x, y), p.colour ? black : highlight) << x << "," << y;
        }
        // The page border: outer highlight, inner black, on the top and left edges.
        RECT inside;
        tabs.GetInsideRect(inside);
        const auto at = [&](int x, int y) { return OffscreenHarness::Pixel(tabs.m_hWnd, x, y); };
        EXPECT_EQ(at(inside.left + 10, inside.top - 4), highlight);
        EXPECT_EQ(at(inside.left + 10, inside.top - 3), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(at(inside.left + 10, inside.top - 2), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(at(inside.left + 10, inside.top - 1), black);
        EXPECT_EQ(at(inside.left - 4, inside.top + 10), highlight);
        EXPECT_EQ(at(inside.left - 1, inside.top + 10), black);
        EXPECT_EQ(at(inside.right + 3, inside.top + 10), black);
        tabs.DestroyWindow();
        pages.clear();
    }
}

// The ink of a tab's label: the box round the pixels inside it that are neither face nor edge.
RECT InkBox(HWND strip, const RECT& tab, COLORREF ink) {
    RECT box{10000, 10000, -1, -1};
    for (int y = tab.top + 3; y < tab.bottom - 3; ++y)
        for (int x = tab.left + 3; x < tab.right - 3; ++x)
            if (OffscreenHarness::Pixel(strip, x, y) == ink) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

TEST_F(Tk3DTabWndTest, LeftLabelsRunUpwardsAndDisabledLabelsAreEtched) {
    Make(TK3DTAB_LEFT, {"Hosts", "Statistics", "Events"}, 400, 260);
    tabs.ActivateTab(0);
    OffscreenHarness::RunUntilIdle();
    const RECT upright = InkBox(Strip().m_hWnd, Tab(1).m_rect, RGB(0, 0, 0));
    ASSERT_GT(upright.right, upright.left);
    EXPECT_GT(upright.Height(), 2 * upright.Width());
    tabs.DestroyWindow();
    pages.clear();

    Make(TK3DTAB_BOTTOM);
    tabs.ActivateTab(0);
    tabs.EnableTab(2, FALSE);
    EXPECT_FALSE(tabs.IsTabEnabled(2));
    OffscreenHarness::RunUntilIdle();
    Save("tabs-3d-disabled.png");
    const RECT& r = Tab(2).m_rect;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const RECT ink = InkBox(Strip().m_hWnd, r, shadow);
    ASSERT_GT(ink.right, ink.left);
    EXPECT_EQ(InkBox(Strip().m_hWnd, r, RGB(0, 0, 0)).right, -1);
    int etched = 0;
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x)
            if (StripPixel(x, y) == shadow && StripPixel(x + 1, y + 1) == highlight) ++etched;
    EXPECT_GT(etched, 5);
}

// ---- input

TEST_F(Tk3DTabWndTest, ArrowsSkipDisabledTabsAndClicksOnThemDoNothing) {
    Make(TK3DTAB_BOTTOM, {"Hosts", "Statistics", "Events"}, 400, 260, WS_TABSTOP);
    tabs.ActivateTab(0);
    tabs.EnableTab(1, FALSE);
    owner.activated.clear();
    OffscreenHarness::MousePress(Centre(1));
    OffscreenHarness::MouseRelease(Centre(1));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Active(), 0);
    EXPECT_TRUE(owner.activated.empty());
    // The click took the focus to the strip, where Right passes over the disabled tab.
    ASSERT_EQ(GetFocus(), Strip().m_hWnd);
    OffscreenHarness::Key(Qt::Key_Right, Qt::NoModifier, QString(), true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Active(), 2);
    EXPECT_EQ(owner.activated, std::vector<std::int32_t>{2});
    OffscreenHarness::Key(Qt::Key_Left, Qt::NoModifier, QString(), true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Active(), 0);
    OffscreenHarness::MousePress(Centre(2));
    OffscreenHarness::MouseRelease(Centre(2));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Active(), 2);
}

TEST_F(Tk3DTabWndTest, DraggingTheActiveTabMovesItOncePastTheNeighbour) {
    Make(TK3DTAB_BOTTOM | TK3DTAB_DRAGTABS | TK3DTAB_FLATACTIVE, {"Hosts", "Statistics", "Events"});
    tabs.ActivateTab(0);
    owner.activated.clear();
    const RECT first = Tab(0).m_rect, second = Tab(1).m_rect;
    const auto screen = [&](int x) {
        POINT p{x, first.top + 5};
        ClientToScreen(Strip().m_hWnd, &p);
        return p;
    };
    OffscreenHarness::MousePress(screen(first.left + 5));
    // Inside the neighbour but not yet where the moved tab would lie.
    OffscreenHarness::MouseMove(screen(first.left + second.Width() - 1), Qt::LeftButton);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Tab(0).m_fullLabel, "Hosts");
    OffscreenHarness::MouseMove(screen(first.left + second.Width() + 2), Qt::LeftButton);
    OffscreenHarness::MouseRelease(screen(first.left + second.Width() + 2));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Tab(0).m_fullLabel, "Statistics");
    EXPECT_EQ(Tab(1).m_fullLabel, "Hosts");
    EXPECT_EQ(Active(), 1);
    EXPECT_EQ(owner.activated, std::vector<std::int32_t>{1});
    EXPECT_EQ(GetCapture(), 0u);
}

class Tk3DTabKeysTest : public Tk3DTabWndTest {
protected:
    void SetUp() override {
        RegisterStandardControls();
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 420, 300}, nullptr, 0));
        before = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 270, 60, 20,
                                owner.m_hWnd, 1, nullptr);
        Make(TK3DTAB_BOTTOM, {"Hosts", "Statistics", "Events"}, 400, 260, WS_TABSTOP);
        after = CreateWindowEx(0, "Button", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 100, 270, 60, 20,
                               owner.m_hWnd, 2, nullptr);
        last = CreateWindowEx(0, "Button", "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 200, 270, 60, 20,
                              owner.m_hWnd, 3, nullptr);
        for (int i = 0; i < 2; ++i)
            fields[i] = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10 + 30 * i,
                                       100, 20, pages[0]->m_hWnd, 10 + i, nullptr);
        tabs.ActivateTab(0);
        OffscreenHarness::RunUntilIdle();
    }
    // A key as the message loop would offer it to the tab window, with Shift or Ctrl held.
    BOOL Offer(WPARAM key, Qt::KeyboardModifiers held = Qt::NoModifier) {
        Hold(held, true);
        MSG msg{GetFocus(), WM_KEYDOWN, key, 0, 0, POINT{}};
        const BOOL taken = tabs.PreTranslateMessage(&msg);
        Hold(held, false);
        OffscreenHarness::RunUntilIdle();
        return taken;
    }
    static void Hold(Qt::KeyboardModifiers held, bool down) {
        if (held & Qt::ShiftModifier) OffscreenHarness::Key(Qt::Key_Shift, held, QString(), down);
        if (held & Qt::ControlModifier) OffscreenHarness::Key(Qt::Key_Control, held, QString(), down);
        OffscreenHarness::RunUntilIdle();
    }

    HWND before = 0, after = 0, last = 0;
    HWND fields[2] = {};
};

TEST_F(Tk3DTabKeysTest, TabWalksFromTheStripThroughThePageToTheNextWindow) {
    SetFocus(Strip().m_hWnd);
    EXPECT_TRUE(Offer(VK_TAB));
    EXPECT_EQ(GetFocus(), fields[0]);
    EXPECT_TRUE(Offer(VK_TAB));
    EXPECT_EQ(GetFocus(), fields[1]);
    EXPECT_TRUE(Offer(VK_TAB));
    EXPECT_EQ(GetFocus(), after);

    SetFocus(fields[1]);
    EXPECT_TRUE(Offer(VK_TAB, Qt::ShiftModifier));
    EXPECT_EQ(GetFocus(), fields[0]);
    EXPECT_TRUE(Offer(VK_TAB, Qt::ShiftModifier));
    EXPECT_EQ(GetFocus(), Strip().m_hWnd);

    // Coming back by Shift+Tab from the window after it lands on the page's last control.
    SetFocus(after);
    SetFocus(tabs.m_hWnd);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(GetFocus(), fields[1]);
    // From anywhere else the focus lands on the strip.
    SetFocus(before);
    SetFocus(tabs.m_hWnd);
    EXPECT_EQ(GetFocus(), Strip().m_hWnd);
}

TEST_F(Tk3DTabKeysTest, ControlTabSwitchesTabsUnlessTheWindowTakesIt) {
    SetFocus(Strip().m_hWnd);
    EXPECT_TRUE(Offer(VK_TAB, Qt::ControlModifier));
    EXPECT_EQ(Active(), 1);
    EXPECT_TRUE(Offer(VK_TAB, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_EQ(Active(), 0);
    EXPECT_TRUE(Offer(VK_DOWN));
    EXPECT_EQ(Active(), 1);
    tabs.takeCtrlKeys = 1;
    EXPECT_TRUE(Offer(VK_TAB, Qt::ControlModifier));
    EXPECT_EQ(Active(), 1);
    // Without WS_TABSTOP the tab window leaves the keys alone.
    SetWindowLongPtr(tabs.m_hWnd, GWL_STYLE,
                     GetWindowLongPtr(tabs.m_hWnd, GWL_STYLE) & ~std::intptr_t(WS_TABSTOP));
    tabs.takeCtrlKeys = 0;
    EXPECT_FALSE(Offer(VK_RIGHT));
    EXPECT_EQ(Active(), 1);
}

TEST_F(Tk3DTabKeysTest, PlacingTheWindowWithActivationFocusesTheActivePage) {
    SetFocus(before);
    SetWindowPos(tabs.m_hWnd, 0, 0, 0, 400, 250, SWP_NOZORDER | SWP_NOMOVE);
    OffscreenHarness::RunUntilIdle();
    const HWND focus = GetFocus();
    EXPECT_TRUE(focus == pages[0]->m_hWnd || IsChild(pages[0]->m_hWnd, focus));
}

} // namespace
} // namespace vq
