#include "platform/classlib/DocTemplate.h"
#include "platform/classlib/WinApp.h"
#include "platform/res/Resources.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkMDIFrameWnd.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkMDIChildWnd, CMDIChildWnd)
VQ_IMPLEMENT_DYNCREATE(TkControlBarMDIChildWnd, TkMDIChildWnd)

namespace {

CMDIFrameWnd* MdiFrameFor(CWnd* parent) {
    if (auto* frame = dynamic_cast<CMDIFrameWnd*>(parent)) return frame;
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<CMDIFrameWnd*>(app->m_pMainWnd) : nullptr;
}

} // namespace

TkMDIFrameWnd* TkMDIChildWnd::ToolkitFrame() const {
    if (auto* frame = dynamic_cast<TkMDIFrameWnd*>(GetMDIFrame())) return frame;
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<TkMDIFrameWnd*>(app->m_pMainWnd) : nullptr;
}

TkMDIFrameWnd* TkMDIChildWnd::MenuBarFrame() const {
    TkMDIFrameWnd* frame = ToolkitFrame();
    return frame && frame->GetMenuBar() ? frame : nullptr;
}

BOOL TkMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    CMDIFrameWnd* mdiFrame = MdiFrameFor(parent);
    if (!mdiFrame || !mdiFrame->m_hWndMDIClient || m_hWnd) return FALSE;
    style |= WS_CHILD;
    auto* toolkitFrame = dynamic_cast<TkMDIFrameWnd*>(mdiFrame);
    const bool menuBar = toolkitFrame && toolkitFrame->GetMenuBar();
    auto* tmpl = context ? dynamic_cast<CMultiDocTemplate*>(context->m_pNewDocTemplate) : nullptr;
    if (tmpl) {
        if (!m_hAccelTable) m_hAccelTable = LoadAccelerators(tmpl->GetResourceId());
        m_bMenuBarMode = menuBar;
        if (menuBar)
            m_nMenuId = tmpl->GetResourceId();
        else
            m_hMenuShared = tmpl->m_hMenuShared;
    } else if (resourceId && menuBar) {
        m_bMenuBarMode = TRUE;
        m_nMenuId = resourceId;
    }
    m_nIDResource = resourceId;
    m_strTitle = ResourceTitle(resourceId);
    if (!CreateInClient(mdiFrame, resourceId, style, context)) return FALSE;
    SetWindowContextHelpId(m_hWnd, resourceId);
    return TRUE;
}

void TkMDIChildWnd::OnUpdateFrameMenu(BOOL activate, CWnd* activateWnd, HMENU alternative) {
    m_hLastAlternative = alternative;
    CMDIChildWnd::OnUpdateFrameMenu(activate, activateWnd, alternative);
    TkMDIFrameWnd* frame = MenuBarFrame();
    if (!frame) return;
    if (activate && !alternative && GetMenu(frame->m_hWnd)) {
        // The menu bar stands in for the real menu the class library just put back.
        SetMenu(frame->m_hWnd, nullptr);
        DrawMenuBar(frame->m_hWnd);
    }
    frame->RefreshWindowMenu();
}

void TkMDIChildWnd::SetMenuId(UINT menuId) {
    TkMDIFrameWnd* frame = MenuBarFrame();
    if (!frame || menuId == m_nMenuId) return;
    m_nMenuId = menuId;
    if (frame->MDIGetActive() != this) return;
    frame->GetMenuBar()->SelectMenu(menuId);
    frame->RecalcLayout(TRUE);
    InvalidateRect(frame->GetMenuBar()->GetBarWindow(), nullptr, TRUE);
}

BOOL TkMDIChildWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    TkMDIFrameWnd* frame = ToolkitFrame();
    switch (message) {
    case WM_MOUSEACTIVATE:
        if (frame) frame->DeactivateFloatingChild(FALSE);
        if (!CMDIChildWnd::OnWndMsg(message, wParam, lParam, result)) *result = Default();
        if (frame) frame->SwitchMenu(m_nMenuId);
        return TRUE;
    case WM_CHILDACTIVATE:
        if (frame) frame->DeactivateFloatingChild(FALSE);
        break;
    case WM_MDIACTIVATE: {
        CMDIChildWnd::OnWndMsg(message, wParam, lParam, result);
        TkMDIFrameWnd* menuFrame = MenuBarFrame();
        if (!menuFrame || !m_nMenuId) return TRUE;
        if (HWND(lParam) == m_hWnd)
            menuFrame->SwitchMenu(m_nMenuId);
        else if (!lParam)
            menuFrame->SwitchMenu(UINT(-1));
        return TRUE;
    }
    case WM_SIZE:
        if (wParam <= SIZE_MAXIMIZED)
            if (TkMDIFrameWnd* menuFrame = MenuBarFrame()) menuFrame->UpdateMenuBarButtons();
        break;
    default:
        break;
    }
    return CMDIChildWnd::OnWndMsg(message, wParam, lParam, result);
}

} // namespace vq
