#include "platform/classlib/ToolTipCtrl.h"

#include "platform/gui/StandardControls.h"

namespace vq {

namespace {

TOOLINFO ToolOf(CWnd* window, const RECT* toolRect, std::uintptr_t toolId) {
    TOOLINFO info;
    if (!toolRect && toolId == 0) {
        info.uFlags = TTF_IDISHWND;
        info.uId = std::uintptr_t(window->m_hWnd);
        const HWND parent = ::vq::GetParent(window->m_hWnd);
        info.hwnd = parent ? parent : window->m_hWnd;
    } else {
        info.hwnd = window->m_hWnd;
        info.uId = toolId;
        if (toolRect) info.rect = *toolRect;
    }
    return info;
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    RegisterStandardControls();
    return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASS, nullptr, WS_POPUP | style, RECT{},
                    parent, 0);
}

BOOL CToolTipCtrl::AddTool(CWnd* window, const char* text, const RECT* toolRect,
                           std::uintptr_t toolId) const {
    if (!window) return FALSE;
    TOOLINFO info = ToolOf(window, toolRect, toolId);
    info.lpszText = text;
    return BOOL(SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info)));
}

BOOL CToolTipCtrl::AddTool(CWnd* window, UINT textId, const RECT* toolRect, std::uintptr_t toolId) const {
    return AddTool(window, MakeTextId(textId), toolRect, toolId);
}

void CToolTipCtrl::DelTool(CWnd* window, std::uintptr_t toolId) const {
    if (!window) return;
    const TOOLINFO info = ToolOf(window, nullptr, toolId);
    SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::SetToolRect(CWnd* window, std::uintptr_t toolId, const RECT& rect) const {
    if (!window) return;
    const TOOLINFO info = ToolOf(window, &rect, toolId);
    SendMessage(TTM_NEWTOOLRECT, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace vq
