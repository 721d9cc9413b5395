#include "toolkit/controls/TkPanel.h"

#include "platform/gui/Gdi.h"
#include "toolkit/controls/TkSysMetrics.h"

#include <algorithm>
#include <cstdlib>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkPanel, Object)

TkPanel::TkPanel() : m_dimmedColor(GetSysColor(COLOR_GRAYTEXT)), m_textColor(GetSysColor(COLOR_WINDOWTEXT)) {}

BOOL TkPanel::Create(const RECT& rect, CWnd* owner, DWORD, UINT, BOOL selected, BOOL marked, DWORD flags,
                     DWORD style, std::int32_t bevelWidth) {
    m_rect = rect;
    m_owner = owner;
    m_selected = selected;
    m_marked = marked;
    m_flags = flags;
    m_style = style;
    m_bevelWidth = bevelWidth;
    m_created = TRUE;
    ComputeInsets();
    return TRUE;
}

void TkPanel::ComputeInsets() const {
    const bool frame = m_flags & (m_selected ? frameSelected : frameUnselected);
    const bool bevel = m_flags & (m_selected ? bevelSelected : bevelUnselected);
    const bool ring = m_marked && (m_flags & (m_selected ? markSelected : markUnselected));
    m_frameEnd = frame ? 1 : 0;
    m_bevelEnd = m_frameEnd + (bevel ? m_bevelWidth : 0);
    m_contentInset = m_bevelEnd + (ring ? m_bevelWidth : 0);
    m_layoutDirty = FALSE;
}

std::int32_t TkPanel::GetFrameEnd() const {
    if (m_layoutDirty) ComputeInsets();
    return m_frameEnd;
}

std::int32_t TkPanel::GetBevelEnd() const {
    if (m_layoutDirty) ComputeInsets();
    return m_bevelEnd;
}

std::int32_t TkPanel::GetContentInset() const {
    if (m_layoutDirty) ComputeInsets();
    return m_contentInset;
}

void TkPanel::DrawLayer(HDC dc, std::int32_t from, std::int32_t to, COLORREF topLeft,
                        COLORREF bottomRight) const {
    if (from == to) return;
    const COLORREF background = GetBkColor(dc);
    for (std::int32_t i = from; i <= to; ++i) {
        const RECT r{m_rect.left + i, m_rect.top + i, m_rect.right - i + 1, m_rect.bottom - i + 1};
        if (r.right - r.left < 1 || r.bottom - r.top < 1) break;
        const std::int32_t cx = r.right - r.left, cy = r.bottom - r.top;
        SetBkColor(dc, topLeft);
        const RECT top{r.left, r.top, r.left + cx - 1, r.top + 1};
        const RECT left{r.left, r.top, r.left + 1, r.top + cy - 1};
        ExtTextOut(dc, 0, 0, ETO_OPAQUE, &top, nullptr, 0, nullptr);
        ExtTextOut(dc, 0, 0, ETO_OPAQUE, &left, nullptr, 0, nullptr);
        SetBkColor(dc, bottomRight);
        const RECT right{r.right - 1, r.top, r.right, r.bottom};
        const RECT bottom{r.left, r.bottom - 1, r.right, r.bottom};
        ExtTextOut(dc, 0, 0, ETO_OPAQUE, &right, nullptr, 0, nullptr);
        ExtTextOut(dc, 0, 0, ETO_OPAQUE, &bottom, nullptr, 0, nullptr);
    }
    SetBkColor(dc, background);
}

BOOL TkPanel::DrawMarkRing(HDC dc) {
    DrawLayer(dc, m_bevelEnd, m_contentInset, m_markColor, m_markColor);
    return TRUE;
}

BOOL TkPanel::DrawBevel(HDC dc) {
    const COLORREF light = tkSysMetrics.m_crButtonHighlight, dark = tkSysMetrics.m_crButtonShadow;
    if (m_selected)
        DrawLayer(dc, m_frameEnd, m_bevelEnd, dark, light);
    else
        DrawLayer(dc, m_frameEnd, m_bevelEnd, light, dark);
    return TRUE;
}

BOOL TkPanel::DrawFrame(HDC dc) {
    DrawLayer(dc, 0, m_frameEnd, m_frameColor, m_frameColor);
    return TRUE;
}

BOOL TkPanel::DrawBackground(HDC dc) {
    const RECT content = GetContentRect();
    if (content.IsEmpty()) return TRUE;
    // One pixel wider and higher than the content, so the bevel's innermost ring goes under it.
    const RECT fill{content.left, content.top, content.right + 1, content.bottom + 1};
    return ExtTextOut(dc, 0, 0, ETO_OPAQUE, &fill, nullptr, 0, nullptr);
}

BOOL TkPanel::DrawText(HDC dc) {
    const RECT content = GetContentRect();
    if (content.IsEmpty()) return TRUE;
    const RECT& clip = content;
    const std::int32_t width = content.Width(), height = content.Height();
    if (m_flags & textCentred) {
        TEXTMETRIC tm;
        GetTextMetrics(dc, &tm);
        SetTextAlign(dc, TA_CENTER | TA_BASELINE);
        return ExtTextOut(dc, content.left + width / 2, content.top + height / 2 + tm.tmAscent / 2,
                          ETO_OPAQUE | ETO_CLIPPED, &clip, m_text.c_str(), int(m_text.size()), nullptr);
    }
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    return ExtTextOut(dc, content.left + width / 10, content.top + height / 10, ETO_OPAQUE | ETO_CLIPPED,
                      &clip, m_text.c_str(), int(m_text.size()), nullptr);
}

BOOL TkPanel::Draw(HDC dc) {
    if (m_layoutDirty) ComputeInsets();
    const COLORREF background = SetBkColor(dc, tkSysMetrics.m_crButtonFace);
    const COLORREF text = ::vq::SetTextColor(dc, m_textColor);
    const BOOL frame = DrawFrame(dc);
    const BOOL bevel = DrawBevel(dc);
    const BOOL fill = DrawBackground(dc);
    const BOOL words = DrawText(dc);
    const BOOL ring = DrawMarkRing(dc);
    SetBkColor(dc, background);
    ::vq::SetTextColor(dc, text);
    return frame && bevel && fill && words && ring;
}

RECT TkPanel::SetRect(const RECT& rect) {
    const RECT old = m_rect;
    m_rect = rect;
    m_layoutDirty = TRUE;
    return old;
}

RECT TkPanel::GetContentRect() const {
    const std::int32_t inset = GetContentInset();
    const RECT r{m_rect.left + inset, m_rect.top + inset, m_rect.right - inset, m_rect.bottom - inset};
    return r.IsEmpty() ? RECT{} : r;
}

std::string TkPanel::SetText(const std::string& text) {
    std::string old = std::move(m_text);
    m_text = text;
    return old;
}

DWORD TkPanel::SetFlags(DWORD flags) {
    const DWORD old = m_flags;
    m_flags = flags;
    m_layoutDirty = TRUE;
    return old;
}

DWORD TkPanel::SetStyle(DWORD style) {
    const DWORD old = m_style;
    m_style = style;
    m_layoutDirty = TRUE;
    return old;
}

std::int32_t TkPanel::SetBevelWidth(std::int32_t width) {
    const std::int32_t old = m_bevelWidth;
    m_bevelWidth = width;
    m_layoutDirty = TRUE;
    return old;
}

void TkPanel::Redraw() const {
    if (!m_created || !m_owner || !m_owner->m_hWnd) return;
    const RECT r{m_rect.left - 1, m_rect.top - 1, m_rect.right + 2, m_rect.bottom + 2};
    InvalidateRect(m_owner->m_hWnd, &r, FALSE);
    UpdateWindow(m_owner->m_hWnd);
}

BOOL TkPanel::SetSelected(BOOL selected, BOOL redraw) {
    if (!(m_style & styleCanSelect)) return FALSE;
    m_selected = selected;
    m_layoutDirty = TRUE;
    if (redraw) Redraw();
    return TRUE;
}

BOOL TkPanel::SetMarked(BOOL marked, BOOL redraw) {
    if (!(m_style & styleCanMark)) {
        m_marked = FALSE;
        m_layoutDirty = TRUE;
        return FALSE;
    }
    m_marked = marked;
    m_layoutDirty = TRUE;
    if (redraw) Redraw();
    return TRUE;
}

COLORREF TkPanel::SetTextColor(COLORREF colour) {
    const COLORREF old = m_textColor;
    m_textColor = colour;
    return old;
}

COLORREF TkPanel::SetMarkColor(COLORREF colour) {
    const COLORREF old = m_markColor;
    m_markColor = colour;
    return old;
}

SIZE TkPanel::TextExtent(HDC dc, const LOGFONT& font, const std::string& text) {
    HFONT made = CreateFontIndirect(font);
    HGDIOBJ old = SelectObject(dc, made);
    SIZE size;
    GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(made);
    return size;
}

void TkPanel::StartFitting(LOGFONT& font) {
    font.lfHeight = std::max<std::int32_t>(1, std::abs(font.lfHeight));
    font.lfWidth = std::max<std::int32_t>(1, font.lfWidth);
}

BOOL TkPanel::PtInPanel(POINT p) const {
    return p.x >= m_rect.left && p.x <= m_rect.right && p.y >= m_rect.top && p.y <= m_rect.bottom;
}

} // namespace vq
