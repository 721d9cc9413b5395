#include "platform/classlib/FrameWnd.h"

#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/res/Resources.h"

#include <memory>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

CView* CFrameWnd::CreateView(const CCreateContext& context, UINT id) {
    if (!context.m_pNewViewClass) return nullptr;
    std::unique_ptr<Object> object = context.m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object.get());
    if (!view) return nullptr;
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, id)) return nullptr;
    // From here on the window owns its view.
    object.release();
    if (context.m_pCurrentDoc) context.m_pCurrentDoc->AddView(view);
    return view;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra, info)) return TRUE;
    if (CWnd::OnCmdMsg(id, code, extra, info)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app ? app->OnCmdMsg(id, code, extra, info) : FALSE;
}

void CFrameWnd::OnInitMenuPopup(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = GetMenuItemID(menu, i);
        if (id == 0 || id == UINT(-1)) continue;
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_pMenu = menu;
        ui.m_nIndex = UINT(i);
        ui.DoUpdate(this, TRUE);
    }
}

void CFrameWnd::OnToolTipText(NMTTDISPINFO* info) {
    const std::uintptr_t id = (info->uFlags & TTF_IDISHWND)
                                  ? std::uintptr_t(::vq::GetDlgCtrlID(HWND(info->hdr.idFrom)))
                                  : info->hdr.idFrom;
    const auto bytes =
        id <= 0xFFFFFFFF ? FindResource(RT_STRING, std::uint32_t(id)) : std::span<const unsigned char>{};
    const std::string_view full(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t lineBreak = full.find('\n');
    m_toolTipText = lineBreak == std::string_view::npos ? "" : full.substr(lineBreak + 1);
    info->lpszText = m_toolTipText.c_str();
}

BOOL CFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DESTROY) m_pViewActive = nullptr;
    if (message == WM_INITMENUPOPUP) OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
    if (CWnd::OnWndMsg(message, wParam, lParam, result)) return TRUE;
    if (message == WM_NOTIFY && lParam && reinterpret_cast<const NMHDR*>(lParam)->code == TTN_NEEDTEXT) {
        OnToolTipText(reinterpret_cast<NMTTDISPINFO*>(lParam));
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

} // namespace vq
