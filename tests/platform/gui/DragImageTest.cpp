#include "WindowFixture.h"
#include "platform/gui/ImageList.h"

namespace vq {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

using Picture = std::vector<COLORREF>;

// A bordered 60x40 window whose every pixel differs from its neighbours, and a 4x4 image, red
// with a transparent left column, dragged with its hot spot at (1, 1).
class DragImageTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window = Make("Spy", WS_POPUP | WS_BORDER | WS_VISIBLE, {100, 100, 160, 140});
        OffscreenHarness::RunUntilIdle();
        HDC dc = GetWindowDC(window);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                SetPixel(dc, x, y, RGB(x * 4, y * 6, 100));
        ReleaseDC(window, dc);
        before = Snapshot();

        HBITMAP strip = CreateBitmap(4, 4, 1, 32, nullptr);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                strip->bits.SetPixel(x, y, ColourToPixel(x == 0 ? kMagenta : kRed));
        list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 1, 1);
        ImageList_AddMasked(list, strip, kMagenta);
        DeleteObject(strip);
    }
    void TearDown() override {
        ImageList_EndDrag();
        ImageList_Destroy(list);
        WindowTest::TearDown();
    }

    Picture Snapshot() const {
        Picture p;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                p.push_back(OffscreenHarness::Pixel(window, x, y));
        return p;
    }

    // The image's opaque part sits with its top-left corner at (left, top) over `under`, and
    // every other pixel is exactly as `under` has it.
    void ExpectImageAt(std::int32_t left, std::int32_t top, const Picture& under) const {
        const Picture now = Snapshot();
        int differences = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) {
                const bool opaque = x > left && x < left + 4 && y >= top && y < top + 4;
                const COLORREF want = opaque ? kRed : under[std::size_t(y * 60 + x)];
                differences += now[std::size_t(y * 60 + x)] != want;
            }
        EXPECT_EQ(differences, 0) << "image at " << left << "," << top;
    }

    HWND window = 0;
    HIMAGELIST list = nullptr;
    Picture before;
};

TEST_F(DragImageTest, TheImageFollowsThePointerAndWhatWasUnderItComesBackExactly) {
    EXPECT_FALSE(ImageList_DragEnter(window, 10, 10)) << "no drag begun";
    EXPECT_FALSE(ImageList_DragMove(10, 10));
    EXPECT_FALSE(ImageList_BeginDrag(list, 1, 0, 0)) << "no such image";

    ASSERT_TRUE(ImageList_BeginDrag(list, 0, 1, 1));
    // The drag holds its own copy of the image.
    ImageList_Destroy(list);
    list = nullptr;
    EXPECT_EQ(Snapshot(), before) << "nothing shows before the image enters a window";

    // Window coordinates: the border is part of them.
    EXPECT_TRUE(ImageList_DragEnter(window, 1, 1));
    ExpectImageAt(0, 0, before);
    EXPECT_TRUE(ImageList_DragMove(30, 20));
    ExpectImageAt(29, 19, before);
    EXPECT_TRUE(ImageList_DragMove(58, 38)) << "partly outside the window";
    ExpectImageAt(57, 37, before);

    EXPECT_TRUE(ImageList_DragShowNolock(FALSE));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(ImageList_DragMove(10, 10));
    EXPECT_EQ(Snapshot(), before) << "a hidden image moves unseen";
    EXPECT_TRUE(ImageList_DragShowNolock(TRUE));
    ExpectImageAt(9, 9, before);
    EXPECT_TRUE(ImageList_DragLeave(window));
    EXPECT_EQ(Snapshot(), before);

    // A window that goes during the drag takes nothing with it.
    EXPECT_TRUE(ImageList_DragEnter(window, 10, 10));
    DestroyWindow(window);
    EXPECT_TRUE(ImageList_DragMove(20, 20));
    EXPECT_FALSE(ImageList_DragEnter(window, 10, 10));
    ImageList_EndDrag();
    EXPECT_FALSE(ImageList_DragShowNolock(TRUE)) << "the drag has ended";
}

TEST_F(DragImageTest, WhatTheWindowDrawsDuringADragIsNeverCoveredByStalePixels) {
    ASSERT_TRUE(ImageList_BeginDrag(list, 0, 1, 1));
    ImageList_DragEnter(window, 10, 10);

    // While a context of the window is open the image makes way, even when it moves.
    HDC dc = GetDC(window);
    EXPECT_EQ(Snapshot(), before);
    ImageList_DragMove(12, 10);
    HBRUSH blue = CreateSolidBrush(kBlue);
    const RECT band{0, 5, 30, 15}; // client coordinates: the border is one pixel
    FillRect(dc, &band, blue);
    DeleteObject(blue);
    const Picture banded = Snapshot();
    ReleaseDC(window, dc);
    ExpectImageAt(11, 9, banded);

    // Away from the band the old place shows the new blue, not what was there at the start.
    ImageList_DragMove(40, 30);
    ExpectImageAt(39, 29, banded);

    // Painting goes the same way.
    hook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT&) {
        if (h != window || m != WM_PAINT) return false;
        PAINTSTRUCT ps;
        HDC paint = BeginPaint(h, &ps);
        HBRUSH green = CreateSolidBrush(kGreen);
        FillRect(paint, &ps.rcPaint, green);
        DeleteObject(green);
        EndPaint(h, &ps);
        return true;
    };
    const RECT lower{0, 20, 58, 38};
    InvalidateRect(window, &lower, FALSE);
    OffscreenHarness::RunUntilIdle();
    hook = nullptr;
    ImageList_EndDrag();
    EXPECT_EQ(OffscreenHarness::Pixel(window, 40, 30), kGreen) << "where the image was";
}

} // namespace
} // namespace vq
