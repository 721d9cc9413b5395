#pragma once

#include "toolkit/controls/TkCalendar.h"

namespace vq {

// The drop-down calendar: a pop-up owned by another window that places itself beside it, reports
// the chosen date and hides, and ends when it loses the activation.
class TkPopupCalendar : public TkCalendar {
    VQ_DECLARE_RUNTIME_CLASS(TkPopupCalendar)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // Style bit of CreatePopup: open below the owner, left-aligned with it, not to its right.
    static constexpr DWORD belowOwner = 0x1;

    TkPopupCalendar();

    UINT GetClassStyle() const override;
    // The owner's rectangle is on the screen.
    virtual BOOL CreatePopup(DWORD style, const RECT& ownerRect, CWnd* owner, void* reserved = nullptr);
    // Mode 1 chooses the selected date when the activation goes; any other mode cancels. Answers
    // the previous mode as 1 or 2.
    int SetPopupMode(int mode);

protected:
    LRESULT OnActivate(WPARAM state, LPARAM);
    LRESULT OnNcHitTest(WPARAM, LPARAM);

    int m_popupMode = 1;
};

} // namespace vq
