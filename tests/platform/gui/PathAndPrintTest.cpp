#include "GdiFixture.h"
#include "platform/gui/GdiJournal.h"
#include "platform/gui/ImagePrintContext.h"
#include "platform/gui/SystemColours.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace vq {
namespace {

using test::MemoryCanvas;

struct RegionDeleter {
    void operator()(RegionObject* r) const { DeleteObject(r); }
};
using OwnedRegion = std::unique_ptr<RegionObject, RegionDeleter>;

OwnedRegion ClipOf(HDC dc) {
    OwnedRegion r(CreateRectRgn(0, 0, 0, 0));
    return GetClipRgn(dc, r.get()) == 1 ? std::move(r) : nullptr;
}

TEST(GdiPath, ClosedFiguresBecomeTheClip) {
    MemoryCanvas canvas(100, 100);
    HDC dc = canvas.Dc();
    EXPECT_EQ(ClipOf(dc), nullptr);
    EXPECT_FALSE(SelectClipPath(dc, RGN_COPY)) << "no path";

    BeginPath(dc);
    Rectangle(dc, 10, 10, 60, 50);
    EXPECT_FALSE(SelectClipPath(dc, RGN_COPY)) << "the path is still open";
    EndPath(dc);
    EXPECT_EQ(canvas.At(10, 10), test::kWhite) << "figures are recorded, not drawn";
    ASSERT_TRUE(SelectClipPath(dc, RGN_COPY));
    OwnedRegion rect(CreateRectRgn(10, 10, 60, 50));
    EXPECT_TRUE(EqualRgn(ClipOf(dc).get(), rect.get()));
    EXPECT_FALSE(SelectClipPath(dc, RGN_COPY)) << "the path is used up";

    // An open polyline is closed for its area, and RGN_AND keeps what both share.
    BeginPath(dc);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 40, 0);
    LineTo(dc, 0, 40);
    EndPath(dc);
    ASSERT_TRUE(SelectClipPath(dc, RGN_AND));
    OwnedRegion clip = ClipOf(dc);
    EXPECT_TRUE(PtInRegion(clip.get(), 12, 12));
    EXPECT_FALSE(PtInRegion(clip.get(), 5, 5));
    EXPECT_FALSE(PtInRegion(clip.get(), 35, 35));

    BeginPath(dc);
    Rectangle(dc, 0, 0, 5, 5);
    AbortPath(dc);
    EXPECT_FALSE(EndPath(dc));
    Rectangle(dc, 70, 70, 80, 80);
    EXPECT_EQ(canvas.At(70, 70), test::kWhite) << "clipped away";
}

TEST(GdiPath, ClipRegionReadsBackAsACopy) {
    MemoryCanvas canvas(50, 50);
    OwnedRegion r(CreateRectRgn(5, 5, 20, 20));
    SelectClipRgn(canvas.Dc(), r.get());
    OwnedRegion copy = ClipOf(canvas.Dc());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(EqualRgn(copy.get(), r.get()));
    EXPECT_EQ(GetClipRgn(canvas.Dc(), nullptr), -1);
    SelectClipRgn(canvas.Dc(), nullptr);
    OwnedRegion untouched(CreateRectRgn(1, 2, 3, 4));
    EXPECT_EQ(GetClipRgn(canvas.Dc(), untouched.get()), 0);
    OwnedRegion same(CreateRectRgn(1, 2, 3, 4));
    EXPECT_TRUE(EqualRgn(untouched.get(), same.get()));
}

TEST(ImagePrintContext, PrintsAtItsResolutionAndPassesItOnButNotThePrintingFlag) {
    ImagePrintContext page(300, 120, 300);
    EXPECT_TRUE(IsPrinting(page.Dc()));
    EXPECT_EQ(GetDeviceCaps(page.Dc(), LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(page.Dc(), LOGPIXELSY), 300);
    EXPECT_EQ(GetDeviceCaps(page.Dc(), HORZRES), 300);
    EXPECT_EQ(GetDeviceCaps(page.Dc(), VERTRES), 120);
    EXPECT_EQ(GetPixel(page.Dc(), 299, 119), test::kWhite);
    HDC band = CreateCompatibleDC(page.Dc());
    EXPECT_EQ(GetDeviceCaps(band, LOGPIXELSY), 300);
    EXPECT_FALSE(IsPrinting(band));
    DeleteDC(band);
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), 96);
    EXPECT_EQ(GetSystemMetrics(SM_DBCSENABLED), 0);
}

TEST(GdiJournal, RecordsCallsInDeviceCoordinatesWithTheirObjects) {
    MemoryCanvas canvas(100, 100);
    HDC dc = canvas.Dc();
    SetViewportOrgEx(dc, 10, 20, nullptr);
    {
        GdiJournal journal;
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SetROP2(dc, R2_XORPEN);
        IntersectClipRect(dc, 0, 0, 50, 40);
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, 30, 5);
        Rectangle(dc, 1, 2, 3, 4);
        HBITMAP b = CreateCompatibleBitmap(dc, 7, 8);
        DeleteObject(b);
        ASSERT_EQ(journal.Entries().size(), 3u);
        const GdiJournalEntry& line = journal.Entries()[0];
        EXPECT_EQ(line.call, "LineTo");
        EXPECT_EQ(line.device, (RECT{10, 20, 40, 25}));
        EXPECT_EQ(line.pen, GetStockObject(BLACK_PEN));
        EXPECT_EQ(line.rop2, R2_XORPEN);
        EXPECT_EQ(line.clipBox, (RECT{10, 20, 60, 60}));
        EXPECT_EQ(journal.Calls("Rectangle")[0].device, (RECT{11, 22, 13, 24}));
        EXPECT_EQ(journal.Calls("CreateCompatibleBitmap")[0].device, (RECT{0, 0, 7, 8}));
    }
    LineTo(dc, 1, 1);
}

} // namespace
} // namespace vq

namespace vq {
namespace {

// Printing maps logical units to the page with MM_ANISOTROPIC: text and wide pens scale with it.
TEST(AnisotropicMapping, FontHeightsTextExtentsAndWidePensScale) {
    test::MemoryCanvas canvas(200, 200);
    HDC dc = canvas.Dc();
    LOGFONT lf;
    lf.lfHeight = -10;
    std::strncpy(lf.lfFaceName, "Arial", sizeof lf.lfFaceName - 1);
    HFONT font = CreateFontIndirect(lf);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SIZE plain{};
    GetTextExtentPoint32(dc, "Wide", 4, &plain);

    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, 2, 2, nullptr);
    SIZE scaled{};
    GetTextExtentPoint32(dc, "Wide", 4, &scaled);
    EXPECT_NEAR(scaled.cx, plain.cx, 2) << "extents stay in logical units, hinting aside";
    EXPECT_EQ(scaled.cy, plain.cy);

    GdiJournal journal;
    TextOut(dc, 10, 10, "Wide", 4);
    const RECT drawn = journal.Calls("ExtTextOut").at(0).device;
    EXPECT_EQ(drawn.bottom - drawn.top, 2 * plain.cy);
    // Pixels are read in device coordinates.
    SetMapMode(dc, MM_TEXT);
    int inkTop = 200, inkBottom = -1;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas.At(x, y) != test::kWhite) {
                inkTop = std::min(inkTop, y);
                inkBottom = std::max(inkBottom, y);
            }
    EXPECT_GT(inkBottom - inkTop + 1, 12) << "a 10-unit font drawn twice as high";
    EXPECT_LE(inkBottom - inkTop + 1, 20);
    SelectObject(dc, oldFont);
    DeleteObject(font);

    HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, 2, 2, nullptr);
    MoveToEx(dc, 10, 50, nullptr);
    LineTo(dc, 10, 80);
    SetMapMode(dc, MM_TEXT);
    int inked = 0;
    for (int x = 10; x < 30; ++x)
        inked += canvas.At(x, 130) == test::kBlack;
    EXPECT_EQ(inked, 4) << "a width-2 pen is 4 pixels wide at 2:1";
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

} // namespace
} // namespace vq
