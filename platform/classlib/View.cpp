#include "platform/classlib/View.h"

#include "platform/classlib/Document.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CView, CWnd)

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (CWnd::OnCmdMsg(id, code, extra, info)) return TRUE;
    return m_pDocument ? m_pDocument->OnCmdMsg(id, code, extra, info) : FALSE;
}

} // namespace vq
