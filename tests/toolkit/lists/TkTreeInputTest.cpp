#include "TreeFixture.h"
#include "platform/gui/Beep.h"
#include "platform/thread/MonotonicClock.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

class TkTreeInputTest : public TreeFixture {
protected:
    void Build(DWORD style = TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT) {
        SetMonotonicClock(&clock);
        Make(style);
        net = Add("net");
        hostA = Add("host a", net);
        hostB = Add("host b", net);
        other = Add("other");
        folder = Add("folder");
        inside = Add("inside", folder);
        deep = Add("deep", inside);
        tree.UpdateLayout();
        SetFocus(tree.m_hWnd);
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        SetBeepHook(nullptr);
        TreeFixture::TearDown();
        SetMonotonicClock(nullptr);
    }
    static LPARAM At(POINT p) { return LPARAM(MAKELPARAM(p.x, p.y)); }
    POINT LabelPoint(HTREEITEM item) {
        RECT r{};
        EXPECT_TRUE(tree.GetItemRect(item, &r, LVIR_LABEL));
        return POINT{r.left + 2, (r.top + r.bottom) / 2};
    }
    POINT ButtonPoint(HTREEITEM item) {
        RECT r{};
        EXPECT_TRUE(tree.GetButtonRect(tree.RowOfNode(item), &r));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Click(POINT p, WPARAM keys = 0) {
        tree.SendMessage(WM_LBUTTONDOWN, keys | MK_LBUTTON, At(p));
        tree.SendMessage(WM_LBUTTONUP, keys, At(p));
        OffscreenHarness::RunUntilIdle();
    }
    void DoubleClick(POINT p, WPARAM keys = 0) {
        tree.SendMessage(WM_LBUTTONDBLCLK, keys | MK_LBUTTON, At(p));
        tree.SendMessage(WM_LBUTTONUP, keys, At(p));
        OffscreenHarness::RunUntilIdle();
    }
    void Key(WPARAM key) {
        tree.SendMessage(WM_KEYDOWN, key, 1);
        OffscreenHarness::RunUntilIdle();
    }
    void Char(char c) {
        tree.SendMessage(WM_CHAR, WPARAM(c), 1);
        OffscreenHarness::RunUntilIdle();
    }
    void Wait(int milliseconds) {
        for (int passed = 0; passed < milliseconds; passed += 50) {
            clock.AdvanceMilliseconds(50);
            OffscreenHarness::RunUntilIdle();
        }
    }

    ManualMonotonicClock clock{1'000'000'000};
    HTREEITEM net = nullptr, hostA = nullptr, hostB = nullptr, other = nullptr, folder = nullptr,
              inside = nullptr, deep = nullptr;
};

TEST_F(TkTreeInputTest, TheButtonTogglesWithoutTouchingTheSelection) {
    Build();
    tree.SelectItem(other);
    Click(ButtonPoint(folder));
    EXPECT_TRUE(tree.IsExpanded(folder));
    EXPECT_EQ(tree.GetCaretItem(), other);
    EXPECT_FALSE(tree.IsItemSelected(folder));
    Click(ButtonPoint(folder));
    EXPECT_FALSE(tree.IsExpanded(folder));
    EXPECT_EQ(Rows(), "net other folder ");
}

TEST_F(TkTreeInputTest, SingleExpandKeepsOneBranchOpen) {
    Build(TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SINGLEEXPAND);
    tree.SelectItem(other);
    Click(LabelPoint(net));
    EXPECT_EQ(tree.GetCaretItem(), net);
    EXPECT_TRUE(tree.IsExpanded(net));
    Click(LabelPoint(folder));
    EXPECT_FALSE(tree.IsExpanded(net));
    EXPECT_TRUE(tree.IsExpanded(folder));
    // An ancestor of the new item stays open.
    Click(LabelPoint(inside));
    EXPECT_TRUE(tree.IsExpanded(folder));
    EXPECT_TRUE(tree.IsExpanded(inside));
    // The focused item again: toggled.
    Click(LabelPoint(inside));
    EXPECT_FALSE(tree.IsExpanded(inside));
    EXPECT_EQ(Rows(), "net other folder inside ");
}

TEST_F(TkTreeInputTest, DoubleClicksToggleOnTheItemOnly) {
    Build();
    DoubleClick(LabelPoint(net));
    EXPECT_TRUE(tree.IsExpanded(net));
    const POINT label = LabelPoint(net);
    DoubleClick(POINT{15, label.y});
    EXPECT_TRUE(tree.IsExpanded(net));
    DoubleClick(POINT{180, label.y});
    EXPECT_TRUE(tree.IsExpanded(net));
    DoubleClick(label, MK_CONTROL);
    EXPECT_TRUE(tree.IsExpanded(net));
    // An owner that handles the double click itself keeps the tree out of it.
    parent.answer = [](NMHDR* header) { return header->code == NM_DBLCLK ? 1 : 0; };
    DoubleClick(label);
    EXPECT_TRUE(tree.IsExpanded(net));
    parent.answer = nullptr;
    DoubleClick(label);
    EXPECT_FALSE(tree.IsExpanded(net));
}

TEST_F(TkTreeInputTest, KeysOpenCloseAndClimbTheTree) {
    Build();
    tree.SelectItem(folder);
    struct Step {
        WPARAM key;
        const char* caret;
        const char* rows;
    };
    const Step steps[] = {
        {VK_RIGHT, "folder", "net other folder inside "},
        {VK_RIGHT, "inside", "net other folder inside "},
        {VK_ADD, "inside", "net other folder inside deep "},
        {VK_LEFT, "inside", "net other folder inside "},
        {VK_BACK, "folder", "net other folder inside "},
        {VK_SUBTRACT, "folder", "net other folder "},
        {VK_OEM_PLUS, "folder", "net other folder inside "},
        {VK_OEM_MINUS, "folder", "net other folder "},
        {VK_LEFT, "folder", "net other folder "},
    };
    for (const Step& step : steps) {
        Key(step.key);
        EXPECT_EQ(tree.GetItemText(tree.GetCaretItem()), step.caret) << step.key;
        EXPECT_EQ(Rows(), step.rows) << step.key;
    }
    tree.Expand(inside, TVE_COLLAPSE);
    Key(VK_MULTIPLY);
    EXPECT_EQ(Rows(), "net other folder inside deep ");
    EXPECT_EQ(parent.Count(TVN_KEYDOWN), 10);
}

TEST_F(TkTreeInputTest, PlusAndMinusCharactersNeverSearch) {
    Build();
    Add("+ plus");
    tree.SelectItem(net);
    int beeps = 0;
    SetBeepHook([&](UINT) { ++beeps; });
    for (char c : {'+', '-', '=', '_'})
        Char(c);
    EXPECT_EQ(tree.GetCaretItem(), net);
    EXPECT_EQ(beeps, 0);
    Char('o');
    EXPECT_EQ(tree.GetCaretItem(), other);
}

TEST_F(TkTreeInputTest, HoverExpansionLeavesTheSearchTimerRunning) {
    Build();
    tree.ModifyTreeExStyle(0, TreeExHoverExpand, FALSE);
    tree.Expand(net, TVE_EXPAND);
    tree.SelectItem(net);
    Char('h');
    EXPECT_EQ(tree.GetCaretItem(), hostA);
    ASSERT_TRUE(tree.SelectDropTarget(folder));
    Wait(500);
    // The search ended: one 'h' goes on to the next match instead of looking for "hh".
    Char('h');
    EXPECT_EQ(tree.GetCaretItem(), hostB);
    EXPECT_FALSE(tree.IsExpanded(folder));
    Wait(450);
    EXPECT_FALSE(tree.IsExpanded(folder));
    Wait(50);
    EXPECT_TRUE(tree.IsExpanded(folder));
    EXPECT_EQ(Rows(), "net host a host b other folder inside ");
}

} // namespace
} // namespace vq
