#pragma once

#include "platform/gui/DeviceContext.h"
#include "platform/gui/GdiObjectTable.h"

#include <cstdint>
#include <string_view>

namespace vq {

struct TEXTMETRIC {
    std::int32_t tmHeight = 0;
    std::int32_t tmAscent = 0;
    std::int32_t tmDescent = 0;
    std::int32_t tmInternalLeading = 0;
    std::int32_t tmExternalLeading = 0;
    std::int32_t tmAveCharWidth = 0;
    std::int32_t tmMaxCharWidth = 0;
    std::int32_t tmWeight = 0;
};

// Device-independent bitmaps: rows are 4-byte aligned and run bottom-up unless the height is
// negative; 16 bits per pixel is 5-5-5; colour tables hold blue, green, red, reserved.
struct BITMAPINFOHEADER {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

struct RGBQUAD {
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
};

// The header followed by its colour table, as a packed DIB lays them out.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;

// Capabilities asked of a device.
enum : int {
    HORZRES = 8,
    VERTRES = 10,
    BITSPIXEL = 12,
    PLANES = 14,
    NUMCOLORS = 24,
    LOGPIXELSX = 88,
    LOGPIXELSY = 90
};

// Objects.
HPEN CreatePen(int style, int width, COLORREF colour);
HPEN CreatePenIndirect(const LOGPEN& lp);
// A pen whose PS_USERSTYLE dashes are runs of on and off pixels along the line, styled at any
// width; other styles as CreatePen. Null for a user style without runs or with a run below 1.
HPEN ExtCreatePen(int style, int width, const LOGBRUSH& brush, int styleCount, const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF colour);
HBRUSH CreateHatchBrush(int hatch, COLORREF colour);
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH& lb);
HFONT CreateFontIndirect(const LOGFONT& lf);
HBITMAP CreateBitmap(std::int32_t width, std::int32_t height, UINT planes, UINT bitsPerPixel,
                     const void* bits);
HBITMAP CreateCompatibleBitmap(HDC dc, std::int32_t width, std::int32_t height);
HRGN CreateRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
HRGN CreateRectRgnIndirect(const RECT& r);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode);
int OffsetRgn(HRGN region, std::int32_t dx, std::int32_t dy);
BOOL PtInRegion(HRGN region, std::int32_t x, std::int32_t y);
int GetRgnBox(HRGN region, RECT* box);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN region, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
BOOL DeleteObject(HGDIOBJ object);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
int GetObject(HGDIOBJ object, int size, void* out);
enum : UINT { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_FONT = 6, OBJ_BITMAP = 7 };
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm);

// Contexts.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// Whether the context draws for paper. Printer contexts do; tests mark memory contexts as printing
// (others are refused), and a context made compatible with a printing one does not inherit it.
BOOL IsPrinting(HDC dc);
BOOL SetPrinting(HDC dc, BOOL printing);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int level);
int GetDeviceCaps(HDC dc, int index);
COLORREF SetBkColor(HDC dc, COLORREF colour);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF GetTextColor(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
// How a stretch that shrinks makes one pixel of several: the nearest one (every mode but
// HALFTONE) or their mean colour (HALFTONE, between colour surfaces).
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
BOOL SetBrushOrgEx(HDC dc, std::int32_t x, std::int32_t y, POINT* old);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetWindowOrgEx(HDC dc, std::int32_t x, std::int32_t y, POINT* old);
BOOL SetViewportOrgEx(HDC dc, std::int32_t x, std::int32_t y, POINT* old);
BOOL OffsetViewportOrgEx(HDC dc, std::int32_t dx, std::int32_t dy, POINT* old);
BOOL SetWindowExtEx(HDC dc, std::int32_t cx, std::int32_t cy, SIZE* old);
BOOL SetViewportExtEx(HDC dc, std::int32_t cx, std::int32_t cy, SIZE* old);
BOOL GetWindowOrgEx(HDC dc, POINT* out);
BOOL GetViewportOrgEx(HDC dc, POINT* out);
BOOL GetWindowExtEx(HDC dc, SIZE* out);
BOOL GetViewportExtEx(HDC dc, SIZE* out);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);

// Clipping (rectangles in logical coordinates, regions in device coordinates).
int SelectClipRgn(HDC dc, HRGN region);
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
// Paths: between BeginPath and EndPath, MoveToEx, LineTo, Polyline, Polygon, PolyPolygon and
// Rectangle record figures instead of drawing. SelectClipPath makes the closed path's area (every
// figure closed, under the fill mode) the clip with RGN_COPY, or combines it with the clip by the
// mode; the path is used up. FALSE without a closed path.
BOOL BeginPath(HDC dc);
BOOL EndPath(HDC dc);
BOOL AbortPath(HDC dc);
BOOL SelectClipPath(HDC dc, int mode);
// Copies the clip region (device coordinates) into the region: 1, or 0 when the context has none
// and the region is left as it was; -1 for a bad context or region.
int GetClipRgn(HDC dc, HRGN region);
int IntersectClipRect(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
int ExcludeClipRect(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
int GetClipBox(HDC dc, RECT* box);
BOOL PtVisible(HDC dc, std::int32_t x, std::int32_t y);
BOOL RectVisible(HDC dc, const RECT* r);

// Drawing.
BOOL MoveToEx(HDC dc, std::int32_t x, std::int32_t y, POINT* old);
BOOL LineTo(HDC dc, std::int32_t x, std::int32_t y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL PolyPolygon(HDC dc, const POINT* points, const int* counts, int polygons);
BOOL Rectangle(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
// Ellipses fit the box less its right column and bottom row, as rectangles do. Arcs, chords and
// pies run counter-clockwise from where the line from the centre to the start point meets the
// ellipse to where the one to the end point does; equal points make the whole ellipse.
BOOL Ellipse(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
BOOL RoundRect(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
               std::int32_t width, std::int32_t height);
BOOL Arc(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
         std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd, std::int32_t yEnd);
BOOL Chord(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
           std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd, std::int32_t yEnd);
BOOL Pie(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
         std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd, std::int32_t yEnd);
int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
BOOL DrawFocusRect(HDC dc, const RECT* r);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, std::int32_t width, std::int32_t height);
BOOL InvertRgn(HDC dc, HRGN region);
BOOL PaintRgn(HDC dc, HRGN region);
COLORREF SetPixel(HDC dc, std::int32_t x, std::int32_t y, COLORREF colour);
COLORREF GetPixel(HDC dc, std::int32_t x, std::int32_t y);
BOOL PatBlt(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, DWORD rop);
BOOL BitBlt(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, HDC source,
            std::int32_t sx, std::int32_t sy, DWORD rop);
BOOL StretchBlt(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, HDC source,
                std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh, DWORD rop);
BOOL DrawEdge(HDC dc, RECT* r, UINT edge, UINT flags);

// Device-independent bitmaps.
int StretchDIBits(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop);
int SetDIBitsToDevice(HDC dc, std::int32_t x, std::int32_t y, std::uint32_t width, std::uint32_t height,
                      std::int32_t sx, std::int32_t sy, UINT startScan, UINT scanLines, const void* bits,
                      const BITMAPINFO* info, UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits,
              const BITMAPINFO* info, UINT usage);
// With null bits fills in the header (size of the image) only; with a depth of 0 the bitmap's own.
// Rows of 8 bits or fewer come with a colour table that describes the bitmap: a DIB's own at its
// own depth, black and white at one bit; other indexed depths are refused.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info,
              UINT usage);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);
inline constexpr DWORD CBM_INIT = 4;
// A colour bitmap made from a packed DIB (header, colour table, bits), checked against its size;
// null when it is malformed.
HBITMAP CreateBitmapFromPackedDib(const void* dib, std::size_t size);
// The bitmap resource of that id, null when there is none or it is malformed. Without a resource,
// the system's check mark (32760) and radio dot (32739) are 16 x 15 monochrome marks.
HBITMAP LoadBitmap(std::uint32_t id);
// A device-independent bitmap whose rows (zeroed) the caller reads and writes through `bits` while
// contexts draw into it and from it. Colour tables of RGB entries only, and no file mapping
// behind the bits: a palette usage, a section or an offset is refused like a malformed header.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset);
inline constexpr UINT IMAGE_BITMAP = 0;
enum : UINT {
    LR_DEFAULTCOLOR = 0x0,
    LR_LOADFROMFILE = 0x10,
    LR_LOADMAP3DCOLORS = 0x1000,
    LR_CREATEDIBSECTION = 0x2000,
};
// The name of a resource given by its number.
inline const char* MAKEINTRESOURCE(std::uint32_t id) {
    return reinterpret_cast<const char*>(std::uintptr_t(id & 0xFFFF));
}
// A bitmap file by its path (bytes as given): with LR_CREATEDIBSECTION a DIB section of the file's
// own depth and colour table, else a colour bitmap. Without LR_LOADFROMFILE the name is a bitmap
// resource's number (MAKEINTRESOURCE); with LR_LOADMAP3DCOLORS the colour table of a resource of 8
// bits or fewer takes the 3-D colours for its greys: 0x808080 the shadow, 0xC0C0C0 the face,
// 0xDFDFDF the light. A size other than 0 or the image's own is not scaled to but refused, as are
// other kinds of image. Null when the file or resource cannot be read or is malformed.
HBITMAP LoadImage(void* instance, const char* name, UINT type, int width, int height, UINT flags);

// Text; strings are bytes (UTF-8, other bytes as Latin-1), a length of -1 means up to the NUL.
BOOL TextOut(HDC dc, std::int32_t x, std::int32_t y, const char* text, int length);
BOOL ExtTextOut(HDC dc, std::int32_t x, std::int32_t y, UINT options, const RECT* r, const char* text,
                int length, const int* dx);
BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, SIZE* size);
int DrawText(HDC dc, const char* text, int length, RECT* r, UINT format);
int GetTextFace(HDC dc, int size, char* out);
using LONG = std::int32_t;
// Text with tabs: no stops give one every 8 average characters, one stop a spacing, more the
// stops themselves, all counted from the tab origin. Answers width and height packed in one.
LONG TabbedTextOut(HDC dc, std::int32_t x, std::int32_t y, const char* text, int length, int tabCount,
                   const int* tabStops, std::int32_t tabOrigin);
// The width and height TabbedTextOut would answer for the text, drawing nothing.
DWORD GetTabbedTextExtent(HDC dc, const char* text, int length, int tabCount, const int* tabStops);
// Draws the text (or what the function draws) dimmed: every other pixel of it in the brush's
// colour, or the text colour without a brush. A size of 0 is the text's extent.
using GRAYSTRINGPROC = BOOL (*)(HDC dc, LPARAM data, int count);
BOOL GrayString(HDC dc, HBRUSH brush, GRAYSTRINGPROC output, LPARAM data, int count, std::int32_t x,
                std::int32_t y, std::int32_t width, std::int32_t height);

} // namespace vq
