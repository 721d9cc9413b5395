#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/StandardControls.h"
#include "tests/support/TestPaths.h"

#include <QListWidget>
#include <QTest>

namespace vq::test {
namespace {

class ListBoxTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
        list = MakeList(LBS_NOTIFY);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    HWND MakeList(DWORD style) {
        const HWND l = Make("ListBox", WS_CHILD | WS_VISIBLE | style, {10, 10, 150, 190}, top, 0, 4);
        for (const char* text : {"alpha", "beta", "gamma", "delta"})
            SendMessage(l, LB_ADDSTRING, 0, LPARAM(text));
        return l;
    }

    std::vector<UINT> Notes(HWND l) const {
        std::vector<UINT> out;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_COMMAND && HWND(s.lParam) == l)
                out.push_back(HIWORD(s.wParam));
        return out;
    }

    // The middle of an item in screen coordinates.
    POINT ItemPoint(HWND l, int index) const {
        RECT r;
        SendMessage(l, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(l, &p);
        return p;
    }

    // Each click apart from the last, so none is a double-click.
    void Click(HWND l, int index) {
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(ItemPoint(l, index));
        OffscreenHarness::MouseRelease(ItemPoint(l, index));
        OffscreenHarness::RunUntilIdle();
    }

    HWND top = 0;
    HWND list = 0;
};

TEST_F(ListBoxTest, OnlyTheUsersChangesAreReported) {
    EXPECT_EQ(SendMessage(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Notes(list).empty());

    Click(list, 2);
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(Notes(list), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE}));

    // A click on the chosen item changes nothing; the arrow keys choose the next one.
    seen.clear();
    Click(list, 2);
    OffscreenHarness::Key(Qt::Key_Down, Qt::NoModifier, "", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(Notes(list), std::vector<UINT>{LBN_SELCHANGE});

    seen.clear();
    OffscreenHarness::MousePress(ItemPoint(list, 3));
    OffscreenHarness::MouseRelease(ItemPoint(list, 3));
    OffscreenHarness::MousePress(ItemPoint(list, 3));
    OffscreenHarness::MouseRelease(ItemPoint(list, 3));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Notes(list), std::vector<UINT>{LBN_DBLCLK});

    // Without LBS_NOTIFY the parent hears nothing.
    const HWND quiet = MakeList(0);
    SetWindowPos(quiet, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    seen.clear();
    Click(quiet, 1);
    EXPECT_EQ(SendMessage(quiet, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Notes(quiet).empty());
}

// The list's viewport is a part of the Qt widget; what the user gives it goes through the window
// system all the same, so Qt never changes the selection behind the control's back.
TEST_F(ListBoxTest, PressesOnTheQtListsOwnPartsAreTheControlsInput) {
    auto* widget = static_cast<QListWidget*>(QtControlOf(list));
    RECT r;
    SendMessage(list, LB_GETITEMRECT, 1, LPARAM(&r));
    const QPoint at =
        widget->viewport()->mapFrom(widget, QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, at);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(Notes(list), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE}));
}

TEST_F(ListBoxTest, StringsDataAndSearches) {
    char text[16];
    EXPECT_EQ(SendMessage(list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessage(list, LB_INSERTSTRING, 1, LPARAM("b°")), 1);
    EXPECT_EQ(SendMessage(list, LB_GETTEXTLEN, 1, 0), 3);
    EXPECT_EQ(SendMessage(list, LB_GETTEXT, 1, LPARAM(text)), 3);
    EXPECT_STREQ(text, "b°");
    EXPECT_EQ(SendMessage(list, LB_SETITEMDATA, 2, 42), TRUE);
    EXPECT_EQ(SendMessage(list, LB_GETITEMDATA, 2, 0), 42);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, WPARAM(-1), LPARAM("B")), 1);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRING, 1, LPARAM("B")), 2);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("BETA")), 2);
    EXPECT_EQ(SendMessage(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("bet")), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 9, 0), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_GETTEXT, 9, LPARAM(text)), LB_ERR);
    EXPECT_EQ(SendMessage(list, LB_DELETESTRING, 0, 0), 4);

    const HWND sorted = MakeList(LBS_SORT);
    char first[16];
    SendMessage(sorted, LB_GETTEXT, 0, LPARAM(first));
    EXPECT_STREQ(first, "alpha");
    SendMessage(sorted, LB_GETTEXT, 1, LPARAM(first));
    EXPECT_STREQ(first, "beta");
    SendMessage(sorted, LB_GETTEXT, 2, LPARAM(first));
    EXPECT_STREQ(first, "delta");
    // Only adding sorts: an insertion takes the place it is given, even in a sorted list.
    EXPECT_EQ(SendMessage(sorted, LB_INSERTSTRING, 0, LPARAM("zulu")), 0);
    EXPECT_EQ(SendMessage(sorted, LB_INSERTSTRING, WPARAM(-1), LPARAM("able")), 5);
    EXPECT_EQ(SendMessage(sorted, LB_INSERTSTRING, 7, LPARAM("past the end")), LB_ERR);
    const char* const order[] = {"zulu", "alpha", "beta", "delta", "gamma", "able"};
    for (int i = 0; i < 6; ++i) {
        SendMessage(sorted, LB_GETTEXT, WPARAM(i), LPARAM(first));
        EXPECT_STREQ(first, order[i]) << i;
    }
}

TEST_F(ListBoxTest, MultipleSelectionTogglesWithEachClick) {
    const HWND multi = MakeList(LBS_NOTIFY | LBS_MULTIPLESEL);
    SetWindowPos(multi, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(SendMessage(multi, LB_SETCURSEL, 1, 0), LB_ERR);
    SendMessage(multi, LB_SETSEL, TRUE, 3);
    seen.clear();
    Click(multi, 0);
    Click(multi, 2);
    Click(multi, 0);
    EXPECT_EQ(SendMessage(multi, LB_GETSELCOUNT, 0, 0), 2);
    EXPECT_TRUE(SendMessage(multi, LB_GETSEL, 2, 0));
    EXPECT_TRUE(SendMessage(multi, LB_GETSEL, 3, 0));
    EXPECT_FALSE(SendMessage(multi, LB_GETSEL, 0, 0));
    EXPECT_EQ(Notes(multi), (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE}));
}

// The parent draws each item in a colour of its own, red while selected, and sizes them by number.
class OwnerDrawnListTest : public ListBoxTest {
protected:
    static COLORREF ColourOf(std::uintptr_t data) { return RGB(0, 40 * (data % 5), 200); }

    void SetUp() override {
        ListBoxTest::SetUp();
        hook = [this](HWND h, UINT m, WPARAM, LPARAM l, LRESULT& result) {
            if (h != top) return false;
            if (m == WM_MEASUREITEM) {
                auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
                measured.push_back(*mis);
                mis->itemHeight = 12 + 4 * mis->itemID;
                result = TRUE;
                return true;
            }
            if (m != WM_DRAWITEM) return false;
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            drawn.push_back(*dis);
            HBRUSH fill =
                CreateSolidBrush((dis->itemState & ODS_SELECTED) ? RGB(255, 0, 0) : ColourOf(dis->itemData));
            FillRect(dis->hDC, &dis->rcItem, fill);
            DeleteObject(fill);
            result = TRUE;
            return true;
        };
    }

    HWND MakeOwnerDrawn(DWORD style) {
        const HWND l = Make("ListBox", WS_CHILD | WS_VISIBLE | style, {10, 10, 150, 190}, top, 0, 7);
        for (LPARAM data : {1, 2, 3}) {
            if (style & LBS_HASSTRINGS) {
                const int at = int(SendMessage(l, LB_ADDSTRING, 0, LPARAM("item")));
                SendMessage(l, LB_SETITEMDATA, WPARAM(at), data);
            } else {
                SendMessage(l, LB_ADDSTRING, 0, data);
            }
        }
        SetWindowPos(l, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        OffscreenHarness::RunUntilIdle();
        return l;
    }

    COLORREF ItemPixel(HWND l, int index) {
        RECT r;
        SendMessage(l, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
        return OffscreenHarness::Pixel(l, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
};

TEST_F(OwnerDrawnListTest, FixedItemsAreMeasuredOnceAndDrawnByTheParent) {
    const HWND l = MakeOwnerDrawn(LBS_OWNERDRAWFIXED | LBS_NOTIFY);
    ASSERT_EQ(measured.size(), 1u);
    EXPECT_EQ(measured[0].CtlType, ODT_LISTBOX);
    EXPECT_EQ(measured[0].CtlID, 7u);
    EXPECT_EQ(SendMessage(l, LB_GETITEMHEIGHT, 0, 0), 12);
    RECT r;
    SendMessage(l, LB_GETITEMRECT, 2, LPARAM(&r));
    EXPECT_EQ(r.Height(), 12);
    EXPECT_EQ(SendMessage(l, LB_GETITEMDATA, 1, 0), 2) << "without strings an item is its data";

    EXPECT_EQ(ItemPixel(l, 0), ColourOf(1));
    EXPECT_EQ(ItemPixel(l, 2), ColourOf(3));
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().CtlType, ODT_LISTBOX);
    EXPECT_EQ(drawn.back().hwndItem, l);

    Click(l, 1);
    EXPECT_EQ(ItemPixel(l, 1), RGB(255, 0, 0));
    EXPECT_EQ(ItemPixel(l, 0), ColourOf(1));
    bool sawFocus = false;
    for (const auto& d : drawn)
        sawFocus = sawFocus || (d.itemID == 1 &&
                                (d.itemState & (ODS_SELECTED | ODS_FOCUS)) == (ODS_SELECTED | ODS_FOCUS));
    EXPECT_TRUE(sawFocus);

    EXPECT_EQ(SendMessage(l, LB_SETITEMHEIGHT, 0, 20), 0);
    SendMessage(l, LB_GETITEMRECT, 2, LPARAM(&r));
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(SendMessage(l, LB_SETITEMHEIGHT, 0, 0), LB_ERR);
}

TEST_F(OwnerDrawnListTest, VariableItemsAreMeasuredOneByOne) {
    const HWND l = MakeOwnerDrawn(LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS);
    ASSERT_EQ(measured.size(), 3u);
    RECT rects[3];
    for (int i = 0; i < 3; ++i) {
        SendMessage(l, LB_GETITEMRECT, WPARAM(i), LPARAM(&rects[i]));
        EXPECT_EQ(rects[i].Height(), 12 + 4 * i) << i;
        EXPECT_EQ(SendMessage(l, LB_GETITEMHEIGHT, WPARAM(i), 0), 12 + 4 * i);
    }
    EXPECT_EQ(rects[2].top, rects[1].bottom);
    // With strings the parent gets the item data it set, not the text.
    SendMessage(l, LB_SETITEMDATA, 2, 4);
    InvalidateRect(l, nullptr, TRUE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(ItemPixel(l, 2), ColourOf(4));
    OffscreenHarness::SaveScreenshot(top, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/list-owner-drawn.png");
}

} // namespace
} // namespace vq::test
