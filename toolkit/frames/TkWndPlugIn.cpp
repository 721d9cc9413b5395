#include "toolkit/frames/TkWndPlugIn.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkWndPlugIn, CWnd)

VQ_BEGIN_MESSAGE_MAP(TkWndPlugIn, CWnd)
VQ_END_MESSAGE_MAP()

TkWndPlugIn::~TkWndPlugIn() {
    // The handle is the host's: the window destructor must find none to destroy or unmap.
    m_hWnd = 0;
}

void TkWndPlugIn::SetMessageResult(LRESULT result) {
    m_bResultSet = TRUE;
    m_lResult = result;
}

BOOL TkWndPlugIn::AttachToHost(CWnd* host) {
    if (!host) return FALSE;
    m_hWnd = host->m_hWnd;
    m_bAttached = TRUE;
    return TRUE;
}

void TkWndPlugIn::DetachFromHost() {
    m_bAttached = FALSE;
    m_hWnd = 0;
}

BOOL TkWndPlugIn::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    return m_bAttached ? CCmdTarget::OnCmdMsg(id, code, extra, info) : FALSE;
}

BOOL TkWndPlugIn::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (!m_bAttached) return FALSE;
    m_bHandled = FALSE;
    m_bAllowDefault = FALSE;
    const BOOL handled = OnMessageMap(message, wParam, lParam, result);
    if (!m_bResultSet) return handled;
    m_bResultSet = FALSE;
    *result = m_lResult;
    return BOOL(m_lResult);
}

LRESULT TkWndPlugIn::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_bAttached && m_bAllowDefault ? CWnd::DefWindowProc(message, wParam, lParam) : 0;
}

} // namespace vq
