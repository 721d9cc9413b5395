#include "platform/gui/Desktop.h"

#include "WindowFixture.h"
#include "platform/gui/DragRect.h"
#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Menu.h"
#include "tests/support/TestPaths.h"

#include <QWidget>

namespace vq::test {
namespace {

using DesktopTest = WindowTest;

TEST_F(DesktopTest, ChildMovesUnderAnotherParentKeepingItsClientPosition) {
    HWND a = Make("Spy", WS_POPUP | WS_VISIBLE, {100, 100, 300, 300});
    HWND b = Make("Spy", WS_POPUP | WS_VISIBLE, {400, 100, 600, 300});
    HWND child = Make("Spy", WS_CHILD | WS_VISIBLE, {10, 20, 60, 50}, a);
    EXPECT_EQ(SetParent(child, b), a);
    EXPECT_EQ(GetParent(child), b);
    EXPECT_EQ(GetWindow(b, GW_CHILD), child);
    EXPECT_EQ(GetWindow(a, GW_CHILD), HWND(0));
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r, (RECT{410, 120, 460, 150}));
    // Not under itself, nor under a window inside it.
    HWND inner = Make("Spy", WS_CHILD, {0, 0, 5, 5}, child);
    EXPECT_EQ(SetParent(child, inner), HWND(0));
    EXPECT_EQ(SetParent(child, child), HWND(0));
    POINT p{5, 6};
    MapWindowPoints(child, a, &p, 1);
    EXPECT_EQ(p, (POINT{315, 26}));
    MapWindowPoints(a, 0, &p, 1);
    EXPECT_EQ(p, (POINT{415, 126}));
}

TEST_F(DesktopTest, ToolWindowHasASmallCaptionWithACloseBox) {
    HWND tool = Make("Spy", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE,
                     {100, 100, 300, 200}, 0, WS_EX_TOOLWINDOW);
    RECT client;
    GetClientRect(tool, &client);
    const int frame = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(client.Height(), 100 - 2 * frame - (GetSystemMetrics(SM_CYSMCAPTION) - 1));
    const POINT close{300 - frame - 2 - 5, 100 + frame + 6};
    EXPECT_EQ(SendMessage(tool, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCLOSE);
    OffscreenHarness::RunUntilIdle();
    const QImage image = OffscreenHarness::Composite(tool);
    // The close box spans x 182..194 and y 6..15 of the window; its cross is three pixels across.
    EXPECT_EQ(image.pixel(187, 10) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.pixel(184, 8) & 0xFFFFFF, QColor(192, 192, 192).rgb() & 0xFFFFFF);
    OffscreenHarness::MousePress(close);
    OffscreenHarness::MouseRelease(close);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsWindow(tool));
}

TEST_F(DesktopTest, SystemMenuIsTheWindowsOwnCopy) {
    HWND w = Make("Spy", WS_POPUP | WS_CAPTION | WS_SYSMENU, {0, 0, 100, 100});
    HMENU menu = GetSystemMenu(w, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetSystemMenu(w, FALSE), menu);
    EXPECT_EQ(GetMenuItemCount(menu), 7);
    EXPECT_TRUE(DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND));
    EXPECT_FALSE(DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(menu), 6);
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(w, TRUE)), 7);
    DestroyWindow(w);
    EXPECT_EQ(GetSystemMenu(w, FALSE), nullptr);
}

TEST_F(DesktopTest, DesktopLayerInvertsTheScreenUntilDrawnAgain) {
    Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
    OffscreenHarness::RunUntilIdle();
    ASSERT_TRUE(IsDesktopLayerClear());
    const QImage before = ScreenComposite();
    EXPECT_TRUE(LockWindowUpdate(GetDesktopWindow()));
    EXPECT_FALSE(LockWindowUpdate(1234));
    HDC dc = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    static HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    const RECT r{50, 40, 250, 140};
    DrawDragRect(dc, &r, SIZE{1, 1}, nullptr, SIZE{}, white);
    const QImage during = ScreenComposite();
    EXPECT_EQ(during.pixel(50, 60) & 0xFFFFFF, ~before.pixel(50, 60) & 0xFFFFFF);
    EXPECT_EQ(during.pixel(51, 60), before.pixel(51, 60));
    EXPECT_EQ(during.pixel(249, 120) & 0xFFFFFF, ~before.pixel(249, 120) & 0xFFFFFF);

    // On the real screen a window over all others that takes no input shows the frame, over the
    // window and over the desktop beyond it, and nothing elsewhere.
    QWidget* overlay = GetDesktopOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_TRUE(overlay->windowFlags() & Qt::WindowTransparentForInput);
    EXPECT_TRUE(overlay->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(overlay->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(overlay->geometry(), QRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    const QImage shown = RenderDesktopOverlay();
    for (const QPoint p : {QPoint(50, 60), QPoint(249, 120), QPoint(150, 40)})
        EXPECT_EQ(shown.pixel(p), during.pixel(p) | 0xFF000000u) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(51, 60), QPoint(10, 10), QPoint(300, 300)})
        EXPECT_EQ(qAlpha(shown.pixel(p)), 0) << p.x() << "," << p.y();
    shown.copy(0, 0, 320, 200)
        .save(QString::fromStdString(TestPath("VQ_TEST_OUTPUT_DIR") + "/desktop-overlay-drag-frame.png"));
    // Moved, the frame leaves nothing behind on the overlay either.
    const RECT moved{60, 50, 260, 150};
    DrawDragRect(dc, &moved, SIZE{1, 1}, &r, SIZE{1, 1}, white);
    const QImage shownMoved = RenderDesktopOverlay();
    EXPECT_EQ(qAlpha(shownMoved.pixel(50, 60)), 0);
    EXPECT_EQ(qAlpha(shownMoved.pixel(60, 70)), 255);

    DrawDragRect(dc, nullptr, SIZE{}, &moved, SIZE{1, 1}, white);
    EXPECT_TRUE(overlay->isVisible());
    ReleaseDC(GetDesktopWindow(), dc);
    EXPECT_FALSE(overlay->isVisible());
    EXPECT_TRUE(LockWindowUpdate(0));
    EXPECT_TRUE(IsDesktopLayerClear());
    EXPECT_EQ(ScreenComposite(), before);
}

TEST_F(DesktopTest, CaptionCloseButtonDrawsItsCross) {
    HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT r{0, 0, 16, 14};
    EXPECT_TRUE(DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    EXPECT_EQ(GetPixel(dc, 7, 6), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(GetPixel(dc, 3, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(DrawFrameControl(dc, &r, DFC_CAPTION, 0x0005));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

} // namespace
} // namespace vq::test
