#include "chart/ChartTextPanel.h"

#include "chart/Chart.h"
#include "chart/ChartGeometry.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cstring>

namespace vq {
namespace {

constexpr int kPanelVersion = 2;

RECT Union(const RECT& a, const RECT& b) {
    if (a.left == a.right || a.top == a.bottom) return b;
    if (b.left == b.right || b.top == b.bottom) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartTextPanel, ChartTitle)

ChartTextPanel::ChartTextPanel() : ChartTextPanel(chartTextPanelType) {}

ChartTextPanel::ChartTextPanel(int typeCode) : ChartTitle(typeCode) {
    SetMargins(5.0, 5.0, 5.0);
}

ChartTextPanel::~ChartTextPanel() {
    if (m_titleFont) DeleteObject(m_titleFont);
}

CScale ChartTextPanel::GetComponentRange() const {
    CScale range;
    range.Set(kPanelVersion, 0, 1);
    return range;
}

void ChartTextPanel::SetBodyFace(std::string_view face) {
    m_bodyFace = face.substr(0, std::min(face.size(), kMaxFaceBytes));
}

void ChartTextPanel::SetTitleFace(std::string_view face) {
    m_titleFace = face.substr(0, std::min(face.size(), kMaxFaceBytes));
}

int ChartTextPanel::GetAutoFontSize() {
    return (m_panel.bottom - m_panel.top) / -5;
}

void ChartTextPanel::CreateTitleFont() {
    LOGFONT lf{};
    HDC dc = GetDrawingDC();
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : ScreenDpiY();
    lf.lfHeight = m_titleSize >= 0 ? TruncToInt(m_titleSize * dpi * -0.013888888888888888) : m_titleSize;
    lf.lfEscapement = lf.lfOrientation = m_titleEscapement;
    lf.lfWeight = (m_titleFlags & fontBold) ? 700 : 400;
    lf.lfItalic = (m_titleFlags & fontItalic) ? 1 : 0;
    lf.lfUnderline = (m_titleFlags & fontUnderline) ? 1 : 0;
    lf.lfStrikeOut = (m_titleFlags & fontStrikeOut) ? 1 : 0;
    std::memcpy(lf.lfFaceName, m_titleFace.data(), std::min(m_titleFace.size(), kMaxFaceBytes));
    if (m_titleFont) DeleteObject(m_titleFont);
    m_titleFont = CreateFontIndirect(lf);
}

RECT ChartTextPanel::MeasureTitle() {
    m_titleEscapement = m_titlePosition == titleLeft ? 900 : m_titlePosition == titleRight ? 2700 : 0;
    CreateTitleFont();
    HDC dc = GetDrawingDC();
    const std::string text = GetTitleText(GetAnnotationIndex());
    SIZE extent{};
    HGDIOBJ old = SelectObject(dc, m_titleFont);
    GetTextExtentPoint32(dc, text.data(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    const int dpiX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX));
    const double r = static_cast<double>(GetDeviceCaps(dc, LOGPIXELSY)) / dpiX;
    const RECT& p = m_panel;
    switch (m_titlePosition) {
    case titleLeft:
        return {p.left, p.top, p.left + TruncToInt(r * extent.cy), p.top + TruncToInt(extent.cx / r)};
    case titleRight:
        return {p.right - TruncToInt(r * extent.cy), p.top, p.right, p.top + TruncToInt(extent.cx / r)};
    case titleBottom:
        return {p.left, p.bottom - extent.cy, p.left + extent.cx, p.bottom};
    default:
        return {p.left, p.top, p.left + extent.cx, p.top + extent.cy};
    }
}

void ChartTextPanel::Draw(HDC dc, HWND window) {
    const ChartRect saved = GetRect();
    Chart* chart = GetChart();
    struct Restore {
        ChartTextPanel& panel;
        ChartRect saved;
        ~Restore() {
            panel.SetRect(saved);
            panel.EndDraw();
        }
    } restore{*this, saved};
    SetDrawing(dc, window, 1);
    m_layoutPass = 1;
    DrawForeground();
    m_layoutPass = 0;
    // Fill, border and shadow cover the heading as well as the body.
    ChartRect both = saved;
    both.SetChart(chart);
    both.SetFromDeviceRect(Union(m_panel, m_titleRect), dc, window);
    SetRect(both);
    if (m_titlePosition == titleTop || m_titlePosition == titleBottom) m_titleRect.right = m_panel.right;
    chart->SaveClip();
    struct Unclip {
        Chart* chart;
        ~Unclip() { chart->RestoreClip(); }
    } unclip{chart};
    SelectClipRgn(dc, nullptr);
    DrawBackground();
    DrawBorder();
    DrawShadow();
    DrawForeground();
    SetInvalid(0);
}

void ChartTextPanel::DrawBackground() {
    auto fill = [this](const RECT& r, const ChartStyle& style) {
        const POINT outline[] = {
            {r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
        FillPolygon(outline, style, 0);
    };
    fill(m_panel, GetStyle());
    if (m_titleShown) fill(m_titleRect, m_titleStyle);
}

void ChartTextPanel::DrawForeground() {
    if (!GetDrawFlag()) return;
    Chart* chart = GetChart();
    chart->SaveClip();
    struct Unclip {
        Chart* chart;
        ~Unclip() { chart->RestoreClip(); }
    } unclip{chart};
    SelectClipRgn(GetDrawingDC(), nullptr);
    if (m_layoutPass)
        Layout();
    else
        DrawTexts();
}

void ChartTextPanel::Layout() {
    HDC dc = GetDrawingDC();
    m_panel = GetDeviceRect();
    m_titleRect = {};
    if (m_titleShown) {
        m_titleRect = m_titleExtent = MeasureTitle();
        if (m_fitToText) {
            m_titleRect.right += TruncToInt(2 * GetHorizontalMarginPixels());
            m_titleRect.bottom += TruncToInt(2 * GetVerticalMarginPixels());
        }
        switch (m_titlePosition) {
        case titleLeft:
            m_panel.left = m_titleRect.right;
            break;
        case titleRight:
            m_panel.right = m_titleRect.left;
            break;
        case titleBottom:
            m_panel.bottom = m_titleRect.top;
            break;
        default:
            m_panel.top = m_titleRect.bottom;
            break;
        }
    }
    SetFont(m_bodySize, m_bodyFlags, m_bodyFace);
    BuildFont();
    m_textRect = m_panel;
    const bool across = m_titlePosition == titleTop || m_titlePosition == titleBottom;
    if (m_titleShown && across)
        m_panel.right = m_titleRect.right = std::max(m_panel.right, m_titleRect.right);
    const RECT interior = GetInteriorRect(m_textRect);
    if (m_fitToText) {
        RECT measured = interior;
        const std::string body = GetBodyText(GetAnnotationIndex());
        HGDIOBJ old = SelectObject(dc, GetFont());
        DrawText(dc, body.data(), static_cast<int>(body.size()), &measured, DT_CALCRECT | DT_WORDBREAK);
        SelectObject(dc, old);
        if (measured.bottom > interior.bottom)
            m_panel.bottom = measured.bottom + TruncToInt(GetVerticalMarginPixels());
        if (measured.right > interior.right) {
            const int grow = measured.right - interior.right;
            m_panel.right += grow;
            if (m_titlePosition == titleRight) m_titleRect.left += grow, m_titleRect.right += grow;
        }
        m_textRect = measured;
    } else {
        m_textRect = interior;
    }
    if (m_titleShown && !across)
        m_panel.bottom = m_titleRect.bottom = std::max(m_panel.bottom, m_titleRect.bottom);
}

void ChartTextPanel::DrawTexts() {
    HDC dc = GetDrawingDC();
    HGDIOBJ oldFont = SelectObject(dc, GetFont());
    const COLORREF oldColour = SetTextColor(dc, m_bodyColour);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const std::string body = GetBodyText(GetAnnotationIndex());
    RECT text = m_textRect;
    DrawText(dc, body.data(), static_cast<int>(body.size()), &text, DT_WORDBREAK | DT_END_ELLIPSIS);
    if (m_titleShown) {
        SelectObject(dc, m_titleFont);
        SetTextColor(dc, m_titleColour);
        const RECT& t = m_titleRect;
        const int w = t.right - t.left, h = t.bottom - t.top;
        const int tw = m_titleExtent.right - m_titleExtent.left,
                  th = m_titleExtent.bottom - m_titleExtent.top;
        POINT at{t.left + (w - tw) / 2, t.top + (h - th) / 2};
        if (m_titlePosition == titleLeft) at = {t.left + (w - tw) / 2, t.bottom - (h - th) / 2};
        if (m_titlePosition == titleRight) at = {t.right - (w - tw) / 2, t.top + (h - th) / 2};
        const std::string heading = GetTitleText(GetAnnotationIndex());
        TextOut(dc, at.x, at.y, heading.data(), static_cast<int>(heading.size()));
    }
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    SelectObject(dc, oldFont);
}

std::string ChartTextPanel::WriteTemplateOwn() const {
    return FontGroup(m_bodyColour, m_bodyFace, m_bodySize, m_bodyFlags, m_bodyExtra) +
           FontGroup(m_titleColour, m_titleFace, m_titleSize, m_titleFlags, m_titleExtra);
}

void ChartTextPanel::Store(ObjectWriter& archive) const {
    ChartTitle::Store(archive);
    m_titleStyle.Store(archive);
    m_titleTexts.Store(archive);
    m_bodyTexts.Store(archive);
    archive.WriteInt32(m_layoutPass);
    archive.WriteInt32(m_titleShown);
    archive.WriteInt32(m_fitToText);
    archive.WriteUInt32(m_bodyColour);
    archive.WriteUInt32(m_titleColour);
    archive.WriteInt32(m_titleEscapement);
    archive.WriteInt32(m_titleSize);
    archive.WriteInt32(m_bodySize);
    archive.WriteInt32(m_titleFlags);
    archive.WriteInt32(m_bodyFlags);
    archive.WriteText(m_titleFace);
    archive.WriteText(m_bodyFace);
    archive.WriteInt32(m_titlePosition);
}

void ChartTextPanel::Load(ObjectReader& archive, u32 schema) {
    ChartTitle::Load(archive, schema);
    m_titleStyle.Load(archive);
    m_titleTexts.Load(archive);
    m_bodyTexts.Load(archive);
    // A stored layout flag is meaningless outside a draw.
    archive.ReadInt32();
    m_layoutPass = 0;
    m_titleShown = archive.ReadInt32();
    m_fitToText = archive.ReadInt32();
    m_bodyColour = archive.ReadUInt32();
    m_titleColour = archive.ReadUInt32();
    m_titleEscapement = archive.ReadInt32();
    m_titleSize = archive.ReadInt32();
    m_bodySize = archive.ReadInt32();
    m_titleFlags = archive.ReadInt32();
    m_bodyFlags = archive.ReadInt32();
    SetTitleFace(archive.ReadText());
    SetBodyFace(archive.ReadText());
    // Panels stored before the heading could change sides have no position.
    if (GetRangeHint() > 1) m_titlePosition = archive.ReadInt32();
}

} // namespace vq
