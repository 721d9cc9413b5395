#include "platform/gui/Gdi.h"

#include "platform/gui/GdiJournal.h"
#include "platform/gui/GdiText.h"
#include "platform/gui/Palette.h"
#include "platform/gui/SystemColours.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <new>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace vq {

namespace {

template <typename T> T* Live(HGDIOBJ object, GdiObject::Type type) {
    return IsGdiObject(object) && object->ObjectType() == type ? static_cast<T*>(object) : nullptr;
}

template <typename T> T* Registered(T* object) {
    RegisterGdiObject(object);
    return object;
}

std::uint32_t RopCode(DWORD rop) {
    return rop >> 16 & 0xFF;
}
bool UsesSource(std::uint8_t code) {
    return ((code >> 2) ^ code) & 0x33;
}
bool UsesPattern(std::uint8_t code) {
    return ((code >> 4) ^ code) & 0x0F;
}

// Pen styles as runs of on and off pixels.
struct Dashes {
    int count;
    int runs[6];
};
const Dashes* DashesOf(int style) {
    static const Dashes dash{2, {18, 6}};
    static const Dashes dot{2, {3, 3}};
    static const Dashes dashDot{4, {9, 6, 3, 6}};
    static const Dashes dashDotDot{6, {9, 3, 3, 3, 3, 3}};
    static const Dashes alternate{2, {1, 1}};
    switch (style) {
    case PS_DASH:
        return &dash;
    case PS_DOT:
        return &dot;
    case PS_DASHDOT:
        return &dashDot;
    case PS_DASHDOTDOT:
        return &dashDotDot;
    case PS_ALTERNATE:
        return &alternate;
    default:
        return nullptr;
    }
}

// Walks the pixels of a line from a up to, but not including, b.
template <typename Fn> void WalkLine(POINT a, POINT b, Fn&& fn) {
    const std::int64_t dx = std::llabs(std::int64_t(b.x) - a.x);
    const std::int64_t dy = std::llabs(std::int64_t(b.y) - a.y);
    const int sx = a.x < b.x ? 1 : -1;
    const int sy = a.y < b.y ? 1 : -1;
    std::int64_t error = dx - dy;
    std::int32_t x = a.x;
    std::int32_t y = a.y;
    while (x != b.x || y != b.y) {
        fn(x, y);
        const std::int64_t e2 = 2 * error;
        if (e2 > -dy) {
            error -= dy;
            x += sx;
        }
        if (e2 < dx) {
            error += dx;
            y += sy;
        }
    }
}

// Lines of one polyline share the pen's dash phase.
class PenStroke {
public:
    explicit PenStroke(DeviceContext& dc)
        : dc_(dc), pen_(dc.state.pen), width_(dc.ToDeviceWidth(pen_->width)) {
        const int style = pen_->style & PS_STYLE_MASK;
        // Styled pens wider than one pixel draw solid, except user-styled ones.
        if (style == PS_USERSTYLE && !pen_->userDashes.empty()) {
            runs_ = pen_->userDashes;
        } else if (const Dashes* dashes = width_ == 1 ? DashesOf(style) : nullptr) {
            runs_.assign(dashes->runs, dashes->runs + dashes->count);
        }
        null_ = style == PS_NULL;
        value_ = dc.DeviceValue(pen_->colour);
        background_ = dc.DeviceValue(dc.state.bkColour);
    }

    bool IsNull() const { return null_; }

    void Line(POINT a, POINT b) {
        if (null_) return;
        a = dc_.ToSurface(a);
        b = dc_.ToSurface(b);
        if (width_ > 1) {
            WideLine(a, b);
            return;
        }
        WalkLine(a, b, [&](std::int32_t x, std::int32_t y) { Plot(x, y); });
    }

private:
    void Plot(std::int32_t x, std::int32_t y) {
        if (runs_.empty()) {
            dc_.PlotPixel(x, y, value_, dc_.state.rop2);
            return;
        }
        const bool on = run_ % 2 == 0;
        if (on)
            dc_.PlotPixel(x, y, value_, dc_.state.rop2);
        else if (dc_.state.bkMode == OPAQUE && (pen_->style & PS_STYLE_MASK) != PS_ALTERNATE)
            dc_.PlotPixel(x, y, background_, dc_.state.rop2);
        Advance();
    }

    // Moves the dash phase one pixel on; answers whether that pixel was on.
    bool Advance() {
        const bool on = run_ % 2 == 0;
        if (++step_ >= runs_[std::size_t(run_)]) {
            step_ = 0;
            run_ = (run_ + 1) % int(runs_.size());
        }
        return on;
    }

    // The squares stamped along a line form a convex shape: one span per row, each pixel once.
    void WideLine(POINT a, POINT b) {
        const int w = width_;
        const int half = w / 2;
        if (!runs_.empty()) {
            // Dashes leave gaps inside a row: each on pixel paints its own stroke across the
            // line, so the runs keep their lengths along it.
            const bool flat = std::llabs(std::int64_t(b.x) - a.x) >= std::llabs(std::int64_t(b.y) - a.y);
            WalkLine(a, b, [&](std::int32_t x, std::int32_t y) {
                if (!Advance()) return;
                for (std::int32_t across = -half; across < w - half; ++across)
                    dc_.PlotPixel(flat ? x : x + across, flat ? y + across : y, value_, dc_.state.rop2);
            });
            return;
        }
        const std::int32_t top = std::min(a.y, b.y) - half;
        const std::int32_t bottom = std::max(a.y, b.y) - half + w;
        std::vector<Region::Span> rows(std::size_t(bottom - top), Region::Span{INT32_MAX, INT32_MIN});
        auto stamp = [&](std::int32_t x, std::int32_t y) {
            for (std::int32_t r = y - half; r < y - half + w; ++r) {
                auto& span = rows[std::size_t(r - top)];
                span.x0 = std::min(span.x0, x - half);
                span.x1 = std::max(span.x1, x - half + w);
            }
        };
        WalkLine(a, b, stamp);
        stamp(b.x, b.y);
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::int32_t x = rows[i].x0; x < rows[i].x1; ++x)
                dc_.PlotPixel(x, top + std::int32_t(i), value_, dc_.state.rop2);
    }

    DeviceContext& dc_;
    HPEN pen_;
    // In device pixels: logical widths scale with an anisotropic mapping.
    int width_;
    std::vector<int> runs_;
    bool null_ = false;
    std::uint32_t value_ = 0;
    std::uint32_t background_ = 0;
    int run_ = 0;
    int step_ = 0;
};

void StrokeClosed(DeviceContext& dc, const std::vector<POINT>& device) {
    PenStroke stroke(dc);
    for (std::size_t i = 0; i < device.size(); ++i)
        stroke.Line(device[i], device[(i + 1) % device.size()]);
}

RECT BoxOf(const std::vector<POINT>& points) {
    RECT box{points.front().x, points.front().y, points.front().x, points.front().y};
    for (const POINT& p : points) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

std::vector<POINT> ToDevicePoints(DeviceContext& dc, const POINT* points, int count) {
    std::vector<POINT> out(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        out[std::size_t(i)] = dc.ToDevice(points[i]);
    return out;
}

Region SurfaceRegion(DeviceContext& dc, const RECT& logical) {
    const RECT device = dc.ToDevice(logical);
    const POINT o = dc.Origin();
    return Region(OffsetRectBy(device, o.x, o.y));
}

void FillDeviceRect(DeviceContext& dc, const RECT& device, HBRUSH brush, int rop2) {
    const POINT o = dc.Origin();
    dc.FillRegionWithBrush(Region(OffsetRectBy(device, o.x, o.y)), brush, rop2);
}

// How a source pixel reads on the destination: monochrome to colour gives 0 the destination's
// text colour and 1 its background colour; colour to monochrome gives 1 where the pixel equals the
// source's background colour; between other kinds of pixel the colour is matched.
class SourceConversion {
public:
    SourceConversion(DeviceContext& from, DeviceContext& to)
        : source_(from.Surface()), target_(to.Surface()), same_(source_.SharesValuesWith(target_)) {
        if (source_.IsMonochrome()) {
            zero_ = to.DeviceValue(to.state.textColour);
            one_ = to.DeviceValue(to.state.bkColour);
        } else if (target_.IsMonochrome()) {
            background_ = from.DeviceValue(from.state.bkColour);
        }
    }

    std::uint32_t operator()(std::uint32_t value) {
        if (same_) return value;
        if (source_.IsMonochrome()) return value ? one_ : zero_;
        if (target_.IsMonochrome()) return value == background_ ? kDeviceWhite : 0;
        // Matching a colour against a colour table is a search; neighbours mostly repeat.
        if (!matched_ || value != lastValue_) {
            lastValue_ = value;
            lastMatch_ = target_.DeviceValue(source_.ColourOf(value));
            matched_ = true;
        }
        return lastMatch_;
    }

private:
    const Bitmap& source_;
    const Bitmap& target_;
    bool same_;
    std::uint32_t zero_ = 0;
    std::uint32_t one_ = 0;
    std::uint32_t background_ = 0;
    bool matched_ = false;
    std::uint32_t lastValue_ = 0;
    std::uint32_t lastMatch_ = 0;
};

// The source pixels that destination pixel `k` of `count` covers along one axis of a stretch from
// `size` pixels: from `first` to before `last`, counted from the source's start corner.
void CoveredSpan(std::int64_t k, std::int64_t count, std::int64_t size, std::int64_t& first,
                 std::int64_t& last) {
    first = k * size / count;
    last = std::max(first + 1, ((k + 1) * size + count - 1) / count);
}

// The mean colour of the source pixels that one destination pixel covers; none when all lie
// outside the source.
std::optional<COLORREF> MeanColour(const Bitmap& from, POINT s0, std::int32_t sw, std::int32_t sh,
                                   std::int64_t kx, std::int64_t dw, std::int64_t ky, std::int64_t dh) {
    std::int64_t x0, x1, y0, y1;
    CoveredSpan(kx, dw, std::abs(sw), x0, x1);
    CoveredSpan(ky, dh, std::abs(sh), y0, y1);
    std::uint64_t red = 0, green = 0, blue = 0, count = 0;
    for (std::int64_t j = y0; j < y1; ++j) {
        const std::int64_t sy = sh > 0 ? s0.y + j : s0.y - 1 - j;
        for (std::int64_t i = x0; i < x1; ++i) {
            const std::int64_t sx = sw > 0 ? s0.x + i : s0.x - 1 - i;
            if (sx != std::int32_t(sx) || sy != std::int32_t(sy) ||
                !from.Contains(std::int32_t(sx), std::int32_t(sy)))
                continue;
            const COLORREF colour = from.ColourOf(from.Pixel(std::int32_t(sx), std::int32_t(sy)));
            red += GetRValue(colour);
            green += GetGValue(colour);
            blue += GetBValue(colour);
            ++count;
        }
    }
    if (count == 0) return std::nullopt;
    return RGB((red + count / 2) / count, (green + count / 2) / count, (blue + count / 2) / count);
}

BOOL Blit(HDC dc, const RECT& logical, HDC source, POINT sourceOrigin, SIZE sourceSize, DWORD rop) {
    if (!dc) return FALSE;
    const auto code = std::uint8_t(RopCode(rop));
    const bool useSource = UsesSource(code);
    if (useSource && !source) return FALSE;
    const bool usePattern = UsesPattern(code);
    // The destination in device coordinates, kept unnormalised so a negative size mirrors.
    const POINT d0 = dc->ToDevice(POINT{logical.left, logical.top});
    const POINT d1 = dc->ToDevice(POINT{logical.right, logical.bottom});
    const std::int32_t dw = d1.x - d0.x;
    const std::int32_t dh = d1.y - d0.y;
    if (dw == 0 || dh == 0) return TRUE;
    POINT s0{};
    std::int32_t sw = 0;
    std::int32_t sh = 0;
    if (useSource) {
        s0 = source->ToSurface(source->ToDevice(sourceOrigin));
        const POINT s1 = source->ToSurface(
            source->ToDevice(POINT{sourceOrigin.x + sourceSize.cx, sourceOrigin.y + sourceSize.cy}));
        sw = s1.x - s0.x;
        sh = s1.y - s0.y;
        if (sw == 0 || sh == 0) return TRUE;
    }
    Bitmap& target = dc->Surface();
    const POINT o = dc->Origin();
    const RECT area{std::min(d0.x, d1.x) + o.x, std::min(d0.y, d1.y) + o.y, std::max(d0.x, d1.x) + o.x,
                    std::max(d0.y, d1.y) + o.y};
    const Region region = Region::Combine(Region(area), dc->Clip(), RGN_AND);

    // A blit within one surface reads what was there before it began.
    const bool sameSurface = useSource && &source->Surface() == &target;
    std::optional<Bitmap> snapshot;
    if (sameSurface) snapshot.emplace(target);
    const Bitmap& from = sameSurface ? *snapshot : useSource ? source->Surface() : target;
    std::optional<SourceConversion> convert;
    if (useSource) convert.emplace(*source, *dc);
    HBRUSH brush = dc->state.brush;
    const bool halftone = useSource && dc->state.stretchMode == HALFTONE && !from.IsMonochrome() &&
                          !target.IsMonochrome() &&
                          (std::abs(sw) > std::abs(dw) || std::abs(sh) > std::abs(dh));

    for (const auto& band : region.Bands()) {
        for (std::int32_t y = band.top; y < band.bottom; ++y) {
            std::uint32_t* row = target.Row(y);
            for (const auto& span : band.spans) {
                for (std::int32_t x = span.x0; x < span.x1; ++x) {
                    std::uint32_t s = 0;
                    if (halftone) {
                        const std::int64_t kx = dw > 0 ? x - o.x - d0.x : d0.x - 1 - (x - o.x);
                        const std::int64_t ky = dh > 0 ? y - o.y - d0.y : d0.y - 1 - (y - o.y);
                        const auto mean = MeanColour(from, s0, sw, sh, kx, std::abs(dw), ky, std::abs(dh));
                        if (!mean) continue;
                        s = target.DeviceValue(*mean);
                    } else if (useSource) {
                        // Nearest source pixel, measured from the destination's own start corner.
                        const std::int64_t fx =
                            (std::int64_t(x - o.x - d0.x) * 2 + (dw > 0 ? 1 : -1)) * sw / (2 * dw);
                        const std::int64_t fy =
                            (std::int64_t(y - o.y - d0.y) * 2 + (dh > 0 ? 1 : -1)) * sh / (2 * dh);
                        const std::int64_t sx = s0.x + fx + (sw < 0 ? -1 : 0);
                        const std::int64_t sy = s0.y + fy + (sh < 0 ? -1 : 0);
                        if (!from.Contains(std::int32_t(sx), std::int32_t(sy)) || sx != std::int32_t(sx) ||
                            sy != std::int32_t(sy))
                            continue;
                        s = (*convert)(from.Pixel(std::int32_t(sx), std::int32_t(sy)));
                    }
                    std::uint32_t p = 0;
                    if (usePattern && brush && !dc->BrushPixel(brush, x, y, p))
                        p = dc->DeviceValue(dc->state.bkColour);
                    if (row)
                        row[x] = ApplyRop3(code, p, s, row[x]);
                    else
                        target.SetPixel(x, y, ApplyRop3(code, p, s, target.Pixel(x, y)));
                }
            }
        }
    }
    return TRUE;
}

// The clip region in device coordinates, the whole surface when none was set.
Region CurrentClip(HDC dc) {
    if (dc->state.clip) return *dc->state.clip;
    const POINT o = dc->Origin();
    return Region(RECT{-o.x, -o.y, dc->Surface().Width() - o.x, dc->Surface().Height() - o.y});
}

int SetClip(HDC dc, Region region) {
    dc->state.clip = std::move(region);
    dc->ClipChanged();
    return dc->state.clip->Kind();
}

struct DibLayout {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool bottomUp = true;
    int bits = 0;
    std::size_t stride = 0;
    int colours = 0;
    const RGBQUAD* table = nullptr;
};

bool ReadLayout(const BITMAPINFO* info, DibLayout& out) {
    if (!info) return false;
    const auto& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biWidth > (1 << 15) || h.biHeight > (1 << 15) || h.biHeight < -(1 << 15))
        return false;
    if (!IsDibDepth(h.biBitCount)) return false;
    out.width = h.biWidth;
    out.height = std::abs(h.biHeight);
    out.bottomUp = h.biHeight > 0;
    out.bits = h.biBitCount;
    out.stride = (std::size_t(out.width) * out.bits + 31) / 32 * 4;
    if (out.bits <= 8) {
        const int full = 1 << out.bits;
        out.colours = h.biClrUsed == 0 || h.biClrUsed > std::uint32_t(full) ? full : int(h.biClrUsed);
        out.table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const std::uint8_t*>(info) + h.biSize);
    }
    return true;
}

// The colour of a pixel value as the layout stores it.
COLORREF DibColour(const DibLayout& l, std::uint32_t value) {
    switch (l.bits) {
    case 1:
    case 4:
    case 8: {
        if (int(value) >= l.colours) return RGB(0, 0, 0);
        const RGBQUAD& q = l.table[value];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    case 16:
        return ColourOf555(value);
    default:
        return PixelToColour(value);
    }
}

// One pixel of a stored row (rows as stored: the first is the bottom one of a bottom-up image).
COLORREF DibRowPixel(const DibLayout& l, const std::uint8_t* row, std::int32_t x) {
    return DibColour(l, ReadDibPixel(row, l.bits, x));
}

std::vector<COLORREF> ColourTableOf(const DibLayout& l) {
    std::vector<COLORREF> table;
    for (int i = 0; i < l.colours; ++i)
        table.push_back(DibColour(l, std::uint32_t(i)));
    return table;
}

// Whether pixels stored in that layout mean on the bitmap exactly what they mean in the layout.
bool StoresLike(const Bitmap& b, const DibLayout& l) {
    return b.IsDib() && b.BitsPerPixel() == l.bits && (l.bits > 8 || b.ColourTable() == ColourTableOf(l));
}

COLORREF DibPixel(const DibLayout& l, const std::uint8_t* bits, std::int32_t x, std::int32_t y) {
    return DibRowPixel(l, bits + std::size_t(l.bottomUp ? l.height - 1 - y : y) * l.stride, x);
}

} // namespace

// ---- Objects ----

HPEN CreatePen(int style, int width, COLORREF colour) {
    return Registered(new PenObject(style, width, colour));
}

HPEN ExtCreatePen(int style, int width, const LOGBRUSH& brush, int styleCount, const DWORD* styles) {
    const int kind = style & PS_STYLE_MASK;
    if (kind != PS_USERSTYLE) return CreatePen(kind, width, brush.lbColor);
    if (styleCount < 1 || styleCount > 16 || !styles) return nullptr;
    auto* pen = new PenObject(PS_USERSTYLE, width, brush.lbColor);
    for (int i = 0; i < styleCount; ++i) {
        if (styles[i] < 1 || styles[i] > 0x10000) {
            delete pen;
            return nullptr;
        }
        pen->userDashes.push_back(static_cast<int>(styles[i]));
    }
    // An odd count repeats so that on and off alternate through the whole pattern.
    if (styleCount % 2) pen->userDashes.insert(pen->userDashes.end(), styles, styles + styleCount);
    return Registered(pen);
}

HPEN CreatePenIndirect(const LOGPEN& lp) {
    return CreatePen(int(lp.lopnStyle), lp.lopnWidth.x, lp.lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    return Registered(new BrushObject(BS_SOLID, colour, 0));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF colour) {
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    return Registered(new BrushObject(BS_HATCHED, colour, hatch));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    auto* b = Live<BitmapObject>(bitmap, GdiObject::Type::Bitmap);
    if (!b || b->bits.Width() == 0 || b->bits.Height() == 0) return nullptr;
    auto* brush = new BrushObject(BS_PATTERN, 0, 0);
    brush->pattern = std::make_unique<Bitmap>(b->bits);
    return Registered(brush);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH& lb) {
    switch (lb.lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(lb.lbColor);
    case BS_NULL:
        return Registered(new BrushObject(BS_NULL, 0, 0));
    case BS_HATCHED:
        return CreateHatchBrush(int(lb.lbHatch), lb.lbColor);
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb.lbHatch));
    default:
        return nullptr;
    }
}

HFONT CreateFontIndirect(const LOGFONT& lf) {
    return Registered(new FontObject(lf));
}

HBITMAP CreateBitmap(std::int32_t width, std::int32_t height, UINT planes, UINT bitsPerPixel,
                     const void* bits) {
    if (width < 0 || height < 0 || planes != 1 || width > (1 << 15) || height > (1 << 15)) return nullptr;
    const bool mono = bitsPerPixel == 1;
    auto* b = new BitmapObject(width, height, mono);
    if (bits) {
        // Device-dependent rows are word aligned, top-down.
        const std::size_t stride = (std::size_t(width) * bitsPerPixel + 15) / 16 * 2;
        const auto* bytes = static_cast<const std::uint8_t*>(bits);
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* row = bytes + std::size_t(y) * stride;
            for (std::int32_t x = 0; x < width; ++x) {
                std::uint32_t v = 0;
                if (mono)
                    v = (row[x / 8] >> (7 - x % 8) & 1) ? kDeviceWhite : 0;
                else if (bitsPerPixel == 32)
                    v = (row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16) & 0xFFFFFF;
                else if (bitsPerPixel == 24)
                    v = row[3 * x] | row[3 * x + 1] << 8 | row[3 * x + 2] << 16;
                b->bits.SetPixel(x, y, v);
            }
        }
    } else if (!mono) {
        std::fill_n(b->bits.Data(), std::size_t(width) * height, 0u);
    }
    return Registered(b);
}

HBITMAP CreateCompatibleBitmap(HDC dc, std::int32_t width, std::int32_t height) {
    if (!dc || width < 0 || height < 0 || width > (1 << 15) || height > (1 << 15)) return nullptr;
    auto* b = new BitmapObject(width, height, dc->Surface().IsMonochrome());
    std::fill_n(b->bits.Data(), std::size_t(width) * height, 0u);
    GdiJournal::Record(dc, "CreateCompatibleBitmap", RECT{0, 0, width, height});
    return Registered(b);
}

HRGN CreateRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    return Registered(new RegionObject(Region(
        RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)})));
}

HRGN CreateRectRgnIndirect(const RECT& r) {
    return CreateRectRgn(r.left, r.top, r.right, r.bottom);
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    if (!points || count < 2) return nullptr;
    return Registered(new RegionObject(Region::FromPolygon({points, std::size_t(count)}, fillMode)));
}

int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode) {
    auto* d = Live<RegionObject>(destination, GdiObject::Type::Region);
    auto* ra = Live<RegionObject>(a, GdiObject::Type::Region);
    auto* rb = Live<RegionObject>(b, GdiObject::Type::Region);
    if (!d || !ra || (mode != RGN_COPY && !rb) || mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
    d->region = Region::Combine(ra->region, mode == RGN_COPY ? ra->region : rb->region, mode);
    return d->region.Kind();
}

int OffsetRgn(HRGN region, std::int32_t dx, std::int32_t dy) {
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    if (!r) return RGN_ERROR;
    r->region.Offset(dx, dy);
    return r->region.Kind();
}

BOOL PtInRegion(HRGN region, std::int32_t x, std::int32_t y) {
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    return r && r->region.Contains(x, y);
}

int GetRgnBox(HRGN region, RECT* box) {
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    if (!r || !box) return RGN_ERROR;
    *box = r->region.Bounds();
    return r->region.Kind();
}

BOOL EqualRgn(HRGN a, HRGN b) {
    auto* ra = Live<RegionObject>(a, GdiObject::Type::Region);
    auto* rb = Live<RegionObject>(b, GdiObject::Type::Region);
    return ra && rb && ra->region == rb->region;
}

BOOL SetRectRgn(HRGN region, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    if (!r) return FALSE;
    r->region = Region(RECT{left, top, right, bottom});
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!IsGdiObject(object)) return FALSE;
    if (object->IsStock()) return TRUE;
    // A selected object goes when the last context lets go of it.
    if (object->selections > 0) {
        object->deletePending = true;
        return TRUE;
    }
    DestroyGdiObject(object);
    return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!dc || !IsGdiObject(object)) return nullptr;
    // Palettes go in through SelectPalette.
    if (object->ObjectType() == GdiObject::Type::Palette) return nullptr;
    if (object->ObjectType() == GdiObject::Type::Region) {
        const int kind = SelectClipRgn(dc, static_cast<HRGN>(object));
        return reinterpret_cast<HGDIOBJ>(std::intptr_t(kind));
    }
    if (object->ObjectType() == GdiObject::Type::Bitmap) {
        auto* bitmap = static_cast<HBITMAP>(object);
        // A bitmap shows in one memory context at a time, and only in one.
        if (dc->ContextKind() != DeviceContext::Kind::Memory ||
            (bitmap->selections > 0 && dc->state.bitmap != bitmap))
            return nullptr;
        HGDIOBJ old = dc->Select(object);
        dc->SetSurface(&bitmap->bits, Region(RECT{0, 0, bitmap->bits.Width(), bitmap->bits.Height()}));
        return old;
    }
    return dc->Select(object);
}

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->state.pen;
    case OBJ_BRUSH:
        return dc->state.brush;
    case OBJ_FONT:
        return dc->state.font;
    case OBJ_BITMAP:
        return dc->state.bitmap;
    default:
        return nullptr;
    }
}

int GetObject(HGDIOBJ object, int size, void* out) {
    if (!IsGdiObject(object)) return 0;
    auto copy = [&](const auto& value) {
        if (!out) return int(sizeof value);
        if (size < int(sizeof value)) return 0;
        std::memcpy(out, &value, sizeof value);
        return int(sizeof value);
    };
    switch (object->ObjectType()) {
    case GdiObject::Type::Pen: {
        auto* p = static_cast<HPEN>(object);
        return copy(LOGPEN{UINT(p->style), POINT{p->width, 0}, p->colour});
    }
    case GdiObject::Type::Brush: {
        auto* b = static_cast<HBRUSH>(object);
        return copy(LOGBRUSH{UINT(b->style), b->colour, std::uintptr_t(b->hatch)});
    }
    case GdiObject::Type::Font:
        return copy(static_cast<HFONT>(object)->logFont);
    case GdiObject::Type::Bitmap: {
        const Bitmap& b = static_cast<HBITMAP>(object)->bits;
        BITMAP bm;
        bm.bmWidth = b.Width();
        bm.bmHeight = b.Height();
        bm.bmBitsPixel = std::uint16_t(b.BitsPerPixel());
        bm.bmWidthBytes = (b.Width() * b.BitsPerPixel() + 15) / 16 * 2;
        if (b.IsDib()) {
            // A DIB's rows are the ones its owner reads and writes.
            bm.bmWidthBytes = std::int32_t(b.DibStride());
            bm.bmBits = const_cast<std::uint8_t*>(b.DibBits());
        }
        return copy(bm);
    }
    case GdiObject::Type::Palette:
        return copy(std::uint16_t(static_cast<HPALETTE>(object)->entries.size()));
    case GdiObject::Type::Region:
        return 0;
    }
    return 0;
}

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm) {
    if (!dc || !tm) return FALSE;
    const auto& m = SelectedFace(dc).GetMetrics();
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = m.externalLeading;
    tm->tmAveCharWidth = m.averageCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = m.weight;
    return TRUE;
}

// ---- Contexts ----

HDC CreateCompatibleDC(HDC dc) {
    // A new memory context shows a 1x1 monochrome bitmap until the caller selects its own.
    static BitmapObject* const stockBitmap = [] {
        auto* b = new BitmapObject(1, 1, true);
        b->MarkStock();
        RegisterGdiObject(b);
        return b;
    }();
    auto* memory = new DeviceContext(DeviceContext::Kind::Memory, &stockBitmap->bits, POINT{},
                                     Region(RECT{0, 0, 1, 1}), 0);
    memory->Select(stockBitmap);
    if (dc) memory->SetResolution(dc->Resolution());
    return memory;
}

BOOL IsPrinting(HDC dc) {
    return dc && dc->IsPrinting();
}

BOOL SetPrinting(HDC dc, BOOL printing) {
    if (!dc || dc->ContextKind() != DeviceContext::Kind::Memory) return FALSE;
    dc->SetPrinting(printing != FALSE);
    return TRUE;
}

BOOL DeleteDC(HDC dc) {
    if (!dc || dc->ContextKind() != DeviceContext::Kind::Memory) return FALSE;
    delete dc;
    return TRUE;
}

int SaveDC(HDC dc) {
    return dc ? dc->Save() : 0;
}
BOOL RestoreDC(HDC dc, int level) {
    return dc && dc->Restore(level);
}

int GetDeviceCaps(HDC dc, int index) {
    switch (index) {
    case LOGPIXELSX:
        return dc ? dc->Resolution().cx : 96;
    case LOGPIXELSY:
        return dc ? dc->Resolution().cy : 96;
    case BITSPIXEL:
        return dc && dc->Surface().IsMonochrome() ? 1 : 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB |
               (IsPaletteScreen() ? RC_PALETTE : 0);
    case SIZEPALETTE:
        return IsPaletteScreen() ? 256 : 0;
    case NUMRESERVED:
        return IsPaletteScreen() ? 20 : 0;
    case COLORRES:
        return IsPaletteScreen() ? 18 : 24;
    case HORZRES:
        return dc ? dc->Surface().Width() : 0;
    case VERTRES:
        return dc ? dc->Surface().Height() : 0;
    default:
        return 0;
    }
}

#define VQ_DC_SETTER(Name, Getter, Type, field)                                                              \
    Type Name(HDC dc, Type value) {                                                                          \
        if (!dc) return Type{};                                                                              \
        Type old = dc->state.field;                                                                          \
        dc->state.field = value;                                                                             \
        return old;                                                                                          \
    }                                                                                                        \
    Type Getter(HDC dc) {                                                                                    \
        return dc ? dc->state.field : Type{};                                                                \
    }

VQ_DC_SETTER(SetBkColor, GetBkColor, COLORREF, bkColour)
VQ_DC_SETTER(SetTextColor, GetTextColor, COLORREF, textColour)
VQ_DC_SETTER(SetBkMode, GetBkMode, int, bkMode)
VQ_DC_SETTER(SetROP2, GetROP2, int, rop2)
#undef VQ_DC_SETTER

int SetStretchBltMode(HDC dc, int mode) {
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(dc->state.stretchMode, mode);
}

int GetStretchBltMode(HDC dc) {
    return dc ? dc->state.stretchMode : 0;
}

int SetPolyFillMode(HDC dc, int mode) {
    if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
    return std::exchange(dc->state.fillMode, mode);
}

UINT SetTextAlign(HDC dc, UINT align) {
    return dc ? std::exchange(dc->state.textAlign, align) : 0;
}

namespace {
template <typename T> BOOL Exchange(HDC dc, T DcState::*field, T value, T* old) {
    if (!dc) return FALSE;
    if (old) *old = dc->state.*field;
    dc->state.*field = value;
    dc->ClipChanged();
    return TRUE;
}
template <typename T> BOOL Read(HDC dc, T DcState::*field, T* out) {
    if (!dc || !out) return FALSE;
    *out = dc->state.*field;
    return TRUE;
}
} // namespace

BOOL SetBrushOrgEx(HDC dc, std::int32_t x, std::int32_t y, POINT* old) {
    return Exchange(dc, &DcState::brushOrigin, POINT{x, y}, old);
}

int SetMapMode(HDC dc, int mode) {
    if (!dc || (mode != MM_TEXT && mode != MM_ANISOTROPIC)) return 0;
    const int old = std::exchange(dc->state.mapMode, mode);
    if (mode == MM_TEXT) {
        dc->state.windowExtent = {1, 1};
        dc->state.viewportExtent = {1, 1};
    }
    return old;
}

int GetMapMode(HDC dc) {
    return dc ? dc->state.mapMode : 0;
}

BOOL SetWindowOrgEx(HDC dc, std::int32_t x, std::int32_t y, POINT* old) {
    return Exchange(dc, &DcState::windowOrigin, POINT{x, y}, old);
}
BOOL SetViewportOrgEx(HDC dc, std::int32_t x, std::int32_t y, POINT* old) {
    return Exchange(dc, &DcState::viewportOrigin, POINT{x, y}, old);
}
BOOL OffsetViewportOrgEx(HDC dc, std::int32_t dx, std::int32_t dy, POINT* old) {
    if (!dc) return FALSE;
    const POINT o = dc->state.viewportOrigin;
    return SetViewportOrgEx(dc, o.x + dx, o.y + dy, old);
}
// Extents only count in the anisotropic mode, as callers of the text mode expect a 1:1 mapping.
BOOL SetWindowExtEx(HDC dc, std::int32_t cx, std::int32_t cy, SIZE* old) {
    if (!dc || cx == 0 || cy == 0) return FALSE;
    if (dc->state.mapMode != MM_ANISOTROPIC)
        return Read(dc, &DcState::windowExtent, old ? old : &dc->state.windowExtent);
    return Exchange(dc, &DcState::windowExtent, SIZE{cx, cy}, old);
}
BOOL SetViewportExtEx(HDC dc, std::int32_t cx, std::int32_t cy, SIZE* old) {
    if (!dc || cx == 0 || cy == 0) return FALSE;
    if (dc->state.mapMode != MM_ANISOTROPIC)
        return Read(dc, &DcState::viewportExtent, old ? old : &dc->state.viewportExtent);
    return Exchange(dc, &DcState::viewportExtent, SIZE{cx, cy}, old);
}
BOOL GetWindowOrgEx(HDC dc, POINT* out) {
    return Read(dc, &DcState::windowOrigin, out);
}
BOOL GetViewportOrgEx(HDC dc, POINT* out) {
    return Read(dc, &DcState::viewportOrigin, out);
}
BOOL GetWindowExtEx(HDC dc, SIZE* out) {
    return Read(dc, &DcState::windowExtent, out);
}
BOOL GetViewportExtEx(HDC dc, SIZE* out) {
    return Read(dc, &DcState::viewportExtent, out);
}

BOOL LPtoDP(HDC dc, POINT* points, int count) {
    if (!dc || !points) return FALSE;
    for (int i = 0; i < count; ++i)
        points[i] = dc->ToDevice(points[i]);
    return TRUE;
}

BOOL DPtoLP(HDC dc, POINT* points, int count) {
    if (!dc || !points) return FALSE;
    for (int i = 0; i < count; ++i)
        points[i] = dc->ToLogical(points[i]);
    return TRUE;
}

// ---- Clipping ----

int SelectClipRgn(HDC dc, HRGN region) {
    return ExtSelectClipRgn(dc, region, RGN_COPY);
}

int ExtSelectClipRgn(HDC dc, HRGN region, int mode) {
    if (!dc) return RGN_ERROR;
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    if (!r) {
        if (mode != RGN_COPY) return RGN_ERROR;
        dc->state.clip.reset();
        dc->ClipChanged();
        return SIMPLEREGION;
    }
    if (mode == RGN_COPY) return SetClip(dc, r->region);
    return SetClip(dc, Region::Combine(CurrentClip(dc), r->region, mode));
}

BOOL BeginPath(HDC dc) {
    if (!dc) return FALSE;
    dc->path.Begin();
    return TRUE;
}

BOOL EndPath(HDC dc) {
    return dc && dc->path.End();
}

BOOL AbortPath(HDC dc) {
    if (!dc) return FALSE;
    dc->path.Abort();
    return TRUE;
}

BOOL SelectClipPath(HDC dc, int mode) {
    if (!dc) return FALSE;
    std::optional<Region> area = dc->path.TakeRegion(dc->state.fillMode);
    if (!area) return FALSE;
    if (mode == RGN_COPY)
        SetClip(dc, std::move(*area));
    else
        SetClip(dc, Region::Combine(CurrentClip(dc), *area, mode));
    return TRUE;
}

int GetClipRgn(HDC dc, HRGN region) {
    if (!dc) return -1;
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    if (!r) return -1;
    if (!dc->state.clip) return 0;
    r->region = *dc->state.clip;
    return 1;
}

int IntersectClipRect(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (!dc) return RGN_ERROR;
    return SetClip(
        dc, Region::Combine(CurrentClip(dc), Region(dc->ToDevice(RECT{left, top, right, bottom})), RGN_AND));
}

int ExcludeClipRect(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (!dc) return RGN_ERROR;
    return SetClip(
        dc, Region::Combine(CurrentClip(dc), Region(dc->ToDevice(RECT{left, top, right, bottom})), RGN_DIFF));
}

int GetClipBox(HDC dc, RECT* box) {
    if (!dc || !box) return RGN_ERROR;
    Region visible = dc->Clip();
    const POINT o = dc->Origin();
    visible.Offset(-o.x, -o.y);
    const RECT b = visible.Bounds();
    const POINT a = dc->ToLogical(POINT{b.left, b.top});
    const POINT c = dc->ToLogical(POINT{b.right, b.bottom});
    *box = {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
    return visible.Kind();
}

BOOL PtVisible(HDC dc, std::int32_t x, std::int32_t y) {
    if (!dc) return FALSE;
    const POINT p = dc->ToSurface(dc->ToDevice(POINT{x, y}));
    return dc->Clip().Contains(p.x, p.y);
}

BOOL RectVisible(HDC dc, const RECT* r) {
    if (!dc || !r) return FALSE;
    return dc->Clip().Intersects(SurfaceRegion(*dc, *r).Bounds());
}

// ---- Drawing ----

BOOL MoveToEx(HDC dc, std::int32_t x, std::int32_t y, POINT* old) {
    if (dc && dc->path.IsOpen()) dc->path.MoveTo(dc->ToDevice(POINT{x, y}));
    return Exchange(dc, &DcState::position, POINT{x, y}, old);
}

BOOL LineTo(HDC dc, std::int32_t x, std::int32_t y) {
    if (!dc) return FALSE;
    if (dc->path.IsOpen()) {
        dc->path.LineTo(dc->ToDevice(POINT{x, y}));
        dc->state.position = {x, y};
        return TRUE;
    }
    const POINT from = dc->ToDevice(dc->state.position), to = dc->ToDevice(POINT{x, y});
    GdiJournal::Record(
        dc, "LineTo",
        RECT{std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y)});
    PenStroke(*dc).Line(from, to);
    dc->state.position = {x, y};
    return TRUE;
}

BOOL Polyline(HDC dc, const POINT* points, int count) {
    if (!dc || !points || count < 2) return FALSE;
    if (dc->path.IsOpen()) {
        dc->path.AddFigure(ToDevicePoints(*dc, points, count));
        return TRUE;
    }
    GdiJournal::Record(dc, "Polyline", BoxOf(ToDevicePoints(*dc, points, count)));
    PenStroke stroke(*dc);
    for (int i = 0; i + 1 < count; ++i)
        stroke.Line(dc->ToDevice(points[i]), dc->ToDevice(points[i + 1]));
    return TRUE;
}

BOOL PolyPolygon(HDC dc, const POINT* points, const int* counts, int polygons) {
    if (!dc || !points || !counts || polygons < 1) return FALSE;
    std::size_t total = 0;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2) return FALSE;
        total += std::size_t(counts[i]);
    }
    const auto device = ToDevicePoints(*dc, points, int(total));
    if (dc->path.IsOpen()) {
        std::size_t start = 0;
        for (int i = 0; i < polygons; ++i) {
            dc->path.AddFigure(std::span(device).subspan(start, std::size_t(counts[i])));
            start += std::size_t(counts[i]);
        }
        return TRUE;
    }
    GdiJournal::Record(dc, "PolyPolygon", BoxOf(device));
    Region area = Region::FromPolyPolygon(device, {counts, std::size_t(polygons)}, dc->state.fillMode);
    area.Offset(dc->Origin().x, dc->Origin().y);
    dc->FillRegionWithBrush(area, dc->state.brush, dc->state.rop2);
    std::size_t start = 0;
    for (int i = 0; i < polygons; ++i) {
        StrokeClosed(*dc,
                     std::vector<POINT>(device.begin() + std::ptrdiff_t(start),
                                        device.begin() + std::ptrdiff_t(start + std::size_t(counts[i]))));
        start += std::size_t(counts[i]);
    }
    return TRUE;
}

BOOL Polygon(HDC dc, const POINT* points, int count) {
    return PolyPolygon(dc, points, &count, 1);
}

BOOL Rectangle(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (!dc) return FALSE;
    const RECT r = dc->ToDevice(RECT{left, top, right, bottom});
    if (dc->path.IsOpen()) {
        const POINT corners[] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        dc->path.AddFigure(corners);
        return TRUE;
    }
    GdiJournal::Record(dc, "Rectangle", r);
    PenStroke stroke(*dc);
    if (stroke.IsNull()) {
        // Without an outline the fill also leaves out the last column and row.
        FillDeviceRect(*dc, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, dc->state.brush, dc->state.rop2);
        return TRUE;
    }
    const int w = dc->ToDeviceWidth(dc->state.pen->width);
    FillDeviceRect(*dc, RECT{r.left + w, r.top + w, r.right - w, r.bottom - w}, dc->state.brush,
                   dc->state.rop2);
    if (w == 1) {
        StrokeClosed(
            *dc,
            {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}});
        return TRUE;
    }
    // Wide outlines lie inside the rectangle, as one solid frame.
    auto* pen = CreateSolidBrush(dc->state.pen->colour);
    Region outer(r);
    Region inner(RECT{r.left + w, r.top + w, r.right - w, r.bottom - w});
    Region frame = Region::Combine(outer, inner, RGN_DIFF);
    frame.Offset(dc->Origin().x, dc->Origin().y);
    dc->FillRegionWithBrush(frame, pen, dc->state.rop2);
    DeleteObject(pen);
    return TRUE;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// Points of an ellipse's outline inside the device box (right and bottom outside it), from one
// angle counter-clockwise to another as the user sees it, at most a pixel apart.
std::vector<POINT> EllipseOutline(const RECT& box, double from, double to) {
    const double cx = (box.left + box.right - 1) / 2.0;
    const double cy = (box.top + box.bottom - 1) / 2.0;
    const double a = (box.right - 1 - box.left) / 2.0;
    const double b = (box.bottom - 1 - box.top) / 2.0;
    const int steps = std::max(8, int(std::ceil((to - from) * std::max(a, b) * 1.5)));
    std::vector<POINT> out;
    for (int i = 0; i <= steps; ++i) {
        const double t = from + (to - from) * i / steps;
        const POINT p{std::int32_t(std::lround(cx + a * std::cos(t))),
                      std::int32_t(std::lround(cy - b * std::sin(t)))};
        if (out.empty() || !(out.back() == p)) out.push_back(p);
    }
    return out;
}

// The angle at which the ray from the box's centre through the point meets the ellipse.
double RadialAngle(const RECT& box, POINT p) {
    const double cx = (box.left + box.right - 1) / 2.0;
    const double cy = (box.top + box.bottom - 1) / 2.0;
    const double a = std::max((box.right - 1 - box.left) / 2.0, 0.5);
    const double b = std::max((box.bottom - 1 - box.top) / 2.0, 0.5);
    return std::atan2(-(p.y - cy) / b, (p.x - cx) / a);
}

RECT NormalisedDevice(DeviceContext& dc, std::int32_t left, std::int32_t top, std::int32_t right,
                      std::int32_t bottom) {
    const RECT r = dc.ToDevice(RECT{left, top, right, bottom});
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

// Fills the closed outline with the brush, then strokes it with the pen; `closed` false strokes an
// open arc without filling.
void DrawOutline(DeviceContext& dc, const std::vector<POINT>& points, bool closed) {
    if (points.empty()) return;
    if (!closed) {
        PenStroke stroke(dc);
        for (std::size_t i = 0; i + 1 < points.size(); ++i)
            stroke.Line(points[i], points[i + 1]);
        if (points.size() == 1) stroke.Line(points[0], POINT{points[0].x + 1, points[0].y});
        return;
    }
    const int counts[] = {int(points.size())};
    Region area = Region::FromPolyPolygon(points, counts, ALTERNATE);
    area.Offset(dc.Origin().x, dc.Origin().y);
    dc.FillRegionWithBrush(area, dc.state.brush, dc.state.rop2);
    StrokeClosed(dc, points);
}

// Arc, chord and pie share the outline between the two radials.
BOOL ArcShape(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
              POINT start, POINT end, int kind) {
    if (!dc) return FALSE;
    const RECT box = NormalisedDevice(*dc, left, top, right, bottom);
    if (box.IsEmpty()) return TRUE;
    const double from = RadialAngle(box, dc->ToDevice(start));
    double to = RadialAngle(box, dc->ToDevice(end));
    // Equal radials make the whole ellipse.
    if (to <= from) to += 2 * kPi;
    std::vector<POINT> points = EllipseOutline(box, from, to);
    if (kind == 2) points.push_back(POINT{(box.left + box.right - 1) / 2, (box.top + box.bottom - 1) / 2});
    DrawOutline(*dc, points, kind != 0);
    return TRUE;
}

} // namespace

BOOL Ellipse(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (!dc) return FALSE;
    const RECT box = NormalisedDevice(*dc, left, top, right, bottom);
    if (box.IsEmpty()) return TRUE;
    DrawOutline(*dc, EllipseOutline(box, 0, 2 * kPi), true);
    return TRUE;
}

BOOL Arc(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
         std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd, std::int32_t yEnd) {
    return ArcShape(dc, left, top, right, bottom, {xStart, yStart}, {xEnd, yEnd}, 0);
}

BOOL Chord(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
           std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd, std::int32_t yEnd) {
    return ArcShape(dc, left, top, right, bottom, {xStart, yStart}, {xEnd, yEnd}, 1);
}

BOOL Pie(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
         std::int32_t xStart, std::int32_t yStart, std::int32_t xEnd, std::int32_t yEnd) {
    return ArcShape(dc, left, top, right, bottom, {xStart, yStart}, {xEnd, yEnd}, 2);
}

BOOL RoundRect(HDC dc, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
               std::int32_t width, std::int32_t height) {
    if (!dc) return FALSE;
    const RECT box = NormalisedDevice(*dc, left, top, right, bottom);
    if (box.IsEmpty()) return TRUE;
    const std::int32_t w = std::clamp(std::abs(width), 1, box.Width());
    const std::int32_t h = std::clamp(std::abs(height), 1, box.Height());
    // Each corner is a quarter of a w x h ellipse in that corner.
    const RECT corners[] = {{box.right - w, box.top, box.right, box.top + h},
                            {box.left, box.top, box.left + w, box.top + h},
                            {box.left, box.bottom - h, box.left + w, box.bottom},
                            {box.right - w, box.bottom - h, box.right, box.bottom}};
    std::vector<POINT> points;
    for (int q = 0; q < 4; ++q) {
        const auto quarter = EllipseOutline(corners[q], q * kPi / 2, (q + 1) * kPi / 2);
        points.insert(points.end(), quarter.begin(), quarter.end());
    }
    DrawOutline(*dc, points, true);
    return TRUE;
}

int FillRect(HDC dc, const RECT* r, HBRUSH brush) {
    if (!dc || !r || !Live<BrushObject>(brush, GdiObject::Type::Brush)) return FALSE;
    GdiJournal::Record(dc, "FillRect", dc->ToDevice(*r));
    dc->FillRegionWithBrush(SurfaceRegion(*dc, *r), brush, R2_COPYPEN);
    return TRUE;
}

int FrameRect(HDC dc, const RECT* r, HBRUSH brush) {
    if (!dc || !r || !Live<BrushObject>(brush, GdiObject::Type::Brush)) return FALSE;
    const RECT d = dc->ToDevice(*r);
    if (d.IsEmpty()) return TRUE;
    Region frame =
        Region::Combine(Region(d), Region(RECT{d.left + 1, d.top + 1, d.right - 1, d.bottom - 1}), RGN_DIFF);
    frame.Offset(dc->Origin().x, dc->Origin().y);
    dc->FillRegionWithBrush(frame, brush, R2_COPYPEN);
    return TRUE;
}

BOOL InvertRect(HDC dc, const RECT* r) {
    if (!dc || !r) return FALSE;
    dc->FillRegionWithBrush(SurfaceRegion(*dc, *r), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), R2_NOT);
    return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* r) {
    if (!dc || !r) return FALSE;
    const RECT d = OffsetRectBy(dc->ToDevice(*r), dc->Origin().x, dc->Origin().y);
    if (d.IsEmpty()) return TRUE;
    // Every other pixel of the frame, inverted: drawing it twice restores the picture.
    auto dot = [&](std::int32_t x, std::int32_t y) {
        if (((x - dc->Origin().x + y - dc->Origin().y) & 1) == 0)
            dc->PlotPixel(x, y, kDeviceWhite, R2_XORPEN);
    };
    for (std::int32_t x = d.left; x < d.right; ++x) {
        dot(x, d.top);
        if (d.bottom - 1 > d.top) dot(x, d.bottom - 1);
    }
    for (std::int32_t y = d.top + 1; y < d.bottom - 1; ++y) {
        dot(d.left, y);
        if (d.right - 1 > d.left) dot(d.right - 1, y);
    }
    return TRUE;
}

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    if (!dc || !r || !Live<BrushObject>(brush, GdiObject::Type::Brush)) return FALSE;
    Region area = r->region;
    area.Offset(dc->Origin().x, dc->Origin().y);
    dc->FillRegionWithBrush(area, brush, R2_COPYPEN);
    return TRUE;
}

BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, std::int32_t width, std::int32_t height) {
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    if (!dc || !r || !Live<BrushObject>(brush, GdiObject::Type::Brush) || width < 1 || height < 1)
        return FALSE;
    // The frame is what is left when the region is shrunk by the width and height on every side.
    Region inner = r->region;
    for (const auto& [dx, dy] :
         {std::pair{width, 0}, std::pair{-width, 0}, std::pair{0, height}, std::pair{0, -height}}) {
        Region shifted = r->region;
        shifted.Offset(dx, dy);
        inner = Region::Combine(inner, shifted, RGN_AND);
    }
    Region frame = Region::Combine(r->region, inner, RGN_DIFF);
    frame.Offset(dc->Origin().x, dc->Origin().y);
    dc->FillRegionWithBrush(frame, brush, R2_COPYPEN);
    return TRUE;
}

BOOL InvertRgn(HDC dc, HRGN region) {
    auto* r = Live<RegionObject>(region, GdiObject::Type::Region);
    if (!dc || !r) return FALSE;
    Region area = r->region;
    area.Offset(dc->Origin().x, dc->Origin().y);
    dc->FillRegionWithBrush(area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), R2_NOT);
    return TRUE;
}

BOOL PaintRgn(HDC dc, HRGN region) {
    return dc && FillRgn(dc, region, dc->state.brush);
}

COLORREF SetPixel(HDC dc, std::int32_t x, std::int32_t y, COLORREF colour) {
    if (!dc) return CLR_INVALID;
    const POINT p = dc->ToSurface(dc->ToDevice(POINT{x, y}));
    if (!dc->Clip().Contains(p.x, p.y)) return CLR_INVALID;
    const std::uint32_t value = dc->DeviceValue(colour);
    dc->Surface().SetPixel(p.x, p.y, value);
    return dc->Surface().ColourOf(value);
}

COLORREF GetPixel(HDC dc, std::int32_t x, std::int32_t y) {
    if (!dc) return CLR_INVALID;
    const POINT p = dc->ToSurface(dc->ToDevice(POINT{x, y}));
    if (!dc->Surface().Contains(p.x, p.y)) return CLR_INVALID;
    return dc->Surface().ColourOf(dc->Surface().Pixel(p.x, p.y));
}

BOOL PatBlt(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, DWORD rop) {
    if (UsesSource(std::uint8_t(RopCode(rop)))) return FALSE;
    if (dc) GdiJournal::Record(dc, "PatBlt", dc->ToDevice(RECT{x, y, x + width, y + height}));
    return Blit(dc, RECT{x, y, x + width, y + height}, nullptr, {}, {}, rop);
}

BOOL BitBlt(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, HDC source,
            std::int32_t sx, std::int32_t sy, DWORD rop) {
    if (dc) GdiJournal::Record(dc, "BitBlt", dc->ToDevice(RECT{x, y, x + width, y + height}));
    return Blit(dc, RECT{x, y, x + width, y + height}, source, POINT{sx, sy}, SIZE{width, height}, rop);
}

BOOL StretchBlt(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, HDC source,
                std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh, DWORD rop) {
    if (dc) GdiJournal::Record(dc, "StretchBlt", dc->ToDevice(RECT{x, y, x + width, y + height}));
    return Blit(dc, RECT{x, y, x + width, y + height}, source, POINT{sx, sy}, SIZE{sw, sh}, rop);
}

BOOL DrawEdge(HDC dc, RECT* r, UINT edge, UINT flags) {
    if (!dc || !r) return FALSE;
    // The colours of the outer and the inner ring, top-left side then bottom-right side, raised
    // and sunken, from the colour table so that a change of it shows in every edge.
    struct Ring {
        UINT raised, sunken;
        int raisedTopLeft, raisedBottomRight, sunkenTopLeft, sunkenBottomRight;
    };
    static constexpr Ring rings[2] = {{BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW,
                                       COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
                                      {BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,
                                       COLOR_3DDKSHADOW, COLOR_3DLIGHT}};
    RECT rc = *r;
    for (const Ring& ring : rings) {
        int topLeft, bottomRight;
        if (edge & ring.raised) {
            topLeft = ring.raisedTopLeft;
            bottomRight = ring.raisedBottomRight;
        } else if (edge & ring.sunken) {
            topLeft = ring.sunkenTopLeft;
            bottomRight = ring.sunkenBottomRight;
        } else {
            continue;
        }
        if (flags & BF_MONO) topLeft = bottomRight = COLOR_WINDOWFRAME;
        HBRUSH tl = GetSysColorBrush(topLeft);
        HBRUSH br = GetSysColorBrush(bottomRight);
        RECT side;
        if (flags & BF_LEFT) FillRect(dc, &(side = RECT{rc.left, rc.top, rc.left + 1, rc.bottom}), tl);
        if (flags & BF_TOP) FillRect(dc, &(side = RECT{rc.left, rc.top, rc.right, rc.top + 1}), tl);
        if (flags & BF_RIGHT) FillRect(dc, &(side = RECT{rc.right - 1, rc.top, rc.right, rc.bottom}), br);
        if (flags & BF_BOTTOM) FillRect(dc, &(side = RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}), br);
        if (flags & BF_LEFT) ++rc.left;
        if (flags & BF_TOP) ++rc.top;
        if (flags & BF_RIGHT) --rc.right;
        if (flags & BF_BOTTOM) --rc.bottom;
    }
    if (flags & BF_MIDDLE) FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    *r = rc;
    return TRUE;
}

// ---- Device-independent bitmaps ----

int StretchDIBits(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                  std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop) {
    DibLayout layout;
    if (!dc || !bits || usage != DIB_RGB_COLORS || !ReadLayout(info, layout)) return 0;
    // The source rectangle counts rows from the bottom of a bottom-up image, as the caller sees it.
    const std::int32_t top = layout.bottomUp ? layout.height - sy - sh : sy;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP image = CreateBitmap(layout.width, layout.height, 1, 32, nullptr);
    for (std::int32_t row = 0; row < layout.height; ++row)
        for (std::int32_t col = 0; col < layout.width; ++col)
            image->bits.SetPixel(
                col, row, ColourToPixel(DibPixel(layout, static_cast<const std::uint8_t*>(bits), col, row)));
    HGDIOBJ old = SelectObject(memory, image);
    StretchBlt(dc, x, y, width, height, memory, sx, top, sw, sh, rop);
    SelectObject(memory, old);
    DeleteObject(image);
    DeleteDC(memory);
    return sh;
}

int SetDIBitsToDevice(HDC dc, std::int32_t x, std::int32_t y, std::uint32_t width, std::uint32_t height,
                      std::int32_t sx, std::int32_t sy, UINT startScan, UINT scanLines, const void* bits,
                      const BITMAPINFO* info, UINT usage) {
    DibLayout layout;
    if (!ReadLayout(info, layout) || startScan != 0 || scanLines < UINT(layout.height)) return 0;
    return StretchDIBits(dc, x, y, std::int32_t(width), std::int32_t(height), sx, sy, std::int32_t(width),
                         std::int32_t(height), bits, info, usage, SRCCOPY)
               ? std::int32_t(scanLines)
               : 0;
}

int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
    (void)dc;
    auto* b = Live<BitmapObject>(bitmap, GdiObject::Type::Bitmap);
    DibLayout layout;
    if (!b || !bits || usage != DIB_RGB_COLORS || !ReadLayout(info, layout)) return 0;
    const std::int32_t first = std::int32_t(std::min<UINT>(startScan, UINT(layout.height)));
    const std::int32_t last =
        std::int32_t(std::min<std::uint64_t>(std::uint64_t(startScan) + scanLines, UINT(layout.height)));
    const auto* bytes = static_cast<const std::uint8_t*>(bits);
    // Bits of the bitmap's own layout go in as they are, so an index stays that index.
    const bool raw = StoresLike(b->bits, layout);
    int done = 0;
    for (std::int32_t scan = first; scan < last; ++scan) {
        // Scan lines count from the bottom of a bottom-up image; the bits start at startScan.
        const std::int32_t row = layout.bottomUp ? layout.height - 1 - scan : scan;
        if (row >= b->bits.Height()) continue;
        const std::uint8_t* stored = bytes + std::size_t(scan - first) * layout.stride;
        for (std::int32_t col = 0; col < std::min(layout.width, b->bits.Width()); ++col) {
            const std::uint32_t value = ReadDibPixel(stored, layout.bits, col);
            b->bits.SetPixel(col, row, raw ? value : b->bits.DeviceValue(DibColour(layout, value)));
        }
        ++done;
    }
    return done;
}

int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info,
              UINT usage) {
    (void)dc;
    auto* b = Live<BitmapObject>(bitmap, GdiObject::Type::Bitmap);
    if (!b || !info || usage != DIB_RGB_COLORS || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    const Bitmap& source = b->bits;
    auto& h = info->bmiHeader;
    // Without a depth the caller asks for the header alone and has no room for a colour table.
    const bool depthGiven = h.biBitCount != 0;
    if (!depthGiven) h.biBitCount = std::uint16_t(source.BitsPerPixel());
    const int depth = h.biBitCount;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) return 0;
    // Indexed rows need a colour table that says what the bitmap's pixels are: its own at its own
    // depth, black and white at one bit.
    std::vector<COLORREF> table;
    if (depth <= 8) {
        if (source.IsDib() && source.BitsPerPixel() == depth)
            table = source.ColourTable();
        else if (depth == 1)
            table = {RGB(0, 0, 0), RGB(255, 255, 255)};
        else
            return 0;
    }
    h.biWidth = source.Width();
    if (h.biHeight == 0) h.biHeight = source.Height();
    h.biPlanes = 1;
    h.biCompression = BI_RGB;
    const std::size_t stride = (std::size_t(h.biWidth) * std::size_t(depth) + 31) / 32 * 4;
    h.biSizeImage = std::uint32_t(stride * std::size_t(source.Height()));
    h.biClrUsed = depth > 8 || table.size() == (std::size_t(1) << depth) ? 0 : std::uint32_t(table.size());
    h.biClrImportant = 0;
    if (depthGiven) {
        auto* out = reinterpret_cast<RGBQUAD*>(reinterpret_cast<std::uint8_t*>(info) + h.biSize);
        for (std::size_t i = 0; i < table.size(); ++i)
            out[i] = RGBQUAD{std::uint8_t(GetBValue(table[i])), std::uint8_t(GetGValue(table[i])),
                             std::uint8_t(GetRValue(table[i])), 0};
    }
    if (!bits) return 1;

    // Each scan is made in a one-row bitmap of the asked layout, then copied out.
    Bitmap line = Bitmap::Dib(source.Width(), 1, depth, false, table);
    const bool raw = source.SharesValuesWith(line);
    const bool bottomUp = h.biHeight > 0;
    const std::int32_t height = source.Height();
    const std::int32_t last =
        std::int32_t(std::min<std::uint64_t>(std::uint64_t(startScan) + scanLines, UINT(height)));
    auto* out = static_cast<std::uint8_t*>(bits);
    int done = 0;
    for (std::int32_t scan = std::int32_t(startScan); scan < last; ++scan, ++done) {
        const std::int32_t row = bottomUp ? height - 1 - scan : scan;
        for (std::int32_t col = 0; col < source.Width(); ++col) {
            const std::uint32_t value = source.Pixel(col, row);
            line.SetPixel(col, 0, raw ? value : line.DeviceValue(source.ColourOf(value)));
        }
        std::memcpy(out + std::size_t(scan - std::int32_t(startScan)) * stride, line.DibBits(), stride);
    }
    return done;
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if (!dc || !header || header->biWidth <= 0 || header->biHeight == 0) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, header->biWidth, std::abs(header->biHeight));
    if (bitmap && (init & CBM_INIT) && bits)
        SetDIBits(dc, bitmap, 0, UINT(std::abs(header->biHeight)), bits, info, usage);
    return bitmap;
}

HBITMAP CreateBitmapFromPackedDib(const void* dib, std::size_t size) {
    if (!dib || size < sizeof(BITMAPINFOHEADER)) return nullptr;
    const auto* info = static_cast<const BITMAPINFO*>(dib);
    DibLayout layout;
    if (!ReadLayout(info, layout) || info->bmiHeader.biSize > size) return nullptr;
    const std::size_t bitsAt = info->bmiHeader.biSize + std::size_t(layout.colours) * sizeof(RGBQUAD);
    const std::size_t bitsSize = layout.stride * std::size_t(layout.height);
    if (bitsAt > size || bitsSize > size - bitsAt) return nullptr;
    HBITMAP bitmap = CreateBitmap(layout.width, layout.height, 1, 32, nullptr);
    if (bitmap)
        SetDIBits(nullptr, bitmap, 0, UINT(layout.height), static_cast<const std::uint8_t*>(dib) + bitsAt,
                  info, DIB_RGB_COLORS);
    return bitmap;
}

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset) {
    // Only colour tables of palette indices would need the context, and there are no palettes.
    (void)dc;
    if (bits) *bits = nullptr;
    DibLayout layout;
    // The bits always live in the process's own memory; no file mapping backs them.
    if (!ReadLayout(info, layout) || info->bmiHeader.biPlanes != 1 || usage != DIB_RGB_COLORS || section ||
        offset)
        return nullptr;
    BitmapObject* b = nullptr;
    try {
        b = new BitmapObject(
            Bitmap::Dib(layout.width, layout.height, layout.bits, layout.bottomUp, ColourTableOf(layout)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (bits) *bits = b->bits.DibBits();
    return Registered(b);
}

namespace {

// A bitmap resource, its greys mapped to the current 3-D colours when asked.
HBITMAP LoadBitmapResource(std::uint32_t id, int width, int height, UINT flags) {
    const auto dib = FindResource(RT_BITMAP, id);
    if (dib.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
    // A copy, aligned for the header and free to change.
    std::vector<std::uint32_t> copy((dib.size() + 3) / 4);
    std::memcpy(copy.data(), dib.data(), dib.size());
    auto* info = reinterpret_cast<BITMAPINFO*>(copy.data());
    DibLayout layout;
    if (!ReadLayout(info, layout) || info->bmiHeader.biSize + std::size_t(layout.colours) * sizeof(RGBQUAD) > dib.size())
        return nullptr;
    if ((width && width != layout.width) || (height && height != layout.height)) return nullptr;
    if (flags & LR_LOADMAP3DCOLORS) {
        auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<std::uint8_t*>(info) + info->bmiHeader.biSize);
        for (int i = 0; i < layout.colours; ++i) {
            RGBQUAD& entry = table[i];
            const COLORREF colour = RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
            int mapped = -1;
            if (colour == RGB(0x80, 0x80, 0x80)) mapped = COLOR_BTNSHADOW;
            if (colour == RGB(0xC0, 0xC0, 0xC0)) mapped = COLOR_BTNFACE;
            if (colour == RGB(0xDF, 0xDF, 0xDF)) mapped = COLOR_3DLIGHT;
            if (mapped < 0) continue;
            const COLORREF system = GetSysColor(mapped);
            entry.rgbRed = GetRValue(system);
            entry.rgbGreen = GetGValue(system);
            entry.rgbBlue = GetBValue(system);
        }
    }
    return CreateBitmapFromPackedDib(copy.data(), dib.size());
}

} // namespace

HBITMAP LoadImage(void* instance, const char* name, UINT type, int width, int height, UINT flags) {
    (void)instance;
    if (!name || type != IMAGE_BITMAP) return nullptr;
    if (!(flags & LR_LOADFROMFILE))
        return LoadBitmapResource(std::uint32_t(reinterpret_cast<std::uintptr_t>(name)), width, height, flags);
    std::ifstream in(name, std::ios::binary);
    std::uint8_t file[14];
    if (!in.read(reinterpret_cast<char*>(file), sizeof file) || file[0] != 'B' || file[1] != 'M')
        return nullptr;
    const std::uint32_t bitsAt = std::uint32_t(file[10]) | std::uint32_t(file[11]) << 8 |
                                 std::uint32_t(file[12]) << 16 | std::uint32_t(file[13]) << 24;
    // The header and colour table lie between the file header and the pixels; whole words keep
    // the header aligned.
    constexpr std::uint32_t kMaxHeaderAndTable = 1 << 16;
    if (bitsAt < sizeof file + sizeof(BITMAPINFOHEADER) || bitsAt - sizeof file > kMaxHeaderAndTable)
        return nullptr;
    const std::size_t headerSize = bitsAt - sizeof file;
    std::vector<std::uint32_t> header((headerSize + 3) / 4);
    if (!in.read(reinterpret_cast<char*>(header.data()), std::streamsize(headerSize))) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(header.data());
    DibLayout layout;
    if (!ReadLayout(info, layout) ||
        info->bmiHeader.biSize + std::size_t(layout.colours) * sizeof(RGBQUAD) > headerSize)
        return nullptr;
    if ((width && width != layout.width) || (height && height != layout.height)) return nullptr;

    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section) return nullptr;
    if (!in.read(static_cast<char*>(bits), std::streamsize(layout.stride * std::size_t(layout.height)))) {
        DeleteObject(section);
        return nullptr;
    }
    if (flags & LR_CREATEDIBSECTION) return section;
    HBITMAP bitmap = CreateBitmap(layout.width, layout.height, 1, 32, nullptr);
    if (bitmap) SetDIBits(nullptr, bitmap, 0, UINT(layout.height), bits, info, DIB_RGB_COLORS);
    DeleteObject(section);
    return bitmap;
}

namespace {

// A 16 x 15 monochrome mark, white but for the black runs given per row as first and last column.
HBITMAP MonoMark(std::span<const std::array<std::int8_t, 3>> runs) {
    std::array<std::uint8_t, 2 * 15> bits;
    bits.fill(0xFF);
    for (const auto& [row, first, last] : runs)
        for (int x = first; x <= last; ++x)
            bits[std::size_t(row) * 2 + std::size_t(x / 8)] &= std::uint8_t(~(0x80 >> (x % 8)));
    return CreateBitmap(16, 15, 1, 1, bits.data());
}

// The system's own check mark and radio dot, drawn by the layer as no resource carries them.
HBITMAP PredefinedBitmap(std::uint32_t id) {
    static constexpr std::array<std::int8_t, 3> check[] = {{4, 10, 10}, {5, 9, 10}, {6, 4, 4},  {6, 8, 10},
                                                           {7, 4, 9},   {8, 5, 8},  {9, 6, 7},  {10, 6, 6}};
    static constexpr std::array<std::int8_t, 3> dot[] = {{4, 7, 8}, {5, 6, 9}, {6, 6, 9}, {7, 6, 9}, {8, 7, 8}};
    if (id == 32760) return MonoMark(check);
    if (id == 32739) return MonoMark(dot);
    return nullptr;
}

} // namespace

HBITMAP LoadBitmap(std::uint32_t id) {
    const auto dib = FindResource(RT_BITMAP, id);
    if (dib.empty()) return PredefinedBitmap(id);
    return CreateBitmapFromPackedDib(dib.data(), dib.size());
}

} // namespace vq
