#pragma once

#include "TreeSpy.h"
#include "platform/gui/OffscreenHarness.h"
#include "tests/support/TestPaths.h"
#include "toolkit/lists/TkTreeCtrl.h"

#include <gtest/gtest.h>
#include <string>

namespace vq {

// A tree in a pop-up parent that records its notifications.
class TreeFixture : public ::testing::Test {
protected:
    void Make(DWORD style = TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, DWORD exStyle = 0,
              RECT rect = RECT{0, 0, 200, 200}) {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 320, 320}, nullptr, 0));
        ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | style, exStyle, rect, &parent, 9));
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        if (tree.m_hWnd) tree.DestroyWindow();
        if (parent.m_hWnd) parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }
    HTREEITEM Add(const char* text, HTREEITEM under = TVI_ROOT, HTREEITEM after = TVI_LAST) {
        return tree.InsertItem(text, under, after);
    }
    // The labels of the list's rows, in order.
    std::string Rows() {
        std::string out;
        for (int row = 0; row < tree.GetItemCount(); ++row)
            out += tree.GetItemText(tree.NodeOfRow(row)) + " ";
        return out;
    }
    // The labels of the items that should have rows: pre-order through expanded items.
    std::string Shown(HTREEITEM under = nullptr) {
        std::string out;
        for (HTREEITEM c = tree.GetChildItem(under); c; c = tree.GetNextSiblingItem(c)) {
            if (tree.IsItemHidden(c)) continue;
            out += tree.GetItemText(c) + " ";
            if (tree.IsExpanded(c)) out += Shown(c);
        }
        return out;
    }
    void Save(const char* name) {
        EXPECT_TRUE(
            OffscreenHarness::SaveScreenshot(tree.m_hWnd, test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }
    COLORREF At(int x, int y) { return OffscreenHarness::Pixel(tree.m_hWnd, x, y); }

    TreeSpy parent;
    TkTreeCtrl tree;
};

} // namespace vq
