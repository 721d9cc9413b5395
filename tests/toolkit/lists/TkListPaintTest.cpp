#include "ListSpy.h"
#include "RedSquares.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/ScrollBar.h"
#include "platform/gui/SystemColours.h"
#include "tests/support/TestPaths.h"
#include "toolkit/lists/TkListCtrl.h"

#include <gtest/gtest.h>
#include <string>

namespace vq {
namespace {

class TkListPaintTest : public ::testing::Test {
protected:
    void Make(DWORD style, DWORD exStyle) {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 320, 200}, nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | style, exStyle, RECT{0, 0, 300, 160}, &parent, 7));
        const bool report = (style & LVS_TYPEMASK) == LVS_REPORT;
        if (report) {
            list.AddColumn("Name", LVCFMT_LEFT, 100, -1, -1);
            list.AddColumn("Size", LVCFMT_RIGHT, 80, -1, -1);
            list.AddColumn("Kind", LVCFMT_CENTER, 80, -1, -1);
        }
        for (int i = 0; i < 6; ++i) {
            list.InsertItem(i, ("host " + std::to_string(i)).c_str());
            if (!report) continue;
            list.SetItemText(i, 1, std::to_string(i * 1500).c_str());
            list.SetItemText(i, 2, i % 2 ? "router" : "printer");
        }
        list.UpdateLayout();
        list.SelectFocusItem(2, TRUE);
        list.DeselectAllExcept(2);
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        list.DestroyWindow();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }
    COLORREF At(int x, int y) { return OffscreenHarness::Pixel(list.m_hWnd, x, y); }
    void Save(const char* name) {
        EXPECT_TRUE(OffscreenHarness::SaveScreenshot(list.m_hWnd,
                                                     vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }
    RECT Cell(int item, int column) {
        RECT r{};
        EXPECT_TRUE(list.GetSubItemRect(item, column, &r, column == 0 ? LVIR_BOUNDS : LVIR_LABEL));
        if (column > 0) {
            r.left = list.GetColumnLeft(column);
            r.right = list.GetColumnRight(column);
        }
        return r;
    }

    ListSpy parent;
    TkListCtrl list;
};

TEST_F(TkListPaintTest, ReportViewDrawsHeaderSelectionAndGridLines) {
    Make(LVS_REPORT | LVS_SHOWSELALWAYS, LVXS_HGRIDLINES | LVXS_VGRIDLINES);
    SetFocus(list.m_hWnd);
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(GetFocus(), list.m_hWnd);
    Save("list-report.png");

    // Header: the face, and each button's dark frame at its right edge.
    EXPECT_EQ(At(50, 2), GetSysColor(COLOR_BTNFACE));
    const int edge = list.GetColumnRight(0);
    EXPECT_EQ(At(edge - 1, 10), RGB(0, 0, 0));
    EXPECT_EQ(At(edge - 2, 10), GetSysColor(COLOR_BTNSHADOW));

    const RECT label = Cell(2, 0);
    const RECT size = Cell(2, 1);
    const int y = (label.top + label.bottom) / 2;
    EXPECT_EQ(At(label.left + 2, y), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(size.left + 3, y), GetSysColor(COLOR_WINDOW));
    // An unselected row keeps the window colour.
    const RECT other = Cell(4, 0);
    EXPECT_EQ(At(other.left + 2, (other.top + other.bottom) / 2), GetSysColor(COLOR_WINDOW));

    // Grid lines: under every row and at every column's right edge.
    EXPECT_EQ(At(size.left + 20, label.bottom - 1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(list.GetColumnRight(1), y), GetSysColor(COLOR_BTNSHADOW));

    list.ModifyListExStyle(0, LVXS_FULLROWSELECT, TRUE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(At(size.left + 3, y), GetSysColor(COLOR_HIGHLIGHT));
    Save("list-report-full-row.png");
}

TEST_F(TkListPaintTest, SelectionWithoutFocusAndDisabledListUseTheMenuColours) {
    Make(LVS_REPORT | LVS_SHOWSELALWAYS, 0);
    SetFocus(parent.m_hWnd);
    OffscreenHarness::RunUntilIdle();
    const RECT label = Cell(2, 0);
    const int y = (label.top + label.bottom) / 2;
    EXPECT_EQ(At(label.left + 2, y), GetSysColor(COLOR_MENU));
    Save("list-report-unfocused.png");

    EnableWindow(list.m_hWnd, FALSE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(At(label.left + 2, y), GetSysColor(COLOR_MENU));
    const RECT other = Cell(4, 2);
    EXPECT_EQ(At(other.left + 3, (other.top + other.bottom) / 2), GetSysColor(COLOR_MENU));
    Save("list-report-disabled.png");
}

TEST_F(TkListPaintTest, IconViewGivesEachItemALine) {
    Make(LVS_ICON | LVS_SHOWSELALWAYS, 0);
    OffscreenHarness::RunUntilIdle();
    Save("list-icon.png");

    RECT first{}, second{};
    ASSERT_TRUE(list.GetItemRect(0, &first, LVIR_BOUNDS));
    ASSERT_TRUE(list.GetItemRect(1, &second, LVIR_BOUNDS));
    EXPECT_EQ(second.top, first.bottom);
    EXPECT_EQ(first.Width(), 300);
}

TEST_F(TkListPaintTest, ItemsShowTheirIconsBeforeTheirLabels) {
    Make(LVS_REPORT, 0);
    RedSquares small;
    list.SetImageList(&small.list, LVSIL_SMALL);
    // The list keeps a copy of its own.
    EXPECT_NE(list.GetImageList(LVSIL_SMALL), &small.list);
    for (int i = 0; i < 6; ++i)
        list.SetItem(i, 0, LVIF_IMAGE, nullptr, 0, 0, 0, 0);
    list.RemeasureAll();
    list.Invalidate(FALSE);
    OffscreenHarness::RunUntilIdle();
    Save("list-report-icons.png");
    RECT icon{}, label{};
    ASSERT_TRUE(list.GetItemRect(1, &icon, LVIR_ICON));
    ASSERT_TRUE(list.GetItemRect(1, &label, LVIR_LABEL));
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(At(icon.left + 8, icon.top + 8), RGB(255, 0, 0));
    EXPECT_GE(label.left, icon.right);
}

// A printer context gets the header and the rows that fit whole, and leaves the bar alone.
TEST_F(TkListPaintTest, PrintingDrawsWholeRowsOnly) {
    Make(LVS_REPORT, 0);
    for (int i = 6; i < 40; ++i)
        list.InsertItem(i, "more");
    list.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    HWND bar = GetDlgItem(list.m_hWnd, 59920);
    ASSERT_TRUE(bar);
    SCROLLINFO before;
    before.fMask = SIF_ALL;
    GetScrollInfo(bar, SB_CTL, &before);

    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(300, 160, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT all{0, 0, 300, 160};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetPrinting(memory, TRUE);
    list.Paint(memory);

    const int last = list.GetLastFullyVisible(TRUE);
    RECT lastRow{};
    ASSERT_TRUE(list.GetItemRect(last, &lastRow, LVIR_BOUNDS));
    EXPECT_EQ(bitmap->bits.ColourOf(bitmap->bits.Pixel(50, 2)), GetSysColor(COLOR_BTNFACE));
    // Below the last whole row nothing was drawn.
    bool inked = false;
    for (int y = lastRow.bottom; y < 160; ++y)
        for (int x = 0; x < 300; ++x)
            inked = inked || bitmap->bits.ColourOf(bitmap->bits.Pixel(x, y)) != RGB(255, 255, 255);
    EXPECT_FALSE(inked);
    SCROLLINFO after;
    after.fMask = SIF_ALL;
    GetScrollInfo(bar, SB_CTL, &after);
    EXPECT_EQ(after.nPage, before.nPage);
    EXPECT_EQ(after.nPos, before.nPos);

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

} // namespace
} // namespace vq
