#include "toolkit/controls/TkBrowseEditBase.h"

#include "platform/gui/ControlTypes.h"
#include "platform/gui/Messages.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkBrowseButton, CButton)

BOOL TkBrowseButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND && LOWORD(wParam) == m_id && HIWORD(wParam) == BN_CLICKED) {
        if (m_edit) m_edit->OnBrowse();
        if (result) *result = 0;
        return TRUE;
    }
    return CButton::OnChildNotify(message, wParam, lParam, result);
}

void TkBrowseButton::PostNcDestroy() {
    if (m_edit) m_edit->ButtonGone();
    delete this;
}

VQ_IMPLEMENT_RUNTIME_CLASS(TkBrowseEditBase, CEdit)

VQ_BEGIN_MESSAGE_MAP(TkBrowseEditBase, CEdit)
VQ_ON_MESSAGE(WM_ENABLE, OnEnable)
VQ_ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroy)
VQ_END_MESSAGE_MAP()

TkBrowseEditBase::~TkBrowseEditBase() {
    DestroyWindow();
    if (m_button) {
        m_button->Forget();
        m_button->DestroyWindow();
    }
}

BOOL TkBrowseEditBase::Initialize(UINT id, CWnd* dialog) {
    if (!dialog || !dialog->m_hWnd) return FALSE;
    const HWND item = ::vq::GetDlgItem(dialog->m_hWnd, int(id));
    const BOOL enabled = item && IsWindowEnabled(item);
    if (!SubclassDlgItem(id, dialog)) return FALSE;
    CreateButton(dialog, enabled);
    return TRUE;
}

void TkBrowseEditBase::CreateButton(CWnd* dialog, BOOL enabled) {
    RECT r;
    GetWindowRect(m_hWnd, &r);
    SetWindowPos(m_hWnd, 0, 0, 0, r.Width() - buttonSpace, r.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT corners[2] = {{r.right - buttonWidth, r.top}, {r.right, r.bottom}};
    MapWindowPoints(0, dialog->m_hWnd, corners, 2);
    const RECT place{corners[0].x, corners[0].y, corners[1].x, corners[1].y};

    UINT id = firstButtonId;
    while (id > 1 && ::vq::GetDlgItem(dialog->m_hWnd, int(id)))
        --id;
    auto* button = new TkBrowseButton(this, id);
    if (!button->Create("...", WS_CHILD | WS_VISIBLE | WS_TABSTOP, place, dialog, id)) {
        delete button;
        return;
    }
    m_button = button;
    SetWindowPos(button->m_hWnd, m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EnableWindow(button->m_hWnd, enabled);
}

LRESULT TkBrowseEditBase::OnEnable(WPARAM enable, LPARAM) {
    const LRESULT result = Default();
    if (m_button && m_button->m_hWnd) EnableWindow(m_button->m_hWnd, enable ? TRUE : FALSE);
    return result;
}

LRESULT TkBrowseEditBase::OnShowWindow(WPARAM show, LPARAM) {
    const LRESULT result = Default();
    if (m_button && m_button->m_hWnd) ShowWindow(m_button->m_hWnd, show ? SW_SHOW : SW_HIDE);
    return result;
}

LRESULT TkBrowseEditBase::OnDestroy(WPARAM, LPARAM) {
    if (TkBrowseButton* button = m_button) {
        m_button = nullptr;
        button->Forget();
        button->DestroyWindow();
    }
    return Default();
}

} // namespace vq
