#include "TreeFixture.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using TkTreeReshapeTest = TreeFixture;

int CompareData(LPARAM first, LPARAM second, LPARAM) {
    return int(first) - int(second);
}

TEST_F(TkTreeReshapeTest, SortingRewritesTheRowsAndKeepsEqualsAndTheFocus) {
    Make();
    HTREEITEM parentItem = Add("parent");
    HTREEITEM first = Add("b", parentItem);
    tree.SetItemData(first, 3);
    HTREEITEM c = Add("c", parentItem);
    tree.SetItemData(c, 1);
    HTREEITEM second = Add("B", parentItem);
    tree.SetItemData(second, 2);
    Add("a", parentItem);
    tree.Expand(parentItem, TVE_EXPAND);
    tree.SelectItem(c);
    ASSERT_TRUE(tree.SortChildren(parentItem, FALSE, TRUE));
    EXPECT_EQ(Rows(), "parent a b B c ");
    EXPECT_EQ(tree.GetNextSiblingItem(first), second);
    EXPECT_EQ(tree.GetCaretItem(), c);
    EXPECT_TRUE(tree.IsItemSelected(c));
    ASSERT_TRUE(tree.SortChildren(parentItem, FALSE, FALSE));
    EXPECT_EQ(Rows(), "parent c b B a ");

    TVSORTCB sort;
    sort.hParent = parentItem;
    sort.lpfnCompare = CompareData;
    ASSERT_TRUE(tree.SortChildrenCB(&sort, FALSE, TRUE));
    EXPECT_EQ(Rows(), "parent a c B b ");
    EXPECT_EQ(Rows(), Shown());
}

TEST_F(TkTreeReshapeTest, MovingTakesTheSubtreeAndRefusesItsOwnDescendants) {
    Make();
    HTREEITEM a = Add("a");
    HTREEITEM a1 = Add("a1", a);
    Add("a1x", a1);
    HTREEITEM b = Add("b");
    Add("b1", b);
    tree.ExpandAll(TVI_ROOT, TRUE);
    ASSERT_EQ(Rows(), "a a1 a1x b b1 ");
    EXPECT_FALSE(tree.MoveItem(a, a1, TRUE, TVI_LAST));
    EXPECT_FALSE(tree.MoveItem(a, a, TRUE, TVI_LAST));
    EXPECT_FALSE(tree.MoveItem(a1, b, TRUE, a));
    EXPECT_EQ(Rows(), "a a1 a1x b b1 ");

    ASSERT_TRUE(tree.MoveItem(a1, b, TRUE, TVI_FIRST));
    EXPECT_EQ(tree.GetParentItem(a1), b);
    EXPECT_TRUE(tree.IsExpanded(a1));
    EXPECT_EQ(Rows(), Shown());
    EXPECT_EQ(Rows(), "a b a1 a1x b1 ");
    EXPECT_EQ(tree.GetCount(), 5);
}

TEST_F(TkTreeReshapeTest, TreeStylesSetTheListStylesUnderneath) {
    Make();
    EXPECT_TRUE(tree.HasListStyle(LVS_SINGLESEL | LVS_NOLABELWRAP | LVS_NOCOLUMNHEADER));
    tree.SetTreeExStyle(TreeExColumnHeader, FALSE);
    EXPECT_FALSE(tree.HasListStyle(LVS_NOCOLUMNHEADER));
    EXPECT_TRUE(tree.HasListStyle(LVS_NOSORTHEADER));
    DWORD before = 0, after = 0, exBefore = 0, exAfter = 0;
    tree.SetTreeExStyle(0, FALSE);
    tree.GetListStyles(&before, &exBefore);
    tree.SetTreeExStyle(TreeExHeaderButtons, FALSE);
    tree.GetListStyles(&after, &exAfter);
    EXPECT_EQ(after, before);
    EXPECT_EQ(exAfter, exBefore);
    tree.SetTreeExStyle(TreeExColumnHeader | TreeExHeaderButtons | TreeExHeaderStyle | TreeExMultiSelect,
                        FALSE);
    EXPECT_FALSE(tree.HasListStyle(LVS_NOSORTHEADER));
    EXPECT_FALSE(tree.HasListStyle(LVS_SINGLESEL));
    EXPECT_TRUE(tree.HasListExStyle(0x10));
    tree.SetWrapLabels(TRUE);
    EXPECT_EQ(tree.GetTreeExStyle() & TreeExLabelWrap, TreeExLabelWrap);
    tree.SetTreeStyle(TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_EDITLABELS, FALSE);
    EXPECT_TRUE(tree.HasListStyle(LVS_SHOWSELALWAYS | LVS_EDITLABELS));
    EXPECT_EQ(tree.GetTreeStyle(), TVS_HASBUTTONS | TVS_SHOWSELALWAYS | TVS_EDITLABELS);
}

TEST_F(TkTreeReshapeTest, MarkedItemsHideWithTheirSubtreesAndComeBack) {
    Make();
    HTREEITEM a = Add("a");
    HTREEITEM a1 = Add("a1", a);
    Add("b");
    tree.Expand(a, TVE_EXPAND);
    tree.SetHideMarked(TRUE);
    ASSERT_TRUE(tree.SetItemMarked(a, TRUE));
    EXPECT_TRUE(tree.IsItemMarked(a1));
    EXPECT_TRUE(tree.IsItemHidden(a1));
    EXPECT_EQ(Rows(), "b ");
    EXPECT_EQ(tree.GetFirstMarkedItem(), a);
    EXPECT_EQ(tree.GetNextMarkedItem(a), nullptr);
    EXPECT_EQ(tree.GetNextHiddenItem(tree.GetFirstHiddenItem()), a1);
    tree.SetHideMarked(FALSE);
    EXPECT_EQ(Rows(), "a a1 b ");
    ASSERT_TRUE(tree.SetItemHidden(a1, TRUE));
    EXPECT_EQ(Rows(), "a b ");
    ASSERT_TRUE(tree.ShowAllHidden());
    EXPECT_EQ(Rows(), "a a1 b ");
}

TEST_F(TkTreeReshapeTest, MarkAllReachesItemsScrolledAboveTheTopRow) {
    Make();
    for (int i = 0; i < 40; ++i)
        Add(("item " + std::to_string(i)).c_str());
    tree.UpdateLayout();
    ASSERT_TRUE(tree.SetTopIndex(20));
    ASSERT_EQ(tree.GetFirstVisibleItem(), tree.NodeOfRow(20));
    tree.MarkAll(TRUE);
    EXPECT_EQ(tree.GetFirstMarkedItem(), tree.GetRootItem(nullptr));
    int marked = 0;
    for (HTREEITEM m = tree.GetFirstMarkedItem(); m; m = tree.GetNextMarkedItem(m))
        ++marked;
    EXPECT_EQ(marked, 40);
}

TEST_F(TkTreeReshapeTest, AHiddenLevelShowsGrandchildrenAndKeepsEveryNode) {
    Make();
    HTREEITEM a = Add("A");
    Add("a1", a);
    Add("B");
    HTREEITEM c = Add("C");
    Add("c1", c);
    ASSERT_EQ(tree.GetCount(), 5);
    ASSERT_TRUE(tree.SetHiddenLevel(1));
    EXPECT_EQ(Rows(), "a1 c1 ");
    EXPECT_EQ(tree.GetCount(), 2);
    ASSERT_TRUE(tree.SetHiddenLevel(0));
    EXPECT_EQ(Rows(), "A B C ");
    EXPECT_EQ(tree.GetCount(), 5);
}

TEST_F(TkTreeReshapeTest, StoredTextsFollowAMovedColumnEvenWhileCollapsed) {
    Make();
    tree.AddColumn("Size", LVCFMT_LEFT, 60, -1, -1);
    tree.AddColumn("Kind", LVCFMT_LEFT, 60, -1, -1);
    tree.EnableSubItemStorage(TRUE);
    HTREEITEM host = Add("host");
    HTREEITEM child = Add("port", host);
    ASSERT_TRUE(tree.SetItemText(child, 1, "80"));
    ASSERT_TRUE(tree.SetItemText(child, 2, "tcp"));
    ASSERT_TRUE(tree.SetItemText(host, 1, "2"));
    ASSERT_TRUE(tree.MoveColumn(2, 1, TRUE));
    EXPECT_EQ(tree.GetColumnHeading(1), "Kind");
    tree.Expand(host, TVE_EXPAND);
    EXPECT_EQ(tree.GetItemText(child, 1), "tcp");
    EXPECT_EQ(tree.GetItemText(child, 2), "80");
    EXPECT_EQ(tree.GetItemText(host, 2), "2");
    // The rows show the same through the list.
    EXPECT_EQ(tree.TkListBaseC::GetItemText(tree.RowOfNode(child), 1), "tcp");
}

} // namespace
} // namespace vq
