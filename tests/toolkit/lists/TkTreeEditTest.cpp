#include "TreeFixture.h"
#include "platform/classlib/DataExchange.h"
#include "platform/classlib/Dialog.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/MessageBox.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vq {
namespace {

using TkTreeEditTest = TreeFixture;

TEST_F(TkTreeEditTest, TheOwnerMayRefuseDiscardOrRewriteAnEdit) {
    Make(TVS_HASLINES | TVS_EDITLABELS);
    HTREEITEM item = Add("alpha");
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(tree.GetTreeStyle() & TVS_EDITLABELS, TVS_EDITLABELS);

    parent.answer = [](NMHDR* header) { return header->code == TVN_BEGINLABELEDITA ? 1 : 0; };
    EXPECT_EQ(tree.EditLabel(item), nullptr);
    EXPECT_EQ(parent.Count(TVN_BEGINLABELEDITA), 1);

    parent.answer = nullptr;
    TkListEdit* edit = tree.EditLabel(item);
    ASSERT_NE(edit, nullptr);
    edit->SetWindowText("beta");
    tree.EndLabelEdit(TRUE);
    EXPECT_EQ(tree.GetItemText(item), "alpha");
    EXPECT_TRUE(parent.endEdits.empty());

    parent.answer = [](NMHDR* header) -> LRESULT {
        if (header->code != TVN_ENDLABELEDITA) return 0;
        auto* info = reinterpret_cast<TV_DISPINFO*>(header);
        if (!info->item.pszText || info->item.cchTextMax < 2048) return 0;
        EXPECT_STREQ(info->item.pszText, "beta");
        std::strcpy(info->item.pszText, "gamma");
        return 1;
    };
    edit = tree.EditLabel(item);
    ASSERT_NE(edit, nullptr);
    edit->SetWindowText("beta");
    tree.EndLabelEdit(TRUE);
    EXPECT_EQ(tree.GetItemText(item), "gamma");
    ASSERT_EQ(parent.endEdits.size(), 1u);
    EXPECT_EQ(parent.endEdits[0].first, WPARAM(9));
    EXPECT_EQ(parent.endEdits[0].second, reinterpret_cast<LPARAM>(item));

    // A cancelled edit hears of its end with no text and keeps the label.
    edit = tree.EditLabel(item);
    ASSERT_NE(edit, nullptr);
    tree.EndLabelEdit(FALSE);
    EXPECT_EQ(tree.GetItemText(item), "gamma");
    EXPECT_EQ(parent.endEdits.size(), 1u);
}

TEST_F(TkTreeEditTest, ASubItemEditGoesToTheStorage) {
    Make(TVS_HASLINES | TVS_EDITLABELS);
    tree.SetColumnWidth(0, 100);
    tree.AddColumn("Note", LVCFMT_LEFT, 80, -1, -1);
    tree.EnableSubItemStorage(TRUE);
    HTREEITEM item = Add("alpha");
    ASSERT_TRUE(tree.SetItemText(item, 1, "old"));
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    parent.answer = [](NMHDR* header) { return header->code == LVN_ENDLABELEDIT ? 1 : 0; };
    TkListEdit* edit = tree.EditLabel(item, 1);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(parent.Count(LVN_BEGINLABELEDIT), 1);
    EXPECT_EQ(parent.Count(TVN_BEGINLABELEDITA), 0);
    edit->SetWindowText("new");
    tree.EndLabelEdit(TRUE);
    EXPECT_EQ(tree.GetItemText(item, 1), "new");
    EXPECT_EQ(tree.GetItemText(item), "alpha");
    EXPECT_TRUE(parent.endEdits.empty());
}

class ScriptedBoxes : public MessageBoxProvider {
public:
    int shown = 0;
    int Show(HWND, const std::string&, const std::string&, UINT) override { return ++shown, IDOK; }
};

DialogTemplate ThreeFields() {
    DialogTemplate t;
    t.style = WS_POPUP | WS_VISIBLE;
    t.rect = RECT{0, 0, 300, 200};
    t.items.push_back({"Edit", "", 101, WS_VISIBLE | WS_TABSTOP, {10, 10, 110, 30}});
    t.items.push_back({"Edit", "", 102, WS_VISIBLE | WS_TABSTOP | WS_BORDER, {10, 40, 210, 140}});
    t.items.push_back({"Edit", "", 103, WS_VISIBLE | WS_TABSTOP, {10, 150, 110, 170}});
    return t;
}

TEST_F(TkTreeEditTest, ATreeTakesADialogItemsPlaceAndTabOrder) {
    CDialog dialog(ThreeFields());
    ASSERT_TRUE(dialog.Create());
    ASSERT_TRUE(tree.ReplaceDlgItem(102, &dialog));
    EXPECT_EQ(GetDlgItem(dialog.m_hWnd, 102), tree.m_hWnd);
    HWND first = GetDlgItem(dialog.m_hWnd, 101), last = GetDlgItem(dialog.m_hWnd, 103);
    EXPECT_EQ(GetNextDlgTabItem(dialog.m_hWnd, first, FALSE), tree.m_hWnd);
    EXPECT_EQ(GetNextDlgTabItem(dialog.m_hWnd, tree.m_hWnd, FALSE), last);
    RECT rect;
    GetWindowRect(tree.m_hWnd, &rect);
    EXPECT_EQ(rect.Width(), 200);
    EXPECT_EQ(tree.GetTreeExStyle() & TreeExTips, TreeExTips);

    // The exchange leaves a tree that has its window alone, and fails for a missing item.
    CDataExchange exchange(&dialog, FALSE);
    DDX_ReplaceTreeCtrl(&exchange, 102, tree);
    ScriptedBoxes boxes;
    MessageBoxProvider* previous = SetMessageBoxProvider(&boxes);
    TkTreeCtrl missing;
    EXPECT_THROW(DDX_ReplaceTreeCtrl(&exchange, 999, missing), DataExchangeFailure);
    EXPECT_EQ(boxes.shown, 1);
    SetMessageBoxProvider(previous);
    tree.DestroyWindow();
    dialog.DestroyWindow();
}

} // namespace
} // namespace vq
