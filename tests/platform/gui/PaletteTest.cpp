#include "platform/gui/Palette.h"

#include "WindowFixture.h"
#include "platform/gui/Beep.h"
#include "platform/gui/Gdi.h"

#include <vector>

namespace vq {
namespace {

// A memory context over a 32-bit bitmap, freed with the fixture.
class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
    }
    void TearDown() override {
        SetPaletteScreen(false);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }

    // The 3-3-2 palette a chart makes: red in the low three bits, blue in the top two.
    static HPALETTE ThreeThreeTwo() {
        std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
        auto* lp = reinterpret_cast<LOGPALETTE*>(storage.data());
        lp->palVersion = 0x300;
        lp->palNumEntries = 256;
        for (int i = 0; i < 256; ++i)
            lp->palPalEntry[i] = {std::uint8_t((i & 7) * 255 / 7), std::uint8_t((i >> 3 & 7) * 255 / 7),
                                  std::uint8_t((i >> 6 & 3) * 255 / 3), 0};
        return CreatePalette(lp);
    }

    COLORREF FillAndRead(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        const RECT all{0, 0, 16, 16};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        return GetPixel(dc, 3, 3);
    }

    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

TEST_F(PaletteTest, PaletteIndexFillsWithTheRealisedEntry) {
    HPALETTE palette = ThreeThreeTwo();
    ASSERT_NE(palette, nullptr);
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(RealizePalette(dc), 256u);
    EXPECT_EQ(FillAndRead(PALETTEINDEX(5)), RGB(182, 0, 0));
    EXPECT_EQ(FillAndRead(PALETTEINDEX(0xC0 | 7 << 3)), RGB(0, 255, 255));
    // Pens and text colours resolve the same way.
    HPEN pen = CreatePen(PS_SOLID, 1, PALETTEINDEX(2));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, 0, 8, nullptr);
    LineTo(dc, 16, 8);
    EXPECT_EQ(GetPixel(dc, 4, 8), RGB(72, 0, 0));
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    // Back on the default palette the same index names its colour there.
    EXPECT_EQ(SelectPalette(dc, previous, FALSE), palette);
    EXPECT_EQ(RealizePalette(dc), 0u);
    EXPECT_EQ(FillAndRead(PALETTEINDEX(5)), RGB(128, 0, 128));
    EXPECT_EQ(FillAndRead(PALETTEINDEX(300)), RGB(0, 0, 0)) << "past the end: the first entry";
    EXPECT_EQ(FillAndRead(PALETTERGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_TRUE(DeleteObject(palette));
}

TEST_F(PaletteTest, DefaultAndHalftonePalettesAndEntries) {
    HPALETTE standard = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    ASSERT_EQ(GetPaletteEntries(standard, 0, 0, nullptr), 20u);
    PALETTEENTRY all[20];
    ASSERT_EQ(GetPaletteEntries(standard, 0, 20, all), 20u);
    const COLORREF expected[20] = {
        RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
        RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
        RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
        RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(RGB(all[i].peRed, all[i].peGreen, all[i].peBlue), expected[i]) << i;
    std::uint16_t count = 0;
    EXPECT_EQ(GetObject(standard, sizeof count, &count), int(sizeof count));
    EXPECT_EQ(count, 20);
    const PALETTEENTRY red{255, 0, 0, 0};
    EXPECT_EQ(SetPaletteEntries(standard, 0, 1, &red), 0u) << "the stock palette stays as it is";

    HPALETTE halftone = CreateHalftonePalette(dc);
    EXPECT_EQ(GetPaletteEntries(halftone, 0, 0, nullptr), 256u);
    EXPECT_EQ(GetNearestPaletteIndex(halftone, RGB(0, 0, 0)), 0u);
    PALETTEENTRY e;
    GetPaletteEntries(halftone, GetNearestPaletteIndex(halftone, RGB(100, 150, 210)), 1, &e);
    EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), RGB(102, 153, 204));
    EXPECT_EQ(SetPaletteEntries(halftone, 255, 2, &red), 1u) << "only up to the end";
    GetPaletteEntries(halftone, 255, 1, &e);
    EXPECT_EQ(e, red);
    EXPECT_EQ(GetPaletteEntries(halftone, 256, 1, &e), 0u);
    DeleteObject(halftone);

    LOGPALETTE empty;
    empty.palNumEntries = 0;
    EXPECT_EQ(CreatePalette(&empty), nullptr);
    EXPECT_EQ(CreatePalette(nullptr), nullptr);
    EXPECT_EQ(SelectObject(dc, standard), nullptr) << "palettes go in through SelectPalette";
}

TEST_F(PaletteTest, PaletteCapabilitiesOnlyOnTheEightBitScreen) {
    EXPECT_EQ(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE, 0);
    EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 0);
    SetPaletteScreen(true);
    EXPECT_EQ(GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE, RC_PALETTE);
    EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 256);
    EXPECT_EQ(GetDeviceCaps(dc, NUMRESERVED), 20);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32) << "surfaces stay 32-bit";
    EXPECT_EQ(FillAndRead(RGB(1, 2, 3)), RGB(1, 2, 3));
}

TEST_F(PaletteTest, PrintingIsSetOnMemoryContextsAndNotInherited) {
    EXPECT_FALSE(IsPrinting(dc));
    EXPECT_TRUE(SetPrinting(dc, TRUE));
    EXPECT_TRUE(IsPrinting(dc));
    HDC compatible = CreateCompatibleDC(dc);
    EXPECT_FALSE(IsPrinting(compatible));
    DeleteDC(compatible);
    const int saved = SaveDC(dc);
    RestoreDC(dc, saved);
    EXPECT_TRUE(IsPrinting(dc)) << "not part of the saved state";
    EXPECT_FALSE(IsPrinting(nullptr));
}

TEST(BeepTest, HookSeesEveryBeepInOrder) {
    std::vector<UINT> beeps;
    SetBeepHook([&](UINT type) { beeps.push_back(type); });
    EXPECT_TRUE(MessageBeep(UINT(-1)));
    EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
    SetBeepHook(nullptr);
    MessageBeep(MB_OK);
    EXPECT_EQ(beeps, (std::vector<UINT>{0xFFFFFFFFu, 0x30u}));
}

} // namespace
} // namespace vq
