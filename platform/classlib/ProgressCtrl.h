#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/Progress.h"

namespace vq {

// A progress control's window object: its range, position and step.
class CProgressCtrl : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CProgressCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // The old 16-bit bounds in the answer's words.
    DWORD SetRange(short lower, short upper) const {
        return DWORD(SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper)));
    }
    void SetRange32(int lower, int upper) const { SendMessage(PBM_SETRANGE32, WPARAM(lower), LPARAM(upper)); }
    void GetRange(int& lower, int& upper) const {
        PBRANGE range;
        SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        lower = range.iLow;
        upper = range.iHigh;
    }
    // Each answers the old position.
    int SetPos(int position) const { return int(SendMessage(PBM_SETPOS, WPARAM(position))); }
    int OffsetPos(int delta) const { return int(SendMessage(PBM_DELTAPOS, WPARAM(delta))); }
    int StepIt() const { return int(SendMessage(PBM_STEPIT)); }
    int GetPos() const { return int(SendMessage(PBM_GETPOS)); }
    // The old step.
    int SetStep(int step) const { return int(SendMessage(PBM_SETSTEP, WPARAM(step))); }
};

} // namespace vq
