#include "toolkit/controls/TkPopupCalendar.h"

#include "platform/gui/NonClientMetrics.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkPopupCalendar, TkCalendar)

VQ_BEGIN_MESSAGE_MAP(TkPopupCalendar, TkCalendar)
VQ_ON_MESSAGE(WM_ACTIVATE, OnActivate)
VQ_ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
VQ_END_MESSAGE_MAP()

TkPopupCalendar::TkPopupCalendar() {
    m_options = 0x39C100;
    m_shownMonthStyle = 0x83;
    m_otherMonthStyle = 0x181;
}

UINT TkPopupCalendar::GetClassStyle() const {
    return TkCalendar::GetClassStyle() | CS_SAVEBITS;
}

BOOL TkPopupCalendar::CreatePopup(DWORD style, const RECT& ownerRect, CWnd* owner, void*) {
    m_options |= optSizeToContent;
    const HWND ownerWindow = owner ? owner->m_hWnd : 0;
    HDC dc = GetDC(ownerWindow);
    const SIZE content = GetContentSize(dc);
    ReleaseDC(ownerWindow, dc);
    RECT frame{0, 0, content.cx, content.cy};
    AdjustWindowRectEx(&frame, style | WS_POPUP, FALSE, 0);
    const std::int32_t width = frame.Width(), height = frame.Height();
    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);

    std::int32_t left;
    if (style & belowOwner)
        left = ownerRect.left + width > work.right ? ownerRect.right - width : ownerRect.left;
    else
        left = ownerRect.right + width > work.right ? ownerRect.left - width : ownerRect.right;
    const std::int32_t top =
        ownerRect.bottom + height > work.bottom ? ownerRect.top - height : ownerRect.bottom;
    RECT rect{left, top, left + width, top + height};
    if (!Create(style | WS_POPUP, rect, owner, 0)) return FALSE;
    SetFocus(m_hWnd);
    return TRUE;
}

int TkPopupCalendar::SetPopupMode(int mode) {
    const int old = m_popupMode == 1 ? 1 : 2;
    m_popupMode = mode;
    return old;
}

LRESULT TkPopupCalendar::OnActivate(WPARAM state, LPARAM) {
    const LRESULT result = Default();
    if (LOWORD(state) != WA_INACTIVE) return result;
    if (m_popupMode == 1 && GetSelectedDate().GetStatus() == OleDateTime::valid)
        Choose();
    else
        Cancel();
    return result;
}

LRESULT TkPopupCalendar::OnNcHitTest(WPARAM, LPARAM) {
    const LRESULT hit = Default();
    if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT && !(m_options & optSizingFrame)) return HTCLIENT;
    return hit;
}

} // namespace vq
