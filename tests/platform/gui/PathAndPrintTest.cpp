#include "GdiFixture.h"
#include "platform/gui/GdiJournal.h"
#include "platform/gui/ImagePrintContext.h"
#include "platform/gui/SystemColours.h"

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
