#pragma once

#include "platform/gui/Bitmap.h"
#include "platform/gui/GdiObject.h"
#include "platform/gui/GdiPath.h"
#include "platform/gui/Region.h"

#include <optional>
#include <vector>

namespace vq {

inline constexpr int MM_TEXT = 1;
inline constexpr int MM_ANISOTROPIC = 8;

// The state a device context keeps and that SaveDC/RestoreDC save and restore.
struct DcState {
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    COLORREF bkColour = RGB(255, 255, 255);
    COLORREF textColour = RGB(0, 0, 0);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int fillMode = ALTERNATE;
    int stretchMode = 1; // BLACKONWHITE
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT brushOrigin;
    POINT position;
    int mapMode = MM_TEXT;
    POINT windowOrigin;
    POINT viewportOrigin;
    SIZE windowExtent{1, 1};
    SIZE viewportExtent{1, 1};
    // In device coordinates; none means the whole surface.
    std::optional<Region> clip;
};

// A device context: drawing state over a surface (a window's retained image or a memory
// context's selected bitmap). Device coordinates start at `origin` in the surface; everything the
// context draws is clipped to the visible region (surface coordinates) and the clip region.
class DeviceContext {
public:
    enum class Kind { Memory, Window };

    DeviceContext(Kind kind, Bitmap* surface, POINT origin, Region visible, HWND window);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    Kind ContextKind() const { return kind_; }
    // Whether drawing goes to paper: true for printer contexts, set by tests on memory contexts,
    // never passed on to contexts made from this one.
    bool IsPrinting() const { return printing_; }
    void SetPrinting(bool printing) { printing_ = printing; }
    // Dots per inch across and down: 96 for the screen; a compatible context takes its source's.
    SIZE Resolution() const { return resolution_; }
    void SetResolution(SIZE dpi) { resolution_ = dpi; }
    HWND Window() const { return window_; }
    Bitmap& Surface() const { return *surface_; }
    POINT Origin() const { return origin_; }

    DcState state;
    // Open between BeginPath and EndPath: the drawing calls record figures here instead.
    GdiPath path;

    // The surface's value for a colour, a PALETTEINDEX naming an entry of the selected palette.
    std::uint32_t DeviceValue(COLORREF colour) const;

    // Swaps the selected object of its type (with the selection counts kept); returns the old one.
    HGDIOBJ Select(HGDIOBJ object);
    int Save();
    bool Restore(int level);
    // A memory context shows the bitmap selected into it.
    void SetSurface(Bitmap* surface, Region visible);
    void SetVisible(Region visible);
    void ClipChanged() { clipValid_ = false; }

    // Logical lengths in device pixels under MM_ANISOTROPIC (pen widths across, font heights
    // down); other mapping modes keep them. Lengths of 1 or less stay as they are.
    std::int32_t ToDeviceWidth(std::int32_t logical) const;
    std::int32_t ToDeviceHeight(std::int32_t logical) const;
    // Device lengths back in logical units, for text extents.
    std::int32_t ToLogicalWidth(std::int32_t device) const;
    std::int32_t ToLogicalHeight(std::int32_t device) const;

    // Logical to device coordinates, and device to surface coordinates.
    POINT ToDevice(POINT p) const;
    POINT ToLogical(POINT p) const;
    RECT ToDevice(const RECT& r) const;
    POINT ToSurface(POINT device) const { return {device.x + origin_.x, device.y + origin_.y}; }
    // Surface pixels drawing may touch.
    const Region& Clip();

    // Primitives in surface coordinates. The value is a device value of the surface.
    void PlotPixel(std::int32_t x, std::int32_t y, std::uint32_t value, int rop2);
    // Fills every clipped pixel of the region with the brush under the binary operation.
    void FillRegionWithBrush(const Region& area, HBRUSH brush, int rop2);
    // One brush pixel at a surface point; false for a transparent hatch background.
    bool BrushPixel(HBRUSH brush, std::int32_t x, std::int32_t y, std::uint32_t& value) const;

private:
    void Retain(HGDIOBJ object);
    void Release(HGDIOBJ object);
    void RetainState(const DcState& s);
    void ReleaseState(const DcState& s);

    Kind kind_;
    Bitmap* surface_;
    POINT origin_;
    Region visible_;
    HWND window_;
    Region clip_;
    bool clipValid_ = false;
    bool printing_ = false;
    SIZE resolution_{96, 96};
    std::vector<DcState> saved_;
};

using HDC = DeviceContext*;

// Binary and ternary raster operations over device values (24 significant bits).
std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t destination);
std::uint32_t ApplyRop3(std::uint8_t code, std::uint32_t pattern, std::uint32_t source,
                        std::uint32_t destination);

} // namespace vq
