#pragma once

#include "platform/time/OleDateTime.h"
#include "toolkit/controls/TkPanel.h"

namespace vq {

class TkCalendar;

// One day of the calendar's grid.
class TkDayBox : public TkPanel {
    VQ_DECLARE_RUNTIME_CLASS(TkDayBox)
public:
    BOOL DrawText(HDC dc) override;

    OleDateTime SetDate(const OleDateTime& date);
    const OleDateTime& GetDate() const { return m_date; }
    // A cell of another month can never be marked, and shows the selected state only when the
    // calendar lets such cells be picked.
    BOOL SetOtherMonth(BOOL other);
    BOOL IsOtherMonth() const { return m_otherMonth; }

    // The calendar's mouse handling on this cell.
    void Pick();
    void OnRightClick();
    void OnDoubleClick();

    SIZE Measure(HDC dc, const LOGFONT& font) const;
    void FitFont(HDC dc, LOGFONT& font);

private:
    TkCalendar* Calendar() const;

    OleDateTime m_date;
    BOOL m_otherMonth = FALSE;
};

} // namespace vq
