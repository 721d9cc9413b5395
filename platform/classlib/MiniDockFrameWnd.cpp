#include "platform/classlib/MiniDockFrameWnd.h"

#include "platform/res/Resources.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CFrameWnd)

CMiniDockFrameWnd::CMiniDockFrameWnd() {
    // Made on the heap by the docking frame, the frame ends with its window.
    m_bAutoDelete = TRUE;
}

CMiniDockFrameWnd::~CMiniDockFrameWnd() = default;

std::unique_ptr<CDockBar> CMiniDockFrameWnd::MakeDockBar() {
    return std::make_unique<CDockBar>(TRUE);
}

BOOL CMiniDockFrameWnd::CreateFloating(CFrameWnd* parent, DWORD style) {
    return Create(parent, style);
}

BOOL CMiniDockFrameWnd::Create(CFrameWnd* parent, DWORD barStyle) {
    m_bInLayout = TRUE;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    const BOOL made = CWnd::CreateEx(WS_EX_TOOLWINDOW, nullptr, "", style, RECT{0, 0, 100, 50}, parent, 0);
    if (!made) {
        m_bInLayout = FALSE;
        return FALSE;
    }
    // Its caption starts in step with the frame's.
    SendMessage(WM_NCACTIVATE, FALSE, 0);
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
        for (UINT command : {UINT(SC_SIZE), UINT(SC_MINIMIZE), UINT(SC_MAXIMIZE), UINT(SC_RESTORE)})
            DeleteMenu(menu, command, MF_BYCOMMAND);
        char text[64];
        if (const int length = LoadString(AFX_IDS_CLOSE, text, int(sizeof text)); length > 0)
            ModifyMenu(menu, SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, text);
    }
    m_wndDockBar = MakeDockBar();
    const DWORD align = (barStyle & CBRS_ORIENT_VERT) ? DWORD(CBRS_ALIGN_LEFT) : DWORD(CBRS_ALIGN_TOP);
    // The dock bar is made among the docking frame's bars, then moved here.
    const BOOL docked = m_wndDockBar->Create(
        parent, WS_CHILD | WS_VISIBLE | align | (barStyle & CBRS_FLOAT_MULTI), AFX_IDW_DOCKBAR_FLOAT);
    if (docked) ::vq::SetParent(m_wndDockBar->m_hWnd, m_hWnd);
    m_bInLayout = FALSE;
    return docked;
}

CFrameWnd* CMiniDockFrameWnd::OwnerFrame() const {
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(GetWindow(m_hWnd, GW_OWNER)));
}

BOOL CMiniDockFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    CFrameWnd* owner = OwnerFrame();
    switch (message) {
    case WM_FLOATSTATUS:
        if (wParam & (FS_ACTIVATE | FS_DEACTIVATE)) SendMessage(WM_NCACTIVATE, (wParam & FS_ACTIVATE) != 0, 0);
        if (wParam & (FS_ENABLE | FS_DISABLE)) EnableWindow(m_hWnd, (wParam & FS_ENABLE) != 0);
        // Activation goes in step with the frame: while this is active, the frame looks active.
        *result = TRUE;
        return TRUE;
    case WM_NCACTIVATE:
        // The caption shows whether the frame it floats over is active, whichever of the two
        // holds the activation.
        *result = DefWindowProc(message, IsWindowEnabled(m_hWnd) && (owner ? owner->IsStayActive() : wParam != 0),
                                lParam);
        return TRUE;
    case WM_ACTIVATE:
        *result = Default();
        if (owner) {
            const HWND other = HWND(lParam);
            const bool active = LOWORD(wParam) != WA_INACTIVE;
            // The frame hears its own activation itself.
            if (active || other != owner->m_hWnd) owner->UpdateStayActive(active, other);
        }
        return TRUE;
    default:
        return CFrameWnd::OnWndMsg(message, wParam, lParam, result);
    }
}

} // namespace vq
