#include "chart/Chart.h"
#include "chart/ChartComponent.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartResources.h"
#include "chart/GdiHandle.h"
#include "platform/core/Exceptions.h"
#include "platform/res/Resources.h"
#include "toolkit/controls/TkJpeg.h"
#include "toolkit/controls/TkRasterImage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

namespace vq {
namespace {

constexpr u32 kPictureLoaded = 1u << 24;
constexpr u32 kStretchPicture = 1u << 31;
constexpr double kQuarterTurn = 1.5707963;
constexpr double kFiveDegrees = 0.08726646111111111;

enum FillKind : int {
    fillNone = 0,
    fillColourIndex = 16,
    fillSolidData = 32,
    fillTopDownData = 48,
    fillLeftRightData = 64,
    fillAngledData = 80,
    fillBitmapData = 96,
    fillSolid = 256,
    fillTopDown = 512,
    fillLeftRight = 768,
    fillAngled = 1024,
    fillBitmap = 1280,
    fillPicture = 1536,
};

enum OutlineKind : int {
    outlineColourIndex = 1,
    outlineBlack = 2,
    outlinePattern = 3,
    outlineLineColour = 4
};

using Channels = std::array<double, 3>;

Channels ChannelsOf(COLORREF c) {
    return {double(GetRValue(c)), double(GetGValue(c)), double(GetBValue(c))};
}

// Steps that overshoot the last colour are held to the channel's range.
COLORREF ColourOf(const Channels& c) {
    auto channel = [](double v) { return static_cast<std::uint8_t>(std::clamp(TruncToInt(v), 0, 255)); };
    return RGB(channel(c[0]), channel(c[1]), channel(c[2]));
}

Channels StepsOver(COLORREF first, COLORREF second, double length, double& largest) {
    const Channels a = ChannelsOf(first), b = ChannelsOf(second);
    Channels steps{};
    largest = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        steps[i] = (b[i] - a[i]) / length;
        largest = std::max(largest, std::abs(steps[i]));
    }
    return steps;
}

Channels Advance(Channels c, const Channels& steps, double by) {
    for (std::size_t i = 0; i < 3; ++i)
        c[i] += steps[i] * by;
    return c;
}

// A bitmap resource by a name or by "#number" or a plain number; null when there is none.
HBITMAP LoadBitmapResource(std::string_view name) {
    std::string_view digits = name.starts_with('#') ? name.substr(1) : name;
    std::uint32_t id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (!digits.empty() && error == std::errc{} && end == digits.data() + digits.size())
        return LoadBitmap(id);
    const auto bytes = FindResource(RT_BITMAP, name);
    return bytes.empty() ? nullptr : CreateBitmapFromPackedDib(bytes.data(), bytes.size());
}

// A picture file through a toolkit image class; a file error counts as a failed load.
template <typename Image> HBITMAP LoadWithToolkit(const std::string& path, HDC dc) {
    auto image = std::make_unique<Image>();
    try {
        if (!image->LoadImage(path)) return nullptr;
    } catch (const FileException&) {
        return nullptr;
    }
    return image->MakeBitmap(dc);
}

} // namespace

void ChartComponent::DeletePicture(BitmapObject* picture) {
    DeleteObject(picture);
}

int ChartComponent::FillKindOf(const ChartStyle& style) {
    if (style.GetLevel() == ChartStyle::levelComponent) return static_cast<int>(style.GetFillKind()) * 256;
    return static_cast<int>((style.styleWord >> 4) & 0xF) * 16;
}

int ChartComponent::OutlineKindOf(const ChartStyle& style) {
    return static_cast<int>(
        (style.GetLevel() == ChartStyle::levelComponent ? style.frameWord : style.styleWord) & 0xF);
}

void ChartComponent::FillPolygon(std::span<const POINT> points, const ChartStyle& style, int fillKind) {
    if (points.empty() || !m_dc) return;
    const int kind = fillKind ? fillKind : FillKindOf(style);
    const int count = static_cast<int>(points.size());
    if (kind == 1 || kind == fillColourIndex || kind == fillSolidData || kind == fillSolid) {
        const int saved = SaveDC(m_dc);
        GdiHandle<BrushObject> solid;
        if (kind == 1 || kind == fillColourIndex) {
            SelectColorBrush(m_colourIndex, m_chart ? m_chart->GetColorCount() : 16);
            SelectObject(m_dc, m_brush);
        } else {
            solid.reset(CreateSolidBrush(style.fillColour));
            SelectObject(m_dc, solid.get());
        }
        SelectObject(m_dc, GetStockObject(NULL_PEN));
        SetPolyFillMode(m_dc, ALTERNATE);
        Polygon(m_dc, points.data(), count);
        RestoreDC(m_dc, saved);
        return;
    }
    const auto [minX, maxX] =
        std::minmax_element(points.begin(), points.end(), [](POINT a, POINT b) { return a.x < b.x; });
    const auto [minY, maxY] =
        std::minmax_element(points.begin(), points.end(), [](POINT a, POINT b) { return a.y < b.y; });
    if (m_chart) {
        m_chart->SaveClip();
        m_chart->ClipToPolyline(points, RGN_AND);
    }
    FillArea(nullptr, style, 0, 0, {minX->x, minY->y, maxX->x, maxY->y});
    if (m_chart) m_chart->RestoreClip();
}

void ChartComponent::OutlinePolygon(std::span<const POINT> points, const ChartStyle& style, int outlineKind) {
    if (points.empty() || !m_dc) return;
    const int kind = outlineKind ? outlineKind : OutlineKindOf(style);
    const int count = static_cast<int>(points.size());
    HPEN pen = nullptr;
    if (kind == outlineColourIndex) {
        SelectColorPen(m_colourIndex, style.penWidth, 16);
        pen = m_colourPen;
    } else if (m_chart && (kind == outlineBlack || kind == outlineLineColour)) {
        pen =
            m_chart->GetPen(PS_SOLID, style.penWidth, kind == outlineBlack ? RGB(0, 0, 0) : style.lineColour);
    }
    if (kind == outlineColourIndex || kind == outlineBlack || kind == outlineLineColour) {
        if (!pen) return;
        ScopedSelect select(m_dc, pen);
        Polyline(m_dc, points.data(), count);
        return;
    }
    if (!m_chart) return;
    m_chart->SaveClip();
    m_chart->ClipToPolyline(points, RGN_AND);
    GdiHandle<RegionObject> clip(CreateRectRgn(0, 0, 0, 0));
    if (GetClipRgn(m_dc, clip.get()) == 1) FrameRegion(clip.get(), style, 0, 0);
    m_chart->RestoreClip();
}

void ChartComponent::FrameRegion(HRGN region, const ChartStyle& style, int, int outlineKind) {
    RECT box{};
    if (!region || !m_dc || GetRgnBox(region, &box) == NULLREGION) return;
    const int kind = outlineKind ? outlineKind : OutlineKindOf(style);
    GdiHandle<BrushObject> brush;
    int width = 1;
    if (kind == outlinePattern) {
        GdiHandle<BitmapObject> pattern(LoadBitmapResource(style.secondText));
        if (pattern) brush.reset(CreatePatternBrush(pattern.get()));
        width = style.penWidth;
    } else if (kind == outlineLineColour) {
        brush.reset(CreateSolidBrush(style.lineColour));
        width = style.penWidth;
    }
    if (!brush) brush.reset(CreateSolidBrush(RGB(0, 0, 0)));
    if (m_chart) m_chart->SaveClip();
    SelectClipRgn(m_dc, region);
    FrameRgn(m_dc, region, brush.get(), width, width);
    if (m_chart)
        m_chart->RestoreClip();
    else
        SelectClipRgn(m_dc, nullptr);
}

void ChartComponent::FillRegion(HRGN region, const ChartStyle& style, int value, int fillKind) {
    FillArea(region, style, value, fillKind, RECT{});
}

HBITMAP ChartComponent::LoadDefaultPicture() {
    m_picture.reset(LoadBitmap(IDB_CHART_DEFAULT_PICTURE));
    return m_picture.get();
}

void ChartComponent::FillArea(HRGN region, const ChartStyle& style, int value, int fillKind, RECT rect) {
    if (!m_dc) return;
    const bool clipped = region && m_chart;
    if (clipped) {
        m_chart->SaveClip();
        SelectClipRgn(m_dc, region);
        if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0) {
            RECT box{};
            if (GetRgnBox(region, &box) != NULLREGION)
                rect = {box.left, box.top, box.right - 1, box.bottom - 1};
        }
    }
    struct Restore {
        ChartComponent& c;
        bool clipped;
        ~Restore() {
            if (clipped) c.m_chart->RestoreClip();
        }
    } restore{*this, clipped};
    if (rect.right < rect.left || rect.bottom < rect.top) return;
    if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0) return;

    const int kind = fillKind ? fillKind : FillKindOf(style);
    switch (kind) {
    case fillNone:
        return;
    case fillColourIndex:
        SelectColorBrush(m_colourIndex, m_chart ? m_chart->GetColorCount() : 16);
        FillWithBrush(m_brush, rect);
        return;
    case fillSolidData:
    case fillSolid:
        FillSolid(style.fillColour, rect);
        return;
    case fillTopDownData:
    case fillTopDown:
        FillLinearGradient(style, rect, true);
        return;
    case fillLeftRightData:
    case fillLeftRight:
        FillLinearGradient(style, rect, false);
        return;
    case fillAngledData:
    case fillAngled:
        FillAngledGradient(style, rect);
        return;
    case fillBitmapData:
    case fillBitmap: {
        GdiHandle<BitmapObject> bitmap(LoadBitmapResource(style.pictureName));
        if (bitmap) DrawBitmap(bitmap.get(), style, rect);
        return;
    }
    case fillPicture:
        if (HBITMAP picture = LoadPictureFile(style)) DrawBitmap(picture, style, rect);
        return;
    default:
        FillCustom(region, style, value, kind);
        return;
    }
}

void ChartComponent::FillWithBrush(HBRUSH brush, const RECT& r) {
    const int saved = SaveDC(m_dc);
    SelectObject(m_dc, brush);
    SelectObject(m_dc, GetStockObject(NULL_PEN));
    Rectangle(m_dc, r.left, r.top, r.right + 1, r.bottom + 1);
    RestoreDC(m_dc, saved);
}

void ChartComponent::FillSolid(COLORREF colour, const RECT& r) {
    GdiHandle<BrushObject> brush(CreateSolidBrush(colour));
    FillWithBrush(brush.get(), r);
}

void ChartComponent::FillLinearGradient(const ChartStyle& style, const RECT& r, bool vertical) {
    // A one-row or one-column area has extent 0, which would make the steps infinite.
    const int extent = std::max(vertical ? r.bottom - r.top : r.right - r.left, 1);
    double largest = 0;
    const Channels steps = StepsOver(style.fillColour, style.secondFillColour, extent, largest);
    int run = extent;
    if (largest >= 1.0 / extent) run = std::max(1, static_cast<int>(std::floor(1.0 / largest)));
    const int band = std::max(3, 3 * run);
    Channels colour = ChannelsOf(style.fillColour);
    const int start = vertical ? r.top : r.left;
    const int end = vertical ? r.bottom : r.right;
    for (int at = start; at <= end; at += band) {
        const RECT piece =
            vertical ? RECT{r.left, at, r.right, at + band} : RECT{at, r.top, at + band, r.bottom};
        FillSolid(ColourOf(colour), piece);
        colour = Advance(colour, steps, band);
    }
}

void ChartComponent::FillAngledGradient(const ChartStyle& style, const RECT& r) {
    const double theta = std::abs(std::fmod(style.gradientAngle * kRadiansPerDegree, kQuarterTurn));
    if (theta < kFiveDegrees) return FillLinearGradient(style, r, false);
    if (kQuarterTurn - theta < kFiveDegrees) return FillLinearGradient(style, r, true);
    const double w = r.right - r.left, h = r.bottom - r.top;
    if (std::cos(theta) * w < 1.1) return FillLinearGradient(style, r, true);
    if (std::sin(theta) * h < 1.1) return FillLinearGradient(style, r, false);

    const double diagonal = std::sqrt(w * w + h * h);
    const double phi = std::asin(h / diagonal);
    const double length = std::cos(theta - phi) * diagonal * 1.2;
    double largest = 0;
    const Channels steps = StepsOver(style.fillColour, style.secondFillColour, length, largest);
    if (2 / length > largest) return FillSolid(style.fillColour, r);
    const double thickness = 2 * std::max(1.0, 1 / largest);
    const int v = std::max(1, TruncToInt(thickness / std::sin(theta) + 0.5));
    const int u = std::max(1, TruncToInt(thickness / std::cos(theta) + 0.5));
    // The staircases overshoot the rectangle on the right and below; only the rectangle is painted.
    const int saved = SaveDC(m_dc);
    IntersectClipRect(m_dc, r.left, r.top, r.right + 1, r.bottom + 1);
    const Channels first = ChannelsOf(style.fillColour);
    for (int k = 0; k * thickness < length; ++k) {
        GdiHandle<BrushObject> brush(CreateSolidBrush(ColourOf(Advance(first, steps, k * thickness))));
        SelectObject(m_dc, brush.get());
        SelectObject(m_dc, GetStockObject(NULL_PEN));
        for (int step = 0; step <= k; ++step) {
            const int x = r.left + step * u, y = r.top + (k - step) * v;
            if (x > r.right) break;
            if (y > r.bottom) continue;
            Rectangle(m_dc, x, y, x + u + 1, y + v + 1);
        }
        SelectObject(m_dc, GetStockObject(WHITE_BRUSH));
    }
    RestoreDC(m_dc, saved);
}

void ChartComponent::DrawBitmap(HBITMAP bitmap, const ChartStyle& style, const RECT& r) {
    BITMAP size{};
    if (!GetObject(bitmap, sizeof size, &size) || size.bmWidth <= 0 || size.bmHeight <= 0) return;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const int width = r.right - r.left + 1, height = r.bottom - r.top + 1;
    if (style.frameWord & kStretchPicture) {
        StretchBlt(m_dc, r.left, r.top, width, height, memory, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    } else {
        // Below 1 (a coarser target than the screen) a small bitmap would give empty tiles that
        // never cover the area.
        const int tileWidth = std::max(1, TruncToInt(size.bmWidth * GetDeviceRatioX(m_dc)));
        const int tileHeight = std::max(1, TruncToInt(size.bmHeight * GetDeviceRatioY(m_dc)));
        for (int y = r.top; y <= r.bottom; y += tileHeight)
            for (int x = r.left; x <= r.right; x += tileWidth)
                StretchBlt(m_dc, x, y, tileWidth, tileHeight, memory, 0, 0, size.bmWidth, size.bmHeight,
                           SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
}

HBITMAP ChartComponent::LoadPictureFile(const ChartStyle& style) {
    if ((m_style.extraWord & kPictureLoaded) && m_picture) return m_picture.get();
    m_picture.reset();
    const std::string& name = style.pictureName;
    HBITMAP loaded = nullptr;
    if (!name.empty())
        loaded = LoadImage(nullptr, name.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!loaded) loaded = LoadWithToolkit<TkDib>(name, m_dc);
    if (!loaded) loaded = LoadWithToolkit<TkJpeg>(name, m_dc);
    if (!loaded) return LoadDefaultPicture();
    m_picture.reset(loaded);
    m_style.extraWord |= kPictureLoaded;
    return loaded;
}

} // namespace vq
