#include "platform/gui/DeviceContext.h"

#include "platform/gui/GdiObjectTable.h"

#include <cstdlib>

namespace vq {

namespace {

constexpr std::uint32_t kMask = 0x00FFFFFF;

// Eight rows of eight pixels, bit 7 leftmost; a set bit draws the hatch colour.
constexpr std::uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}, // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08}, // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01}, // forward diagonal: top-left to bottom-right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, // backward diagonal
    {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08}, // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, // diagonal cross
};

std::int32_t Modulo(std::int32_t a, std::int32_t n) {
    const std::int32_t r = a % n;
    return r < 0 ? r + n : r;
}

std::int64_t Scale(std::int64_t value, std::int32_t to, std::int32_t from) {
    return from == 0 ? value : value * to / from;
}

} // namespace

std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t destination) {
    switch (rop2) {
    case R2_COPYPEN:
        return pen;
    case R2_XORPEN:
        return (pen ^ destination) & kMask;
    case R2_NOP:
        return destination;
    default:
        break;
    }
    // The code minus one is the truth table: bit (pen << 1 | destination).
    const unsigned table = unsigned(rop2 - 1) & 0xF;
    std::uint32_t r = 0;
    if (table & 8) r |= pen & destination;
    if (table & 4) r |= pen & ~destination;
    if (table & 2) r |= ~pen & destination;
    if (table & 1) r |= ~pen & ~destination;
    return r & kMask;
}

std::uint32_t ApplyRop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    // Bit (pattern << 2 | source << 1 | destination) of the code is the result for those inputs.
    std::uint32_t r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(code >> i & 1)) continue;
        r |= (i & 4 ? p : ~p) & (i & 2 ? s : ~s) & (i & 1 ? d : ~d);
    }
    return r & kMask;
}

DeviceContext::DeviceContext(Kind kind, Bitmap* surface, POINT origin, Region visible, HWND window)
    : kind_(kind), surface_(surface), origin_(origin), visible_(std::move(visible)), window_(window) {
    state.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    state.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    state.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    state.palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    RetainState(state);
}

DeviceContext::~DeviceContext() {
    for (const auto& s : saved_)
        ReleaseState(s);
    ReleaseState(state);
}

void DeviceContext::Retain(HGDIOBJ object) {
    if (object) ++object->selections;
}

void DeviceContext::Release(HGDIOBJ object) {
    if (!object) return;
    --object->selections;
    if (object->selections == 0 && object->deletePending) DestroyGdiObject(object);
}

void DeviceContext::RetainState(const DcState& s) {
    Retain(s.pen);
    Retain(s.brush);
    Retain(s.font);
    Retain(s.bitmap);
    Retain(s.palette);
}

void DeviceContext::ReleaseState(const DcState& s) {
    Release(s.pen);
    Release(s.brush);
    Release(s.font);
    Release(s.bitmap);
    Release(s.palette);
}

HGDIOBJ DeviceContext::Select(HGDIOBJ object) {
    HGDIOBJ* slot = nullptr;
    switch (object->ObjectType()) {
    case GdiObject::Type::Pen:
        slot = reinterpret_cast<HGDIOBJ*>(&state.pen);
        break;
    case GdiObject::Type::Brush:
        slot = reinterpret_cast<HGDIOBJ*>(&state.brush);
        break;
    case GdiObject::Type::Font:
        slot = reinterpret_cast<HGDIOBJ*>(&state.font);
        break;
    case GdiObject::Type::Bitmap:
        slot = reinterpret_cast<HGDIOBJ*>(&state.bitmap);
        break;
    case GdiObject::Type::Palette:
        slot = reinterpret_cast<HGDIOBJ*>(&state.palette);
        break;
    case GdiObject::Type::Region:
        return nullptr;
    }
    HGDIOBJ old = *slot;
    Retain(object);
    *slot = object;
    // The caller gets the old object back, so it must outlive this call even if deletion was asked.
    if (old && --old->selections == 0 && old->deletePending) {
        ++old->selections;
        Release(old);
        return nullptr;
    }
    return old;
}

int DeviceContext::Save() {
    saved_.push_back(state);
    RetainState(state);
    return int(saved_.size());
}

bool DeviceContext::Restore(int level) {
    const int count = int(saved_.size());
    if (level < 0) level = count + 1 + level;
    if (level < 1 || level > count) return false;
    while (int(saved_.size()) > level) {
        ReleaseState(saved_.back());
        saved_.pop_back();
    }
    ReleaseState(state);
    state = std::move(saved_.back());
    saved_.pop_back();
    clipValid_ = false;
    if (kind_ == Kind::Memory && state.bitmap)
        SetSurface(&state.bitmap->bits,
                   Region(RECT{0, 0, state.bitmap->bits.Width(), state.bitmap->bits.Height()}));
    return true;
}

void DeviceContext::SetSurface(Bitmap* surface, Region visible) {
    surface_ = surface;
    SetVisible(std::move(visible));
}

void DeviceContext::SetVisible(Region visible) {
    visible_ = std::move(visible);
    clipValid_ = false;
}

namespace {

std::int32_t ScaleLength(std::int32_t length, std::int32_t to, std::int32_t from) {
    if (from == 0) return length;
    const std::int64_t scaled = std::int64_t(length) * to / from;
    return std::int32_t(std::min<std::int64_t>(scaled < 0 ? -scaled : scaled, INT32_MAX));
}

} // namespace

std::int32_t DeviceContext::ToDeviceWidth(std::int32_t logical) const {
    if (state.mapMode != MM_ANISOTROPIC || logical <= 1) return logical;
    return std::max(1, ScaleLength(logical, state.viewportExtent.cx, state.windowExtent.cx));
}

std::int32_t DeviceContext::ToDeviceHeight(std::int32_t logical) const {
    if (state.mapMode != MM_ANISOTROPIC) return logical;
    const std::int32_t scaled = ScaleLength(logical, state.viewportExtent.cy, state.windowExtent.cy);
    return logical < 0 ? -scaled : scaled;
}

std::int32_t DeviceContext::ToLogicalWidth(std::int32_t device) const {
    if (state.mapMode != MM_ANISOTROPIC) return device;
    return ScaleLength(device, state.windowExtent.cx, state.viewportExtent.cx);
}

std::int32_t DeviceContext::ToLogicalHeight(std::int32_t device) const {
    if (state.mapMode != MM_ANISOTROPIC) return device;
    return ScaleLength(device, state.windowExtent.cy, state.viewportExtent.cy);
}

POINT DeviceContext::ToDevice(POINT p) const {
    const auto& s = state;
    return {std::int32_t(Scale(std::int64_t(p.x) - s.windowOrigin.x, s.viewportExtent.cx, s.windowExtent.cx) +
                         s.viewportOrigin.x),
            std::int32_t(Scale(std::int64_t(p.y) - s.windowOrigin.y, s.viewportExtent.cy, s.windowExtent.cy) +
                         s.viewportOrigin.y)};
}

POINT DeviceContext::ToLogical(POINT p) const {
    const auto& s = state;
    return {
        std::int32_t(Scale(std::int64_t(p.x) - s.viewportOrigin.x, s.windowExtent.cx, s.viewportExtent.cx) +
                     s.windowOrigin.x),
        std::int32_t(Scale(std::int64_t(p.y) - s.viewportOrigin.y, s.windowExtent.cy, s.viewportExtent.cy) +
                     s.windowOrigin.y)};
}

RECT DeviceContext::ToDevice(const RECT& r) const {
    const POINT a = ToDevice(POINT{r.left, r.top});
    const POINT b = ToDevice(POINT{r.right, r.bottom});
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

const Region& DeviceContext::Clip() {
    if (!clipValid_) {
        Region bounds(RECT{0, 0, surface_->Width(), surface_->Height()});
        clip_ = Region::Combine(visible_, bounds, RGN_AND);
        if (state.clip) {
            Region user = *state.clip;
            user.Offset(origin_.x, origin_.y);
            clip_ = Region::Combine(clip_, user, RGN_AND);
        }
        clipValid_ = true;
    }
    return clip_;
}

void DeviceContext::PlotPixel(std::int32_t x, std::int32_t y, std::uint32_t value, int rop2) {
    if (!Clip().Contains(x, y)) return;
    surface_->SetPixel(x, y, ApplyRop2(rop2, value, surface_->Pixel(x, y)));
}

std::uint32_t DeviceContext::DeviceValue(COLORREF colour) const {
    constexpr COLORREF kPaletteIndex = 0x01000000;
    constexpr COLORREF kPaletteRgb = 0x02000000;
    switch (colour & 0xFF000000) {
    case kPaletteIndex: {
        const auto& entries = state.palette->entries;
        // An index past the palette's end names its first entry.
        const std::size_t i = colour & 0xFFFF;
        const PALETTEENTRY e = entries.empty() ? PALETTEENTRY{} : entries[i < entries.size() ? i : 0];
        return surface_->DeviceValue(RGB(e.peRed, e.peGreen, e.peBlue));
    }
    case kPaletteRgb:
        return surface_->DeviceValue(colour & 0x00FFFFFF);
    default:
        return surface_->DeviceValue(colour);
    }
}

bool DeviceContext::BrushPixel(HBRUSH brush, std::int32_t x, std::int32_t y, std::uint32_t& value) const {
    switch (brush->style) {
    case BS_SOLID:
        value = DeviceValue(brush->colour);
        return true;
    case BS_HATCHED: {
        const std::int32_t px = Modulo(x - origin_.x - state.brushOrigin.x, 8);
        const std::int32_t py = Modulo(y - origin_.y - state.brushOrigin.y, 8);
        const bool set = kHatches[brush->hatch % 6][py] >> (7 - px) & 1;
        if (set) {
            value = DeviceValue(brush->colour);
            return true;
        }
        if (state.bkMode == TRANSPARENT) return false;
        value = DeviceValue(state.bkColour);
        return true;
    }
    case BS_PATTERN: {
        const Bitmap& pattern = *brush->pattern;
        const std::uint32_t bit =
            pattern.Pixel(Modulo(x - origin_.x - state.brushOrigin.x, pattern.Width()),
                          Modulo(y - origin_.y - state.brushOrigin.y, pattern.Height()));
        if (pattern.IsMonochrome())
            value = DeviceValue(bit ? state.bkColour : state.textColour);
        else
            value = surface_->DeviceValue(pattern.ColourOf(bit));
        return true;
    }
    default:
        return false;
    }
}

void DeviceContext::FillRegionWithBrush(const Region& area, HBRUSH brush, int rop2) {
    if (!brush || brush->style == BS_NULL) return;
    const Region target = Region::Combine(area, Clip(), RGN_AND);
    const bool solid = brush->style == BS_SOLID;
    const std::uint32_t solidValue = DeviceValue(brush->colour);
    for (const auto& band : target.Bands()) {
        for (std::int32_t y = band.top; y < band.bottom; ++y) {
            std::uint32_t* row = surface_->Row(y);
            for (const auto& span : band.spans) {
                for (std::int32_t x = span.x0; x < span.x1; ++x) {
                    std::uint32_t value = solidValue;
                    if (!solid && !BrushPixel(brush, x, y, value)) continue;
                    if (row)
                        row[x] = ApplyRop2(rop2, value, row[x]);
                    else
                        surface_->SetPixel(x, y, ApplyRop2(rop2, value, surface_->Pixel(x, y)));
                }
            }
        }
    }
}

} // namespace vq
