#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/StandardControls.h"
#include "platform/gui/WindowRecord.h"
#include "platform/gui/WindowWidget.h"
#include "tests/support/TestPaths.h"

#include <QImage>

namespace vq::test {
namespace {

// Client-area contexts of the controls that Qt paints: the list box of a dialog with four
// entries, the second selected, an edit and a scroll bar beside it.
class ControlOverlayTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 300, 200});
        list = Make("ListBox", WS_CHILD | WS_VISIBLE, {10, 10, 150, 190}, top, WS_EX_CLIENTEDGE, 4);
        for (const char* text : {"alpha", "beta", "gamma", "delta"})
            SendMessage(list, LB_ADDSTRING, 0, LPARAM(text));
        SendMessage(list, LB_SETCURSEL, 1, 0);
        edit = Make("Edit", WS_CHILD | WS_VISIBLE, {160, 10, 290, 34}, top, 0, 5);
        SetWindowText(edit, "some text");
        bar = Make("ScrollBar", WS_CHILD | WS_VISIBLE | SBS_VERT, {270, 50, 286, 190}, top, 0, 6);
        OffscreenHarness::RunUntilIdle();
    }

    // The insertion line of a list being reordered by dragging: across the client area, from 2
    // pixels in to 1 past the right edge, in grey drawn with XOR.
    void DrawLine(std::int32_t y) const {
        RECT client;
        GetClientRect(list, &client);
        HDC dc = GetDC(list);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
        HGDIOBJ old = SelectObject(dc, pen);
        SetROP2(dc, R2_XORPEN);
        MoveToEx(dc, 2, y, nullptr);
        LineTo(dc, client.right + 1, y);
        SelectObject(dc, old);
        DeleteObject(pen);
        ReleaseDC(list, dc);
    }

    RECT Item(int index) const {
        RECT r;
        SendMessage(list, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
        return r;
    }

    // A point of the list's client area, in window coordinates for the pixel reads.
    POINT InWindow(std::int32_t x, std::int32_t y) const {
        POINT p{x, y};
        ClientToScreen(list, &p);
        RECT w;
        GetWindowRect(list, &w);
        return {p.x - w.left, p.y - w.top};
    }
    COLORREF Seen(std::int32_t x, std::int32_t y) const {
        const POINT p = InWindow(x, y);
        return OffscreenHarness::Pixel(list, p.x, p.y);
    }

    static COLORREF Xor(COLORREF a, COLORREF b) { return (a ^ b) & 0xFFFFFF; }

    HWND top = 0;
    HWND list = 0;
    HWND edit = 0;
    HWND bar = 0;
};

TEST_F(ControlOverlayTest, AnXorLineShowsOverTheListAndDrawingItAgainRestoresEveryPixel) {
    const QImage before = OffscreenHarness::Composite(top);
    const RECT selected = Item(1);
    const std::int32_t y = selected.top + 1;
    const COLORREF white = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    ASSERT_EQ(Seen(selected.right - 3, y), highlight) << "the selection under the line";
    ASSERT_EQ(Seen(5, Item(3).bottom + 10), white);

    // The context reads what the user sees, not the window's own image under the widget.
    HDC dc = GetDC(list);
    EXPECT_EQ(GetPixel(dc, selected.right - 3, y), highlight);
    ReleaseDC(list, dc);

    DrawLine(y);
    const COLORREF grey = RGB(128, 128, 128);
    EXPECT_EQ(Seen(selected.right - 3, y), Xor(highlight, grey));
    EXPECT_EQ(Seen(1, y), highlight) << "the line starts 2 pixels in";
    EXPECT_EQ(Seen(selected.right - 3, y + 1), highlight);
    // What Qt puts on the screen shows the line as well.
    const QImage live =
        FindWindowRecord(list)->widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const POINT at = InWindow(selected.right - 3, y);
    EXPECT_EQ(live.pixel(at.x, at.y) & 0xFFFFFF, PixelToColour(Xor(highlight, grey)) & 0xFFFFFF);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(top, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                          "/list-insertion-line.png"));

    DrawLine(y);
    EXPECT_EQ(OffscreenHarness::Composite(top), before);
}

TEST_F(ControlOverlayTest, TheDrawingStaysOverTheControlWhileItsContentChanges) {
    const RECT third = Item(2);
    const std::int32_t y = third.top + 2;
    DrawLine(y);
    EXPECT_EQ(Seen(20, y), Xor(GetSysColor(COLOR_WINDOW), RGB(128, 128, 128)));

    // The entry under the line becomes the selection: the line shows over its new colours, and
    // erasing it leaves the control as it is now.
    SendMessage(list, LB_SETCURSEL, 2, 0);
    OffscreenHarness::RunUntilIdle();
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(Seen(third.right - 3, y), Xor(highlight, RGB(128, 128, 128)));
    DrawLine(y);
    EXPECT_EQ(Seen(third.right - 3, y), highlight);
    EXPECT_EQ(Seen(20, y - 1), highlight);
}

TEST_F(ControlOverlayTest, EveryQtPaintedControlTakesDrawingOverItsPicture) {
    for (const HWND control : {list, edit, bar}) {
        char name[32] = {};
        GetClassName(control, name, sizeof name);
        SCOPED_TRACE(name);
        const QImage before = OffscreenHarness::Composite(top);
        RECT client;
        GetClientRect(control, &client);
        RECT window;
        GetWindowRect(control, &window);
        POINT corner{0, 0};
        ClientToScreen(control, &corner);
        const std::int32_t x = corner.x - window.left + 3;
        const std::int32_t y = corner.y - window.top + 3;
        const COLORREF under = OffscreenHarness::Pixel(control, x, y);

        HDC dc = GetDC(control);
        PatBlt(dc, 0, 0, client.right, client.bottom, DSTINVERT);
        ReleaseDC(control, dc);
        EXPECT_EQ(OffscreenHarness::Pixel(control, x, y), Xor(under, RGB(255, 255, 255)));
        EXPECT_NE(OffscreenHarness::Composite(top), before);

        dc = GetDC(control);
        PatBlt(dc, 0, 0, client.right, client.bottom, DSTINVERT);
        ReleaseDC(control, dc);
        EXPECT_EQ(OffscreenHarness::Composite(top), before);
    }
}

} // namespace
} // namespace vq::test
