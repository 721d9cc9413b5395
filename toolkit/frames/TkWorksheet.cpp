#include "platform/gui/Icon.h"
#include "toolkit/frames/TkWorkbook.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkWorksheet, TkMDIChildWnd)
VQ_IMPLEMENT_DYNCREATE(TkControlBarWorksheet, TkWorksheet)

TkWorksheet::~TkWorksheet() {
    if (m_hTabIcon) DestroyIcon(m_hTabIcon);
}

TkWorkbook* TkWorksheet::Workbook() const {
    return dynamic_cast<TkWorkbook*>(GetMDIFrame());
}

BOOL TkWorksheet::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    if (!TkMDIChildWnd::LoadFrame(resourceId, style, parent, context)) return FALSE;
    if (TkWorkbook* workbook = Workbook()) workbook->AddSheet(this);
    m_hTabIcon = LoadIcon(resourceId, 16, 16);
    return TRUE;
}

void TkWorksheet::OnUpdateFrameTitle(BOOL addToTitle) {
    TkMDIChildWnd::OnUpdateFrameTitle(addToTitle);
    if (TkWorkbook* workbook = Workbook()) workbook->InvalidateTab(this, FALSE);
}

void TkWorksheet::OnUpdateFrameMenu(BOOL activate, CWnd* activateWnd, HMENU alternative) {
    TkMDIChildWnd::OnUpdateFrameMenu(activate, activateWnd, alternative);
    // On a menu bar no WM_MDISETMENU reaches the client; the tabs are refreshed all the same.
    TkMDIFrameWnd* frame = MenuBarFrame();
    if (!m_hMenuShared && frame && frame->m_hWndMDIClient)
        ::vq::SendMessage(frame->m_hWndMDIClient, WM_TK_SHEETMENU, WPARAM(-1), LPARAM(-1));
}

BOOL TkWorksheet::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_DESTROY: {
        if (TkWorkbook* workbook = Workbook()) workbook->RemoveSheet(this);
        if (!TkMDIChildWnd::OnWndMsg(message, wParam, lParam, result)) *result = Default();
        if (m_hTabIcon) DestroyIcon(m_hTabIcon);
        m_hTabIcon = nullptr;
        return TRUE;
    }
    case WM_SHOWWINDOW:
        if (!TkMDIChildWnd::OnWndMsg(message, wParam, lParam, result)) *result = Default();
        if (TkWorkbook* workbook = Workbook()) workbook->InvalidateTab(this, TRUE);
        return TRUE;
    default:
        return TkMDIChildWnd::OnWndMsg(message, wParam, lParam, result);
    }
}

BOOL TkControlBarWorksheet::OnCreateClient(CCreateContext*) {
    // No layout may run before the dock bar exists.
    m_bInRecalcLayout = TRUE;
    const BOOL created = CreateFloatDockBar(*this);
    m_bInRecalcLayout = FALSE;
    return created;
}

} // namespace vq
