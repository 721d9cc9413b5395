#include "toolkit/controls/TkDayBox.h"

#include "platform/gui/Gdi.h"
#include "toolkit/controls/TkCalendar.h"

#include <algorithm>
#include <string>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkDayBox, TkPanel)

TkCalendar* TkDayBox::Calendar() const {
    return dynamic_cast<TkCalendar*>(m_owner);
}

OleDateTime TkDayBox::SetDate(const OleDateTime& date) {
    const OleDateTime old = m_date;
    m_date = date;
    return old;
}

BOOL TkDayBox::SetOtherMonth(BOOL other) {
    const BOOL old = m_otherMonth;
    m_otherMonth = other;
    if (other)
        m_style = (m_style & ~DWORD(styleCanMark | styleCanSelect)) |
                  ((m_style & stylePickOtherMonth) ? DWORD(styleCanSelect) : 0);
    else
        m_style |= styleCanSelect | styleCanMark;
    m_layoutDirty = TRUE;
    return old;
}

BOOL TkDayBox::DrawText(HDC dc) {
    const RECT content = GetContentRect();
    if (content.IsEmpty()) return TRUE;
    const std::string day = std::to_string(m_date.GetDay());
    const bool dim = m_otherMonth && (m_flags & dimOtherMonth);
    const COLORREF text = ::vq::SetTextColor(dc, dim ? m_dimmedColor : m_textColor);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SIZE extent;
    GetTextExtentPoint32(dc, day.c_str(), int(day.size()), &extent);
    const bool centred = m_flags & textCentred;
    const std::int32_t x =
        centred ? content.left + (content.Width() - extent.cx) / 2 : content.left + content.Width() / 10;
    const std::int32_t y =
        centred ? content.top + (content.Height() - extent.cy) / 2 : content.top + content.Height() / 10;
    const BOOL drawn =
        ExtTextOut(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &content, day.c_str(), int(day.size()), nullptr);
    ::vq::SetTextColor(dc, text);
    return drawn;
}

void TkDayBox::Pick() {
    if (TkCalendar* calendar = Calendar()) calendar->PickCell(*this);
}

void TkDayBox::OnRightClick() {
    if (TkCalendar* calendar = Calendar()) calendar->RightClickCell(*this);
}

void TkDayBox::OnDoubleClick() {
    TkCalendar* calendar = Calendar();
    if (!calendar) return;
    if (!ShowsSelected()) Pick();
    if (m_style & styleChooseOnPick) calendar->PostMessage(TkCalendar::WM_CAL_CHOSEN, 0, 0);
}

SIZE TkDayBox::Measure(HDC dc, const LOGFONT& font) const {
    const SIZE extent = TextExtent(dc, font, "88");
    double scale = 1.25;
    if (!(m_flags & textCentred)) scale *= 1.5;
    // The widest the layers get: selected and marked. Text needs room on both sides of them.
    const bool frame = m_flags & frameSelected, bevel = m_flags & bevelSelected,
               ring = m_flags & markSelected;
    const std::int32_t inset = (frame ? 1 : 0) + (bevel ? m_bevelWidth : 0) + (ring ? m_bevelWidth : 0);
    return {std::max(std::int32_t(extent.cx * scale), extent.cx + 2 * inset),
            std::max(std::int32_t(extent.cy * scale), extent.cy + 2 * inset)};
}

void TkDayBox::FitFont(HDC dc, LOGFONT& font) {
    if (m_rect == RECT{}) {
        font.lfHeight = font.lfWidth = 0;
        return;
    }
    const std::int32_t width = m_rect.Width() + 1, height = m_rect.Height() + 1;
    StartFitting(font);
    SIZE size = Measure(dc, font);
    for (int round = 0; round < maxDoublings && size.cx < width && size.cy < height; ++round) {
        font.lfHeight *= 2;
        font.lfWidth *= 2;
        size = Measure(dc, font);
    }
    while ((size.cx > width || size.cy > height) && font.lfHeight > 1 && font.lfWidth > 1) {
        font.lfHeight = std::min(font.lfHeight - 1, std::int32_t(font.lfHeight * 0.9));
        font.lfWidth = std::min(font.lfWidth - 1, std::int32_t(font.lfWidth * 0.9));
        size = Measure(dc, font);
    }
}

} // namespace vq
