#include "chart/ChartComponent.h"

#include "chart/Chart.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartLabel.h"
#include "chart/ChartResources.h"
#include "chart/GdiHandle.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vq {
namespace {

constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

constexpr std::array<COLORREF, 16> kSeriesColours = {
    RGB(255, 0, 0),   RGB(0, 128, 0),   RGB(0, 0, 255),   RGB(255, 255, 0),
    RGB(0, 255, 255), RGB(255, 0, 255), RGB(128, 0, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),   RGB(128, 0, 128), RGB(255, 128, 0), RGB(0, 255, 128),
    RGB(128, 0, 255), RGB(0, 128, 255), RGB(255, 0, 128), RGB(128, 255, 0),
};
// Pen styles by bits 3-5 of a colour word, hatches by bits 4-6 (1-7).
constexpr std::array<int, 8> kWordPenStyles = {PS_SOLID, PS_DASH,    PS_DOT,        PS_DASHDOT,
                                               PS_SOLID, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL};
constexpr std::array<int, 8> kWordHatches = {HS_BDIAGONAL, HS_BDIAGONAL,  HS_CROSS,    HS_DIAGCROSS,
                                             HS_FDIAGONAL, HS_HORIZONTAL, HS_VERTICAL, HS_DIAGCROSS};
constexpr u32 kWhiteBrushColour = 16'777'215;

// Border kinds: 1 raised, 2 sunken, 3 etched, 4 and 5 three-line raised and sunken, 6 deep
// etched, 7 a plain outline; 8-15 are the subclass's own.
enum BorderKind {
    borderNone,
    borderRaised,
    borderSunken,
    borderEtched,
    borderRaised3,
    borderSunken3,
    borderEtched3,
    borderPlain
};
constexpr std::array<int, 8> kBorderWidths = {0, 1, 1, 2, 3, 3, 6, 1};
constexpr std::array<int, 4> kShadowDepths = {0, 3, 8, 16};
constexpr u32 kCustomBorderBit = 0x8;
constexpr u32 kShadowFrameThreshold = 15;

RECT Inset(RECT r, int by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartComponent, Serializable)

u32 ChartSeriesColour(int colourWord) {
    return kSeriesColours[static_cast<std::size_t>(colourWord & 0xF)];
}

ChartComponent::ChartComponent() = default;

ChartComponent::ChartComponent(int typeCode) : m_typeCode(typeCode) {}

ChartComponent::~ChartComponent() {
    if (m_brush) DeleteObject(m_brush);
}

int ChartComponent::ScreenDpiX() const {
    if (!m_screenDpiX) m_screenDpiX = GetDeviceCaps(nullptr, LOGPIXELSX);
    return m_screenDpiX;
}

int ChartComponent::ScreenDpiY() const {
    if (!m_screenDpiY) m_screenDpiY = GetDeviceCaps(nullptr, LOGPIXELSY);
    return m_screenDpiY;
}

void ChartComponent::SelectColorBrush(int colourWord, int colourCount) {
    if (colourWord == m_brushKey && m_brush) return;
    if (m_brush) DeleteObject(m_brush);
    m_brushKey = colourWord;
    if (colourCount == 16) {
        const int hatch = (colourWord >> 4) & 7;
        m_brush = colourWord >= 16 && hatch != 0
                      ? CreateHatchBrush(kWordHatches[static_cast<std::size_t>(hatch)],
                                         ChartSeriesColour(colourWord))
                      : CreateSolidBrush(ChartSeriesColour(colourWord));
        return;
    }
    // Colour word 0 would divide by zero; it counts as 1.
    m_brush = CreateSolidBrush(kWhiteBrushColour / static_cast<u32>(std::max(colourWord, 1)));
}

void ChartComponent::SelectColorPen(int colourWord, int width, int) {
    if (colourWord == m_penKey && width == m_penWidthKey && m_colourPen) return;
    m_penKey = colourWord;
    m_penWidthKey = width;
    if (m_chart)
        m_colourPen = m_chart->GetPen(kWordPenStyles[static_cast<std::size_t>((colourWord >> 3) & 7)], width,
                                      ChartSeriesColour(colourWord));
}

double ChartComponent::MarginPixels(double value, int dpi, int extent) const {
    if (!m_drawing) return value;
    switch (m_rect.GetUnit()) {
    case ChartRect::unitMillimetres:
        return value * dpi * kInchesPerMillimetre;
    case ChartRect::unitInches:
        return value * dpi;
    case ChartRect::unitPercent:
        return value * 0.01 * extent;
    default:
        return value;
    }
}

double ChartComponent::GetVerticalMarginPixels() const {
    const RECT area = m_chart ? m_chart->GetDrawingArea() : RECT{};
    return MarginPixels(m_verticalMargin, m_drawing ? GetDeviceCaps(m_dc, LOGPIXELSY) : 0,
                        area.bottom - area.top);
}

double ChartComponent::GetHorizontalMarginPixels() const {
    const RECT area = m_chart ? m_chart->GetDrawingArea() : RECT{};
    return MarginPixels(m_horizontalMargin, m_drawing ? GetDeviceCaps(m_dc, LOGPIXELSX) : 0,
                        area.right - area.left);
}

double ChartComponent::GetSpacingPixels() const {
    const RECT area = m_chart ? m_chart->GetDrawingArea() : RECT{};
    const int dpi = m_drawing ? (GetDeviceCaps(m_dc, LOGPIXELSX) + GetDeviceCaps(m_dc, LOGPIXELSY)) / 2 : 0;
    return MarginPixels(m_spacing, dpi, area.right - area.left);
}

void ChartComponent::SetParent(Chart* chart) {
    m_chart = chart;
    m_rect.SetChart(chart);
    SetAnnotationIndex(-1);
}

void ChartComponent::SetPictureName(std::string_view name) {
    constexpr u32 kPictureLoaded = 1u << 24;
    if (m_style.pictureName != name) m_style.extraWord &= ~kPictureLoaded;
    m_style.pictureName = name;
}

void ChartComponent::SetFillColors(u32 first, u32 second) {
    m_style.fillColour = first;
    m_style.secondFillColour = second;
}

void ChartComponent::SetRect(const ChartRect& rect) {
    m_rect.SetValues(rect.Left(), rect.Top(), rect.Right(), rect.Bottom());
}

void ChartComponent::SetRectValues(double left, double top, double right, double bottom) {
    m_rect.SetValues(left, top, right, bottom);
}

void ChartComponent::SetUnit(int unit) {
    m_rect.SetUnit(unit);
    SetMeasureDefaults();
}

void ChartComponent::SetMeasureDefaults() {
    switch (m_rect.GetUnit()) {
    case ChartRect::unitMillimetres:
        SetMargins(2.5, 5, 5);
        break;
    case ChartRect::unitInches:
        SetMargins(0.1, 0.2, 0.2);
        break;
    case ChartRect::unitPercent:
        SetMargins(1.25, 2.5, 2.5);
        break;
    default:
        SetMargins(5, 10, 10);
        break;
    }
}

void ChartComponent::Draw(HDC dc, HWND window) {
    // The clip saved here is restored however the drawing ends, so the chart's clip stack
    // stays balanced when a component throws.
    m_chart->SaveClip();
    struct Restore {
        ChartComponent& c;
        ~Restore() {
            c.m_drawing = 0;
            c.m_chart->RestoreClip();
        }
    } restore{*this};
    SelectClipRgn(dc, nullptr);
    SetDrawing(dc, window, 1);
    DrawBackground();
    DrawShadow();
    DrawBorder();
    DrawForeground();
    m_invalid = 0;
}

void ChartComponent::BeginDraw(HDC dc, HWND window) {
    SetDrawing(dc, window, 1);
}

void ChartComponent::SetAnnotationIndex(int index) {
    if (index == -1) {
        if (m_chart) m_annotationIndex = m_chart->GetAnnotationIndex();
        return;
    }
    m_annotationIndex = index;
}

int ChartComponent::GetAnnotationIndex() const {
    return m_chart ? m_chart->GetAnnotationIndex() : m_annotationIndex;
}

SIZE ChartComponent::GetPointsExtent(std::span<const POINT> points) const {
    if (points.empty()) return {0, 0};
    auto [minX, maxX] =
        std::minmax_element(points.begin(), points.end(), [](POINT a, POINT b) { return a.x < b.x; });
    auto [minY, maxY] =
        std::minmax_element(points.begin(), points.end(), [](POINT a, POINT b) { return a.y < b.y; });
    return {maxX->x - minX->x, maxY->y - minY->y};
}

int ChartComponent::GetBorderWidth() const {
    const u32 kind = m_style.GetBorderKind();
    if (kind & kCustomBorderBit) return GetCustomBorderWidth();
    return kBorderWidths[kind];
}

int ChartComponent::GetShadowDepth() const {
    const u32 kind = m_style.GetShadowKind();
    return kind < kShadowDepths.size() ? kShadowDepths[kind] : 0;
}

RECT ChartComponent::GetInteriorRect(const RECT& device) const {
    const int border = GetBorderWidth();
    const int dx = TruncToInt(border + GetHorizontalMarginPixels());
    const int dy = TruncToInt(border + GetVerticalMarginPixels());
    return {device.left + dx, device.top + dy, device.right - dx, device.bottom - dy};
}

double ChartComponent::GetDeviceRatioY(HDC dc) const {
    return static_cast<double>(GetDeviceCaps(dc, LOGPIXELSY)) / ScreenDpiY();
}

double ChartComponent::GetDeviceRatioX(HDC dc) const {
    return static_cast<double>(GetDeviceCaps(dc, LOGPIXELSX)) / ScreenDpiX();
}

bool ChartComponent::InDataWindow(int index, int group) const {
    const bool indexIn =
        (m_lowIndex == -1 && m_highIndex == -1) || (m_lowIndex <= index && index <= m_highIndex);
    const bool groupIn = m_highGroup == -1 || (m_lowGroup <= group && group <= m_highGroup);
    return indexIn && groupIn;
}

HPEN ChartComponent::GetCustomPen() {
    return m_chart ? m_chart->GetPen(PS_SOLID, 1, kBlack) : nullptr;
}

void ChartComponent::GetDataWindow(int& lowIndex, int& highIndex, int& lowGroup, int& highGroup) const {
    lowIndex = m_lowIndex;
    highIndex = m_highIndex;
    lowGroup = m_lowGroup;
    highGroup = m_highGroup;
}

void ChartComponent::SetDataWindow(int lowIndex, int highIndex, int lowGroup, int highGroup) {
    m_lowIndex = lowIndex;
    m_highIndex = highIndex;
    m_lowGroup = lowGroup;
    m_highGroup = highGroup;
    m_invalid = 1;
}

CScale ChartComponent::GetComponentRange() const {
    CScale range;
    range.Set(1.0, 0, 1);
    return range;
}

int ChartComponent::GetRangeHint() const {
    const double version = m_firstRange.GetMinimum();
    if (!m_firstRange.IsEmpty() || !(version > m_firstRange.GetMaximum()) || !std::isfinite(version))
        return -1;
    return version >= 2147483647.0 ? 2147483647 : TruncToInt(version);
}

POINT ChartComponent::RotatePoint(int x, int y, double angle, bool radians) const {
    const double t = radians ? angle : angle * kRadiansPerDegree;
    return {TruncToInt(x * std::cos(t) + y * std::sin(t) + 0.5),
            TruncToInt(y * std::cos(t) - x * std::sin(t) + 0.5)};
}

void ChartComponent::InvertLineStyle(ChartStyle& style) const {
    style.lineColour ^= 0xFFFFFF;
    style.penWidth = 3;
    style.styleWord = (style.styleWord & ~0xFu) | 4;
}

void ChartComponent::SetExplicitMarkerSize(ChartStyle& style) const {
    style.flagsWord |= ChartStyle::kExplicitSizes;
    style.firstSize = 3.0;
    style.thirdSize = 3.0;
}

void ChartComponent::HighlightLineStyle(ChartStyle& style) const {
    style.lineColour = RGB(255, 0, 0);
    style.penWidth = 3;
    style.styleWord = (style.styleWord & ~0xFu) | 4;
}

void ChartComponent::DrawBackground() {
    m_chart->SaveClip();
    SelectClipRgn(m_dc, nullptr);
    const RECT r = GetDeviceRect();
    const POINT outline[] = {
        {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
    FillPolygon(outline, m_style, 0);
    m_chart->RestoreClip();
}

void ChartComponent::DrawShadow() {
    if (m_style.frameWord <= kShadowFrameThreshold) return;
    const u32 kind = m_style.GetShadowKind();
    if (kind == 0) return;
    if (kind >= kShadowDepths.size()) {
        DrawCustomShadow();
        return;
    }
    int dx = kShadowDepths[kind];
    int dy = dx;
    if (IsPrinting(m_dc)) {
        dx = TruncToInt(dx * GetDeviceRatioX(m_dc));
        dy = TruncToInt(dy * GetDeviceRatioY(m_dc));
    }
    m_chart->SaveClip();
    SelectClipRgn(m_dc, nullptr);
    const int saved = SaveDC(m_dc);
    // The pattern's 0-bits take the text colour and its 1-bits the background colour; under the
    // mask operation black darkens and white leaves the pixel as it was.
    GdiHandle<BitmapObject> pattern(LoadBitmap(IDB_CHART_SHADOW));
    GdiHandle<BrushObject> brush(pattern ? CreatePatternBrush(pattern.get()) : CreateSolidBrush(kBlack));
    SetTextColor(m_dc, kBlack);
    SetBkColor(m_dc, kWhite);
    SelectObject(m_dc, brush.get());
    SelectObject(m_dc, GetStockObject(NULL_PEN));
    SetROP2(m_dc, R2_MASKPEN);
    const RECT r = GetDeviceRect();
    Rectangle(m_dc, r.right, r.top + dx, r.right + dx + 1, r.bottom + dy + 1);
    Rectangle(m_dc, r.left + dx, r.bottom, r.right + 1, r.bottom + dy + 1);
    RestoreDC(m_dc, saved);
    m_chart->RestoreClip();
}

void ChartComponent::DrawBevel(RECT r, int depth, HPEN upper, HPEN lower) {
    for (int i = 0; i < depth; ++i) {
        const RECT ring = Inset(r, i);
        SelectObject(m_dc, upper);
        MoveToEx(m_dc, ring.left, ring.bottom - 1, nullptr);
        LineTo(m_dc, ring.left, ring.top);
        LineTo(m_dc, ring.right - 1, ring.top);
        SelectObject(m_dc, lower);
        LineTo(m_dc, ring.right - 1, ring.bottom - 1);
        LineTo(m_dc, ring.left, ring.bottom - 1);
    }
}

void ChartComponent::DrawEtched(RECT r, int depth) {
    GdiHandle<PenObject> grey(CreatePen(PS_SOLID, 1, kLightGrey));
    const auto white = static_cast<HPEN>(GetStockObject(WHITE_PEN));
    const auto black = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    DrawBevel(r, depth, grey.get(), white);
    DrawBevel(Inset(r, depth), depth, white, black);
}

void ChartComponent::DrawBorder() {
    const u32 kind = m_style.GetBorderKind();
    if (kind == borderNone) return;
    m_chart->SaveClip();
    SelectClipRgn(m_dc, nullptr);
    const int saved = SaveDC(m_dc);
    SelectObject(m_dc, GetStockObject(HOLLOW_BRUSH));
    const RECT r = GetDeviceRect();
    const auto white = static_cast<HPEN>(GetStockObject(WHITE_PEN));
    const auto black = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    switch (kind) {
    case borderRaised:
        DrawBevel(r, 1, white, black);
        break;
    case borderSunken:
        DrawBevel(r, 1, black, white);
        break;
    case borderEtched:
        DrawEtched(r, 1);
        break;
    case borderRaised3:
        DrawBevel(r, 3, white, black);
        break;
    case borderSunken3:
        DrawBevel(r, 3, black, white);
        break;
    case borderEtched3:
        DrawEtched(r, 3);
        break;
    case borderPlain: {
        GdiHandle<PenObject> pen(CreatePen(PS_SOLID, 1, m_style.lineColour));
        SelectObject(m_dc, pen.get());
        Rectangle(m_dc, r.left, r.top, r.right, r.bottom);
        SelectObject(m_dc, GetStockObject(BLACK_PEN));
        break;
    }
    default:
        DrawCustomBorder();
        break;
    }
    RestoreDC(m_dc, saved);
    m_chart->RestoreClip();
}

void ChartComponent::InvalidateArea(HWND window) {
    if (!window || !m_chart) return;
    HDC dc = GetDC(window);
    const RECT r = m_rect.GetDeviceRect(dc, window);
    ReleaseDC(window, dc);
    const int mode = m_chart->GetInvalidationMode();
    if (mode == Chart::invalidateWhole || mode == Chart::invalidateWholeAlt) {
        InvalidateRect(window, &r, TRUE);
    } else if (mode == Chart::invalidateShadows && m_style.frameWord >= 16) {
        const int depth = GetShadowDepth();
        const RECT right{r.right, r.top + depth, r.right + depth + 1, r.bottom + depth + 1};
        const RECT bottom{r.left + depth, r.bottom, r.right + 1, r.bottom + depth + 1};
        InvalidateRect(window, &right, TRUE);
        InvalidateRect(window, &bottom, TRUE);
    }
}

void ChartComponent::Store(ObjectWriter& archive) const {
    m_style.Store(archive);
    m_rect.Store(archive);
    GetComponentRange().Store(archive);
    archive.WriteInt32(m_spare);
    archive.WriteInt32(m_highIndex);
    archive.WriteInt32(m_lowIndex);
    archive.WriteInt32(m_highGroup);
    archive.WriteInt32(m_lowGroup);
    archive.WriteDouble(m_spacing);
    archive.WriteDouble(m_verticalMargin);
    archive.WriteDouble(m_horizontalMargin);
    archive.WriteInt32(m_typeCode);
}

void ChartComponent::Load(ObjectReader& archive, u32 schema) {
    m_style.Load(archive);
    m_rect.Load(archive, schema);
    m_firstRange.Load(archive);
    m_spare = archive.ReadInt32();
    m_highIndex = archive.ReadInt32();
    m_lowIndex = archive.ReadInt32();
    m_highGroup = archive.ReadInt32();
    m_lowGroup = archive.ReadInt32();
    m_spacing = archive.ReadDouble();
    m_verticalMargin = archive.ReadDouble();
    m_horizontalMargin = archive.ReadDouble();
    m_typeCode = archive.ReadInt32();
    m_invalid = 1;
}

} // namespace vq
