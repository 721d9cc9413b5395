#include "WindowFixture.h"
#include "platform/gui/StandardControls.h"
#include "tests/support/TestPaths.h"

#include <string>

namespace vq::test {
namespace {

class TabControlTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
        tabs = Make(WC_TABCONTROL, WS_CHILD | WS_VISIBLE | WS_TABSTOP | TCS_FOCUSONBUTTONDOWN,
                    {10, 10, 290, 190}, top, 0, 7);
        for (const char* text : {"General", "Adapters", "Alerts"})
            Insert(99, text, 0);
        hook = [this](HWND h, UINT m, WPARAM, LPARAM l, LRESULT& r) {
            if (h != top || m != WM_NOTIFY) return false;
            const auto* header = reinterpret_cast<const NMHDR*>(l);
            EXPECT_EQ(header->hwndFrom, tabs);
            EXPECT_EQ(header->idFrom, 7u);
            notes.push_back(header->code);
            r = header->code == TCN_SELCHANGING && refuse;
            return true;
        };
        OffscreenHarness::RunUntilIdle();
    }

    LRESULT Insert(int at, const char* text, LPARAM data) {
        TCITEM item;
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<char*>(text);
        item.lParam = data;
        return SendMessage(tabs, TCM_INSERTITEM, WPARAM(at), LPARAM(&item));
    }

    RECT ItemRect(int index) const {
        RECT r;
        EXPECT_TRUE(SendMessage(tabs, TCM_GETITEMRECT, WPARAM(index), LPARAM(&r)));
        return r;
    }

    void ClickTab(int index) {
        const RECT r = ItemRect(index);
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tabs, &p);
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(p);
        OffscreenHarness::MouseRelease(p);
        OffscreenHarness::RunUntilIdle();
    }

    LRESULT Selected() const { return SendMessage(tabs, TCM_GETCURSEL, 0, 0); }

    HWND top = 0;
    HWND tabs = 0;
    std::vector<UINT> notes;
    bool refuse = false;
};

TEST_F(TabControlTest, TabsKeepTheirPlacesTextsAndTheSelection) {
    // The first tab went in selected; one inserted before it moves the selection with its tab.
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Insert(0, "Capture", 42), 0);
    EXPECT_EQ(SendMessage(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Insert(-1, "Nowhere", 0), -1);
    // A tab may have no text. (SetUp inserted past the end: each went in last.)
    EXPECT_EQ(Insert(0, nullptr, 0), 0);
    EXPECT_TRUE(SendMessage(tabs, TCM_DELETEITEM, 0, 0));

    char text[5];
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    EXPECT_TRUE(SendMessage(tabs, TCM_GETITEM, 0, LPARAM(&item)));
    EXPECT_STREQ(text, "Capt");
    EXPECT_EQ(item.lParam, 42);
    EXPECT_FALSE(SendMessage(tabs, TCM_GETITEM, 4, LPARAM(&item)));

    // One row, left to right, each tab as wide as its text needs.
    const RECT a = ItemRect(1), b = ItemRect(2), c = ItemRect(3);
    EXPECT_EQ(a.right, b.left);
    EXPECT_EQ(b.right, c.left);
    EXPECT_EQ(a.top, c.top);
    EXPECT_GT(b.Width(), c.Width());
    RECT none;
    EXPECT_FALSE(SendMessage(tabs, TCM_GETITEMRECT, 4, LPARAM(&none)));

    // Deleting the selected tab leaves none selected; one before it moves the selection back.
    EXPECT_EQ(SendMessage(tabs, TCM_SETCURSEL, 2, 0), 1);
    EXPECT_TRUE(SendMessage(tabs, TCM_DELETEITEM, 0, 0));
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(SendMessage(tabs, TCM_DELETEITEM, 1, 0));
    EXPECT_EQ(Selected(), -1);
    EXPECT_FALSE(SendMessage(tabs, TCM_DELETEITEM, 5, 0));
    EXPECT_TRUE(notes.empty());
}

TEST_F(TabControlTest, TheUsersChoiceIsAskedForAndReportedAndTheOwnersIsNot) {
    ClickTab(2);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(GetFocus(), tabs);
    EXPECT_EQ(notes, (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));

    // The selected tab, clicked again, changes nothing.
    notes.clear();
    ClickTab(2);
    EXPECT_TRUE(notes.empty());

    // Refused: the selection stays.
    refuse = true;
    ClickTab(0);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(notes, std::vector<UINT>{TCN_SELCHANGING});
    refuse = false;

    // The arrow keys choose the neighbour, stopping at the ends.
    notes.clear();
    for (int key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}) {
        OffscreenHarness::Key(key, Qt::NoModifier, "", true);
        OffscreenHarness::Key(key, Qt::NoModifier, "", false);
    }
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(notes, (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE, TCN_SELCHANGING, TCN_SELCHANGE}));

    notes.clear();
    EXPECT_EQ(SendMessage(tabs, TCM_SETCURSEL, 1, 0), 0);
    EXPECT_EQ(SendMessage(tabs, TCM_SETCURSEL, 3, 0), -1);
    EXPECT_EQ(Selected(), 1);
    EXPECT_TRUE(notes.empty());
}

// A parent that closes the page when asked leaves no control behind to finish the change.
TEST_F(TabControlTest, AParentMayDestroyTheControlWhileAsked) {
    hook = [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (h != top || m != WM_NOTIFY) return false;
        DestroyWindow(tabs);
        r = 0;
        return true;
    };
    ClickTab(1);
    EXPECT_FALSE(IsWindow(tabs));
}

TEST_F(TabControlTest, TheDisplayAreaLiesInsideTheBodyBelowTheTabs) {
    RECT r{0, 0, 280, 180};
    SendMessage(tabs, TCM_ADJUSTRECT, FALSE, LPARAM(&r));
    EXPECT_GT(r.top, ItemRect(0).bottom);
    EXPECT_GT(r.left, 0);
    EXPECT_LT(r.right, 280);
    EXPECT_LT(r.bottom, 180);
    SendMessage(tabs, TCM_ADJUSTRECT, TRUE, LPARAM(&r));
    EXPECT_EQ(r, (RECT{0, 0, 280, 180}));
}

TEST_F(TabControlTest, TheSelectedTabStandsOutAndJoinsTheBody) {
    SendMessage(tabs, TCM_SETCURSEL, 1, 0);
    SetFocus(tabs);
    OffscreenHarness::RunUntilIdle();
    const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const RECT selected = ItemRect(1), other = ItemRect(2);
    const int selectedX = (selected.left + selected.right) / 2, otherX = (other.left + other.right) / 2;
    // Window coordinates equal client ones: the control has no frame.
    // Above the row the selected tab's highlight shows; beside it, the face.
    EXPECT_EQ(OffscreenHarness::Pixel(tabs, selectedX, selected.top - 1), light);
    EXPECT_EQ(OffscreenHarness::Pixel(tabs, otherX, other.top - 1), face);
    EXPECT_EQ(OffscreenHarness::Pixel(tabs, otherX, other.top + 1), light);
    // Below the row the body's edge runs under the other tabs, not under the selected one.
    EXPECT_EQ(OffscreenHarness::Pixel(tabs, otherX, other.bottom + 1), light);
    EXPECT_EQ(OffscreenHarness::Pixel(tabs, selectedX, selected.bottom + 1), face);
    // Text in the tabs.
    int dark = 0;
    for (int x = selected.left; x < selected.right; ++x)
        for (int y = selected.top; y < selected.bottom; ++y)
            dark += OffscreenHarness::Pixel(tabs, x, y) == RGB(0, 0, 0);
    EXPECT_GT(dark, 20);
    EXPECT_TRUE(
        OffscreenHarness::SaveScreenshot(top, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/tab-control.png"));
}

} // namespace
} // namespace vq::test
