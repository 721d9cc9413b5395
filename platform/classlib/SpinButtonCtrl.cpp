#include "platform/classlib/SpinButtonCtrl.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CSpinButtonCtrl, CWnd)

BOOL CSpinButtonCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    return CWnd::Create(UPDOWN_CLASS, "", style, rect, parent, id);
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) const {
    return FromHandlePermanent(HWND(SendMessage(UDM_SETBUDDY, WPARAM(buddy ? buddy->m_hWnd : 0))));
}

} // namespace vq
