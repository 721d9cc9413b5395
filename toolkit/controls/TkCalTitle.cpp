#include "toolkit/controls/TkCalTitle.h"

#include "platform/gui/Gdi.h"
#include "toolkit/controls/TkCalendar.h"
#include "toolkit/controls/TkCalendarLocale.h"

#include <algorithm>
#include <cstdio>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkCalTitle, TkPanel)

BOOL TkCalTitle::Create(const RECT& rect, TkCalendar* calendar, DWORD windowStyle, UINT id, BOOL selected,
                        BOOL marked, DWORD flags, DWORD style, std::int32_t bevelWidth) {
    if (!TkPanel::Create(rect, calendar, windowStyle, id, selected, marked, flags, style, bevelWidth))
        return FALSE;
    m_calendar = calendar;
    struct Kind {
        DWORD option;
        BOOL* shown;
        int first, second;
    };
    const Kind kinds[] = {{optionMonthButtons, &m_showMonthButtons, prevMonth, nextMonth},
                          {optionYearButtons, &m_showYearButtons, prevYear, nextYear}};
    static const char* const captions[] = {"<<", "<", ">", ">>"};
    static const UINT ids[] = {idPrevYear, idPrevMonth, idNextMonth, idNextYear};
    BOOL ok = TRUE;
    for (const Kind& kind : kinds) {
        *kind.shown = (style & kind.option) != 0;
        if (!*kind.shown) continue;
        for (int i : {kind.first, kind.second})
            ok = m_buttons[i].Create(captions[i], WS_CHILD | BS_PUSHBUTTON, RECT{0, 0, 1, 1}, calendar,
                                     ids[i]) &&
                 ok;
    }
    return ok;
}

void TkCalTitle::PlaceButton(int i, std::int32_t left, std::int32_t right, std::int32_t top,
                             std::int32_t bottom, bool shown) {
    if (!m_buttons[i].m_hWnd) return;
    MoveWindow(m_buttons[i].m_hWnd, left, top, right - left, bottom - top, TRUE);
    ShowWindow(m_buttons[i].m_hWnd, shown ? SW_SHOW : SW_HIDE);
}

RECT TkCalTitle::SetRect(const RECT& rect) {
    const RECT old = TkPanel::SetRect(rect);
    const std::int32_t w = rect.Width(), h = rect.Height();
    const std::int32_t top = rect.top + h / 5, bottom = rect.bottom - h / 5;
    const std::int32_t l = rect.left, r = rect.right;
    if (m_showYearButtons && m_showMonthButtons) {
        PlaceButton(prevYear, l + w * 10 / 200, l + w * 30 / 200, top, bottom, true);
        PlaceButton(prevMonth, l + w * 30 / 200, l + w * 50 / 200, top, bottom, true);
        PlaceButton(nextMonth, r - w * 50 / 200, r - w * 30 / 200, top, bottom, true);
        PlaceButton(nextYear, r - w * 30 / 200, r - w * 10 / 200, top, bottom, true);
    } else if (m_showYearButtons) {
        PlaceButton(prevYear, l + w * 10 / 200, l + w * 30 / 200, top, bottom, true);
        PlaceButton(nextYear, r - w * 30 / 200, r - w * 10 / 200, top, bottom, true);
    } else if (m_showMonthButtons) {
        PlaceButton(prevMonth, l + w * 10 / 200, l + w * 30 / 200, top, bottom, true);
        PlaceButton(nextMonth, r - w * 30 / 200, r - w * 10 / 200, top, bottom, true);
    }
    return old;
}

void TkCalTitle::SetDate(const OleDateTime& date) {
    std::string month;
    if (!GetMonthName(month, date.GetMonth(), (m_flags & fullMonthNames) != 0)) return;
    char year[16];
    std::snprintf(year, sizeof year, " %d", date.GetYear());
    SetText(month + year);
}

BOOL TkCalTitle::Draw(HDC dc) {
    const BOOL drawn = TkPanel::Draw(dc);
    for (CButton& button : m_buttons)
        if (button.m_hWnd && IsWindowVisible(button.m_hWnd)) {
            button.SendMessage(WM_SETFONT, WPARAM(m_calendar->GetTitleFont()), TRUE);
            UpdateWindow(button.m_hWnd);
        }
    return drawn;
}

SIZE TkCalTitle::Measure(HDC dc, const LOGFONT& font) const {
    const SIZE text = TextExtent(dc, font, (m_flags & fullMonthNames) ? "September, 2000" : "Sep, 2000");
    const double across = (m_showYearButtons || m_showMonthButtons) ? 2.2 : 1.2;
    return {std::int32_t(text.cx * across), std::int32_t(text.cy * 1.2)};
}

void TkCalTitle::FitFont(HDC dc, LOGFONT& font) {
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
    while ((size.cx > content.Width() || size.cy > content.Height()) && font.lfHeight > 1 &&
           font.lfWidth > 1) {
        font.lfHeight = std::min(font.lfHeight - 1, std::int32_t(font.lfHeight * 0.95));
        font.lfWidth = std::min(font.lfWidth - 1, std::int32_t(font.lfWidth * 0.95));
        size = Measure(dc, font);
    }
}

} // namespace vq
