#include "platform/gui/Palette.h"

#include <algorithm>
#include <atomic>

namespace vq {

namespace {

constexpr std::size_t kMaxEntries = 256;

std::atomic<bool> paletteScreen{false};

HPALETTE LivePalette(HGDIOBJ object) {
    return IsGdiObject(object) && object->ObjectType() == GdiObject::Type::Palette
               ? static_cast<HPALETTE>(object)
               : nullptr;
}

HPALETTE Register(std::vector<PALETTEENTRY> entries) {
    auto* p = new PaletteObject(std::move(entries));
    RegisterGdiObject(p);
    return p;
}

} // namespace

std::vector<PALETTEENTRY> DefaultPaletteEntries() {
    return {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
    if (!palette || palette->palNumEntries == 0 || palette->palNumEntries > kMaxEntries) return nullptr;
    const PALETTEENTRY* first = palette->palPalEntry;
    return Register(std::vector<PALETTEENTRY>(first, first + palette->palNumEntries));
}

HPALETTE CreateHalftonePalette(HDC) {
    const std::vector<PALETTEENTRY> fixed = DefaultPaletteEntries();
    std::vector<PALETTEENTRY> entries(fixed.begin(), fixed.begin() + 10);
    for (int b = 0; b < 6; ++b)
        for (int g = 0; g < 6; ++g)
            for (int r = 0; r < 6; ++r)
                entries.push_back({std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51)});
    // Greys between the cube's steps.
    for (int i = 1; i <= 20; ++i) {
        const auto level = std::uint8_t(i * 255 / 21);
        entries.push_back({level, level, level});
    }
    entries.insert(entries.end(), fixed.begin() + 10, fixed.end());
    return Register(std::move(entries));
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out) {
    HPALETTE p = LivePalette(palette);
    if (!p) return 0;
    const std::size_t size = p->entries.size();
    if (!out) return UINT(size);
    if (start >= size) return 0;
    const std::size_t n = std::min<std::size_t>(count, size - start);
    std::copy_n(p->entries.begin() + std::ptrdiff_t(start), n, out);
    return UINT(n);
}

UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries) {
    HPALETTE p = LivePalette(palette);
    if (!p || !entries || p->IsStock() || start >= p->entries.size()) return 0;
    const std::size_t n = std::min<std::size_t>(count, p->entries.size() - start);
    std::copy_n(entries, n, p->entries.begin() + std::ptrdiff_t(start));
    return UINT(n);
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF colour) {
    HPALETTE p = LivePalette(palette);
    if (!p) return UINT(CLR_INVALID);
    UINT best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (std::size_t i = 0; i < p->entries.size(); ++i) {
        const PALETTEENTRY& e = p->entries[i];
        const int dr = int(GetRValue(colour)) - e.peRed;
        const int dg = int(GetGValue(colour)) - e.peGreen;
        const int db = int(GetBValue(colour)) - e.peBlue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) best = UINT(i), bestDistance = distance;
    }
    return best;
}

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    if (!dc || !LivePalette(palette)) return nullptr;
    return static_cast<HPALETTE>(dc->Select(palette));
}

UINT RealizePalette(HDC dc) {
    if (!dc) return 0;
    HPALETTE p = dc->state.palette;
    return p->IsStock() ? 0 : UINT(p->entries.size());
}

void SetPaletteScreen(bool palette) {
    paletteScreen = palette;
}

bool IsPaletteScreen() {
    return paletteScreen;
}

} // namespace vq
