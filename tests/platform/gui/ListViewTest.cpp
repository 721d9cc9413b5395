#include "WindowFixture.h"
#include "platform/gui/StandardControls.h"
#include "platform/gui/ToolTip.h"

#include <string>

namespace vq::test {
namespace {

class ListViewTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
        hook = [this](HWND h, UINT m, WPARAM, LPARAM l, LRESULT& r) {
            if (h != top || m != WM_NOTIFY) return false;
            const auto* note = reinterpret_cast<const NM_LISTVIEW*>(l);
            notes.push_back({note->hdr.code, note->iItem, note->uOldState, note->uNewState});
            if (onNote) onNote(*note);
            r = 0;
            return true;
        };
    }

    HWND MakeList(DWORD style) {
        const HWND list =
            Make(WC_LISTVIEW, WS_CHILD | WS_VISIBLE | LVS_REPORT | style, {0, 0, 300, 200}, top, 0, 3);
        for (const char* heading : {"Name", "Kind"})
            InsertColumn(list, 99, heading, LVCFMT_LEFT, 100);
        for (const char* text : {"alpha", "beta", "gamma", "delta"})
            Insert(list, 99, text);
        OffscreenHarness::RunUntilIdle();
        return list;
    }

    static LRESULT InsertColumn(HWND list, int at, const char* heading, int format, int width) {
        LV_COLUMN column;
        column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(heading);
        column.fmt = format;
        column.cx = width;
        return SendMessage(list, LVM_INSERTCOLUMN, WPARAM(at), LPARAM(&column));
    }

    static LRESULT Insert(HWND list, int at, const char* text, int subItem = 0) {
        LV_ITEM item;
        item.mask = LVIF_TEXT;
        item.iItem = at;
        item.iSubItem = subItem;
        item.pszText = const_cast<char*>(text);
        return SendMessage(list, LVM_INSERTITEM, 0, LPARAM(&item));
    }

    static std::string Text(HWND list, int row, int subItem = 0, int size = 64) {
        std::string out(std::size_t(size), '\0');
        LV_ITEM item;
        item.iSubItem = subItem;
        item.pszText = out.data();
        item.cchTextMax = size;
        out.resize(std::size_t(SendMessage(list, LVM_GETITEMTEXT, WPARAM(row), LPARAM(&item))));
        return out;
    }

    static void SetText(HWND list, int row, int subItem, const char* text) {
        LV_ITEM item;
        item.iSubItem = subItem;
        item.pszText = const_cast<char*>(text);
        SendMessage(list, LVM_SETITEMTEXT, WPARAM(row), LPARAM(&item));
    }

    static POINT RowPoint(HWND list, int row) {
        RECT r;
        r.left = LVIR_BOUNDS;
        SendMessage(list, LVM_GETITEMRECT, WPARAM(row), LPARAM(&r));
        POINT p{40, (r.top + r.bottom) / 2};
        ClientToScreen(list, &p);
        return p;
    }

    void Click(HWND list, int row) {
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(RowPoint(list, row));
        OffscreenHarness::MouseRelease(RowPoint(list, row));
        OffscreenHarness::RunUntilIdle();
    }

    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        OffscreenHarness::Key(key, modifiers, "", true);
        OffscreenHarness::Key(key, modifiers, "", false);
        OffscreenHarness::RunUntilIdle();
    }

    static UINT State(HWND list, int row) {
        return UINT(SendMessage(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED | LVIS_FOCUSED));
    }

    struct Note {
        UINT code;
        int item;
        UINT oldState;
        UINT newState;
        bool operator==(const Note&) const = default;
    };

    HWND top = 0;
    std::vector<Note> notes;
    std::function<void(const NM_LISTVIEW&)> onNote;
};

constexpr UINT kBoth = LVIS_SELECTED | LVIS_FOCUSED;

TEST_F(ListViewTest, SingleSelectionMovesAndKeysChooseLikeClicks) {
    const HWND list = MakeList(LVS_SINGLESEL);
    Click(list, 1);
    notes.clear();
    Click(list, 3);
    EXPECT_EQ(notes,
              (std::vector<Note>{
                  {LVN_ITEMCHANGED, 1, kBoth, 0}, {LVN_ITEMCHANGED, 3, 0, kBoth}, {NM_CLICK, 3, 0, 0}}));

    // Keys move focus and selection together, and stop at the ends.
    notes.clear();
    Press(Qt::Key_Up);
    Press(Qt::Key_Home);
    Press(Qt::Key_Up);
    EXPECT_EQ(State(list, 0), kBoth);
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(notes.size(), 4u);

    // Selecting by message keeps one selected in a single-selection list, and says nothing.
    notes.clear();
    LV_ITEM state;
    state.state = state.stateMask = LVIS_SELECTED;
    SendMessage(list, LVM_SETITEMSTATE, 2, LPARAM(&state));
    EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), 2);
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_TRUE(notes.empty());
}

TEST_F(ListViewTest, ShiftExtendsFromTheAnchorInAMultipleSelection) {
    const HWND list = MakeList(0);
    Click(list, 1);
    OffscreenHarness::Key(Qt::Key_Shift, Qt::ShiftModifier, "", true);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    OffscreenHarness::Key(Qt::Key_Shift, Qt::NoModifier, "", false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
    EXPECT_EQ(State(list, 3), kBoth);
    EXPECT_EQ(State(list, 1), LVIS_SELECTED);
    // A plain click starts again.
    Click(list, 0);
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
}

// A parent may close the list from its notification; the remaining changes go unreported.
TEST_F(ListViewTest, AParentMayDestroyTheListWhileTold) {
    const HWND list = MakeList(LVS_SINGLESEL);
    Click(list, 0);
    onNote = [&](const NM_LISTVIEW&) { DestroyWindow(list); };
    notes.clear();
    Click(list, 2);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(notes.size(), 1u);
}

TEST_F(ListViewTest, ItemsAndTextsAtTheirPlaces) {
    const HWND list = MakeList(0);
    EXPECT_EQ(Insert(list, 0, "first"), 0);
    EXPECT_EQ(Insert(list, 99, "last"), 5);
    EXPECT_EQ(Insert(list, -1, "nowhere"), -1);
    EXPECT_EQ(Insert(list, 0, "sub", 1), -1);
    EXPECT_EQ(Insert(list, 0, LPSTR_TEXTCALLBACK), 0);
    EXPECT_EQ(Text(list, 0), "");
    EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 7);
    SetText(list, 2, 1, "router");
    EXPECT_EQ(Text(list, 2, 1), "router");
    EXPECT_EQ(Text(list, 2, 1, 4), "rou");
    EXPECT_EQ(Text(list, 2, 2), "");
    EXPECT_EQ(Text(list, 9), "");

    // Next items: neighbours without states, -1 past either end or for a direction not known.
    const struct {
        int start;
        UINT flags;
        LRESULT next;
    } cases[] = {{-1, LVNI_ALL, 0},      {0, LVNI_ABOVE, -1},  {3, LVNI_ABOVE, 2},
                 {6, LVNI_BELOW, -1},    {2, LVNI_TORIGHT, 3}, {2, LVNI_ABOVE | LVNI_BELOW, -1},
                 {-1, LVNI_SELECTED, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, WPARAM(c.start), c.flags), c.next)
            << c.start << " " << c.flags;

    // Nothing has the focus until given it, and deleting the focused item leaves none.
    EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), -1);
    LV_ITEM focus;
    focus.state = focus.stateMask = LVIS_FOCUSED;
    SendMessage(list, LVM_SETITEMSTATE, 3, LPARAM(&focus));
    EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), 3);
    EXPECT_TRUE(SendMessage(list, LVM_DELETEITEM, 3, 0));
    EXPECT_EQ(SendMessage(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED), -1);
    EXPECT_TRUE(SendMessage(list, LVM_DELETEITEM, 0, 0));
    EXPECT_FALSE(SendMessage(list, LVM_DELETEITEM, 5, 0));
    EXPECT_TRUE(SendMessage(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessage(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(notes.empty());
}

TEST_F(ListViewTest, ColumnsCarryTheirTextsWhenInsertedAndDeleted) {
    const HWND list = MakeList(0);
    SetText(list, 0, 1, "kind");
    EXPECT_EQ(InsertColumn(list, 1, "Address", LVCFMT_RIGHT, 70), 1);
    EXPECT_EQ(Text(list, 0, 1), "");
    EXPECT_EQ(Text(list, 0, 2), "kind");
    char heading[16];
    LV_COLUMN column;
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.pszText = heading;
    column.cchTextMax = sizeof heading;
    EXPECT_TRUE(SendMessage(list, LVM_GETCOLUMN, 1, LPARAM(&column)));
    EXPECT_STREQ(heading, "Address");
    EXPECT_EQ(column.fmt, LVCFMT_RIGHT);
    EXPECT_EQ(column.cx, 70);
    EXPECT_FALSE(SendMessage(list, LVM_GETCOLUMN, 3, LPARAM(&column)));

    EXPECT_TRUE(SendMessage(list, LVM_DELETECOLUMN, 1, 0));
    EXPECT_EQ(Text(list, 0, 1), "kind");
    EXPECT_FALSE(SendMessage(list, LVM_DELETECOLUMN, 2, 0));

    // Sized to its widest text.
    SetText(list, 3, 1, "a rather long description of a host");
    EXPECT_TRUE(SendMessage(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE, 0)));
    EXPECT_GT(SendMessage(list, LVM_GETCOLUMNWIDTH, 1, 0), 150);
    EXPECT_FALSE(SendMessage(list, LVM_SETCOLUMNWIDTH, 5, 40));
}

TEST_F(ListViewTest, HitTestsNameTheRowColumnAndPart) {
    const HWND list = MakeList(0);
    POINT row2 = RowPoint(list, 2);
    ScreenToClient(list, &row2);
    const struct {
        POINT pt;
        LRESULT item;
        UINT flags;
        int subItem;
    } cases[] = {
        {row2, 2, LVHT_ONITEMLABEL, 0},
        {{150, row2.y}, 2, LVHT_ONITEMLABEL, 1},
        {{40, 190}, -1, LVHT_NOWHERE, 0},
        {{-5, 10}, -1, LVHT_TOLEFT, 0},
        {{310, -3}, -1, LVHT_TORIGHT | LVHT_ABOVE, 0},
        {{10, 200}, -1, LVHT_BELOW, 0},
    };
    for (const auto& c : cases) {
        LV_HITTESTINFO info;
        info.pt = c.pt;
        EXPECT_EQ(SendMessage(list, LVM_SUBITEMHITTEST, 0, LPARAM(&info)), c.item) << c.pt.x << "," << c.pt.y;
        EXPECT_EQ(info.flags, c.flags) << c.pt.x << "," << c.pt.y;
        EXPECT_EQ(info.iSubItem, c.subItem) << c.pt.x << "," << c.pt.y;
    }
}

// The widget's scroll bar is a part of the list; the wheel and a press on the bar both scroll.
TEST_F(ListViewTest, TheWheelAndTheScrollBarScroll) {
    const HWND list = MakeList(0);
    for (int k = 0; k < 60; ++k)
        Insert(list, 99, ("row " + std::to_string(k)).c_str());
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 0);
    SetFocus(list);
    OffscreenHarness::Wheel({100, 100}, -WHEEL_DELTA);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 3);

    // Low on the bar, below its thumb: a page further.
    const LRESULT perPage = SendMessage(list, LVM_GETCOUNTPERPAGE, 0, 0);
    ASSERT_GT(perPage, 3);
    clock.AdvanceMilliseconds(1000);
    OffscreenHarness::MousePress({295, 180});
    OffscreenHarness::MouseRelease({295, 180});
    OffscreenHarness::RunUntilIdle();
    EXPECT_GT(SendMessage(list, LVM_GETTOPINDEX, 0, 0), 3 + perPage / 2);
    EXPECT_EQ(GetCapture(), HWND(0));
    EXPECT_EQ(SendMessage(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_TRUE(notes.empty());
}

} // namespace
} // namespace vq::test
