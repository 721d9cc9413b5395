#include "platform/classlib/CheckListBox.h"

#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CCheckListBox, CListBox)

namespace {

constexpr int kBoxSide = 13;
constexpr int kBoxMargin = 2;

// The check box of an item: at most the standard size, fitted into the item's height.
RECT CheckBoxOf(const RECT& item) {
    const int side = std::clamp(item.Height() - 2, 0, kBoxSide);
    const int top = item.top + (item.Height() - side) / 2;
    return {item.left + kBoxMargin, top, item.left + kBoxMargin + side, top + side};
}

} // namespace

BOOL CCheckListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CListBox::Create(style | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, rect, parent, id)) return FALSE;
    // The box measured its items before this object saw its messages.
    MEASUREITEMSTRUCT measure;
    measure.itemHeight = UINT(std::max(GetItemHeight(0), 0));
    MeasureItem(&measure);
    SetItemHeight(0, measure.itemHeight);
    return TRUE;
}

void CCheckListBox::Sync() {
    const int count = GetCount();
    if (count >= 0 && std::size_t(count) != m_checks.size()) m_checks.resize(std::size_t(count), 0);
}

int CCheckListBox::GetCheck(int index) {
    Sync();
    if (index < 0 || std::size_t(index) >= m_checks.size()) return -1;
    return m_checks[std::size_t(index)];
}

BOOL CCheckListBox::SetCheck(int index, int check) {
    Sync();
    if (index < 0 || std::size_t(index) >= m_checks.size()) return FALSE;
    m_checks[std::size_t(index)] = check ? 1 : 0;
    RedrawItem(index);
    return TRUE;
}

bool CCheckListBox::InCheckBox(int index, POINT client) const {
    RECT item;
    if (GetItemRect(index, &item) == LB_ERR || !item.Contains(client.x, client.y)) return false;
    return client.x < CheckBoxOf(item).right + kBoxMargin;
}

void CCheckListBox::RedrawItem(int index) const {
    RECT item;
    if (GetItemRect(index, &item) != LB_ERR) InvalidateRect(m_hWnd, &item, FALSE);
}

void CCheckListBox::Toggle(int index) {
    if (!SetCheck(index, !GetCheck(index))) return;
    ::vq::SendMessage(::vq::GetParent(m_hWnd), WM_COMMAND,
                      WPARAM(MAKELPARAM(int(GetDlgCtrlID()), int(CLBN_CHKCHANGE))), LPARAM(m_hWnd));
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        Sync();
        const LRESULT at = CListBox::WindowProc(message, wParam, lParam);
        if (at >= 0 && std::size_t(at) <= m_checks.size()) m_checks.insert(m_checks.begin() + at, 0);
        return at;
    }
    case LB_DELETESTRING: {
        Sync();
        const LRESULT left = CListBox::WindowProc(message, wParam, lParam);
        if (left >= 0 && wParam < m_checks.size()) m_checks.erase(m_checks.begin() + std::ptrdiff_t(wParam));
        return left;
    }
    case LB_RESETCONTENT:
        m_checks.clear();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        BOOL outside = FALSE;
        const int index = int(ItemFromPoint(at, outside));
        if (outside || !InCheckBox(index, at) || !IsWindowEnabled(m_hWnd)) break;
        // The press chooses the item as any press does, then the box changes.
        const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
        Toggle(index);
        return result;
    }
    case WM_KEYDOWN:
        if (wParam != VK_SPACE) break;
        if (const int caret = GetCaretIndex(); caret >= 0 && caret < GetCount()) Toggle(caret);
        return 0;
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

void CCheckListBox::MeasureItem(MEASUREITEMSTRUCT* item) {
    item->itemHeight = std::max(item->itemHeight, UINT(kBoxSide + 2));
}

void CCheckListBox::DrawItem(DRAWITEMSTRUCT* item) {
    if (int(item->itemID) < 0 || int(item->itemID) >= GetCount()) return;
    HDC dc = item->hDC;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    RECT box = CheckBoxOf(item->rcItem);
    UINT state = DFCS_BUTTONCHECK;
    if (GetCheck(int(item->itemID)) > 0) state |= DFCS_CHECKED;
    if (disabled) state |= DFCS_INACTIVE;
    if (!box.IsEmpty()) DrawFrameControl(dc, &box, DFC_BUTTON, state);

    RECT text{box.right + kBoxMargin, item->rcItem.top, item->rcItem.right, item->rcItem.bottom};
    FillRect(dc, &text, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected   ? COLOR_HIGHLIGHTTEXT
                                 : disabled ? COLOR_GRAYTEXT
                                            : COLOR_WINDOWTEXT));
    const std::string label = GetText(int(item->itemID));
    RECT inner{text.left + 2, text.top, text.right, text.bottom};
    DrawText(dc, label.c_str(), -1, &inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item->itemState & ODS_FOCUS) DrawFocusRect(dc, &text);
}

} // namespace vq
