#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "tests/support/TestPaths.h"

#include <cstring>
#include <filesystem>

namespace vq {
namespace {

using test::WindowTest;

HFONT Font(const char* face, std::int32_t height, std::int32_t escapement) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
    return CreateFontIndirect(lf);
}

class PaintTest : public WindowTest {
protected:
    // The picture every paint draws, with the fill of the left half changing from paint to paint.
    void Draw(HDC dc) {
        RECT client;
        GetClientRect(frame, &client);
        HBRUSH fill = CreateSolidBrush(paints == 1 ? RGB(255, 255, 200) : RGB(200, 255, 255));
        FillRect(dc, &client, fill);
        DeleteObject(fill);

        HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 128));
        const RECT hatched{10, 10, 70, 50};
        FillRect(dc, &hatched, hatch);
        DeleteObject(hatch);

        HBITMAP pattern = CreateBitmap(8, 8, 1, 1, nullptr);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                pattern->bits.SetPixel(x, y, (x + y) % 4 == 0 ? kDeviceWhite : 0);
        HBRUSH patterned = CreatePatternBrush(pattern);
        SetTextColor(dc, RGB(128, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        const RECT squares{80, 10, 140, 50};
        FillRect(dc, &squares, patterned);
        DeleteObject(patterned);
        DeleteObject(pattern);

        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        HFONT arial = Font("Arial", -14, 0);
        HFONT narrow = Font("Arial Narrow", -14, 900);
        HGDIOBJ old = SelectObject(dc, arial);
        TextOut(dc, 10, 60, "Arial text", -1);
        SelectObject(dc, narrow);
        TextOut(dc, 214, 125, "Narrow up", -1);
        SelectObject(dc, old);
        DeleteObject(arial);
        DeleteObject(narrow);
    }

    void SetUp() override {
        WindowTest::SetUp();
        hook = [this](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
            if (h != frame || m != WM_PAINT) return false;
            ++paints;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            painted = ps.rcPaint;
            Draw(dc);
            EndPaint(h, &ps);
            return true;
        };
        frame = Make("Spy", WS_POPUP | WS_CAPTION | WS_BORDER | WS_VISIBLE, {20, 20, 260, 180});
        SetWindowText(frame, "Paint test");
        edge = Make("Spy", WS_CHILD | WS_VISIBLE, {150, 60, 220, 100}, frame, WS_EX_CLIENTEDGE);
        OffscreenHarness::RunUntilIdle();
    }

    // A client point in window-image coordinates.
    COLORREF ClientPixel(std::int32_t x, std::int32_t y) {
        RECT w;
        GetWindowRect(frame, &w);
        POINT p{x, y};
        ClientToScreen(frame, &p);
        return OffscreenHarness::Pixel(frame, p.x - w.left, p.y - w.top);
    }

    HWND frame = 0;
    HWND edge = 0;
    int paints = 0;
    RECT painted;
};

TEST_F(PaintTest, PaintsThroughWmPaintWithFrameCaptionAndEdge) {
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(OffscreenHarness::Pixel(frame, 0, 0), RGB(192, 192, 192)) << "raised frame, outer light";
    EXPECT_EQ(OffscreenHarness::Pixel(frame, 1, 1), RGB(255, 255, 255)) << "raised frame, inner light";
    EXPECT_EQ(OffscreenHarness::Pixel(frame, 20, 10), GetSysColor(COLOR_ACTIVECAPTION)) << "caption";
    int hatchInk = 0;
    for (int x = 10; x < 18; ++x)
        hatchInk += ClientPixel(x, 10) == RGB(0, 0, 128);
    EXPECT_GT(hatchInk, 0);
    EXPECT_LT(hatchInk, 8);
    EXPECT_EQ(ClientPixel(80, 12), RGB(255, 255, 255)) << "pattern bit 1: background colour";
    EXPECT_EQ(ClientPixel(81, 12), RGB(128, 0, 0)) << "pattern bit 0: text colour";
    // The child's sunken edge: dark outer line at its top-left.
    EXPECT_EQ(OffscreenHarness::Pixel(edge, 0, 0), RGB(128, 128, 128));
    EXPECT_EQ(OffscreenHarness::Pixel(edge, 1, 1), RGB(0, 0, 0));
}

TEST_F(PaintTest, WindowDcDrawsIntoTheImageAtOnce) {
    HDC dc = GetDC(frame);
    const RECT focus{100, 70, 140, 90};
    const COLORREF before = ClientPixel(100, 70);
    DrawFocusRect(dc, &focus);
    EXPECT_NE(ClientPixel(100, 70), before);
    ReleaseDC(frame, dc);
    EXPECT_EQ(paints, 1);
}

TEST_F(PaintTest, InvalidatingOneHalfRepaintsOnlyThatHalf) {
    RECT client;
    GetClientRect(frame, &client);
    const RECT left{0, 0, client.right / 2, client.bottom};
    InvalidateRect(frame, &left, TRUE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(painted, left);
    EXPECT_EQ(ClientPixel(5, client.bottom - 5), RGB(200, 255, 255));
    EXPECT_EQ(ClientPixel(client.right - 5, client.bottom - 5), RGB(255, 255, 200));
}

TEST_F(PaintTest, CompositeIsSavedForPeopleToLookAt) {
    const std::string path = vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/window-paint.png";
    std::filesystem::remove(path);
    ASSERT_TRUE(OffscreenHarness::SaveScreenshot(frame, path));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
    const QImage composite = OffscreenHarness::Composite(frame);
    RECT w;
    GetWindowRect(edge, &w);
    RECT f;
    GetWindowRect(frame, &f);
    // The child shows over its parent in the composite.
    EXPECT_EQ(composite.pixel(w.left - f.left, w.top - f.top) & 0xFFFFFF, 0x808080u);
}

} // namespace
} // namespace vq
