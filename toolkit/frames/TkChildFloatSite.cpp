#include "toolkit/frames/TkChildFloatSite.h"

#include "platform/classlib/WinApp.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkDockContext.h"
#include "toolkit/frames/TkMDIFrameWnd.h"

namespace vq {

TkChildFloatSite::TkChildFloatSite() : m_wndDockBar(TRUE, TRUE) {
    m_wndDockBar.m_bAutoDelete = FALSE;
}

TkChildFloatSite::~TkChildFloatSite() = default;

BOOL TkChildFloatSite::CreateFloatDockBar(CMDIChildWnd& frame) {
    CMDIFrameWnd* main = frame.GetMDIFrame();
    if (!main || !m_wndDockBar.Create(main, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_FLOAT))
        return FALSE;
    if (auto* host = dynamic_cast<TkMDIFrameWnd*>(main)) m_wndDockBar.SetHost(host);
    SetParent(m_wndDockBar.m_hWnd, frame.m_hWnd);
    return TRUE;
}

CControlBar* TkChildFloatSite::SingleBar() const {
    if (!m_wndDockBar.m_hWnd || (m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI)) return nullptr;
    return m_wndDockBar.GetFirstDockedBar();
}

void TkChildFloatSite::TakeDockBarTitle(CFrameWnd& frame) const {
    if (m_wndDockBar.m_hWnd) frame.SetWindowText(m_wndDockBar.GetWindowText().c_str());
}

BOOL TkChildFloatSite::OnFloatMessage(CMDIChildWnd& frame, UINT message, WPARAM, LPARAM lParam,
                                      LRESULT* result) {
    CControlBar* bar = SingleBar();
    switch (message) {
    case WM_SIZE:
        if (bar && IsWindowVisible(bar->m_hWnd)) {
            bar->CalcDynamicLayout(LOWORD(lParam) + 2 * tkSysMetrics.m_nBorderWidth, LM_MRUWIDTH | LM_COMMIT);
            bar->CalcDynamicLayout(HIWORD(lParam) + 2 * tkSysMetrics.m_nBorderHeight,
                                   LM_LENGTHY | LM_MRUWIDTH | LM_COMMIT);
        }
        return FALSE;
    case WM_CLOSE:
        if (!bar) return FALSE;
        // Closing hides the bar, which takes this frame with it; the bar stays to be shown again.
        if (CMDIFrameWnd* main = frame.GetMDIFrame())
            ::vq::SendMessage(main->m_hWndMDIClient, WM_MDIRESTORE, WPARAM(frame.m_hWnd), 0);
        if (CFrameWnd* site = bar->GetParentFrame()) site->CFrameWnd::ShowControlBar(bar, FALSE, FALSE);
        *result = 0;
        return TRUE;
    case WM_WINDOWPOSCHANGED:
        if (bar && bar->m_pDockContext) {
            RECT r;
            GetWindowRect(frame.m_hWnd, &r);
            bar->m_pDockContext->m_ptMRUFloatPos = {r.left, r.top};
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void TkChildFloatSite::RefreshWindowList() {
    CWinApp* app = AfxGetApp();
    if (auto* main = app ? dynamic_cast<CMDIFrameWnd*>(app->m_pMainWnd) : nullptr)
        ::vq::PostMessage(main->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

} // namespace vq
