#include "platform/classlib/ProgressCtrl.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CProgressCtrl, CWnd)

BOOL CProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    return CWnd::Create(PROGRESS_CLASS, "", style, rect, parent, id);
}

} // namespace vq
