#include "ListSpy.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/SystemColours.h"
#include "tests/support/TestPaths.h"
#include "toolkit/lists/TkListCtrl.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace vq {
namespace {

// A report list with single-line labels and label tips, in an active top-level window.
class TkListTipTest : public ::testing::Test {
protected:
    void Make(int screenX) {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE,
                                    RECT{screenX, 100, screenX + 320, 300}, nullptr, 0));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOLABELWRAP, LVXS_LABELTIPS,
                                RECT{0, 0, 300, 160}, &parent, 7));
        list.AddColumn("Name", LVCFMT_LEFT, 150, -1, -1);
        list.AddColumn("Kind", LVCFMT_LEFT, 100, -1, -1);
        list.InsertItem(0, "gateway");
        list.InsertItem(1, "a rather long host name");
        list.InsertItem(2, "");
        list.UpdateLayout();
        SetActiveWindow(parent.m_hWnd);
        OffscreenHarness::RunUntilIdle();
        ASSERT_TRUE(GetActiveWindow());
        ASSERT_TRUE(list.GetItemRect(1, &label, LVIR_LABEL));
    }
    void TearDown() override {
        list.DestroyWindow();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
    }
    // Column 0 as wide as makes the label end `past` pixels beyond where it is cut.
    void CutLabelBy(int past) {
        list.SetColumnWidth(0, label.right + 5 - past);
        list.UpdateLayout();
        OffscreenHarness::RunUntilIdle();
    }
    void MoveTo(int x, int y) {
        POINT screen{x, y};
        ClientToScreen(list.m_hWnd, &screen);
        OffscreenHarness::MouseMove(screen);
        OffscreenHarness::RunUntilIdle();
    }
    HWND Tip() const { return list.GetTip()->m_hWnd; }
    bool Shown() const { return Tip() && IsWindowVisible(Tip()); }
    RECT TipRect() const {
        RECT r{};
        GetWindowRect(Tip(), &r);
        return r;
    }
    // The screen as a user sees it around the list: the window with the tip over it.
    void SaveScreen(const char* name) {
        QImage screen = OffscreenHarness::Composite(parent.m_hWnd);
        RECT window, tip = TipRect();
        GetWindowRect(parent.m_hWnd, &window);
        QPainter painter(&screen);
        painter.drawImage(tip.left - window.left, tip.top - window.top, OffscreenHarness::Composite(Tip()));
        painter.end();
        EXPECT_TRUE(
            screen.save(QString::fromStdString(vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name)));
    }

    ListSpy parent;
    TkListCtrl list;
    RECT label{};
};

TEST_F(TkListTipTest, ALabelCutByOnePixelShowsItsWholeTextOverTheCell) {
    Make(100);
    CutLabelBy(1);
    MoveTo(label.left + 3, (label.top + label.bottom) / 2);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(GetCapture(), list.m_hWnd);
    EXPECT_EQ(list.GetTip()->ShownText(), "a rather long host name");

    RECT cell{};
    ASSERT_TRUE(list.GetSubItemRect(1, 0, &cell, LVIR_BOUNDS));
    POINT origin{0, 0};
    ClientToScreen(list.m_hWnd, &origin);
    const RECT tip = TipRect();
    EXPECT_EQ(tip.left, origin.x + label.left - 3);
    EXPECT_EQ(tip.top, origin.y + label.top);
    EXPECT_EQ(tip.Width(), label.Width() + 7);
    EXPECT_EQ(tip.Height(), cell.Height());
    SaveScreen("list-label-tip.png");

    // The item is not selected, so the tip has the tip colours; its text is drawn in them.
    EXPECT_EQ(OffscreenHarness::Pixel(Tip(), 1, 1), GetSysColor(COLOR_INFOBK));
    bool inked = false;
    for (int x = 0; x < tip.Width(); ++x)
        for (int y = 0; y < tip.Height(); ++y)
            inked = inked || OffscreenHarness::Pixel(Tip(), x, y) == GetSysColor(COLOR_INFOTEXT);
    EXPECT_TRUE(inked);

    // Moving along the same label keeps the tip; moving off hides it and gives the mouse back.
    MoveTo(label.left + 8, (label.top + label.bottom) / 2);
    EXPECT_TRUE(Shown());
    MoveTo(200, (label.top + label.bottom) / 2);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(GetCapture(), 0u);
    MoveTo(label.left + 3, (label.top + label.bottom) / 2);
    EXPECT_TRUE(Shown());
    MoveTo(label.left + 3, 150);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(TkListTipTest, FittingOrEmptyLabelsShowNoTip) {
    Make(100);
    CutLabelBy(0);
    MoveTo(label.left + 3, (label.top + label.bottom) / 2);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(GetCapture(), 0u);
    RECT empty{};
    ASSERT_TRUE(list.GetItemRect(2, &empty, LVIR_LABEL));
    list.SetColumnWidth(0, 2);
    list.UpdateLayout();
    MoveTo(empty.left, (empty.top + empty.bottom) / 2);
    EXPECT_FALSE(Shown());
}

TEST_F(TkListTipTest, CancelModeHidesTheTipAndReleasesTheMouse) {
    Make(100);
    CutLabelBy(1);
    MoveTo(label.left + 3, (label.top + label.bottom) / 2);
    ASSERT_TRUE(Shown());
    list.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(GetCapture(), 0u);
}

TEST_F(TkListTipTest, ATipNearTheScreensRightEdgeEndsAtIt) {
    // The label's screen right lies past the 1,280 pixels of the screen.
    Make(1280 - 60);
    CutLabelBy(1);
    POINT origin{0, 0};
    ClientToScreen(list.m_hWnd, &origin);
    ASSERT_GT(origin.x + label.right, 1280);
    MoveTo(label.left + 3, (label.top + label.bottom) / 2);
    ASSERT_TRUE(Shown());
    const RECT tip = TipRect();
    EXPECT_EQ(tip.right, 1282);
    EXPECT_EQ(tip.Width(), label.Width() + 7);
}

} // namespace
} // namespace vq
