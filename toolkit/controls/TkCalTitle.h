#pragma once

#include "platform/classlib/Button.h"
#include "platform/time/OleDateTime.h"
#include "toolkit/controls/TkPanel.h"

namespace vq {

class TkCalendar;

// The calendar's title: the month and year, between the buttons that step years and months.
class TkCalTitle : public TkPanel {
    VQ_DECLARE_RUNTIME_CLASS(TkCalTitle)
public:
    // Commands of the buttons, sent to the calendar.
    enum : UINT { idNextMonth = 20520, idPrevYear = 20521, idNextYear = 20522, idPrevMonth = 20523 };
    // Options of the calendar that ask for the buttons.
    enum : DWORD { optionMonthButtons = 0x80000, optionYearButtons = 0x100000 };

    BOOL Create(const RECT& rect, TkCalendar* calendar, DWORD windowStyle, UINT id, BOOL selected,
                BOOL marked, DWORD flags, DWORD style, std::int32_t bevelWidth);
    // Stores the rectangle and puts the buttons in it.
    virtual RECT SetRect(const RECT& rect);
    // The text becomes the month's name and the year; it stays when the locale has no name.
    virtual void SetDate(const OleDateTime& date);
    BOOL Draw(HDC dc) override;

    SIZE Measure(HDC dc, const LOGFONT& font) const;
    void FitFont(HDC dc, LOGFONT& font);

    CButton* GetButton(int i) { return &m_buttons[i]; }

private:
    enum { prevYear, prevMonth, nextMonth, nextYear };
    void PlaceButton(int i, std::int32_t left, std::int32_t right, std::int32_t top, std::int32_t bottom,
                     bool shown);

    TkCalendar* m_calendar = nullptr;
    CButton m_buttons[4];
    BOOL m_showYearButtons = TRUE;
    BOOL m_showMonthButtons = TRUE;
};

} // namespace vq
