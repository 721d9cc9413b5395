// Editing labels in place.
#include "platform/gui/Messages.h"
#include "toolkit/lists/TkListBaseC.h"

#include <algorithm>

namespace vq {

namespace {

constexpr UINT EditId = 1;
constexpr std::uintptr_t EditTimer = 1;
constexpr DWORD EditStyle = WS_CHILD | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL;
constexpr DWORD SingleLineEditStyle = WS_CHILD | WS_BORDER | ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN;

} // namespace

TkListEdit* TkListBaseC::EditLabel(std::int32_t item, std::int32_t column) {
    if (!m_hWnd || edit_->m_hWnd || !IsItem(item)) return nullptr;
    tip_->Hide();
    if (editItem_ >= 0) EndLabelEdit(TRUE);
    if (!IsItem(item)) return nullptr;
    // The label must be whole on the screen for the edit to lie over it.
    if (item < topIndex_ || item > GetLastFullyVisible(TRUE)) EnsureVisible(item);
    UpdateWindow(m_hWnd);
    const std::int32_t subItem = IsColumn(column) ? GetColumnSubItem(column) : 0;
    if (!IsColumn(column)) column = 0;
    RECT label;
    if (!GetSubItemRect(item, column, &label, LVIR_LABEL)) return nullptr;
    editCandidate_ = -1;
    editItem_ = item;
    editSubItem_ = subItem;
    RECT area;
    GetItemArea(&area);
    RECT rect{label.left - 4, label.top - 1, label.right + 10, label.bottom + 1};
    if (rect.left < 0) {
        rect.right -= rect.left;
        rect.left = 0;
    }
    rect.right = std::min(rect.right, area.right);
    const DWORD style = HasListStyle(LVS_NOLABELWRAP) ? SingleLineEditStyle : EditStyle;
    if (!edit_->Create(style, rect, this, EditId)) {
        editItem_ = -1;
        return nullptr;
    }
    const std::string text = GetItemText(item, subItem);
    edit_->SetWindowText(text.c_str());
    edit_->SendMessage(WM_SETFONT, WPARAM(GetItemFont()), 0);
    edit_->SetSel(0, -1);
    edit_->SendMessage(EM_SCROLLCARET);
    const std::shared_ptr<bool> alive = alive_;
    const HWND editWindow = edit_->m_hWnd;
    if (NotifyBeginLabelEdit(item, subItem)) {
        if (!*alive) return nullptr;
        if (IsWindow(editWindow)) edit_->DestroyWindow();
        editItem_ = -1;
        editCandidate_ = -1;
        return nullptr;
    }
    if (!*alive || !edit_->m_hWnd) return nullptr;
    ShowWindow(edit_->m_hWnd, SW_SHOW);
    SetFocus(edit_->m_hWnd);
    textBeforeEdit_ = text;
    InvalidateItem(editItem_, FALSE, TRUE, FALSE, FALSE);
    endingEdit_ = false;
    return edit_.get();
}

// The owner hears of the end and may delete items, or the whole list, while it does; the text goes
// only to the item that was edited, found again by its record, and only while list and item exist.
BOOL TkListBaseC::EndLabelEdit(BOOL commit) {
    if (!edit_->m_hWnd || endingEdit_ || editItem_ < 0) return FALSE;
    endingEdit_ = true;
    std::string text = edit_->GetWindowText();
    edit_->DestroyWindow();
    const std::int32_t item = editItem_, subItem = editSubItem_;
    const TkListItem* record = items_[std::size_t(item)].get();
    editItem_ = -1;
    std::array<char, TextBufferSize> buffer{};
    std::copy_n(text.data(), std::min<std::size_t>(text.size(), buffer.size() - 1), buffer.data());
    const std::shared_ptr<bool> alive = alive_;
    const HWND window = m_hWnd;
    const BOOL accepted = NotifyEndLabelEdit(item, subItem, buffer.data(), commit);
    if (!*alive || !IsWindow(window)) return TRUE;
    endingEdit_ = false;
    const auto at =
        std::find_if(items_.begin(), items_.end(), [&](const auto& r) { return r.get() == record; });
    if (at != items_.end()) {
        const std::int32_t index = std::int32_t(at - items_.begin());
        if (accepted) {
            SetItemText(index, subItem, buffer.data());
            OnLabelEdited(index, subItem);
        } else {
            SetItemText(index, subItem, textBeforeEdit_.c_str());
        }
    }
    RemeasureAll();
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return TRUE;
}

void TkListBaseC::DropLabelEdit() {
    if (edit_->m_hWnd) {
        endingEdit_ = true;
        edit_->DestroyWindow();
        endingEdit_ = false;
    }
    editItem_ = -1;
}

BOOL TkListBaseC::NotifyBeginLabelEdit(std::int32_t item, std::int32_t subItem) {
    LV_DISPINFO info;
    info.hdr.code = LVN_BEGINLABELEDIT;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = item;
    info.item.iSubItem = subItem;
    info.item.lParam = GetItemData(item);
    return SendNotify(&info.hdr) == 1;
}

BOOL TkListBaseC::NotifyEndLabelEdit(std::int32_t item, std::int32_t subItem, char* text, BOOL commit) {
    LV_DISPINFO info;
    info.hdr.code = LVN_ENDLABELEDIT;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = item;
    info.item.iSubItem = subItem;
    info.item.lParam = GetItemData(item);
    info.item.pszText = commit ? text : nullptr;
    info.item.cchTextMax = commit ? TextBufferSize : 0;
    const LRESULT answer = SendNotify(&info.hdr);
    return commit && answer != 0;
}

void TkListBaseC::FollowEditText() {
    if (editItem_ < 0 || !edit_->m_hWnd) return;
    const std::string text = edit_->GetWindowText();
    TkListItem& record = *items_[std::size_t(editItem_)];
    const std::int32_t height = record.rowHeight;
    SetItemText(editItem_, editSubItem_, text.c_str());
    MeasureItem(editItem_, nullptr);
    if (record.rowHeight != height) {
        RemeasureAll();
        InvalidateItem(editItem_, FALSE, TRUE, TRUE, FALSE);
    }
    RECT label, area;
    std::int32_t column = 0;
    for (std::int32_t c = 0; c < GetColumnCount(); ++c)
        if (GetColumnSubItem(c) == editSubItem_) column = c;
    if (!GetSubItemRect(editItem_, column, &label, LVIR_LABEL)) return;
    GetItemArea(&area);
    const std::int32_t limit = GetColumnCount() > 1 ? GetColumnRight(column) : area.right;
    const RECT rect{std::max(label.left - 4, 0), label.top - 1, std::min(label.right + 14, limit),
                    label.bottom + 1};
    SetWindowPos(edit_->m_hWnd, 0, 0, 0, rect.Width(), rect.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL TkListBaseC::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == EditId && edit_->m_hWnd && HWND(lParam) == edit_->m_hWnd) {
        if (HIWORD(wParam) == EN_UPDATE && !endingEdit_) FollowEditText();
        if (HIWORD(wParam) == EN_KILLFOCUS) EndLabelEdit(TRUE);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void TkListBaseC::CancelLabelEditTimer() {
    if (editTimer_ && m_hWnd) KillTimer(m_hWnd, EditTimer);
    editTimer_ = 0;
}

void TkListBaseC::OnKeyEditLabel(std::int32_t focus, std::int32_t, BOOL, BOOL, UINT, UINT) {
    if (HasListStyle(LVS_EDITLABELS)) EditLabel(focus, clickedColumn_);
}

} // namespace vq
