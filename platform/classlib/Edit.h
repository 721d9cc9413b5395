#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ControlTypes.h"

namespace vq {

// An edit window object: its selection, replacing it, the limit, the modified flag and the
// clipboard commands. Positions count bytes of the UTF-8 text.
class CEdit : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CEdit)
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void GetSel(int& start, int& end) const;
    void SetSel(int start, int end, BOOL noScroll = FALSE) const;
    void ReplaceSel(const char* text, BOOL canUndo = FALSE) const {
        SendMessage(EM_REPLACESEL, WPARAM(canUndo), LPARAM(text));
    }
    void LimitText(int bytes = 0) const { SendMessage(EM_LIMITTEXT, WPARAM(bytes)); }
    UINT GetLimitText() const { return UINT(SendMessage(EM_GETLIMITTEXT)); }
    BOOL SetReadOnly(BOOL readOnly = TRUE) const {
        return BOOL(SendMessage(EM_SETREADONLY, WPARAM(readOnly)));
    }
    BOOL GetModify() const { return BOOL(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL modified = TRUE) const { SendMessage(EM_SETMODIFY, WPARAM(modified)); }
    BOOL CanUndo() const { return BOOL(SendMessage(EM_CANUNDO)); }
    BOOL Undo() const { return BOOL(SendMessage(EM_UNDO)); }
    void Cut() const { SendMessage(WM_CUT); }
    void Copy() const { SendMessage(WM_COPY); }
    void Paste() const { SendMessage(WM_PASTE); }
    void Clear() const { SendMessage(WM_CLEAR); }
};

} // namespace vq
