#include "ListSpy.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/QtControl.h"
#include "platform/gui/ScrollBar.h"
#include "toolkit/lists/TkListCtrl.h"

#include <QScrollBar>
#include <gtest/gtest.h>
#include <string>

namespace vq {
namespace {

// 100 rows in an item area ten and a half rows high.
class TkListScrollTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 600}, nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 300, 500}, &parent, 7));
        list.AddColumn("Name", LVCFMT_LEFT, 200, -1, -1);
        for (int i = 0; i < 100; ++i)
            list.InsertItem(i, ("row " + std::to_string(i)).c_str());
        list.UpdateLayout();
        RECT row{};
        ASSERT_TRUE(list.GetItemRect(0, &row, LVIR_BOUNDS));
        rowHeight = row.Height();
        ASSERT_GT(rowHeight, 0);
        SetWindowPos(list.m_hWnd, 0, 0, 0, 300, 20 + rowHeight * 21 / 2, SWP_NOZORDER | SWP_NOMOVE);
        list.UpdateLayout();
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        list.DestroyWindow();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }
    void Send(UINT message, WPARAM wParam) {
        list.SendMessage(message, wParam, 0);
        OffscreenHarness::RunUntilIdle();
    }
    void Wheel(int delta) { Send(WM_MOUSEWHEEL, WPARAM(std::uint16_t(std::int16_t(delta))) << 16); }

    ListSpy parent;
    TkListCtrl list;
    int rowHeight = 0;
};

TEST_F(TkListScrollTest, TheWheelActsOnWholeNotches) {
    EXPECT_EQ(list.GetCountPerPage(), 10);
    Wheel(-60);
    EXPECT_EQ(list.GetTopIndex(), 0);
    Wheel(-60);
    EXPECT_EQ(list.GetTopIndex(), 1);
    Wheel(-240);
    EXPECT_EQ(list.GetTopIndex(), 3);
    Wheel(120);
    EXPECT_EQ(list.GetTopIndex(), 2);
}

TEST_F(TkListScrollTest, LineDownBringsTheLastRowWhollyIntoView) {
    for (int i = 0; i < 120; ++i)
        Send(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(list.GetTopIndex(), 90);
    EXPECT_EQ(list.GetLastFullyVisible(TRUE), 99);
    Send(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(list.GetTopIndex(), 0);
    Send(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(list.GetTopIndex(), 90);
    Send(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(list.GetTopIndex(), 80);
    Send(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(list.GetTopIndex(), 79);
}

TEST_F(TkListScrollTest, TheThumbAndTheEndKeysMoveTheTop) {
    auto* bar = qobject_cast<QScrollBar*>(QtControlOf(GetDlgItem(list.m_hWnd, 59920)));
    ASSERT_TRUE(bar);
    // The user drags the thumb to 50 and lets go.
    bar->setSliderDown(true);
    bar->setSliderPosition(50);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(list.GetTopIndex(), 50);
    bar->setSliderDown(false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(list.GetTopIndex(), 50);

    SetFocus(list.m_hWnd);
    Send(WM_KEYDOWN, VK_END);
    EXPECT_EQ(list.GetFocusItem(), 99);
    EXPECT_EQ(list.GetTopIndex(), 90);
    Send(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ(list.GetFocusItem(), 0);
    EXPECT_EQ(list.GetTopIndex(), 0);
}

TEST_F(TkListScrollTest, ScrollingStopsAtTheEnds) {
    list.SetTopIndex(2);
    list.ScrollVert(-5, FALSE);
    EXPECT_EQ(list.GetTopIndex(), 0);
    EXPECT_TRUE(list.EnsureVisible(40));
    EXPECT_EQ(list.GetLastFullyVisible(TRUE), 40);
    EXPECT_TRUE(list.EnsureVisible(3));
    EXPECT_EQ(list.GetTopIndex(), 3);
}

TEST_F(TkListScrollTest, HorizontalStepsStayWithinTheContent) {
    list.AddColumn("Address", LVCFMT_LEFT, 150, -1, -1);
    list.AddColumn("Seen", LVCFMT_LEFT, 150, -1, -1);
    list.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    RECT area;
    list.GetItemArea(&area);
    const int largest = list.GetContentWidth(FALSE) - area.Width();
    ASSERT_GT(largest, 15);
    POINT offsets;
    const auto offset = [&] {
        list.GetScrollOffsets(&offsets);
        return offsets.x;
    };
    Send(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(offset(), 15);
    Send(WM_HSCROLL, SB_LINELEFT);
    Send(WM_HSCROLL, SB_LINELEFT);
    EXPECT_EQ(offset(), 0);
    Send(WM_HSCROLL, SB_RIGHT);
    EXPECT_EQ(offset(), largest);
    Send(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(offset(), largest);
    EXPECT_EQ(list.GetColumnLeft(1), list.GetColumnWidth(0) - largest);
}

} // namespace
} // namespace vq
