#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/UpDown.h"

namespace vq {

// An up-down window object: its range, position and buddy.
class CSpinButtonCtrl : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CSpinButtonCtrl)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // 16-bit bounds; the control takes the upper one in the message's low word.
    void SetRange(short lower, short upper) const { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(upper, lower)); }
    void SetRange32(int lower, int upper) const { SendMessage(UDM_SETRANGE32, WPARAM(lower), LPARAM(upper)); }
    void GetRange32(int& lower, int& upper) const {
        SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    }
    // The old position.
    int SetPos(int position) const { return int(SendMessage(UDM_SETPOS, 0, MAKELPARAM(position, 0))); }
    int SetPos32(int position) const { return int(SendMessage(UDM_SETPOS32, 0, LPARAM(position))); }
    // The position in the low word, nonzero in the high word when the buddy's text was no number
    // inside the range.
    int GetPos() const { return int(SendMessage(UDM_GETPOS)); }
    int GetPos32(BOOL* error = nullptr) const {
        return int(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(error)));
    }
    // The old buddy's window object; null when it has none.
    CWnd* SetBuddy(CWnd* buddy) const;
    // Null when the buddy has no window object.
    CWnd* GetBuddy() const { return FromHandlePermanent(HWND(SendMessage(UDM_GETBUDDY))); }
};

} // namespace vq
