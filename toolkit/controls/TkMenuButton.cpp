#include "toolkit/controls/TkMenuButton.h"

#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/View.h"

namespace vq {

namespace {

std::uint32_t ArrowOf(std::int32_t direction) {
    return direction ? TkMenuButton::RightArrowId : TkMenuButton::DownArrowId;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkMenuButton, TkBitmapButton)

VQ_BEGIN_MESSAGE_MAP(TkMenuButton, TkBitmapButton)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnMenuButtonUp)
VQ_END_MESSAGE_MAP()

std::int32_t TkMenuButton::SetMenuInfo(const char* caption, HMENU menu, std::int32_t direction,
                                       std::uint32_t& bitmapId) {
    m_hMenu = menu;
    m_nDirection = direction;
    bitmapId = ArrowOf(direction);
    return caption && *caption ? BitmapRight : BitmapOnly;
}

BOOL TkMenuButton::AttachButton(UINT id, CWnd* parent, HMENU menu, std::int32_t direction,
                                DWORD buttonStyle) {
    if (!parent) return FALSE;
    char caption[100] = {};
    ::vq::GetWindowText(::vq::GetDlgItem(parent->m_hWnd, int(id)), caption, int(sizeof caption));
    std::uint32_t bitmapId = 0;
    const std::int32_t alignment = SetMenuInfo(caption, menu, direction, bitmapId);
    return TkBitmapButton::AttachButton(id, alignment, bitmapId, parent, buttonStyle);
}

BOOL TkMenuButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                          HMENU menu, std::int32_t direction, DWORD buttonStyle) {
    std::uint32_t bitmapId = 0;
    const std::int32_t alignment = SetMenuInfo(caption, menu, direction, bitmapId);
    return TkBitmapButton::Create(caption, style, alignment, bitmapId, rect, parent, id, buttonStyle);
}

void TkMenuButton::SetDirection(std::int32_t direction) {
    m_nDirection = direction;
    SetBitmap(ArrowOf(direction));
    RecalcLayout();
    if (m_hWnd) Invalidate(TRUE);
}

void TkMenuButton::OnClicked() {
    if (!m_hWnd || !IsMenu(m_hMenu)) return;
    RECT r;
    ::vq::GetWindowRect(m_hWnd, &r);
    const POINT anchor = m_nDirection ? POINT{r.right, r.top} : POINT{r.left, r.bottom};
    m_bDrawingEnabled = FALSE;
    CWnd* owner = GetParent();
    if (owner && owner->IsKindOf(CView::Class()))
        if (CWnd* frame = owner->GetParent(); frame && frame->IsKindOf(CFrameWnd::Class())) owner = frame;
    const HWND button = m_hWnd;
    if (TrackPopupMenu(m_hMenu, 0, anchor.x, anchor.y, 0, owner ? owner->m_hWnd : button, nullptr)) {
        // The press that closed the menu over this button must not press it again.
        MSG msg;
        PeekMessage(&msg, button, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE);
    }
    m_bDrawingEnabled = TRUE;
    if (IsWindow(button)) {
        InvalidateRect(button, nullptr, FALSE);
        UpdateWindow(button);
    }
}

void TkMenuButton::DrawItem(DRAWITEMSTRUCT* item) {
    if (m_bDrawingEnabled) TkBitmapButton::DrawItem(item);
}

void TkMenuButton::PostNcDestroy() {
    // The menu is the caller's: the button lets go of it with its window.
    m_hMenu = nullptr;
    TkBitmapButton::PostNcDestroy();
}

LRESULT TkMenuButton::OnMenuButtonUp(WPARAM, LPARAM point) {
    // The button is released before the menu opens, so the menu's loop does not run with it held.
    if (!IsClickRelease(point)) return Default();
    const LRESULT result = Default();
    OnClicked();
    return result;
}

} // namespace vq
