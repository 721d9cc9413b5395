#include "GdiFixture.h"
#include "platform/gui/FontFace.h"

#include <cstring>

namespace vq {
namespace {

using test::kBlack;
using test::kWhite;
using test::MemoryCanvas;

HFONT MakeFont(const char* face, std::int32_t height, std::int32_t escapement = 0) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfEscapement = escapement;
    std::strncpy(lf.lfFaceName, face, sizeof lf.lfFaceName - 1);
    return CreateFontIndirect(lf);
}

// The columns and rows that hold ink.
RECT InkBounds(const MemoryCanvas& c, std::int32_t width, std::int32_t height) {
    RECT ink{width, height, 0, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (c.At(x, y) != kWhite)
                ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                       std::max(ink.bottom, y + 1)};
    return ink;
}

TEST(Text, DrawingMatchesTheCalculatedRectangle) {
    struct Case {
        const char* text;
        UINT format;
        std::int32_t wrapWidth;
        int lines;
    };
    const Case cases[] = {
        {"Save &As", DT_SINGLELINE, 1000, 1},
        {"Save &As", DT_SINGLELINE | DT_NOPREFIX, 1000, 1},
        {"a\tb", DT_SINGLELINE | DT_EXPANDTABS, 1000, 1},
        // Two words that each need a line of their own, even 50 pixels wider.
        {"Monitoring Conversations", DT_WORDBREAK, 100, 2},
        {"A rather long line of text that needs an ellipsis", DT_SINGLELINE | DT_END_ELLIPSIS, 1000, 1},
    };
    HFONT font = MakeFont("Arial", -12);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MemoryCanvas measure(10, 10);
        SelectObject(measure.Dc(), font);
        RECT calc{10, 10, 10 + c.wrapWidth, 10};
        const int height = DrawText(measure.Dc(), c.text, -1, &calc, c.format | DT_CALCRECT);
        EXPECT_EQ(height, calc.bottom - calc.top);
        TEXTMETRIC tm;
        GetTextMetrics(measure.Dc(), &tm);
        EXPECT_EQ(height, c.lines * tm.tmHeight);
        ASSERT_GT(calc.right, calc.left);

        MemoryCanvas exact(400, 120);
        SelectObject(exact.Dc(), font);
        RECT r = calc;
        DrawText(exact.Dc(), c.text, -1, &r, c.format);
        const RECT ink = InkBounds(exact, 400, 120);
        EXPECT_GE(ink.left, calc.left);
        EXPECT_GE(ink.top, calc.top);
        EXPECT_LE(ink.right, calc.right);
        EXPECT_LE(ink.bottom, calc.bottom);

        MemoryCanvas wider(400, 120);
        SelectObject(wider.Dc(), font);
        RECT w = calc;
        w.right += 50;
        DrawText(wider.Dc(), c.text, -1, &w, c.format);
        EXPECT_EQ(wider.Pixels(), exact.Pixels());
    }
    DeleteObject(font);
}

TEST(Text, PrefixUnderlinesTheNextCharacterAndDoubledDrawsOne) {
    HFONT font = MakeFont("Arial", -12);
    MemoryCanvas c(10, 10);
    SelectObject(c.Dc(), font);
    SIZE plain;
    GetTextExtentPoint32(c.Dc(), "Save As", -1, &plain);
    RECT r{0, 0, 1000, 0};
    DrawText(c.Dc(), "Save &As", -1, &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.right, plain.cx);

    SIZE raw;
    GetTextExtentPoint32(c.Dc(), "Save &As", -1, &raw);
    r = {0, 0, 1000, 0};
    DrawText(c.Dc(), "Save &As", -1, &r, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(r.right, raw.cx);

    SIZE amp;
    GetTextExtentPoint32(c.Dc(), "a&b", -1, &amp);
    r = {0, 0, 1000, 0};
    DrawText(c.Dc(), "a&&b", -1, &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.right, amp.cx);

    // The underline sits below the baseline under the "A" only.
    MemoryCanvas drawn(100, 30);
    SelectObject(drawn.Dc(), font);
    TEXTMETRIC tm;
    GetTextMetrics(drawn.Dc(), &tm);
    SIZE save;
    GetTextExtentPoint32(drawn.Dc(), "Save ", -1, &save);
    r = {0, 0, 100, 30};
    DrawText(drawn.Dc(), "Save &As", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(drawn.At(save.cx + 1, tm.tmAscent + 1), kBlack);
    EXPECT_EQ(drawn.At(1, tm.tmAscent + 1), kWhite);
    DeleteObject(font);
}

TEST(Text, OnePixelTooNarrowEndsInAnEllipsis) {
    const char* text = "A rather long line of text that needs an ellipsis";
    HFONT font = MakeFont("Arial", -12);
    MemoryCanvas measure(10, 10);
    SelectObject(measure.Dc(), font);
    RECT calc{0, 0, 1000, 0};
    DrawText(measure.Dc(), text, -1, &calc, DT_SINGLELINE | DT_CALCRECT);

    MemoryCanvas narrow(400, 30);
    SelectObject(narrow.Dc(), font);
    RECT r = calc;
    r.right -= 1;
    DrawText(narrow.Dc(), text, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    const RECT ink = InkBounds(narrow, 400, 30);
    EXPECT_LE(ink.right, r.right);

    MemoryCanvas dots(100, 30);
    SelectObject(dots.Dc(), font);
    TextOut(dots.Dc(), 0, 0, "...", 3);
    const RECT dotInk = InkBounds(dots, 100, 30);
    // The last ink of the line is the three dots.
    const std::int32_t shift = ink.right - dotInk.right;
    for (int y = 0; y < 30; ++y)
        for (int x = dotInk.left; x < dotInk.right; ++x)
            EXPECT_EQ(narrow.At(x + shift, y), dots.At(x, y)) << x << "," << y;
    DeleteObject(font);
}

TEST(Text, CellHeightsAndCharacterHeights) {
    MemoryCanvas c(10, 10);
    for (const auto& [height, cell] : {std::pair{-12, false}, std::pair{16, true}}) {
        SCOPED_TRACE(height);
        HFONT font = MakeFont("Arial", height);
        HGDIOBJ old = SelectObject(c.Dc(), font);
        TEXTMETRIC tm;
        GetTextMetrics(c.Dc(), &tm);
        if (cell)
            EXPECT_LE(tm.tmHeight, height);
        else
            EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -height);
        EXPECT_GT(tm.tmAveCharWidth, 0);
        SelectObject(c.Dc(), old);
        DeleteObject(font);
    }
}

TEST(Text, TextOutPlacesTheCellTopLeftAndEscapementTurnsCounterClockwise) {
    HFONT upright = MakeFont("Arial", -16);
    HFONT turned = MakeFont("Arial", -16, 900);
    MemoryCanvas a(80, 80);
    SelectObject(a.Dc(), upright);
    SetBkMode(a.Dc(), TRANSPARENT);
    TextOut(a.Dc(), 20, 40, "Tx", 2);
    const RECT flat = InkBounds(a, 80, 80);
    EXPECT_GE(flat.top, 40);
    EXPECT_GE(flat.left, 20);

    MemoryCanvas b(80, 80);
    SelectObject(b.Dc(), turned);
    SetBkMode(b.Dc(), TRANSPARENT);
    TextOut(b.Dc(), 20, 40, "Tx", 2);
    const RECT up = InkBounds(b, 80, 80);
    // Turned a quarter counter-clockwise, the text runs upwards from the point, cell to its right.
    EXPECT_LE(up.bottom, 41);
    EXPECT_GE(up.left, 20);
    EXPECT_EQ(up.bottom - up.top, flat.right - flat.left);
    DeleteObject(upright);
    DeleteObject(turned);
}

TEST(Text, FacesMapToTheInstalledFamilies) {
    EXPECT_EQ(FontFace::MappedFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(FontFace::MappedFamily("arial narrow"), "Liberation Sans Narrow");
    EXPECT_EQ(FontFace::MappedFamily("MS Sans Serif"), "DejaVu Sans");
}

TEST(Text, InvalidUtf8BytesStayAsLatin1Characters) {
    EXPECT_EQ(DecodeText("a\xB0"), U"a\u00B0");
    EXPECT_EQ(DecodeText("\xC2\xB0"), U"\u00B0");
    EXPECT_EQ(DecodeText("\xE2\x82"), U"\u00E2\u0082");
}

} // namespace
} // namespace vq

namespace vq::test {
namespace {

TEST(TabbedText, StopsComeFromTheSpacingOrTheListCountedFromTheOrigin) {
    MemoryCanvas canvas(300, 20);
    SelectObject(canvas.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE a;
    GetTextExtentPoint32(canvas.Dc(), "a", 1, &a);
    struct Case {
        int count;
        std::vector<int> stops;
        std::int32_t origin;
        std::int32_t bAt;
    };
    TEXTMETRIC tm;
    GetTextMetrics(canvas.Dc(), &tm);
    for (const Case& c : {Case{0, {}, 0, 8 * tm.tmAveCharWidth}, Case{1, {50}, 0, 50}, Case{1, {50}, 20, 70},
                          Case{2, {3, 90}, 0, 90}}) {
        SCOPED_TRACE(c.bAt);
        PatBlt(canvas.Dc(), 0, 0, 300, 20, WHITENESS);
        const LONG size = TabbedTextOut(canvas.Dc(), 0, 0, "a\tb", 3, c.count, c.stops.data(), c.origin);
        MemoryCanvas b(300, 20);
        SelectObject(b.Dc(), GetStockObject(DEFAULT_GUI_FONT));
        TextOut(b.Dc(), c.bAt, 0, "b", 1);
        TextOut(b.Dc(), 0, 0, "a", 1);
        EXPECT_EQ(canvas.Pixels(), b.Pixels());
        SIZE bSize;
        GetTextExtentPoint32(canvas.Dc(), "b", 1, &bSize);
        EXPECT_EQ(std::uint32_t(size) & 0xFFFF, unsigned(c.bAt + bSize.cx));
        EXPECT_EQ(std::uint32_t(size) >> 16, unsigned(tm.tmHeight));
        // Measuring alone answers the same and draws nothing.
        MemoryCanvas blank(300, 20);
        SelectObject(blank.Dc(), GetStockObject(DEFAULT_GUI_FONT));
        PatBlt(blank.Dc(), 0, 0, 300, 20, WHITENESS);
        const auto before = blank.Pixels();
        EXPECT_EQ(GetTabbedTextExtent(blank.Dc(), "a\tb", 3, c.count, c.stops.data()) & 0xFFFF,
                  std::uint32_t(c.bAt - c.origin + bSize.cx) & 0xFFFF);
        EXPECT_EQ(blank.Pixels(), before);
    }
}

TEST(GrayText, EveryOtherPixelOfTheTextTakesTheBrushColour) {
    MemoryCanvas plain(60, 20), grey(60, 20);
    SelectObject(plain.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    SelectObject(grey.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    TextOut(plain.Dc(), 2, 2, "Wm", 2);
    HBRUSH brush = CreateSolidBrush(RGB(128, 128, 128));
    EXPECT_TRUE(GrayString(grey.Dc(), brush, nullptr, LPARAM("Wm"), 0, 2, 2, 0, 0));
    DeleteObject(brush);
    int ink = 0, greyed = 0;
    for (std::int32_t y = 0; y < 20; ++y)
        for (std::int32_t x = 0; x < 60; ++x) {
            const bool text = plain.At(x, y) == kBlack;
            const COLORREF g = grey.At(x, y);
            ink += text;
            const COLORREF expected = !text ? kWhite : (x + y) % 2 == 0 ? RGB(128, 128, 128) : kWhite;
            EXPECT_EQ(g, expected) << x << "," << y;
            greyed += g != kWhite;
        }
    EXPECT_GT(ink, 20);
    EXPECT_GT(greyed, ink / 4);
}

} // namespace
} // namespace vq::test
