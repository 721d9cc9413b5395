#include "platform/gui/ImageList.h"

#include "GdiFixture.h"
#include "platform/gui/SystemColours.h"

namespace vq::test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Two 4x4 images side by side: the first red with a magenta (transparent) left column, the
// second all red.
class ImageListTest : public ::testing::Test {
protected:
    void SetUp() override {
        HBRUSH red = CreateSolidBrush(kRed);
        HBRUSH magenta = CreateSolidBrush(kMagenta);
        RECT all{0, 0, 8, 4}, column{0, 0, 1, 4};
        FillRect(strip.Dc(), &all, red);
        FillRect(strip.Dc(), &column, magenta);
        DeleteObject(red);
        DeleteObject(magenta);
        list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 2, 2);
    }
    void TearDown() override { ImageList_Destroy(list); }

    // Draws on a blue canvas and answers the pixels of row 1.
    std::vector<COLORREF> Drawn(int index, UINT style) {
        MemoryCanvas canvas(6, 4);
        HBRUSH blue = CreateSolidBrush(kBlue);
        RECT all{0, 0, 6, 4};
        FillRect(canvas.Dc(), &all, blue);
        DeleteObject(blue);
        EXPECT_TRUE(ImageList_Draw(list, index, canvas.Dc(), 1, 0, style));
        std::vector<COLORREF> row;
        for (int x = 0; x < 6; ++x)
            row.push_back(canvas.At(x, 1));
        return row;
    }

    MemoryCanvas strip{8, 4};
    HIMAGELIST list = nullptr;
};

TEST_F(ImageListTest, MaskedImagesLetTheBackgroundThroughWhereTheMaskColourWas) {
    // Detach the strip from its context so it can be selected again.
    HBITMAP bits = strip.Bits();
    HBITMAP other = CreateBitmap(1, 1, 1, 32, nullptr);
    SelectObject(strip.Dc(), other);
    EXPECT_EQ(ImageList_AddMasked(list, bits, kMagenta), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    SelectObject(strip.Dc(), bits);
    DeleteObject(other);

    EXPECT_EQ(Drawn(0, ILD_NORMAL), (std::vector<COLORREF>{kBlue, kBlue, kRed, kRed, kRed, kBlue}));
    EXPECT_EQ(Drawn(1, ILD_TRANSPARENT), (std::vector<COLORREF>{kBlue, kRed, kRed, kRed, kRed, kBlue}));
    EXPECT_EQ(Drawn(0, ILD_MASK), (std::vector<COLORREF>{kBlue, kWhite, kBlack, kBlack, kBlack, kBlue}));

    // A background colour fills the transparent pixels unless drawing is transparent.
    ImageList_SetBkColor(list, kWhite);
    EXPECT_EQ(Drawn(0, ILD_NORMAL), (std::vector<COLORREF>{kBlue, kWhite, kRed, kRed, kRed, kBlue}));
    EXPECT_EQ(Drawn(0, ILD_TRANSPARENT), (std::vector<COLORREF>{kBlue, kBlue, kRed, kRed, kRed, kBlue}));

    // Selected images are half the highlight colour, the transparent pixels untouched.
    ImageList_SetBkColor(list, CLR_NONE);
    const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF half = RGB((255 + GetRValue(h)) / 2, GetGValue(h) / 2, GetBValue(h) / 2);
    EXPECT_EQ(Drawn(0, ILD_SELECTED), (std::vector<COLORREF>{kBlue, kBlue, half, half, half, kBlue}));
}

TEST_F(ImageListTest, MergingPutsTheSecondImageOverTheFirstAndOverlaysDrawOnTop) {
    HBITMAP bits = strip.Bits();
    HBITMAP other = CreateBitmap(1, 1, 1, 32, nullptr);
    SelectObject(strip.Dc(), other);
    ASSERT_EQ(ImageList_AddMasked(list, bits, kMagenta), 0);
    SelectObject(strip.Dc(), bits);
    DeleteObject(other);

    HIMAGELIST merged = ImageList_Merge(list, 0, list, 1, 3, 0);
    ASSERT_NE(merged, nullptr);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(merged, &width, &height));
    EXPECT_EQ(width, 7);
    EXPECT_EQ(height, 4);
    MemoryCanvas canvas(8, 4);
    PatBlt(canvas.Dc(), 0, 0, 8, 4, BLACKNESS);
    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT all{0, 0, 8, 4};
    FillRect(canvas.Dc(), &all, blue);
    DeleteObject(blue);
    ASSERT_TRUE(ImageList_Draw(merged, 0, canvas.Dc(), 0, 0, ILD_TRANSPARENT));
    // The first image's transparent column stays transparent; past both images, too.
    const std::vector<COLORREF> row{canvas.At(0, 1), canvas.At(1, 1), canvas.At(6, 1), canvas.At(7, 1)};
    EXPECT_EQ(row, (std::vector<COLORREF>{kBlue, kRed, kRed, kBlue}));
    ImageList_Destroy(merged);
    EXPECT_EQ(ImageList_Merge(list, 0, list, 5, 0, 0), nullptr);

    ASSERT_TRUE(ImageList_SetOverlayImage(list, 1, 1));
    EXPECT_FALSE(ImageList_SetOverlayImage(list, 1, 16));
    EXPECT_EQ(Drawn(0, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1)),
              (std::vector<COLORREF>{kBlue, kRed, kRed, kRed, kRed, kBlue}));
}

TEST_F(ImageListTest, RemoveReplaceAndDuplicate) {
    HBITMAP bits = strip.Bits();
    HBITMAP other = CreateBitmap(1, 1, 1, 32, nullptr);
    SelectObject(strip.Dc(), other);
    ImageList_AddMasked(list, bits, kMagenta);
    ImageList_AddMasked(list, bits, kMagenta);
    // Too small for one image.
    HBITMAP tiny = CreateBitmap(3, 4, 1, 32, nullptr);
    EXPECT_EQ(ImageList_Add(list, tiny, nullptr), -1);
    EXPECT_FALSE(ImageList_Replace(list, 0, tiny, nullptr));
    DeleteObject(tiny);

    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    // What was the second image (all red) is now the first.
    EXPECT_EQ(Drawn(0, ILD_NORMAL)[1], kRed);
    EXPECT_FALSE(ImageList_Remove(list, 3));

    HIMAGELIST copy = ImageList_Duplicate(list);
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    EXPECT_FALSE(ImageList_Draw(list, 0, strip.Dc(), 0, 0, ILD_NORMAL));
    std::swap(copy, list);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    EXPECT_EQ(Drawn(1, ILD_NORMAL), (std::vector<COLORREF>{kBlue, kBlue, kRed, kRed, kRed, kBlue}));
    ImageList_Destroy(copy);
    int w = 0, h = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &w, &h));
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 4);

    SelectObject(strip.Dc(), bits);
    DeleteObject(other);
}

} // namespace
} // namespace vq::test
