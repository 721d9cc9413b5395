#include "toolkit/lists/TkListBoxEdit.h"

#include "platform/gui/DialogManager.h"
#include "platform/gui/Messages.h"

#include <cstring>
#include <strings.h>

namespace vq {

TkListBoxEdit::TkListBoxEdit(BOOL isNew, int index, UINT browseId, BOOL spaceAdvance, int spaceAdvanceCount)
    : m_isNew(isNew), m_index(index), m_browseId(browseId), m_spaceAdvance(spaceAdvance),
      m_spaceAdvanceCount(spaceAdvanceCount) {}

BOOL TkListBoxEdit::CreateOver(CListBox& list, const char* initialText, std::int32_t narrowBy) {
    m_list = &list;
    m_previousSelection = list.GetCurSel();
    list.SetCurSel(m_index);
    RECT row;
    if (list.GetItemRect(m_index, &row) == int(LB_ERR)) return FALSE;
    const RECT rect{row.left, row.top - 2, row.right - narrowBy, row.bottom + 2};
    if (!Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, rect, &list, kListEditorEditId)) return FALSE;
    SendMessage(WM_SETFONT, WPARAM(list.SendMessage(WM_GETFONT)), 0);
    if (initialText) {
        SetWindowText(initialText);
        const int end = int(std::strlen(initialText));
        SetSel(end, end);
    } else {
        SetWindowText(list.GetText(m_index).c_str());
        SetSel(0, -1);
    }
    ShowWindow(m_hWnd, SW_SHOW);
    SetFocus(m_hWnd);
    return TRUE;
}

void TkListBoxEdit::Commit() {
    if (m_ending || !m_list) return;
    m_ending = TRUE;
    const std::string text = GetWindowText();
    // The entry keeps its data and the list its selection; nothing flickers meanwhile.
    m_list->SendMessage(WM_SETREDRAW, FALSE);
    const std::intptr_t data = m_list->GetItemData(m_index);
    m_list->DeleteString(m_index);
    m_list->InsertString(m_index, text.c_str());
    m_list->SetItemData(m_index, data);
    m_list->SendMessage(WM_SETREDRAW, TRUE);
    m_list->SetCurSel(m_index);
    Finish();
}

void TkListBoxEdit::Cancel() {
    if (m_ending || !m_list) return;
    m_ending = TRUE;
    if (m_isNew) {
        m_list->SetCurSel(m_previousSelection);
        m_list->DeleteString(m_index);
    }
    m_list->SendMessage(ListEditorSetCancelled, TRUE);
    Finish();
}

void TkListBoxEdit::Finish() {
    if (GetFocus() == m_hWnd) SetFocus(m_list->m_hWnd);
    NMHDR done{m_hWnd, kListEditorEditId, ListEditorEditDone};
    m_list->SendMessage(WM_NOTIFY, kListEditorEditId, reinterpret_cast<LPARAM>(&done));
}

void TkListBoxEdit::MoveToTabStop(BOOL previous) {
    const HWND dialog = ::vq::GetParent(m_list->m_hWnd);
    const HWND next = GetNextDlgTabItem(dialog, m_list->m_hWnd, previous);
    if (!next) return;
    SetFocus(next);
    char className[16] = {};
    if (GetClassName(next, className, sizeof className) && strcasecmp(className, "Edit") == 0)
        ::vq::SendMessage(next, EM_SETSEL, 0, -1);
}

BOOL TkListBoxEdit::SpaceAdvances() const {
    if (!m_spaceAdvance) return FALSE;
    int start = 0, end = 0;
    GetSel(start, end);
    if (start != end) return FALSE;
    std::string text = GetWindowText();
    const size_t trimmed = text.find_last_not_of(' ') == std::string::npos ? 0 : text.find_last_not_of(' ') + 1;
    return std::int64_t(start) >= std::int64_t(trimmed) + m_spaceAdvanceCount - 1;
}

BOOL TkListBoxEdit::OnKey(UINT key) {
    switch (key) {
    case VK_TAB: {
        const BOOL previous = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        CListBox* list = m_list;
        Commit();
        m_list = list;
        MoveToTabStop(previous);
        return TRUE;
    }
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN: {
        const HWND list = m_list->m_hWnd;
        Commit();
        ::vq::PostMessage(list, WM_KEYDOWN, key, 0);
        return TRUE;
    }
    case VK_RETURN:
        Commit();
        return TRUE;
    case VK_ESCAPE:
        Cancel();
        return TRUE;
    case VK_F2:
        if (!m_browseId) return FALSE;
        if (HWND browse = ::vq::GetDlgItem(m_list->m_hWnd, int(m_browseId))) {
            SetFocus(browse);
            ::vq::PostMessage(m_list->m_hWnd, WM_COMMAND, m_browseId, LPARAM(browse));
        }
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT TkListBoxEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        m_list->SendMessage(ListEditorSetCancelled, FALSE);
        if (OnKey(UINT(wParam))) return 0;
        break;
    case WM_CHAR:
        // Enter, Escape and Tab also come as characters once their key has ended the edit.
        if (wParam == '\r' || wParam == 0x1B || wParam == '\t') return 0;
        if (wParam == ' ' && SpaceAdvances()) {
            CListBox* list = m_list;
            Commit();
            m_list = list;
            MoveToTabStop(FALSE);
            return 0;
        }
        break;
    case WM_KILLFOCUS: {
        const HWND to = HWND(wParam);
        const HWND browse = m_browseId ? ::vq::GetDlgItem(m_list->m_hWnd, int(m_browseId)) : 0;
        const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
        if (!m_ending && (to == 0 || to != browse) && IsWindowVisible(m_hWnd)) Commit();
        return result;
    }
    default:
        break;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

} // namespace vq
