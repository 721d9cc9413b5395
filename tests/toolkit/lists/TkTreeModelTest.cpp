#include "TreeFixture.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vq {
namespace {

using TkTreeModelTest = TreeFixture;

TEST_F(TkTreeModelTest, InsertionPlacesItemsAndKeepsRowsInPreOrder) {
    Make();
    HTREEITEM b = Add("b");
    Add("a", TVI_ROOT, TVI_FIRST);
    Add("d");
    tree.SetItemData(b, 1);
    HTREEITEM b2 = Add("B", TVI_ROOT, TVI_SORT);
    tree.SetItemData(b2, 2);
    Add("c", TVI_ROOT, TVI_SORT);
    EXPECT_EQ(Rows(), "a b B c d ");
    // An equal label goes after its equals.
    EXPECT_EQ(tree.GetNextSiblingItem(b), b2);

    HTREEITEM folder = Add("folder", TVI_ROOT, TVI_FIRST);
    for (const char* name : {"m", "z", "a"})
        Add(name, folder, TreeInsertSortDescending);
    EXPECT_EQ(Shown(), "folder a b B c d ");
    ASSERT_TRUE(tree.Expand(folder, TVE_EXPAND));
    EXPECT_EQ(Rows(), "folder z m a a b B c d ");
    EXPECT_EQ(Rows(), Shown());

    // After an item that is not a child of the parent: refused, and the node made goes again.
    EXPECT_EQ(Add("x", folder, b), nullptr);
    EXPECT_EQ(tree.GetCount(), 9);
    EXPECT_EQ(tree.GetParentItem(tree.GetChildItem(folder)), folder);
    EXPECT_EQ(tree.GetParentItem(folder), nullptr);
    EXPECT_EQ(tree.GetRootItem(nullptr), folder);
    int image = 0, selected = 0;
    ASSERT_TRUE(tree.GetItemImage(folder, image, selected));
    EXPECT_EQ(image, TreeItemNode::NoImage);
    EXPECT_EQ(selected, TreeItemNode::NoImage);
}

TEST_F(TkTreeModelTest, DeletingAnnouncesEveryItemAndTheRootComesBackEmpty) {
    Make();
    HTREEITEM a = Add("a");
    HTREEITEM a1 = Add("a1", a);
    Add("a1x", a1);
    Add("a2", a);
    Add("b");
    tree.Expand(a, TVE_EXPAND);
    tree.Expand(a1, TVE_EXPAND);
    ASSERT_EQ(Rows(), "a a1 a1x a2 b ");
    tree.EnableSubItemStorage(TRUE);
    tree.AddColumn("Size", LVCFMT_LEFT, 60, -1, -1);
    ASSERT_TRUE(tree.SetItemText(a1, 1, "10"));

    parent.notes.clear();
    EXPECT_FALSE(tree.DeleteItem(HTREEITEM(nullptr)));
    ASSERT_TRUE(tree.DeleteItem(a1));
    EXPECT_EQ(parent.Count(TVN_DELETEITEMA), 2);
    EXPECT_EQ(Rows(), "a a2 b ");
    EXPECT_FALSE(tree.IsValidItem(a1));
    EXPECT_TRUE(tree.IsValidItem(a));

    parent.notes.clear();
    const int count = tree.GetCount();
    ASSERT_TRUE(tree.DeleteItem(TVI_ROOT));
    EXPECT_EQ(parent.Count(TVN_DELETEITEMA), count);
    EXPECT_EQ(tree.GetItemCount(), 0);
    EXPECT_EQ(tree.GetRootItem(nullptr), nullptr);
    EXPECT_FALSE(tree.IsValidItem(a));
    Add("again");
    EXPECT_EQ(Rows(), "again ");
}

class TkTreeExpandTest : public TreeFixture {
protected:
    void SetUp() override {
        Make();
        a = Add("a");
        a1 = Add("a1", a);
        a1x = Add("a1x", a1);
        b = Add("b");
        parent.notes.clear();
    }
    HTREEITEM a = nullptr, a1 = nullptr, a1x = nullptr, b = nullptr;
};

TEST_F(TkTreeExpandTest, ExpandingAnnouncesBeforeAndAfterOnceAndVetoesHold) {
    ASSERT_TRUE(tree.Expand(a, TVE_EXPAND));
    EXPECT_EQ(parent.TreeCodes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA}));
    EXPECT_EQ(parent.notes.back().newItem, a);
    EXPECT_EQ(parent.notes.back().newState, TVIS_EXPANDED);
    EXPECT_EQ(parent.notes.back().action, TVE_EXPAND);
    EXPECT_EQ(Rows(), "a a1 b ");

    parent.notes.clear();
    EXPECT_TRUE(tree.Expand(a, TVE_EXPAND));
    EXPECT_TRUE(parent.TreeCodes().empty());

    parent.answer = [](NMHDR* header) { return header->code == TVN_ITEMEXPANDINGA ? 1 : 0; };
    EXPECT_FALSE(tree.Expand(a1, TVE_EXPAND));
    EXPECT_FALSE(tree.IsExpanded(a1));
    EXPECT_EQ(Rows(), "a a1 b ");

    parent.answer = nullptr;
    parent.notes.clear();
    ASSERT_TRUE(tree.Expand(a, TVE_TOGGLE));
    EXPECT_EQ(parent.notes.back().code, TVN_ITEMEXPANDEDA);
    EXPECT_EQ(parent.notes.back().newState, 0u);
    EXPECT_EQ(parent.notes.back().action, TVE_COLLAPSE);
    EXPECT_EQ(Rows(), "a b ");
}

TEST_F(TkTreeExpandTest, AnItemThatOnlyReportsChildrenExpandsWhenTheOwnerInsertsThem) {
    HTREEITEM lazy = Add("lazy");
    TVITEM item;
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = lazy;
    item.cChildren = 1;
    ASSERT_TRUE(tree.SetItem(&item));
    parent.notes.clear();
    EXPECT_FALSE(tree.Expand(lazy, TVE_EXPAND));
    EXPECT_EQ(parent.TreeCodes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA}));

    parent.notes.clear();
    parent.answer = [&](NMHDR* header) {
        if (header->code == TVN_ITEMEXPANDINGA) {
            tree.InsertItem("child 1", lazy);
            tree.InsertItem("child 2", lazy);
        }
        return LRESULT(0);
    };
    EXPECT_TRUE(tree.Expand(lazy, TVE_EXPAND));
    EXPECT_EQ(parent.TreeCodes(), (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA}));
    EXPECT_EQ(Rows(), "a b lazy child 1 child 2 ");
}

TEST_F(TkTreeExpandTest, CollapsingMovesTheFocusUpAndCollapseResetDropsTheChildren) {
    tree.Expand(a, TVE_EXPAND);
    tree.Expand(a1, TVE_EXPAND);
    ASSERT_TRUE(tree.SelectItem(a1x));
    ASSERT_EQ(tree.GetCaretItem(), a1x);
    parent.notes.clear();
    ASSERT_TRUE(tree.Expand(a, TVE_COLLAPSE));
    EXPECT_EQ(parent.TreeCodes(),
              (std::vector<UINT>{TVN_ITEMEXPANDINGA, TVN_SELCHANGINGA, TVN_SELCHANGEDA, TVN_ITEMEXPANDEDA}));
    EXPECT_EQ(parent.notes[1].action, TVC_BYMOUSE);
    EXPECT_EQ(parent.notes[1].oldItem, a1x);
    EXPECT_EQ(parent.notes[1].newItem, a);
    EXPECT_EQ(tree.GetCaretItem(), a);
    EXPECT_TRUE(tree.IsItemSelected(a));
    EXPECT_EQ(Rows(), "a b ");
    // The child keeps its own expansion while hidden.
    EXPECT_TRUE(tree.IsExpanded(a1));

    parent.notes.clear();
    ASSERT_TRUE(tree.Expand(a, TVE_COLLAPSERESET));
    EXPECT_EQ(parent.Count(TVN_DELETEITEMA), 2);
    EXPECT_EQ(tree.GetChildItem(a), nullptr);
    EXPECT_EQ(Rows(), "a b ");
}

TEST_F(TkTreeExpandTest, ExpandAllAndCollapseAllReachEveryLevel) {
    ASSERT_TRUE(tree.ExpandAll(TVI_ROOT, TRUE));
    EXPECT_EQ(Rows(), "a a1 a1x b ");
    ASSERT_TRUE(tree.CollapseAll(a, TRUE));
    EXPECT_FALSE(tree.IsExpanded(a1));
    EXPECT_EQ(Rows(), "a b ");
    EXPECT_TRUE(tree.EnsureShown(a1x, FALSE));
    EXPECT_EQ(Rows(), "a a1 a1x b ");
    EXPECT_EQ(tree.GetNextVisibleItem(a1), a1x);
    EXPECT_EQ(tree.GetPrevVisibleItem(a1), a);
    EXPECT_EQ(tree.GetNextItem(a1x, TVGN_PARENT), a1);
}

TEST_F(TkTreeModelTest, BulkInsertionCountsRowHeightsAndDragsFollowTheStyles) {
    Make();
    HTREEITEM a = Add("a");
    TVITEM records[3];
    const char* names[] = {"x", "y", "z"};
    for (int k = 0; k < 3; ++k) {
        records[k].mask = TVIF_TEXT | TVIF_PARAM;
        records[k].pszText = const_cast<char*>(names[k]);
        records[k].lParam = 10 + k;
    }
    EXPECT_FALSE(tree.InsertItems(records, a, 0, TRUE));
    HTREEITEM b = Add("b");
    ASSERT_TRUE(tree.InsertItems(records, a, 2, TRUE));
    EXPECT_EQ(Rows(), "a b ");
    tree.Expand(a, TVE_EXPAND);
    ASSERT_TRUE(tree.InsertItems(records, a, 3, TRUE));
    EXPECT_EQ(Rows(), "a x y x y z b ");
    ASSERT_TRUE(tree.InsertItems(records, b, 2, TRUE));
    EXPECT_EQ(tree.CountChildren(nullptr, FALSE, FALSE), 2);
    EXPECT_EQ(tree.CountChildren(nullptr, TRUE, FALSE), 9);
    EXPECT_EQ(tree.CountChildren(nullptr, TRUE, TRUE), 7);
    EXPECT_EQ(tree.GetItemData(tree.GetChildItem(b)), 10);

    tree.SetMultiSelect(TRUE);
    ASSERT_TRUE(tree.SelectChildren(a));
    EXPECT_EQ(tree.GetSelectedCount(), 6);

    RECT before{}, after{};
    ASSERT_TRUE(tree.GetItemRect(a, &before, LVIR_BOUNDS));
    EXPECT_EQ(tree.SetItemRowValue(a, 10), 0);
    tree.UpdateLayout();
    ASSERT_TRUE(tree.GetItemRect(a, &after, LVIR_BOUNDS));
    EXPECT_EQ(after.Height(), before.Height() + 10);

    const auto drag = [&] {
        tree.SelectItem(b);
        RECT label{};
        tree.GetItemRect(b, &label, LVIR_LABEL);
        const POINT from{label.left + 2, (label.top + label.bottom) / 2};
        tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        tree.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 10, from.y + 10));
        tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(from.x + 10, from.y + 10));
    };
    drag();
    ASSERT_EQ(parent.Count(TVN_BEGINDRAGA), 1);
    tree.ModifyTreeStyle(0, TVS_DISABLEDRAGDROP, FALSE);
    drag();
    EXPECT_EQ(parent.Count(TVN_BEGINDRAGA), 1);
}

TEST_F(TkTreeModelTest, SelectTakesOnlyOneAsAVetoAndAClickAnyNonZeroAnswer) {
    Make();
    HTREEITEM a = Add("a");
    HTREEITEM b = Add("b");
    HTREEITEM c = Add("c");
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    LRESULT veto = 1;
    parent.answer = [&](NMHDR* header) { return header->code == TVN_SELCHANGINGA ? veto : 0; };
    EXPECT_FALSE(tree.SelectItem(b));
    EXPECT_EQ(tree.GetCaretItem(), a);
    veto = 2;
    EXPECT_TRUE(tree.SelectItem(b));
    EXPECT_EQ(tree.GetCaretItem(), b);
    EXPECT_EQ(parent.notes.back().code, TVN_SELCHANGEDA);
    EXPECT_EQ(parent.notes.back().action, TVC_UNKNOWN);
    RECT label{};
    ASSERT_TRUE(tree.GetItemRect(c, &label, LVIR_LABEL));
    tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label.left + 2, (label.top + label.bottom) / 2));
    tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(label.left + 2, (label.top + label.bottom) / 2));
    EXPECT_EQ(tree.GetCaretItem(), b);
    veto = 0;
    tree.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label.left + 2, (label.top + label.bottom) / 2));
    tree.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(label.left + 2, (label.top + label.bottom) / 2));
    EXPECT_EQ(tree.GetCaretItem(), c);
    const auto changed = std::find_if(parent.notes.rbegin(), parent.notes.rend(),
                                      [](const TreeSpy::Note& note) { return note.code == TVN_SELCHANGEDA; });
    ASSERT_NE(changed, parent.notes.rend());
    EXPECT_EQ(changed->action, TVC_BYMOUSE);
    EXPECT_EQ(changed->newItem, c);
}

TEST_F(TkTreeModelTest, AnimatedExpansionEndsWithTheSameRows) {
    Make(TVS_HASLINES | TVS_HASBUTTONS, TreeExAnimate);
    ASSERT_EQ(tree.GetTreeExStyle() & TreeExAnimate, TreeExAnimate);
    HTREEITEM top = Add("top");
    for (int i = 0; i < 12; ++i) {
        HTREEITEM child = Add(("c" + std::to_string(i)).c_str(), top);
        if (i == 3) {
            Add("g", child);
            tree.SetItemState(child, TVIS_EXPANDED, TVIS_EXPANDED);
        }
    }
    Add("after");
    tree.SelectItem(top);
    ASSERT_TRUE(tree.Expand(top, TVE_EXPAND));
    EXPECT_EQ(Rows(), Shown());
    EXPECT_EQ(tree.GetItemCount(), 15);
    ASSERT_TRUE(tree.Expand(top, TVE_COLLAPSE));
    EXPECT_EQ(Rows(), "top after ");
    EXPECT_EQ(tree.GetCaretItem(), top);
}

} // namespace
} // namespace vq
