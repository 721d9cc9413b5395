#include "GdiFixture.h"
#include "fixture.h"
#include "platform/gui/Icon.h"

namespace vq {
namespace {

using test::kBlack;
using test::kWhite;
using test::MemoryCanvas;

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

void FillGreen(MemoryCanvas& canvas, int size) {
    HBRUSH green = CreateSolidBrush(kGreen);
    RECT all{0, 0, size, size};
    FillRect(canvas.Dc(), &all, green);
    DeleteObject(green);
}

// The fixture icon holds a 32x32 red square inside a transparent 4-pixel border and a 16x16 blue
// one whose top-left quarter is transparent and whose corner pixel inverts.
TEST(IconTest, TheNearestImageIsDrawnThroughItsMaskAndScaledWhenNoneFits) {
    struct Case {
        int size;
        std::vector<std::pair<POINT, COLORREF>> expected;
    };
    const Case cases[] = {
        {16, {{{2, 2}, kGreen}, {{7, 9}, kBlue}, {{12, 3}, kBlue}, {{15, 15}, RGB(255, 0, 255)}}},
        {32, {{{3, 16}, kGreen}, {{4, 16}, kRed}, {{27, 27}, kRed}, {{28, 27}, kGreen}}},
        // Scaled from the 32x32 image: the border is 6 pixels wide.
        {48, {{{5, 24}, kGreen}, {{6, 24}, kRed}, {{41, 24}, kRed}, {{42, 24}, kGreen}}},
    };
    for (const auto& c : cases) {
        HICON icon = LoadIcon(IDI_SAMPLE, c.size, c.size);
        ASSERT_NE(icon, nullptr) << c.size;
        MemoryCanvas canvas(c.size, c.size);
        FillGreen(canvas, c.size);
        EXPECT_TRUE(DrawIcon(canvas.Dc(), 0, 0, icon));
        for (const auto& [p, colour] : c.expected)
            EXPECT_EQ(canvas.At(p.x, p.y), colour) << c.size << ": " << p.x << "," << p.y;
    }
}

TEST(IconTest, DrawingAtAnotherSizeOverABackgroundAndItsParts) {
    HICON icon = LoadIcon(IDI_SAMPLE);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(IDI_SAMPLE, 32, 32), icon);
    MemoryCanvas canvas(20, 20);
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    // 32 drawn as 16 over a black background: the border is 2 pixels.
    EXPECT_TRUE(DrawIconEx(canvas.Dc(), 2, 2, icon, 16, 16, 0, black, DI_NORMAL));
    EXPECT_EQ(canvas.At(1, 1), kWhite);
    EXPECT_EQ(canvas.At(3, 3), kBlack);
    EXPECT_EQ(canvas.At(4, 4), kRed);
    EXPECT_EQ(canvas.At(18, 18), kWhite);
    // The mask alone: white where transparent, black where drawn.
    MemoryCanvas mask(32, 32);
    EXPECT_TRUE(DrawIconEx(mask.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_MASK));
    EXPECT_EQ(mask.At(0, 0), kWhite);
    EXPECT_EQ(mask.At(16, 16), kBlack);

    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 16u);
    EXPECT_EQ(info.yHotspot, 16u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // Shared: destroying leaves it usable.
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_TRUE(DrawIcon(canvas.Dc(), 0, 0, icon));
}

TEST(IconTest, ACopyDrawsLikeTheOriginalAndGoesAloneWhenDestroyed) {
    HICON original = LoadIcon(IDI_SAMPLE, 16, 16);
    HICON copy = CopyIcon(original);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    MemoryCanvas canvas(16, 16);
    FillGreen(canvas, 16);
    EXPECT_TRUE(DrawIcon(canvas.Dc(), 0, 0, copy));
    EXPECT_EQ(canvas.At(2, 2), kGreen);
    EXPECT_EQ(canvas.At(7, 9), kBlue);
    EXPECT_TRUE(DestroyIcon(copy));
    // The copy is gone, twice destroyed is refused, and the original still draws.
    EXPECT_FALSE(DrawIcon(canvas.Dc(), 0, 0, copy));
    EXPECT_FALSE(DestroyIcon(copy));
    EXPECT_TRUE(DrawIcon(canvas.Dc(), 0, 0, original));
    // A copy of a copy outlives it.
    HICON first = CopyIcon(original);
    HICON second = CopyIcon(first);
    EXPECT_TRUE(DestroyIcon(first));
    EXPECT_TRUE(DrawIcon(canvas.Dc(), 0, 0, second));
    EXPECT_TRUE(DestroyIcon(second));
    EXPECT_EQ(CopyIcon(nullptr), nullptr);
}

TEST(IconTest, ByNameOnlyTheNumberedFormFindsAnIcon) {
    const std::string numbered = "#" + std::to_string(IDI_SAMPLE);
    EXPECT_EQ(LoadIcon(numbered.c_str(), 16, 16), LoadIcon(IDI_SAMPLE, 16, 16));
    for (const char* name : {"SAMPLE", "#", "#12x", "#99999999999", "", "12"})
        EXPECT_EQ(LoadIcon(name), nullptr) << name;
    EXPECT_EQ(LoadIcon(static_cast<const char*>(nullptr)), nullptr);
}

TEST(IconTest, MissingOrMalformedResourcesAndBadHandlesAreRefused) {
    EXPECT_EQ(LoadIcon(IDI_BROKEN), nullptr);
    EXPECT_EQ(LoadIcon(999), nullptr);
    // An id of another type is not an icon.
    EXPECT_EQ(LoadIcon(IDC_CROSSHAIR), nullptr);
    MemoryCanvas canvas(4, 4);
    IconImage forged;
    EXPECT_FALSE(DrawIcon(canvas.Dc(), 0, 0, &forged));
    EXPECT_FALSE(DestroyIcon(&forged));
    EXPECT_FALSE(GetIconInfo(nullptr, nullptr));
}

TEST(IconTest, CursorResourcesKeepTheirHotSpotAndSystemIdsStaySystemCursors) {
    HCURSOR cursor = LoadCursor(IDC_CROSSHAIR);
    ASSERT_NE(cursor, nullptr);
    ASSERT_NE(cursor->image, nullptr);
    EXPECT_EQ(LoadCursor(IDC_CROSSHAIR), cursor);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(const_cast<HICON>(cursor->image), &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 3u);
    EXPECT_EQ(info.yHotspot, 5u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(QtCursorOf(cursor).hotSpot(), QPoint(3, 5));
    EXPECT_EQ(LoadCursor(IDC_ARROW)->image, nullptr);
    EXPECT_EQ(LoadCursor(IDI_SAMPLE), nullptr);
}

} // namespace
} // namespace vq
