#include "chart/ChartLabel.h"

#include "chart/Chart.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartLabelBlock.h"
#include "chart/ChartResources.h"
#include "chart/ChartTemplateScanner.h"
#include "chart/GdiHandle.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace vq {
namespace {

constexpr double kRootTwo = 1.41421356237;
// Bevel pens by edge and sector: 0 white, 1 grey, 2 black.
constexpr std::array<int, 32> kBevelPens = {0, 2, 2, 0, 0, 1, 2, 1, 0, 0, 2, 2, 1, 0, 1, 2,
                                            2, 0, 0, 2, 2, 1, 0, 1, 2, 2, 0, 0, 1, 2, 1, 0};
constexpr std::array<COLORREF, 3> kBevelColours = {RGB(255, 255, 255), RGB(0xB3, 0xB3, 0xB3), RGB(0, 0, 0)};
constexpr std::array<int, 4> kShadowDepths = {0, 3, 8, 16};

u32 ShapeOf(const ChartStyle& style) {
    return (style.labelWord >> 16) & 0xF;
}

POINT Rotate(double px, double py, double degrees) {
    const double t = degrees * kRadiansPerDegree;
    return {TruncToInt(std::cos(t) * px + std::sin(t) * py), TruncToInt(std::cos(t) * py - std::sin(t) * px)};
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartLabel, ChartTitle)

ChartLabel::ChartLabel() : ChartLabel(chartLabelType) {}

ChartLabel::ChartLabel(int typeCode) : ChartTitle(typeCode) {
    SetText("", alignLeft);
}

int ChartLabel::IsDrawing() const {
    return m_inBlock && m_owner ? m_owner->IsDrawing() : ChartComponent::IsDrawing();
}

void ChartLabel::SetOwner(ChartLabelBlock* block, int ownStyle) {
    m_owner = block;
    m_inBlock = block ? 1 : 0;
    m_ownStyle = ownStyle;
}

HFONT ChartLabel::GetLabelFont() const {
    return m_inBlock && m_owner && !m_ownStyle ? m_owner->GetFont() : GetFont();
}

COLORREF ChartLabel::GetLabelColor() const {
    return m_inBlock && m_owner && !m_ownStyle ? m_owner->GetColor() : GetColor();
}

void ChartLabel::SetDirection(int code) {
    static constexpr std::array<POINT, 4> kDirections = {POINT{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
    if (code < 0 || code > 3) {
        m_directionSet = 0;
        return;
    }
    m_directionX = kDirections[static_cast<std::size_t>(code)].x;
    m_directionY = kDirections[static_cast<std::size_t>(code)].y;
    m_directionSet = 1;
}

void ChartLabel::SetDirectionAngle(double degrees) {
    const double t = degrees * kRadiansPerDegree;
    m_directionX = std::cos(t);
    m_directionY = std::sin(t);
    m_directionSet = degrees == 0 || degrees == 90 || degrees == 180 || degrees == 270;
}

void ChartLabel::SetRotationPreset(int code) {
    if (code < 0 || code > 3) {
        m_rotationPreset = 0;
        return;
    }
    SetAngle(90.0 * code);
    m_rotationPreset = 1;
}

void ChartLabel::SetX(double x) {
    m_x = x;
    if (GetRect().GetUnit() == ChartRect::unitPixels) m_anchorPixel.x = TruncToInt(x);
}

void ChartLabel::SetY(double y) {
    m_y = y;
    if (GetRect().GetUnit() == ChartRect::unitPixels) m_anchorPixel.y = TruncToInt(y);
}

SIZE ChartLabel::GetOutlineSize() const {
    if (m_outline.empty()) return {0, 0};
    return GetPointsExtent(std::span(m_outline).first(std::min<std::size_t>(5, m_outline.size())));
}

HRGN ChartLabel::CreateOutlineRegion() const {
    if (m_outline.empty()) return nullptr;
    return CreatePolygonRgn(m_outline.data(), static_cast<int>(std::min<std::size_t>(5, m_outline.size())),
                            ALTERNATE);
}

void ChartLabel::MoveBy(int dx, int dy) {
    for (POINT& p : m_outline)
        p.x += dx, p.y += dy;
    m_anchorPixel.x += dx;
    m_anchorPixel.y += dy;
    m_x += dx;
    m_y += dy;
}

int ChartLabel::ReadTemplate(std::string_view text) {
    const int used = ChartTitle::ReadTemplate(text);
    ChartTemplateScanner scan(text.substr(static_cast<std::size_t>(used)));
    double x = 0, y = 0, dx = 0, dy = 0, angle = 0;
    int anchor = 0, inBlock = 0;
    if (scan.ReadFloat(x) && scan.ReadFloat(y) && scan.ReadFloat(dx) && scan.ReadFloat(dy) &&
        scan.ReadFloat(angle) && scan.ReadInt(anchor) && scan.ReadInt(inBlock)) {
        SetPosition(x, y);
        SetDirectionVector(dx, dy);
        SetAngle(angle);
        m_anchor = anchor;
    }
    return used + static_cast<int>(scan.Used());
}

std::string ChartLabel::WriteTemplateExtra() const {
    char numbers[256];
    std::snprintf(numbers, sizeof numbers, " %g %g %g %g %g %d %d\n", m_x, m_y, m_directionX, m_directionY,
                  GetAngle(), m_anchor, m_inBlock);
    std::string text = numbers;
    m_texts.WriteTemplate(text);
    return text;
}

std::string ChartLabel::GetCurrentText() const {
    return m_texts.GetText(GetAnnotationIndex());
}

void ChartLabel::SetCurrentText(std::string_view text) {
    m_texts.SetText(GetAnnotationIndex(), text);
}

void ChartLabel::SetPosition(double x, double y) {
    m_x = x;
    m_y = y;
    GetAnchor();
}

POINT ChartLabel::GetAnchor() {
    if (GetRect().GetUnit() == ChartRect::unitPixels || !GetDrawingDC()) {
        m_anchorPixel = {TruncToInt(m_x), TruncToInt(m_y)};
    } else {
        ChartRect at;
        at.SetChart(GetChart());
        at.SetUnit(GetRect().GetUnit());
        at.SetValues(m_x, m_y, m_x, m_y);
        const RECT r = at.GetDeviceRect(GetDrawingDC(), GetDrawingWindow());
        m_anchorPixel = {r.left, r.top};
    }
    return m_anchorPixel;
}

void ChartLabel::ApplyDataStyle(const ChartStyle& style) {
    const u32 w = style.labelWord;
    const u32 turn = (w >> 24) & 0xF;
    SetAngle(turn >= 1 && turn <= 7 ? 45.0 * turn : 0.0);
    static constexpr std::array<int, 8> kAnchors = {4, 5, 6, 7, 0, 1, 2, 3};
    const u32 position = (w >> 20) & 0xF;
    m_anchor = position < kAnchors.size() ? kAnchors[position] : anchorCentre;
    ChartStyle& own = GetStyle();
    own.fillColour = style.secondaryColour;
    own.frameWord = style.frameWord;
    own.labelWord = (own.labelWord & ~0xF0000u) | (w & 0xF0000u);
    const u32 size = w >> 30;
    SetFont(size <= 1 ? 8 : size == 2 ? 10 : GetDefaultFontSize(), GetFontFlags(), GetFaceName());
}

void ChartLabel::BuildFont() {
    const double tenths = GetAngle() * 10;
    ReplaceFont(CreateFontIndirect(DescribeFont(GetFontSize(), TruncToInt(std::floor(tenths + 0.5)))));
}

SIZE ChartLabel::TextExtent() {
    HDC dc = GetDrawingDC();
    SIZE extent{};
    if (!dc) return extent;
    const std::string text = GetCurrentText();
    HGDIOBJ old = SelectObject(dc, GetLabelFont());
    GetTextExtentPoint32(dc, text.data(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    return extent;
}

void ChartLabel::ComputeOutline() {
    Chart* chart = GetChart();
    if (!chart) return;
    const u32 shape = ShapeOf(GetStyle());
    const char* name = shape == 3 ? "CIRCLE" : shape == 4 ? "FLASH" : "BOX";
    const double factor = shape == 3 || shape == 4 ? kRootTwo : 1.0;
    ChartCompiledPolygon* polygon = nullptr;
    if (!chart->GetShape(std::string(Chart::kStockShapePrefix) + name, "", polygon, 0)) return;
    const SIZE extent = TextExtent();
    const int cx = extent.cx, cy = extent.cy;
    const int w = TruncToInt(cx * factor), h = TruncToInt(cy * factor);
    static constexpr std::array<POINT, 9> kShifts = {POINT{1, 0}, {1, 1},  {0, 1},  {-1, 1}, {-1, 0},
                                                     {-1, -1},    {0, -1}, {1, -1}, {0, 0}};
    const POINT shift = kShifts[static_cast<std::size_t>(m_anchor >= 0 && m_anchor <= 8 ? m_anchor : 8)];
    const int sx = shift.x * (cx / 2), sy = shift.y * (cy / 2);
    // Top below bottom, so that the shape's first point is the box's top left.
    const auto points = polygon->FitToRect({sx - w / 2, sy + h / 2, sx + w / 2, sy - h / 2});
    const POINT anchor = GetAnchor();
    m_outline.clear();
    for (const POINT& p : points) {
        const POINT turned = Rotate(p.x, p.y, GetAngle());
        m_outline.push_back({turned.x + anchor.x, turned.y + anchor.y});
    }
}

POINT ChartLabel::GetTextOrigin() {
    const SIZE extent = TextExtent();
    const int cx = extent.cx, cy = extent.cy;
    static constexpr std::array<POINT, 9> kOffsets = {POINT{0, -1}, {0, 0},   {-1, 0}, {-2, 0}, {-2, -1},
                                                      {-2, -2},     {-1, -2}, {0, -2}, {-1, -1}};
    const POINT o = kOffsets[static_cast<std::size_t>(m_anchor >= 0 && m_anchor <= 8 ? m_anchor : 8)];
    auto part = [](int units, int length) { return units == -2 ? -length : units == -1 ? -(length / 2) : 0; };
    const POINT turned = Rotate(part(o.x, cx), part(o.y, cy), GetAngle());
    const POINT anchor = GetAnchor();
    return {anchor.x + turned.x, anchor.y + turned.y};
}

void ChartLabel::Draw(HDC dc, HWND window) {
    SetDrawing(dc, window, 1);
    // A member of a block draws inside the block's clip; a stand-alone label draws unclipped.
    Chart* chart = m_inBlock ? nullptr : GetChart();
    if (chart) chart->SaveClip();
    struct Restore {
        ChartLabel& label;
        Chart* chart;
        ~Restore() {
            label.EndDraw();
            if (chart) chart->RestoreClip();
        }
    } restore{*this, chart};
    if (!m_inBlock) SelectClipRgn(dc, nullptr);
    // Members in the block's style share its font; one with its own style builds its own.
    if (!m_inBlock || m_ownStyle) {
        if (IsPrinting(dc) || IsInvalid() || (GetFontFlags() & fontAutoSize)) SetFontDirty(1);
        if (IsFontDirty() || !GetFont()) BuildFont();
        if (!IsPrinting(dc)) SetFontDirty(0);
    }
    ComputeOutline();
    DrawBackground();
    DrawBorder();
    DrawForeground();
    DrawShadow();
    SetInvalid(0);
}

void ChartLabel::DrawBackground() {
    if (m_outline.empty() || (m_inBlock && !m_ownStyle)) return;
    if (GetStyle().GetFillKind() || ShapeOf(GetStyle())) FillPolygon(m_outline, GetStyle(), 0);
}

void ChartLabel::DrawBorder() {
    const u32 kind = GetStyle().GetBorderKind();
    if (kind == 0 || m_outline.size() < 5 || (m_inBlock && !m_ownStyle)) return;
    HDC dc = GetDrawingDC();
    const int saved = SaveDC(dc);
    if (kind == 1 || kind == 2 || kind == 4 || kind == 5) {
        const int width = kind >= 4 ? 3 : 1;
        // The angle may come from a template or an archive: fold it once rather than step it.
        double a = std::isfinite(GetAngle()) ? std::fmod(GetAngle() + 27.5, 360.0) : 0.0;
        if (a < 0) a += 360;
        const int sector = TruncToInt(a / 45);
        const int sunken = (kind == 2 || kind == 5) ? 16 : 0;
        for (int e = 0; e < 4; ++e) {
            const int pen = kBevelPens[static_cast<std::size_t>((e + 4 * sector + sunken) % 32)];
            GdiHandle<PenObject> stroke(
                CreatePen(PS_SOLID, width, kBevelColours[static_cast<std::size_t>(pen)]));
            SelectObject(dc, stroke.get());
            MoveToEx(dc, m_outline[std::size_t(e)].x, m_outline[std::size_t(e)].y, nullptr);
            LineTo(dc, m_outline[std::size_t(e) + 1].x, m_outline[std::size_t(e) + 1].y);
            SelectObject(dc, GetStockObject(BLACK_PEN));
        }
    } else if (kind == 3 || kind == 6 || kind == 7) {
        GdiHandle<PenObject> stroke(CreatePen(PS_SOLID, 1, GetStyle().lineColour));
        SelectObject(dc, stroke.get());
        Polyline(dc, m_outline.data(), static_cast<int>(m_outline.size()));
        SelectObject(dc, GetStockObject(BLACK_PEN));
    } else {
        DrawCustomBorder();
    }
    RestoreDC(dc, saved);
}

void ChartLabel::DrawForeground() {
    if (!GetDrawFlag()) return;
    HDC dc = GetDrawingDC();
    HGDIOBJ oldFont = SelectObject(dc, GetLabelFont());
    const COLORREF oldColour = SetTextColor(dc, GetLabelColor());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const POINT origin = GetTextOrigin();
    const std::string text = GetCurrentText();
    TextOut(dc, origin.x, origin.y, text.data(), static_cast<int>(text.size()));
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    SelectObject(dc, oldFont);
}

void ChartLabel::DrawShadow() {
    const u32 kind = GetStyle().GetShadowKind();
    if (kind == 0 || m_outline.empty() || (m_inBlock && !m_ownStyle)) return;
    if (kind >= kShadowDepths.size()) {
        DrawCustomShadow();
        return;
    }
    HDC dc = GetDrawingDC();
    int dx = kShadowDepths[kind], dy = dx;
    if (IsPrinting(dc)) {
        dx = TruncToInt(dx * GetDeviceRatioX(dc));
        dy = TruncToInt(dy * GetDeviceRatioY(dc));
    }
    const int count = static_cast<int>(m_outline.size());
    GdiHandle<RegionObject> outline(CreatePolygonRgn(m_outline.data(), count, ALTERNATE));
    GdiHandle<RegionObject> shadow(CreatePolygonRgn(m_outline.data(), count, ALTERNATE));
    OffsetRgn(shadow.get(), dx, dy);
    CombineRgn(shadow.get(), shadow.get(), outline.get(), RGN_DIFF);
    GdiHandle<BitmapObject> pattern(LoadBitmap(IDB_CHART_SHADOW));
    GdiHandle<BrushObject> brush(pattern ? CreatePatternBrush(pattern.get())
                                         : CreateSolidBrush(RGB(0, 0, 0)));
    const int saved = SaveDC(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetROP2(dc, R2_MASKPEN);
    FillRgn(dc, shadow.get(), brush.get());
    RestoreDC(dc, saved);
}

void ChartLabel::Store(ObjectWriter& archive) const {
    ChartTitle::Store(archive);
    m_texts.Store(archive);
    archive.WriteInt32(m_inBlock);
    archive.WriteInt32(m_rotationPreset);
    archive.WriteInt32(m_spare);
    archive.WriteInt32(m_ownStyle);
    archive.WriteInt32(m_directionSet);
    archive.WriteDouble(m_x);
    archive.WriteDouble(m_y);
    archive.WriteDouble(m_directionX);
    archive.WriteDouble(m_directionY);
    archive.WriteInt32(m_anchor);
    archive.WriteInt32(m_anchorPixel.x);
    archive.WriteInt32(m_anchorPixel.y);
}

void ChartLabel::Load(ObjectReader& archive, u32 schema) {
    ChartTitle::Load(archive, schema);
    m_texts.Load(archive);
    // The block that loads a member takes it again; a label read alone belongs to no block.
    const int inBlock = archive.ReadInt32();
    m_rotationPreset = archive.ReadInt32();
    m_spare = archive.ReadInt32();
    m_ownStyle = archive.ReadInt32();
    m_directionSet = archive.ReadInt32();
    m_x = archive.ReadDouble();
    m_y = archive.ReadDouble();
    m_directionX = archive.ReadDouble();
    m_directionY = archive.ReadDouble();
    m_anchor = archive.ReadInt32();
    m_anchorPixel.x = archive.ReadInt32();
    m_anchorPixel.y = archive.ReadInt32();
    m_inBlock = inBlock && m_owner ? 1 : 0;
    m_outline.clear();
}

} // namespace vq
