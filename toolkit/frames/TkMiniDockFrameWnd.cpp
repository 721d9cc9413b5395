#include "toolkit/frames/TkMiniDockFrameWnd.h"

#include "platform/classlib/View.h"
#include "toolkit/frames/TkDockBar.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkMiniDockFrameWnd, CMiniDockFrameWnd)

VQ_BEGIN_MESSAGE_MAP(TkMiniDockFrameWnd, CMiniDockFrameWnd)
VQ_ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
VQ_ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
VQ_ON_MESSAGE(WM_CLOSE, OnCloseMessage)
VQ_END_MESSAGE_MAP()

std::unique_ptr<CDockBar> TkMiniDockFrameWnd::MakeDockBar() {
    return std::make_unique<TkDockBar>(TRUE, FALSE);
}

BOOL TkMiniDockFrameWnd::Create(CFrameWnd* parent, DWORD barStyle) {
    return CMiniDockFrameWnd::Create(parent, barStyle);
}

void TkMiniDockFrameWnd::RecalcLayout(BOOL notify) {
    if (m_bInLayout) return;
    CMiniDockFrameWnd::RecalcLayout(notify);
    if (m_wndDockBar) SetWindowText(m_wndDockBar->GetWindowText().c_str());
}

void TkMiniDockFrameWnd::PlaceFloating(POINT screen) {
    RecalcLayoutAt(screen.x, screen.y, TRUE);
}

void TkMiniDockFrameWnd::RecalcLayoutAt(std::int32_t x, std::int32_t y, BOOL) {
    if (m_bInLayout || !m_wndDockBar) return;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    m_bInLayout = TRUE;
    // The bars are measured without limit; the frame then takes their size.
    RECT huge{0, 0, 32767, 32767};
    RECT rest = huge;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rest, &huge, FALSE);
    const SIZE size = m_wndDockBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    RECT window, client;
    GetWindowRect(m_hWnd, &window);
    GetClientRect(m_hWnd, &client);
    const std::int32_t ncx = window.Width() - client.Width(), ncy = window.Height() - client.Height();
    SetWindowPos(m_hWnd, 0, x, y, size.cx + ncx, size.cy + ncy, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT inside{0, 0, size.cx, size.cy};
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposDefault, nullptr, &inside, FALSE);
    SetWindowText(m_wndDockBar->GetWindowText().c_str());
    m_bInLayout = FALSE;
}

CControlBar* TkMiniDockFrameWnd::FirstBar() const {
    auto* dockBar = dynamic_cast<TkDockBar*>(m_wndDockBar.get());
    return dockBar ? dockBar->GetFirstDockedBar() : nullptr;
}

LRESULT TkMiniDockFrameWnd::OnNcLButtonDown(WPARAM wParam, LPARAM lParam) {
    SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const int hit = int(wParam);
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CControlBar* bar = FirstBar();
    const bool multi = m_wndDockBar && (m_wndDockBar->m_dwStyle & CBRS_FLOAT_MULTI);
    if (hit == HTCAPTION && bar && bar->m_pDockContext && !multi) {
        if (HWND top = GetWindow(m_hWnd, GW_OWNER)) SetActiveWindow(top);
        bar->m_pDockContext->StartDrag(p);
        return 0;
    }
    if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT && bar && bar->m_pDockContext) {
        bar->m_pDockContext->StartResize(hit, p);
        return 0;
    }
    return Default();
}

LRESULT TkMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM wParam, LPARAM) {
    CControlBar* bar = FirstBar();
    const bool multi = m_wndDockBar && (m_wndDockBar->m_dwStyle & CBRS_FLOAT_MULTI);
    if (int(wParam) == HTCAPTION && bar && bar->m_pDockContext && !multi) {
        bar->m_pDockContext->ToggleDocking();
        return 0;
    }
    return Default();
}

LRESULT TkMiniDockFrameWnd::OnCloseMessage(WPARAM, LPARAM) {
    // Closing hides the bars; they stay to be shown again.
    if (!m_wndDockBar) return 0;
    CFrameWnd* site = m_wndDockBar->GetDockingFrame();
    std::vector<CControlBar*> bars;
    for (const DockEntry& e : m_wndDockBar->m_arrBars)
        if (e.bar) bars.push_back(e.bar);
    for (CControlBar* bar : bars)
        if (site) site->ShowControlBar(bar, FALSE, FALSE);
    return 0;
}

} // namespace vq
