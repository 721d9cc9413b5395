#include "GdiFixture.h"
#include "platform/gui/SystemColours.h"
#include "platform/res/Resources.h"

#include <cmath>

namespace vq {
namespace {

using test::kBlack;
using test::kWhite;
using test::MemoryCanvas;

TEST(Gdi, LineLeavesOutItsEndPoint) {
    MemoryCanvas c(40, 40);
    MoveToEx(c.Dc(), 5, 5, nullptr);
    LineTo(c.Dc(), 15, 5);
    for (int x = 5; x < 15; ++x)
        EXPECT_EQ(c.At(x, 5), kBlack) << x;
    EXPECT_EQ(c.At(15, 5), kWhite);
    EXPECT_EQ(c.At(4, 5), kWhite);
}

TEST(Gdi, RectangleLeavesOutRightAndBottomEdges) {
    MemoryCanvas c(40, 40);
    SelectObject(c.Dc(), GetStockObject(NULL_BRUSH));
    Rectangle(c.Dc(), 20, 20, 30, 30);
    EXPECT_EQ(c.At(20, 25), kBlack);
    EXPECT_EQ(c.At(29, 25), kBlack);
    EXPECT_EQ(c.At(25, 29), kBlack);
    EXPECT_EQ(c.At(30, 25), kWhite);
    EXPECT_EQ(c.At(25, 30), kWhite);
    EXPECT_EQ(c.At(25, 25), kWhite);
}

TEST(Gdi, FillRectAndNullPenRectangleFillOnlyTheirInside) {
    MemoryCanvas c(20, 20);
    const RECT r{2, 2, 6, 6};
    FillRect(c.Dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(c.At(5, 5), kBlack);
    EXPECT_EQ(c.At(6, 5), kWhite);
    EXPECT_EQ(c.At(5, 6), kWhite);

    SelectObject(c.Dc(), GetStockObject(NULL_PEN));
    SelectObject(c.Dc(), GetStockObject(BLACK_BRUSH));
    Rectangle(c.Dc(), 10, 10, 16, 16);
    EXPECT_EQ(c.At(10, 10), kBlack);
    EXPECT_EQ(c.At(14, 14), kBlack);
    EXPECT_EQ(c.At(15, 14), kWhite);
}

TEST(Gdi, StarIsHollowWithAlternateAndFilledWithWinding) {
    // A five-pointed star drawn as one self-crossing outline around (20, 20).
    POINT star[5];
    for (int i = 0; i < 5; ++i) {
        const double angle = -M_PI / 2 + i * 4 * M_PI / 5;
        star[i] = {std::int32_t(std::lround(20 + 18 * std::cos(angle))),
                   std::int32_t(std::lround(20 + 18 * std::sin(angle)))};
    }
    for (const auto& [mode, centre] : {std::pair{ALTERNATE, kWhite}, std::pair{WINDING, kBlack}}) {
        SCOPED_TRACE(mode);
        MemoryCanvas c(40, 40);
        SelectObject(c.Dc(), GetStockObject(NULL_PEN));
        SelectObject(c.Dc(), GetStockObject(BLACK_BRUSH));
        SetPolyFillMode(c.Dc(), mode);
        Polygon(c.Dc(), star, 5);
        EXPECT_EQ(c.At(20, 21), centre);
        EXPECT_EQ(c.At(20, 6), kBlack) << "top arm";
        EXPECT_EQ(c.At(1, 1), kWhite);
    }
}

TEST(Gdi, FocusRectangleDrawnTwiceRestoresEveryPixel) {
    MemoryCanvas c(40, 40);
    MoveToEx(c.Dc(), 0, 33, nullptr);
    LineTo(c.Dc(), 40, 33);
    const auto before = c.Pixels();
    const RECT r{2, 30, 12, 38};
    DrawFocusRect(c.Dc(), &r);
    EXPECT_NE(c.At(2, 30), c.At(3, 30)) << "alternate pixels of the frame";
    EXPECT_NE(c.At(11, 36), c.At(11, 37));
    EXPECT_EQ(c.At(6, 34), kWhite) << "inside stays";
    EXPECT_EQ(c.At(12, 30), kWhite) << "right edge left out";
    DrawFocusRect(c.Dc(), &r);
    EXPECT_EQ(c.Pixels(), before);
}

TEST(Gdi, EdgesTakeEachRingsColoursFromTheColourTable) {
    // The classic table's 3-D light is the face colour, so an edge's light ring is the face's.
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNFACE));
    const int indexes[] = {COLOR_3DLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW,
                           COLOR_BTNFACE};
    const COLORREF changed[] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0), RGB(5, 0, 0)};
    COLORREF classic[5];
    for (int i = 0; i < 5; ++i)
        classic[i] = GetSysColor(indexes[i]);
    ASSERT_TRUE(SetSysColors(5, indexes, changed));
    const COLORREF light = changed[0], hilight = changed[1], shadow = changed[2], dark = changed[3],
                   face = changed[4];
    // On a 10 x 10 edge the outer ring runs along 0 and 9, the inner one along 1 and 8.
    struct Case {
        UINT edge;
        COLORREF outerTopLeft, innerTopLeft, innerBottomRight, outerBottomRight;
    };
    const Case cases[] = {{EDGE_RAISED, light, hilight, shadow, dark},
                          {EDGE_SUNKEN, shadow, dark, light, hilight},
                          {EDGE_ETCHED, shadow, hilight, shadow, hilight},
                          {EDGE_BUMP, light, dark, light, dark}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        MemoryCanvas canvas(10, 10);
        RECT r{0, 0, 10, 10};
        DrawEdge(canvas.Dc(), &r, c.edge, BF_RECT | BF_MIDDLE);
        EXPECT_EQ(canvas.At(0, 5), c.outerTopLeft);
        EXPECT_EQ(canvas.At(5, 0), c.outerTopLeft);
        EXPECT_EQ(canvas.At(1, 5), c.innerTopLeft);
        EXPECT_EQ(canvas.At(8, 5), c.innerBottomRight);
        EXPECT_EQ(canvas.At(5, 9), c.outerBottomRight);
        EXPECT_EQ(canvas.At(5, 5), face);
        EXPECT_EQ(r, (RECT{2, 2, 8, 8}));
    }
    SetSysColors(5, indexes, classic);
}

TEST(Gdi, XorPenDrawnTwiceRestores) {
    MemoryCanvas c(20, 20);
    const RECT half{0, 0, 10, 20};
    FillRect(c.Dc(), &half, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    const auto before = c.Pixels();
    SetROP2(c.Dc(), R2_XORPEN);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(10, 200, 30));
    HGDIOBJ old = SelectObject(c.Dc(), pen);
    for (int pass = 0; pass < 2; ++pass) {
        MoveToEx(c.Dc(), 1, 1, nullptr);
        LineTo(c.Dc(), 18, 15);
    }
    EXPECT_EQ(c.Pixels(), before);
    SelectObject(c.Dc(), old);
    DeleteObject(pen);
}

TEST(Gdi, BinaryOperationsFollowTheirTruthTables) {
    // Each code less one is its truth table: bit (pen << 1 | destination) is the result. Column i
    // of a line drawn over a row holds destination bit 0 of i; a black pen draws over columns
    // 0-1, a white one over 2-3.
    for (int rop2 = R2_BLACK; rop2 <= R2_WHITE; ++rop2) {
        SCOPED_TRACE(rop2);
        MemoryCanvas c(4, 1);
        SetPixel(c.Dc(), 0, 0, kBlack);
        SetPixel(c.Dc(), 2, 0, kBlack);
        SetROP2(c.Dc(), rop2);
        for (const auto& [pen, from] : {std::pair{kBlack, 0}, std::pair{kWhite, 2}}) {
            HPEN p = CreatePen(PS_SOLID, 1, pen);
            HGDIOBJ old = SelectObject(c.Dc(), p);
            MoveToEx(c.Dc(), from, 0, nullptr);
            LineTo(c.Dc(), from + 2, 0);
            SelectObject(c.Dc(), old);
            DeleteObject(p);
        }
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(c.At(i, 0), ((rop2 - 1) >> i & 1) ? kWhite : kBlack)
                << "pen " << (i >> 1) << ", dest " << (i & 1);
    }
}

TEST(Gdi, TernaryOperationsFollowTheirTruthTables) {
    // Column i holds pattern bit 2, source bit 1 and destination bit 0 of i, white for 1.
    auto bit = [](int i, int which) { return (i >> which & 1) ? kWhite : kBlack; };
    MemoryCanvas pattern(8, 8);
    MemoryCanvas source(8, 1);
    for (int i = 0; i < 8; ++i) {
        for (int y = 0; y < 8; ++y)
            SetPixel(pattern.Dc(), i, y, bit(i, 2));
        SetPixel(source.Dc(), i, 0, bit(i, 1));
    }
    HBRUSH brush = CreatePatternBrush(pattern.Bits());
    for (DWORD rop : {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, DSTINVERT, PATINVERT, DWORD(0xB8074A),
                      DWORD(0xE20746), DWORD(0x220326)}) {
        SCOPED_TRACE(rop);
        MemoryCanvas target(8, 1);
        for (int i = 0; i < 8; ++i)
            SetPixel(target.Dc(), i, 0, bit(i, 0));
        HGDIOBJ old = SelectObject(target.Dc(), brush);
        BitBlt(target.Dc(), 0, 0, 8, 1, source.Dc(), 0, 0, rop);
        SelectObject(target.Dc(), old);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(target.At(i, 0), bit(int(rop >> 16), i)) << "inputs " << i;
    }
    DeleteObject(brush);
}

TEST(Gdi, MonochromeMaskTurnsExactlyTheGlyphHighlight) {
    const COLORREF face = RGB(192, 192, 192);
    const COLORREF highlight = RGB(0, 0, 128);
    HBRUSH faceBrush = CreateSolidBrush(face);
    const RECT all{0, 0, 16, 16};

    MemoryCanvas image(16, 16);
    FillRect(image.Dc(), &all, faceBrush);
    const RECT bar{4, 5, 10, 11};
    FillRect(image.Dc(), &bar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetPixel(image.Dc(), 12, 2, kBlack);

    // Colour to monochrome: 1 where the source shows its background colour.
    MemoryCanvas mask(16, 16, true);
    SetBkColor(image.Dc(), face);
    BitBlt(mask.Dc(), 0, 0, 16, 16, image.Dc(), 0, 0, SRCCOPY);

    MemoryCanvas target(16, 16);
    FillRect(target.Dc(), &all, faceBrush);
    SetTextColor(target.Dc(), kBlack);
    SetBkColor(target.Dc(), kWhite);
    HBRUSH highlightBrush = CreateSolidBrush(highlight);
    HGDIOBJ old = SelectObject(target.Dc(), highlightBrush);
    BitBlt(target.Dc(), 0, 0, 16, 16, mask.Dc(), 0, 0, 0xB8074A);
    SelectObject(target.Dc(), old);

    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool glyph = (x >= 4 && x < 10 && y >= 5 && y < 11) || (x == 12 && y == 2);
            EXPECT_EQ(target.At(x, y), glyph ? highlight : face) << x << "," << y;
        }
    DeleteObject(highlightBrush);
    DeleteObject(faceBrush);
}

TEST(Gdi, HatchBrushUsesBackgroundOnlyWhenOpaque) {
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, kBlack);
    for (const auto& [mode, gap] : {std::pair{OPAQUE, RGB(255, 0, 0)}, std::pair{TRANSPARENT, kWhite}}) {
        MemoryCanvas c(8, 8);
        SetBkColor(c.Dc(), RGB(255, 0, 0));
        SetBkMode(c.Dc(), mode);
        const RECT r{0, 0, 8, 8};
        FillRect(c.Dc(), &r, hatch);
        int lines = 0;
        for (int y = 0; y < 8; ++y)
            lines += c.At(3, y) == kBlack;
        EXPECT_EQ(lines, 1);
        EXPECT_EQ(c.At(3, c.At(3, 0) == kBlack ? 1 : 0), gap);
    }
    DeleteObject(hatch);
}

TEST(Gdi, DeletingASelectedObjectWaitsForItsRelease) {
    MemoryCanvas c(4, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ old = SelectObject(c.Dc(), pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(IsGdiObject(pen));
    MoveToEx(c.Dc(), 0, 0, nullptr);
    LineTo(c.Dc(), 2, 0);
    EXPECT_EQ(c.At(0, 0), RGB(1, 2, 3));
    SelectObject(c.Dc(), old);
    EXPECT_FALSE(IsGdiObject(pen));
    EXPECT_EQ(SelectObject(c.Dc(), pen), nullptr);
}

TEST(Gdi, DibRowsAreAlignedAndBottomUp) {
    // 3x2 pixels, 24 bits: rows of 9 bytes padded to 12, the bottom row first.
    struct {
        BITMAPINFOHEADER header;
    } info;
    info.header.biWidth = 3;
    info.header.biHeight = 2;
    info.header.biBitCount = 24;
    const std::uint8_t bits[24] = {
        0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0, // bottom: red, green, blue
        255, 255, 255, 0, 0,   0, 128, 128, 128, 0, 0, 0, // top: white, black, grey
    };
    MemoryCanvas c(3, 2);
    SetDIBitsToDevice(c.Dc(), 0, 0, 3, 2, 0, 0, 0, 2, bits, reinterpret_cast<const BITMAPINFO*>(&info),
                      DIB_RGB_COLORS);
    EXPECT_EQ(c.At(0, 1), RGB(255, 0, 0));
    EXPECT_EQ(c.At(2, 1), RGB(0, 0, 255));
    EXPECT_EQ(c.At(1, 0), kBlack);
    EXPECT_EQ(c.At(2, 0), RGB(128, 128, 128));
}

TEST(Gdi, PalettedAndFiveBitDibsDecode) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } mono;
    mono.header.biWidth = 2;
    mono.header.biHeight = -1;
    mono.header.biBitCount = 1;
    mono.colours[0] = {0, 0, 255, 0};
    mono.colours[1] = {255, 0, 0, 0};
    const std::uint8_t monoBits[4] = {0x40, 0, 0, 0};
    MemoryCanvas c(2, 2);
    StretchDIBits(c.Dc(), 0, 0, 2, 1, 0, 0, 2, 1, monoBits, reinterpret_cast<const BITMAPINFO*>(&mono),
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(c.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(c.At(1, 0), RGB(0, 0, 255));

    struct {
        BITMAPINFOHEADER header;
    } five;
    five.header.biWidth = 1;
    five.header.biHeight = 1;
    five.header.biBitCount = 16;
    const std::uint8_t fiveBits[4] = {0x1F, 0x7C, 0, 0}; // 0x7C1F: red and blue full, green 0
    StretchDIBits(c.Dc(), 0, 1, 1, 1, 0, 0, 1, 1, fiveBits, reinterpret_cast<const BITMAPINFO*>(&five),
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(c.At(0, 1), RGB(255, 0, 255));
}

TEST(Gdi, HalftoneShrinksToTheMeanColourAndOtherModesToTheNearestPixel) {
    struct {
        BITMAPINFOHEADER header;
    } info;
    info.header.biWidth = 4;
    info.header.biHeight = -1;
    info.header.biBitCount = 32;
    // Blue, green, red, reserved: black, white, red, blue.
    const std::uint8_t bits[16] = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    for (const auto& [mode, left, right] : {std::tuple{HALFTONE, RGB(128, 128, 128), RGB(128, 0, 128)},
                                            {COLORONCOLOR, RGB(255, 255, 255), RGB(0, 0, 255)}}) {
        SCOPED_TRACE(mode);
        MemoryCanvas c(3, 1);
        EXPECT_EQ(SetStretchBltMode(c.Dc(), mode), BLACKONWHITE);
        EXPECT_EQ(GetStretchBltMode(c.Dc()), mode);
        StretchDIBits(c.Dc(), 0, 0, 2, 1, 0, 0, 4, 1, bits, reinterpret_cast<const BITMAPINFO*>(&info),
                      DIB_RGB_COLORS, SRCCOPY);
        EXPECT_EQ(c.At(0, 0), left);
        EXPECT_EQ(c.At(1, 0), right);
        EXPECT_EQ(c.At(2, 0), RGB(255, 255, 255));
        if (mode != HALFTONE) continue;
        StretchDIBits(c.Dc(), 2, 0, -2, 1, 0, 0, 4, 1, bits, reinterpret_cast<const BITMAPINFO*>(&info),
                      DIB_RGB_COLORS, SRCCOPY);
        EXPECT_EQ(c.At(1, 0), left) << "a mirrored stretch covers the same pixels";
        EXPECT_EQ(c.At(0, 0), right);
    }
    MemoryCanvas c(1, 1);
    EXPECT_EQ(SetStretchBltMode(c.Dc(), 9), 0);
}

TEST(Gdi, MalformedDibHeadersAreRefused) {
    struct {
        BITMAPINFOHEADER header;
    } info;
    const std::uint8_t bits[16] = {};
    MemoryCanvas c(2, 2);
    for (auto [width, height, count] : {std::tuple{0, 1, 24}, std::tuple{1, 0, 24}, std::tuple{1, 1, 7},
                                        std::tuple{-1, 1, 24}, std::tuple{1 << 20, 1, 24}}) {
        info.header.biWidth = width;
        info.header.biHeight = height;
        info.header.biBitCount = std::uint16_t(count);
        EXPECT_EQ(StretchDIBits(c.Dc(), 0, 0, 1, 1, 0, 0, 1, 1, bits,
                                reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY),
                  0);
    }
}

} // namespace
} // namespace vq

namespace vq {
namespace {

TEST(Gdi, BitmapResourceLoadsFromItsPackedDib) {
    HBITMAP bitmap = LoadBitmap(300);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->bits.Width(), 2);
    EXPECT_EQ(bitmap->bits.ColourOf(bitmap->bits.Pixel(0, 1)), RGB(255, 0, 0));
    EXPECT_EQ(bitmap->bits.ColourOf(bitmap->bits.Pixel(1, 1)), RGB(0, 255, 0));
    EXPECT_EQ(bitmap->bits.ColourOf(bitmap->bits.Pixel(0, 0)), RGB(0, 0, 255));
    EXPECT_EQ(bitmap->bits.ColourOf(bitmap->bits.Pixel(1, 0)), RGB(255, 255, 255));
    DeleteObject(bitmap);
    EXPECT_EQ(LoadBitmap(301), nullptr);
}

TEST(Gdi, TruncatedPackedDibIsRefused) {
    const auto dib = FindResource(RT_BITMAP, 300);
    ASSERT_FALSE(dib.empty());
    for (std::size_t cut : {std::size_t(0), std::size_t(39), std::size_t(40), dib.size() - 1})
        EXPECT_EQ(CreateBitmapFromPackedDib(dib.data(), cut), nullptr) << cut;
    HBITMAP whole = CreateBitmapFromPackedDib(dib.data(), dib.size());
    EXPECT_NE(whole, nullptr);
    DeleteObject(whole);
}

} // namespace
} // namespace vq

namespace vq::test {
namespace {

struct Probe {
    std::int32_t x, y;
    bool set;
};

void ExpectPixels(const MemoryCanvas& canvas, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes)
        EXPECT_EQ(canvas.At(p.x, p.y), p.set ? kBlack : kWhite) << p.x << "," << p.y;
}

TEST(GdiCurves, EllipsesFitTheBoxLessItsLastColumnAndRow) {
    MemoryCanvas canvas(30, 30);
    SelectObject(canvas.Dc(), GetStockObject(NULL_BRUSH));
    Ellipse(canvas.Dc(), 0, 0, 11, 11);
    ExpectPixels(canvas, {{5, 0, true},
                          {0, 5, true},
                          {10, 5, true},
                          {5, 10, true},
                          {11, 5, false},
                          {5, 11, false},
                          {0, 0, false},
                          {5, 5, false}});
    SelectObject(canvas.Dc(), GetStockObject(BLACK_BRUSH));
    Ellipse(canvas.Dc(), 12, 0, 23, 11);
    ExpectPixels(canvas, {{17, 5, true}, {12, 0, false}, {23, 5, false}});
}

TEST(GdiCurves, PiesChordsAndArcsRunCounterClockwiseBetweenTheirRadials) {
    MemoryCanvas canvas(70, 30);
    SelectObject(canvas.Dc(), GetStockObject(BLACK_BRUSH));
    // From the right-hand radial to the top one: the upper right quarter.
    Pie(canvas.Dc(), 0, 0, 21, 21, 20, 10, 10, 0);
    ExpectPixels(canvas, {{14, 6, true}, {10, 10, true}, {6, 14, false}, {6, 6, false}, {14, 14, false}});
    // The chord cuts the quarter along the line between the radials' ends.
    Chord(canvas.Dc(), 22, 0, 43, 21, 42, 10, 32, 0);
    ExpectPixels(canvas, {{38, 4, true}, {34, 8, false}});
    Arc(canvas.Dc(), 44, 0, 65, 21, 64, 10, 54, 0);
    ExpectPixels(canvas, {{61, 3, true}, {58, 6, false}, {47, 17, false}});
}

TEST(GdiCurves, RoundedRectanglesCutTheirCorners) {
    MemoryCanvas canvas(30, 20);
    SelectObject(canvas.Dc(), GetStockObject(NULL_BRUSH));
    RoundRect(canvas.Dc(), 0, 0, 20, 12, 6, 6);
    ExpectPixels(canvas, {{0, 0, false},
                          {19, 11, false},
                          {10, 0, true},
                          {0, 6, true},
                          {19, 6, true},
                          {10, 11, true},
                          {20, 6, false},
                          {10, 6, false}});
}

} // namespace
} // namespace vq::test
