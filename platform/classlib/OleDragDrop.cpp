#include "platform/classlib/OleDragDrop.h"

namespace vq {

namespace {

POINT ToClient(HWND window, POINT screen) {
    ScreenToClient(window, &screen);
    return screen;
}

} // namespace

BOOL COleDropTarget::Register(CWnd* window) {
    if (!window || !window->m_hWnd || m_hWnd) return FALSE;
    if (!RegisterDragDrop(window->m_hWnd, this)) return FALSE;
    m_hWnd = window->m_hWnd;
    return TRUE;
}

void COleDropTarget::Revoke() {
    if (m_hWnd) RevokeDragDrop(m_hWnd);
    m_hWnd = 0;
    m_pDragData = nullptr;
}

DWORD COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

DWORD COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd*) {}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DWORD, POINT) {
    return FALSE;
}

DWORD COleDropTarget::DragEnter(HWND window, const DragData& data, DWORD keys, POINT screen, DWORD allowed) {
    m_pDragData = &data;
    COleDataObject object(&data);
    m_lastEffect =
        OnDragEnter(CWnd::FromHandlePermanent(window), &object, keys, ToClient(window, screen)) & allowed;
    return m_lastEffect;
}

DWORD COleDropTarget::DragOver(HWND window, DWORD keys, POINT screen, DWORD allowed) {
    COleDataObject object(m_pDragData);
    m_lastEffect =
        OnDragOver(CWnd::FromHandlePermanent(window), &object, keys, ToClient(window, screen)) & allowed;
    return m_lastEffect;
}

void COleDropTarget::DragLeave(HWND window) {
    OnDragLeave(CWnd::FromHandlePermanent(window));
    m_pDragData = nullptr;
}

DWORD COleDropTarget::Drop(HWND window, const DragData& data, DWORD, POINT screen, DWORD) {
    COleDataObject object(&data);
    const DWORD effect = m_lastEffect;
    m_pDragData = nullptr;
    return OnDrop(CWnd::FromHandlePermanent(window), &object, effect, ToClient(window, screen))
               ? effect
               : DROPEFFECT_NONE;
}

} // namespace vq
