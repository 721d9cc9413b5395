#include "platform/classlib/View.h"

#include "platform/classlib/Document.h"
#include "platform/classlib/FrameWnd.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CView, CWnd)

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

BOOL CView::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (CWnd::OnCmdMsg(id, code, extra, info)) return TRUE;
    return m_pDocument ? m_pDocument->OnCmdMsg(id, code, extra, info) : FALSE;
}

void CView::OnDraw(HDC) {}

void CView::OnPrepareDC(HDC) {}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, Object*) {
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL activate, CView* activateView, CView*) {
    if (activate && activateView == this && m_hWnd) SetFocus(m_hWnd);
}

int CView::OnMouseActivate(HWND, UINT, UINT) {
    const auto answer = int(Default());
    if (answer == MA_NOACTIVATE || answer == MA_NOACTIVATEANDEAT) return answer;
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() != this)
        frame->SetActiveView(this);
    return answer;
}

BOOL CView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        OnPrepareDC(dc);
        OnDraw(dc);
        EndPaint(m_hWnd, &ps);
        *result = 0;
        return TRUE;
    }
    case WM_INITIALUPDATE:
        OnInitialUpdate();
        *result = 0;
        return TRUE;
    case WM_MOUSEACTIVATE:
        if (CWnd::OnWndMsg(message, wParam, lParam, result)) return TRUE;
        *result =
            OnMouseActivate(HWND(wParam), LOWORD(std::uintptr_t(lParam)), HIWORD(std::uintptr_t(lParam)));
        return TRUE;
    case WM_DESTROY:
        // A frame never keeps a view that has gone as its active one.
        if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() == this)
            frame->SetActiveView(nullptr, FALSE);
        return CWnd::OnWndMsg(message, wParam, lParam, result);
    default:
        return CWnd::OnWndMsg(message, wParam, lParam, result);
    }
}

} // namespace vq
