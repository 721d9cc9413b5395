#include "ListSpy.h"
#include "platform/gui/OffscreenHarness.h"
#include "toolkit/lists/TkListCtrl.h"

#include <gtest/gtest.h>
#include <string>

namespace vq {
namespace {

// Keeps what the list reports as not stored.
class RecordingList : public TkListCtrl {
public:
    std::vector<UINT> setDispInfoMasks;
    void NotifySetDispInfo(const LV_ITEM& parts) override { setDispInfoMasks.push_back(parts.mask); }
};

class TkListModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 200}, nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 300, 200}, &parent, 7));
    }
    void TearDown() override {
        list.DestroyWindow();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }

    void Fill(int count) {
        for (int i = 0; i < count; ++i)
            list.InsertItem(i, ("item " + std::to_string(i)).c_str());
    }
    std::string Text(int item, int subItem = 0) { return list.GetItemText(item, subItem); }
    std::vector<int> Selected() {
        std::vector<int> out;
        for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = list.GetNextItem(i, LVNI_SELECTED))
            out.push_back(i);
        return out;
    }

    ListSpy parent;
    RecordingList list;
};

TEST_F(TkListModelTest, ListStyleBitsNeverReachTheWindow) {
    TkListCtrl other;
    ASSERT_TRUE(other.Create(WS_CHILD | LVS_REPORT | LVS_NOSORTHEADER | LVS_EDITLABELS,
                             WS_EX_CLIENTEDGE | LVXS_HGRIDLINES | LVXS_FULLROWSELECT, RECT{0, 0, 50, 50},
                             &parent, 8));
    EXPECT_EQ(other.GetStyle() & TkListBaseC::ListStyleBits, 0u);
    EXPECT_EQ(DWORD(GetWindowLongPtr(other.m_hWnd, GWL_EXSTYLE)) & TkListBaseC::ListExStyleBits, 0u);
    EXPECT_EQ(other.GetListStyle(), LVS_REPORT | LVS_NOSORTHEADER | LVS_EDITLABELS);
    EXPECT_EQ(other.GetListExStyle(), LVXS_HGRIDLINES | LVXS_FULLROWSELECT);
    EXPECT_EQ(other.GetColumnCount(), 0);
    other.DestroyWindow();
}

TEST_F(TkListModelTest, AnIconListGetsOneHiddenLabelColumn) {
    TkListCtrl icons;
    ASSERT_TRUE(icons.Create(WS_CHILD | LVS_ICON, RECT{0, 0, 50, 50}, &parent, 8));
    EXPECT_TRUE(icons.HasListStyle(LVS_NOCOLUMNHEADER));
    ASSERT_EQ(icons.GetColumnCount(), 1);
    // Made 20 wide, then fitted to the item area as the only column.
    EXPECT_EQ(icons.GetColumnWidth(0), 50);
    EXPECT_EQ(icons.GetColumnSubItem(0), 0);
    icons.DestroyWindow();
}

TEST_F(TkListModelTest, InsertingFocusesTheFirstItemAndClampsTheIndex) {
    EXPECT_EQ(list.InsertItem(0, "b"), 0);
    EXPECT_EQ(list.GetFocusItem(), 0);
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(list.InsertItem(99, "c"), 1);
    EXPECT_EQ(list.InsertItem(-4, "a"), 0);
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(Text(0) + Text(1) + Text(2), "abc");
    // Focus and selection moved with "b".
    EXPECT_EQ(list.GetFocusItem(), 1);
    EXPECT_EQ(Selected(), std::vector<int>{1});

    list.DeleteAllItems();
    EXPECT_EQ(list.GetFocusItem(), -1);
    list.InsertItem(0, "again");
    EXPECT_EQ(list.GetFocusItem(), 0);
    EXPECT_EQ(list.GetSelectedCount(), 1);
}

TEST_F(TkListModelTest, InsertBeforeAndAfterAnAnchorRecord) {
    Fill(3);
    LV_ITEM record;
    record.mask = LVIF_TEXT;
    record.pszText = const_cast<char*>("x");
    record.iItem = 2;
    EXPECT_EQ(list.InsertItemBefore(list.GetItemRecord(0), &record), 0);
    record.pszText = const_cast<char*>("y");
    EXPECT_EQ(list.InsertItemAfter(list.GetItemRecord(3), &record), 4);
    EXPECT_EQ(Text(0), "x");
    EXPECT_EQ(Text(4), "y");
}

TEST_F(TkListModelTest, DeletingTheFocusedItemMovesTheFocusToAStillExistingItem) {
    struct Case {
        int focus;
        int expected;
    };
    for (const Case& c : {Case{2, 2}, Case{4, 3}, Case{0, 0}}) {
        SCOPED_TRACE(c.focus);
        list.DeleteAllItems();
        Fill(5);
        list.DeselectAllExcept(-1);
        list.SetFocusItem(c.focus);
        ASSERT_TRUE(list.DeleteItems(c.focus, 1));
        EXPECT_EQ(list.GetFocusItem(), c.expected);
        // The selection became empty, so the focus item is selected.
        EXPECT_EQ(Selected(), std::vector<int>{c.expected});
    }
}

TEST_F(TkListModelTest, DeleteItemsClampsTheCountAndNotifiesOnce) {
    Fill(5);
    list.SelectItem(4, TRUE);
    list.SetDropHighlight(4);
    parent.notes.clear();
    EXPECT_TRUE(list.DeleteItems(3, 10));
    EXPECT_EQ(list.GetItemCount(), 3);
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].code, LVN_DELETEITEM);
    EXPECT_EQ(parent.notes[0].item, 3);
    EXPECT_EQ(list.GetDropHighlight(), 2);
    EXPECT_EQ(Selected(), std::vector<int>{0});

    parent.notes.clear();
    EXPECT_FALSE(list.DeleteItems(3, 1));
    EXPECT_FALSE(list.DeleteItems(1, 0));
    EXPECT_TRUE(parent.notes.empty());
    EXPECT_EQ(list.GetItemCount(), 3);
}

TEST_F(TkListModelTest, AnOwnerEmptyingTheListWhileBeingToldOfADeletionIsSafe) {
    Fill(5);
    parent.answer = [&](NMHDR* header) -> LRESULT {
        if (header->code == LVN_DELETEITEM) list.DeleteAllItems();
        return 0;
    };
    EXPECT_FALSE(list.DeleteItems(2, 2));
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetFocusItem(), -1);
}

TEST_F(TkListModelTest, SelectingTwiceKeepsOneEntry) {
    Fill(4);
    list.SelectItem(2, TRUE);
    list.SelectItem(2, TRUE);
    EXPECT_EQ(list.GetSelectedCount(), 2);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 2}));
    // Focus, selection and drop highlight live in the list, never in the item's state word.
    list.SetItemState(3, LVIS_CUT | LVIS_SELECTED, LVIS_CUT | LVIS_SELECTED);
    EXPECT_EQ(list.GetItemRecord(3)->state, LVIS_CUT);
    EXPECT_EQ(list.GetItemState(3, 0xF), LVIS_CUT | LVIS_SELECTED);
}

TEST_F(TkListModelTest, SingleSelectionKeepsOneItem) {
    Fill(4);
    list.SelectRange(0, 3, TRUE);
    EXPECT_EQ(list.GetSelectedCount(), 4);
    list.SetMultiSelect(FALSE);
    EXPECT_EQ(list.GetSelectedCount(), 0);
    list.SelectItem(1, TRUE);
    list.SelectItem(3, TRUE);
    EXPECT_EQ(Selected(), std::vector<int>{3});
}

TEST_F(TkListModelTest, GetNextItemWalksByStateAndDirection) {
    Fill(5);
    list.DeselectAllExcept(-1);
    list.SelectItem(1, TRUE);
    list.SelectItem(3, TRUE);
    struct Case {
        int start;
        UINT flags;
        int expected;
    };
    for (const Case& c :
         {Case{-1, LVNI_BELOW | LVIS_SELECTED, 1}, Case{1, LVNI_SELECTED, 3}, Case{3, LVNI_SELECTED, -1},
          Case{4, LVNI_ABOVE | LVNI_SELECTED, 3}, Case{0, LVNI_ABOVE, -1}, Case{-1, LVNI_ALL, 0},
          Case{4, LVNI_BELOW, -1}, Case{2, LVNI_TOLEFT, 1}, Case{2, LVNI_ABOVE | LVNI_BELOW, -1},
          Case{-1, LVNI_FOCUSED, 0}}) {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.flags);
        EXPECT_EQ(list.GetNextItem(c.start, c.flags), c.expected);
    }
}

TEST_F(TkListModelTest, CallbackTextsAreAskedOfTheOwner) {
    list.InsertItem(0, LPSTR_TEXTCALLBACK);
    list.SetItemData(0, 77);
    LPARAM seenData = 0;
    parent.answer = [&](NMHDR* header) -> LRESULT {
        if (header->code != LVN_GETDISPINFO) return 0;
        auto* info = reinterpret_cast<LV_DISPINFO*>(header);
        seenData = info->item.lParam;
        info->item.pszText = const_cast<char*>("from owner");
        return 0;
    };
    char buffer[32] = "unchanged";
    LV_ITEM record;
    record.mask = LVIF_TEXT;
    record.pszText = buffer;
    record.cchTextMax = sizeof buffer;
    ASSERT_TRUE(list.GetItem(&record, TRUE, FALSE));
    EXPECT_EQ(record.pszText, LPSTR_TEXTCALLBACK);
    EXPECT_TRUE(parent.notes.empty());

    EXPECT_EQ(Text(0), "from owner");
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].mask, LVIF_TEXT);
    EXPECT_EQ(seenData, 77);

    // A real text over the marker is not stored unless the owner says so.
    list.setDispInfoMasks.clear();
    list.SetItemText(0, 0, "typed");
    EXPECT_EQ(list.setDispInfoMasks, std::vector<UINT>{LVIF_TEXT});
    EXPECT_TRUE(list.IsCallbackItem(0));
    ASSERT_TRUE(list.SetItem(0, 0, LVIF_TEXT | LVIF_DI_SETITEM, "kept", 0, 0, 0, 0));
    parent.answer = nullptr;
    EXPECT_EQ(Text(0), "kept");
}

TEST_F(TkListModelTest, SubItemsOutsideTheSlotsAreRefused) {
    list.AddColumn("Name", LVCFMT_LEFT, 80, -1, -1);
    list.AddColumn("Size", LVCFMT_RIGHT, 60, -1, -1);
    list.AddColumn("Kind", LVCFMT_LEFT, 60, -1, -1);
    ASSERT_EQ(list.GetSubItemCount(), 2);
    Fill(1);
    EXPECT_FALSE(list.SetItemText(0, 7, "x"));
    EXPECT_FALSE(list.SetItemText(0, -1, "x"));
    char buffer[8];
    EXPECT_EQ(list.GetItemText(0, 7, buffer, sizeof buffer), 0);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_TRUE(list.SetItemText(0, 2, "kind"));
    EXPECT_EQ(Text(0, 2), "kind");
}

TEST_F(TkListModelTest, CopiesAreAlwaysTerminatedWithinTheBuffer) {
    list.InsertItem(0, "0123456789abcdef");
    char buffer[10];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(list.GetItemText(0, 0, buffer, sizeof buffer), 9);
    EXPECT_EQ(std::string(buffer), "012345678");

    list.AddColumn("A long heading", LVCFMT_LEFT, 50, 0, -1);
    LV_COLUMN column;
    column.mask = LVCF_TEXT;
    column.pszText = buffer;
    column.cchTextMax = 5;
    ASSERT_TRUE(list.GetColumn(0, &column));
    EXPECT_EQ(std::string(buffer), "A lo");
}

// ---- columns

class TkListColumnsTest : public TkListModelTest {
protected:
    void SetUp() override {
        TkListModelTest::SetUp();
        list.AddColumn("A", LVCFMT_LEFT, 100, -1, -1);
        list.AddColumn("B", LVCFMT_LEFT, 50, -1, -1);
        list.AddColumn("C", LVCFMT_LEFT, 40, -1, -1);
        for (int i = 0; i < 2; ++i) {
            const std::string n = std::to_string(i);
            list.InsertItem(i, ("a" + n).c_str());
            list.SetItemText(i, 1, ("b" + n).c_str());
            list.SetItemText(i, 2, ("c" + n).c_str());
        }
    }
    // The text item 0 shows under each heading, in column order.
    std::string Row(int item = 0) {
        std::string row;
        for (int c = 0; c < list.GetColumnCount(); ++c)
            row += list.GetColumnHeading(c) + "=" + Text(item, list.GetColumnSubItem(c)) + " ";
        return row;
    }
};

TEST_F(TkListColumnsTest, AddingColumnsAddsSlotsAndDefaultsTheWidth) {
    EXPECT_EQ(list.GetColumnSubItem(0), 0);
    EXPECT_EQ(list.GetSubItemCount(), 2);
    list.AddColumn("D", LVCFMT_LEFT, -1, -1, -1);
    EXPECT_EQ(list.GetColumnSubItem(3), 3);
    EXPECT_EQ(list.GetColumnWidth(3), 10);
    EXPECT_EQ(list.GetItemRecord(1)->subItems.size(), 3u);
    EXPECT_EQ(list.GetColumnLeft(2), 150);
    EXPECT_EQ(list.GetColumnRight(2), 190);
}

TEST_F(TkListColumnsTest, TheLabelColumnNeverMovesNorGoes) {
    EXPECT_FALSE(list.InsertColumn(0, "Z", LVCFMT_LEFT, 10, -1, -1, TRUE));
    EXPECT_FALSE(list.DeleteColumn(0));
    EXPECT_FALSE(list.MoveColumn(0, 2, TRUE));
    EXPECT_FALSE(list.MoveColumn(2, 0, TRUE));
    EXPECT_EQ(Row(), "A=a0 B=b0 C=c0 ");
}

TEST_F(TkListColumnsTest, AMiddleColumnGetsItsOwnSlotAndOthersKeepTheirTexts) {
    ASSERT_TRUE(list.InsertColumn(1, "X", LVCFMT_LEFT, 30, 1, -1, TRUE));
    EXPECT_EQ(list.GetColumnSubItem(1), 3);
    list.SetItemText(0, 3, "x0");
    EXPECT_EQ(Row(), "A=a0 X=x0 B=b0 C=c0 ");
    EXPECT_EQ(Row(1), "A=a1 X= B=b1 C=c1 ");
}

TEST_F(TkListColumnsTest, DeletingAMiddleColumnGivesItsWidthToTheLabel) {
    ASSERT_TRUE(list.DeleteColumnByHeading("B"));
    EXPECT_EQ(list.GetColumnWidth(0), 150);
    EXPECT_EQ(list.GetColumnSubItem(1), 1);
    EXPECT_EQ(list.GetSubItemCount(), 1);
    EXPECT_EQ(Row(), "A=a0 C=c0 ");

    list.ModifyListExStyle(0, LVXS_KEEPWIDTHS, FALSE);
    ASSERT_TRUE(list.DeleteColumn(1));
    EXPECT_EQ(list.GetColumnWidth(0), 150);
    EXPECT_FALSE(list.DeleteColumnByHeading("nowhere"));
}

TEST_F(TkListColumnsTest, TextsStayUnderTheirHeadingsWhenAColumnMoves) {
    list.AddColumn("D", LVCFMT_LEFT, 40, -1, -1);
    list.SetItemText(0, 3, "d0");
    struct Case {
        int from, to;
        const char* row;
    };
    for (const Case& c : {Case{2, 1, "A=a0 C=c0 B=b0 D=d0 "}, Case{1, 3, "A=a0 B=b0 C=c0 D=d0 "},
                          Case{1, 9, "A=a0 C=c0 D=d0 B=b0 "}}) {
        SCOPED_TRACE(c.row);
        ASSERT_TRUE(list.MoveColumn(c.from, c.to, TRUE));
        EXPECT_EQ(Row(), c.row);
        for (int k = 1; k < list.GetColumnCount(); ++k)
            EXPECT_EQ(list.GetColumnSubItem(k), k);
    }
}

TEST_F(TkListColumnsTest, TheLabelColumnFillsWhatTheOthersLeave) {
    RECT area;
    list.GetItemArea(&area);
    EXPECT_EQ(area, (RECT{0, 20, 300, 200}));
    EXPECT_EQ(list.FitLabelColumn(), 300 - 90);
    EXPECT_EQ(list.GetColumnWidth(0), 210);
}

} // namespace
} // namespace vq
