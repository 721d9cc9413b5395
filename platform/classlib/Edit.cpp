#include "platform/classlib/Edit.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CEdit, CWnd)

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    return CWnd::Create("Edit", "", style, rect, parent, id);
}

void CEdit::GetSel(int& start, int& end) const {
    DWORD from = 0, to = 0;
    SendMessage(EM_GETSEL, WPARAM(&from), LPARAM(&to));
    start = int(from);
    end = int(to);
}

void CEdit::SetSel(int start, int end, BOOL noScroll) const {
    SendMessage(EM_SETSEL, WPARAM(std::intptr_t(start)), LPARAM(end));
    if (!noScroll) SendMessage(EM_SCROLLCARET);
}

} // namespace vq
