#include "ListSpy.h"
#include "RedSquares.h"
#include "platform/classlib/DataExchange.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/SystemColours.h"
#include "tests/support/TestPaths.h"
#include "toolkit/lists/TkListCtrl.h"

#include <gtest/gtest.h>
#include <string>

namespace vq {
namespace {

// Takes the mouse away from whoever has it when it gets WM_USER.
class CaptureThief : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER) SetCapture(m_hWnd);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A 400 x 160 report list with the columns Name 100, Size 80 and Kind 80 over six rows.
class TkListHeaderTest : public ::testing::Test {
protected:
    void Make(DWORD style, DWORD exStyle) {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 420, 200}, nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | style, exStyle, RECT{0, 0, 400, 160},
                                &parent, 7));
        list.AddColumn("Name", LVCFMT_LEFT, 100, -1, -1);
        list.AddColumn("Size", LVCFMT_LEFT, 80, -1, -1);
        list.AddColumn("Kind", LVCFMT_LEFT, 80, -1, -1);
        for (int i = 0; i < 6; ++i) {
            list.InsertItem(i, ("host " + std::to_string(i)).c_str());
            list.SetItemText(i, 1, std::to_string(i * 1500).c_str());
            list.SetItemText(i, 2, "printer");
        }
        list.UpdateLayout();
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        list.DestroyWindow();
        parent.DestroyWindow();
        if (thief.m_hWnd) thief.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }
    POINT Screen(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(list.m_hWnd, &p);
        return p;
    }
    // Input as the user gives it, on the header's line; it is queued, and handled in order.
    void Press(int x, Qt::MouseButton button = Qt::LeftButton) {
        OffscreenHarness::MousePress(Screen(x, 10), button);
    }
    void Move(int x, int y = 10) { OffscreenHarness::MouseMove(Screen(x, y), Qt::LeftButton); }
    void Release(int x, int y = 10) { OffscreenHarness::MouseRelease(Screen(x, y)); }
    void Escape() { OffscreenHarness::Key(Qt::Key_Escape, Qt::NoModifier, QString(), true); }
    void Run() { OffscreenHarness::RunUntilIdle(); }
    COLORREF At(POINT p) { return OffscreenHarness::Pixel(list.m_hWnd, p.x, p.y); }
    void Save(const char* name) {
        EXPECT_TRUE(OffscreenHarness::SaveScreenshot(list.m_hWnd,
                                                     vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }
    int ColumnClicks() const {
        int clicks = 0;
        for (const auto& note : parent.notes)
            clicks += note.code == UINT(LVN_COLUMNCLICK);
        return clicks;
    }

    ListSpy parent;
    TkListCtrl list;
    CaptureThief thief;
};

TEST_F(TkListHeaderTest, DraggingADividerResizesTheColumn) {
    Make(0, 0);
    Press(100);
    Move(115);
    Move(130);
    Release(130);
    Run();
    EXPECT_EQ(list.GetColumnWidth(0), 130);
    EXPECT_EQ(GetCapture(), 0u);
    // Far past the left edge the column keeps 10 pixels.
    const int right = list.GetColumnRight(1);
    Press(right);
    Move(right - 100);
    Release(right - 100);
    Run();
    EXPECT_EQ(list.GetColumnWidth(1), 10);
    EXPECT_EQ(list.GetColumnWidth(2), 80);
    EXPECT_EQ(ColumnClicks(), 0);
}

TEST_F(TkListHeaderTest, EscapeRightButtonOrALostCaptureLeavesTheWidth) {
    Make(0, 0);
    Press(100);
    Move(140);
    Escape();
    Release(140);
    Run();
    EXPECT_EQ(list.GetColumnWidth(0), 100);
    Press(100);
    Move(140);
    OffscreenHarness::MousePress(Screen(140, 10), Qt::RightButton);
    Release(140);
    Run();
    EXPECT_EQ(list.GetColumnWidth(0), 100);
    EXPECT_EQ(GetCapture(), 0u);

    ASSERT_TRUE(thief.CreateEx(0, nullptr, "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, 0));
    Press(100);
    thief.PostMessage(WM_USER);
    Move(140);
    Release(140);
    Run();
    EXPECT_EQ(list.GetColumnWidth(0), 100);
    EXPECT_EQ(GetCapture(), thief.m_hWnd);
    ReleaseCapture();
}

TEST_F(TkListHeaderTest, AFittedLabelColumnTradesWidthWithTheNext) {
    Make(0, 0);
    list.ModifyListExStyle(0, LVXS_FITLABELCOLUMN, TRUE);
    RECT area;
    list.GetItemArea(&area);
    ASSERT_EQ(list.GetColumnWidth(0), area.Width() - 160);
    const int right = list.GetColumnRight(1);
    Press(right);
    Move(right + 20);
    Release(right + 20);
    Run();
    EXPECT_EQ(list.GetColumnWidth(1), 100);
    EXPECT_EQ(list.GetColumnWidth(2), 60);
    EXPECT_EQ(list.GetColumnWidth(0), area.Width() - 160);
    // The neighbour keeps 5 pixels and the label column pays for the rest.
    const int again = list.GetColumnRight(1);
    Press(again);
    Move(again + 100);
    Release(again + 100);
    Run();
    EXPECT_EQ(list.GetColumnWidth(2), 5);
    EXPECT_EQ(list.GetColumnWidth(0) + list.GetColumnWidth(1) + 5, area.Width());
}

TEST_F(TkListHeaderTest, PressAndReleaseReportAColumnClickUnlessSortingIsOff) {
    Make(0, 0);
    Press(140);
    Run();
    EXPECT_EQ(GetCapture(), list.m_hWnd);
    Release(140);
    Run();
    ASSERT_EQ(ColumnClicks(), 1);
    EXPECT_EQ(parent.notes.back().code, UINT(NM_CLICK));
    for (const auto& note : parent.notes) {
        if (note.code == UINT(LVN_COLUMNCLICK)) {
            EXPECT_EQ(note.subItem, 1);
        }
    }
    EXPECT_EQ(GetCapture(), 0u);

    list.ModifyListStyle(0, LVS_NOSORTHEADER, TRUE);
    Press(140);
    Release(140);
    Run();
    EXPECT_EQ(ColumnClicks(), 1);
}

TEST_F(TkListHeaderTest, ADraggedColumnShowsWhereItGoesAndTakesItsTextsAlong) {
    Make(0, 0);
    // Column dragging is no window style bit: only the list's style operations set it.
    list.ModifyListExStyle(0, LVXS_HEADERDRAG, FALSE);
    const int kindLeft = list.GetColumnLeft(2), sizeLeft = list.GetColumnLeft(1);
    Press(kindLeft + 8);
    Move(kindLeft - 20);
    Move(sizeLeft + 12);
    Run();
    // Over the left half of Size the mark stands at its left edge.
    const COLORREF blue = RGB(0, 0, 255);
    EXPECT_EQ(At(POINT{sizeLeft, 2}), blue);
    EXPECT_EQ(At(POINT{sizeLeft, 19}), blue);
    EXPECT_NE(At(POINT{sizeLeft, 21}), blue);
    EXPECT_NE(At(POINT{kindLeft, 2}), blue);
    Save("list-header-drag.png");
    // Over the right half of Name it stays there; over Name's left half nothing is marked.
    Move(70);
    Run();
    EXPECT_EQ(At(POINT{sizeLeft, 2}), blue);
    Move(20);
    Run();
    EXPECT_NE(At(POINT{sizeLeft, 2}), blue);
    Move(sizeLeft + 12);
    Release(sizeLeft + 12);
    Run();

    EXPECT_EQ(list.GetColumnHeading(1), "Kind");
    EXPECT_EQ(list.GetColumnHeading(2), "Size");
    EXPECT_EQ(list.GetItemText(3, list.GetColumnSubItem(1)), "printer");
    EXPECT_EQ(list.GetItemText(3, list.GetColumnSubItem(2)), "4500");
    EXPECT_EQ(ColumnClicks(), 0);
    EXPECT_EQ(GetCapture(), 0u);
    EXPECT_NE(At(POINT{sizeLeft, 2}), blue);
}

TEST_F(TkListHeaderTest, DroppingAColumnNextToItselfMovesNothing) {
    Make(0, 0);
    // Column dragging is no window style bit: only the list's style operations set it.
    list.ModifyListExStyle(0, LVXS_HEADERDRAG, FALSE);
    const int kindLeft = list.GetColumnLeft(2);
    Press(kindLeft + 30);
    Move(kindLeft + 10);
    Run();
    EXPECT_EQ(At(POINT{kindLeft, 2}), RGB(0, 0, 255));
    Release(kindLeft + 10);
    Run();
    EXPECT_EQ(list.GetColumnHeading(2), "Kind");
    EXPECT_NE(At(POINT{kindLeft, 2}), RGB(0, 0, 255));
    // Dragged out of the band below the header, the column is dropped nowhere.
    Press(kindLeft + 30);
    Move(50);
    Move(50, 60);
    Release(50, 60);
    Run();
    EXPECT_EQ(list.GetColumnHeading(2), "Kind");
}

TEST_F(TkListHeaderTest, HeaderIconsStandBesideTheirHeadingsInWideColumns) {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 420, 200}, nullptr, 0));
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 400, 160}, &parent, 7));
    RedSquares icons;
    list.SetImageList(&icons.list, LVSIL_HEADER);
    list.AddColumn("Name", LVCFMT_LEFT, 100, -1, 0);
    list.AddColumn("Size", LVCFMT_RIGHT | LVCFMT_BITMAP_ON_RIGHT, 80, -1, 0);
    list.AddColumn("Kind", LVCFMT_LEFT, 20, -1, 0);
    list.UpdateLayout();
    list.Invalidate(FALSE);
    OffscreenHarness::RunUntilIdle();
    Save("list-header-icons.png");
    const COLORREF red = RGB(255, 0, 0);
    // Left of the heading in a left column, at the text's right end with the icon on the right.
    EXPECT_EQ(At(POINT{6, 1}), red);
    EXPECT_EQ(At(POINT{6 + 15, 16}), red);
    EXPECT_NE(At(POINT{6 + 16, 9}), red);
    const int sizeTextRight = list.GetColumnRight(1) - 6;
    EXPECT_EQ(At(POINT{sizeTextRight - 16, 9}), red);
    EXPECT_EQ(At(POINT{sizeTextRight - 1, 9}), red);
    for (int x = list.GetColumnLeft(2); x < list.GetColumnRight(2); ++x)
        EXPECT_NE(At(POINT{x, 9}), red) << x;
}

TEST_F(TkListHeaderTest, ReplacingADialogChildKeepsItsIdPlaceAndStyle) {
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 420, 200}, nullptr, 0));
    CWnd placeholder;
    ASSERT_TRUE(placeholder.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                                     RECT{10, 20, 210, 120}, &parent, 1001));
    const HWND old = placeholder.m_hWnd;
    CDataExchange loading(&parent, FALSE);
    DDX_TkList(&loading, 1001, list);
    ASSERT_TRUE(list.m_hWnd);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(list.GetDlgCtrlID(), 1001u);
    EXPECT_EQ(GetDlgItem(parent.m_hWnd, 1001), list.m_hWnd);
    EXPECT_TRUE(list.GetStyle() & WS_BORDER);
    EXPECT_EQ(list.GetListStyle() & (LVS_TYPEMASK | LVS_SINGLESEL), DWORD(LVS_REPORT | LVS_SINGLESEL));
    RECT rect;
    GetWindowRect(list.m_hWnd, &rect);
    POINT topLeft{rect.left, rect.top};
    ScreenToClient(parent.m_hWnd, &topLeft);
    EXPECT_EQ(topLeft.x, 10);
    EXPECT_EQ(topLeft.y, 20);
    EXPECT_EQ(rect.Width(), 200);
    // A second exchange finds the list made; a missing child fails the exchange.
    DDX_TkList(&loading, 1001, list);
    EXPECT_EQ(GetDlgItem(parent.m_hWnd, 1001), list.m_hWnd);
    TkListCtrl other;
    EXPECT_FALSE(other.ReplaceDlgItem(999, &parent));
    EXPECT_THROW(DDX_TkList(&loading, 999, other), DataExchangeFailure);
    EXPECT_FALSE(other.m_hWnd);
}

} // namespace
} // namespace vq
