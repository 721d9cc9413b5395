#pragma once

#include "platform/gui/Gdi.h"

#include <vector>

namespace vq {

struct LOGPALETTE {
    std::uint16_t palVersion = 0x300;
    std::uint16_t palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};

// A colour that names entry `index` of the palette selected into the context where it is used.
constexpr COLORREF PALETTEINDEX(std::uint16_t index) {
    return 0x01000000u | index;
}
// A colour matched against the selected palette on a palette device, used as it is on others.
constexpr COLORREF PALETTERGB(unsigned r, unsigned g, unsigned b) {
    return 0x02000000u | RGB(r, g, b);
}

// Capabilities of a palette device, with GetDeviceCaps.
enum : int { RASTERCAPS = 38, SIZEPALETTE = 104, NUMRESERVED = 106, COLORRES = 108 };
enum : int {
    RC_BITBLT = 0x0001,
    RC_BITMAP64 = 0x0008,
    RC_DI_BITMAP = 0x0080,
    RC_PALETTE = 0x0100,
    RC_DIBTODEV = 0x0200,
    RC_STRETCHBLT = 0x0800,
    RC_STRETCHDIB = 0x2000,
};

// Logical palettes of 1 to 256 entries; null for another count.
HPALETTE CreatePalette(const LOGPALETTE* palette);
// The default colours, then a 6 x 6 x 6 colour cube and a run of greys: 256 entries.
HPALETTE CreateHalftonePalette(HDC dc);
// Copies entries out; with null `out`, answers how many the palette has.
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out);
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF colour);
// Answers the palette the context had; `background` is accepted for callers' sake, as only one
// application draws here.
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
// Surfaces hold colours as they are, so realising maps every entry of the selected palette;
// answers how many entries that is, none for the default palette.
UINT RealizePalette(HDC dc);

// The 20 colours of the default palette, in order.
std::vector<PALETTEENTRY> DefaultPaletteEntries();

// Tests may pretend the screen is an 8-bit device of 256 palette entries: contexts then report
// RC_PALETTE and the palette sizes, while their surfaces stay 32-bit.
void SetPaletteScreen(bool palette);
bool IsPaletteScreen();

} // namespace vq
