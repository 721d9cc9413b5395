#include "toolkit/controls/TkDayBar.h"

#include "platform/gui/Gdi.h"
#include "toolkit/controls/TkCalendar.h"
#include "toolkit/controls/TkCalendarLocale.h"
#include "toolkit/controls/TkSysMetrics.h"

#include <algorithm>

namespace vq {

namespace {

constexpr double columnLines[] = {0, 0.143, 0.286, 0.429, 0.572, 0.715, 0.858, 1.0};

} // namespace

VQ_IMPLEMENT_DYNCREATE(TkDayBar, TkPanel)

std::string TkDayBar::DayName(int weekday) const {
    std::string name;
    GetDayName(name, weekday, (m_flags & fullDayNames) != 0);
    return name;
}

std::string TkDayBar::GetColumnName(int column) const {
    return DayName((m_firstDayOfWeek + column - 2) % 7 + 1);
}

BOOL TkDayBar::DrawText(HDC dc) {
    const RECT content = GetContentRect();
    if (content.IsEmpty()) return TRUE;
    auto* calendar = dynamic_cast<TkCalendar*>(m_owner);
    HGDIOBJ oldFont = calendar ? SelectObject(dc, calendar->GetHeaderFont()) : nullptr;
    const COLORREF background = SetBkColor(dc, tkSysMetrics.m_crButtonFace);
    const COLORREF text = ::vq::SetTextColor(dc, m_textColor);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    const std::int32_t span = content.Width() - 1;
    for (int i = 1; i <= 7; ++i) {
        const RECT column{content.left + std::int32_t(columnLines[i - 1] * span), content.top,
                          content.left + std::int32_t(columnLines[i] * span), content.bottom};
        const std::string name = GetColumnName(i);
        if (name.empty() || column.IsEmpty()) continue;
        ExtTextOut(dc, (column.left + column.right) / 2, column.top + column.Height() / 2 + tm.tmAscent / 2,
                   ETO_OPAQUE | ETO_CLIPPED, &column, name.c_str(), int(name.size()), nullptr);
    }
    SetBkColor(dc, background);
    ::vq::SetTextColor(dc, text);
    if (oldFont) SelectObject(dc, oldFont);
    return TRUE;
}

SIZE TkDayBar::Measure(HDC dc, const LOGFONT& font) const {
    // Wednesday's name stands for the widest.
    const SIZE name = TextExtent(dc, font, DayName(4));
    return {7 * name.cx, name.cy};
}

void TkDayBar::FitFont(HDC dc, LOGFONT& font) {
    const RECT content = GetContentRect();
    if (content.IsEmpty()) {
        font.lfHeight = font.lfWidth = 0;
        return;
    }
    StartFitting(font);
    SIZE size = Measure(dc, font);
    for (int round = 0; round < maxDoublings && size.cx < content.Width() && size.cy < content.Height() &&
                        font.lfHeight <= m_rect.Height();
         ++round) {
        font.lfHeight *= 2;
        font.lfWidth *= 2;
        size = Measure(dc, font);
    }
    while ((size.cx > content.Width() || size.cy > content.Height()) && size.cx >= 3 && size.cy >= 3 &&
           font.lfHeight > 1 && font.lfWidth > 1) {
        font.lfHeight = std::min(font.lfHeight - 1, std::int32_t(font.lfHeight * 0.9));
        font.lfWidth = std::min(font.lfWidth - 1, std::int32_t(font.lfWidth * 0.9));
        size = Measure(dc, font);
    }
}

} // namespace vq
