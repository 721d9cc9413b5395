#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ControlTypes.h"

namespace vq {

// A button window object. Owner-drawn buttons draw in DrawItem, which the parent's WM_DRAWITEM
// reaches through reflection.
class CButton : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CButton)
public:
    BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    virtual void DrawItem(DRAWITEMSTRUCT* item);

    UINT GetState() const { return UINT(SendMessage(BM_GETSTATE)); }
    void SetState(BOOL pushed) const { SendMessage(BM_SETSTATE, WPARAM(pushed)); }
    int GetCheck() const { return int(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, WPARAM(check)); }
    UINT GetButtonStyle() const { return UINT(GetStyle() & 0xFF); }

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

} // namespace vq
