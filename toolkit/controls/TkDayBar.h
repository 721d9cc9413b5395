#pragma once

#include "toolkit/controls/TkPanel.h"

namespace vq {

class TkCalendar;

// The calendar's header: the seven weekday names from the first day of the week on.
class TkDayBar : public TkPanel {
    VQ_DECLARE_RUNTIME_CLASS(TkDayBar)
public:
    BOOL DrawText(HDC dc) override;

    int GetFirstDayOfWeek() const { return m_firstDayOfWeek; }
    void SetFirstDayOfWeek(int day) { m_firstDayOfWeek = day; }

    // The name shown in column 1 to 7.
    std::string GetColumnName(int column) const;

    SIZE Measure(HDC dc, const LOGFONT& font) const;
    void FitFont(HDC dc, LOGFONT& font);

private:
    std::string DayName(int weekday) const;

    // 1 = Sunday to 7 = Saturday.
    int m_firstDayOfWeek = 1;
};

} // namespace vq
