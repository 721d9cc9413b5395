#include "toolkit/controls/TkPopupColorWell.h"

#include "platform/gui/SystemColours.h"
#include "toolkit/controls/TkWellButton.h"

namespace vq {

namespace {

constexpr std::int32_t raisedMargin = 4;

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkPopupColorWell, TkColorWell)

VQ_BEGIN_MESSAGE_MAP(TkPopupColorWell, TkColorWell)
VQ_ON_MESSAGE(WM_KEYDOWN, OnPopupKeyDown)
VQ_ON_MESSAGE(WM_KEYUP, OnPopupKeyUp)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnPopupLButtonDown)
VQ_ON_MESSAGE(WM_KILLFOCUS, OnPopupKillFocus)
VQ_END_MESSAGE_MAP()

BOOL TkPopupColorWell::Create(DWORD style, const RECT& buttonRect, CWnd* parent, BOOL otherButton,
                              void* param) {
    m_otherButton = otherButton;
    SetDefaultGrid();
    // Measured with the raised border's margins it is created with, so that it lines up with the
    // button's edge instead of covering the button.
    m_marginX = m_marginY = raisedMargin;
    const RECT size = CalcWellRect(parent, 0, 0, FALSE);
    const std::int32_t width = size.Width(), height = size.Height();
    std::int32_t top = buttonRect.bottom;
    if (top + height >= GetSystemMetrics(SM_CYSCREEN)) top = buttonRect.top - height;
    std::int32_t left = buttonRect.left;
    if (left + width >= GetSystemMetrics(SM_CXSCREEN)) left = buttonRect.right - width;
    if (!TkColorWell::Create(style | WS_POPUP | 0x1, left, top, parent, 0, FALSE, otherButton, param))
        return FALSE;
    SetFocus(m_hWnd);
    m_hotTracking = TRUE;
    SetCapture(m_hWnd);
    m_shown = TRUE;
    return TRUE;
}

void TkPopupColorWell::Reset() {
    TkColorWell::Reset();
    m_ownerButton = nullptr;
}

void TkPopupColorWell::NotifyParent() {
    if (m_ownerButton && m_ownerButton->m_hWnd)
        m_ownerButton->SendMessage(WM_TK_COLORSELECTED, 0, LPARAM(GetColor()));
}

void TkPopupColorWell::Close() {
    if (GetCapture() == m_hWnd) ReleaseCapture();
    DestroyWindow();
}

void TkPopupColorWell::SelectCell(int column, int row, int how) {
    InvalidateCell(m_selectedColumn, m_selectedRow);
    m_selectedColumn = column;
    m_selectedRow = row;
    InvalidateCell(column, row);
    if (how != byCommit) return;
    NotifyParent();
    Close();
}

void TkPopupColorWell::OnOther() {
    if (!m_ownerButton) return;
    m_ownerButton->PostMessage(WM_TK_COLOROTHER, 0, 0);
    Close();
}

LRESULT TkPopupColorWell::OnPopupKeyDown(WPARAM key, LPARAM lParam) {
    switch (UINT(key)) {
    case VK_TAB:
        if (m_button && m_button->m_hWnd) SetFocus(m_button->m_hWnd);
        return 0;
    case VK_RETURN:
        SelectCell(m_selectedColumn, m_selectedRow, byCommit);
        return 0;
    case VK_ESCAPE:
        Close();
        return 0;
    default:
        return OnKeyDown(key, lParam);
    }
}

LRESULT TkPopupColorWell::OnPopupKeyUp(WPARAM key, LPARAM) {
    if (key != VK_SPACE) return Default();
    SelectCell(m_selectedColumn, m_selectedRow, byCommit);
    return 0;
}

LRESULT TkPopupColorWell::OnPopupLButtonDown(WPARAM flags, LPARAM point) {
    POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (client.Contains(p.x, p.y)) {
        if (m_button && m_button->m_hWnd) {
            RECT button;
            GetWindowRect(m_button->m_hWnd, &button);
            POINT screen = p;
            ClientToScreen(m_hWnd, &screen);
            if (button.Contains(screen.x, screen.y)) {
                OnOther();
                return 0;
            }
        }
        return ClickCell(point);
    }
    POINT screen = p;
    ClientToScreen(m_hWnd, &screen);
    const HWND under = WindowFromPoint(screen);
    if (m_ownerButton && under == m_ownerButton->m_hWnd) return 0;
    Close();
    // The click that closed the popup still reaches the window it was meant for.
    const HWND target = WindowFromPoint(screen);
    if (!target) return 0;
    POINT local = screen;
    ScreenToClient(target, &local);
    ::vq::SendMessage(target, WM_LBUTTONDOWN, flags, MAKELPARAM(local.x, local.y));
    return 0;
}

LRESULT TkPopupColorWell::OnPopupKillFocus(WPARAM next, LPARAM lParam) {
    const LRESULT result = OnKillFocus(next, lParam);
    if (m_button && HWND(next) == m_button->m_hWnd) return result;
    Close();
    return result;
}

} // namespace vq
