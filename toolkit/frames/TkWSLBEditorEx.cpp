#include "toolkit/frames/TkWSLBEditorEx.h"

#include "platform/core/Format.h"
#include "platform/gui/Messages.h"
#include "platform/gui/MessageBox.h"
#include "toolkit/frames/TkWorkspaceManagerEx.h"
#include "toolkit/frames/TkWsMgrDialogEx.h"

#include <utility>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkWSLBEditorEx, TkListBoxEditor)

TkWSLBEditorEx::TkWSLBEditorEx(StringList& before, StringList& edited, StringList& deleted, TkWsMgrDialogEx* dialog)
    : m_before(before), m_edited(edited), m_deleted(deleted), m_pDialog(dialog) {}

BOOL TkWSLBEditorEx::EditItem(int index, BOOL isNew, const char* initialText) {
    if (!TkListBoxEditor::EditItem(index, isNew, initialText)) return FALSE;
    m_pDialog->EnableButtons(TRUE);
    return TRUE;
}

void TkWSLBEditorEx::OnEditDone() {
    TkListBoxEditor::OnEditDone();
    m_pDialog->EnableButtons(FALSE);
}

void TkWSLBEditorEx::PutBack(int index, const std::string& text) {
    const int selection = m_listBox->GetCurSel();
    m_listBox->SendMessage(WM_SETREDRAW, FALSE);
    m_listBox->DeleteString(index);
    m_listBox->InsertString(index, text.c_str());
    m_listBox->SetCurSel(selection);
    m_listBox->SendMessage(WM_SETREDRAW, TRUE);
    InvalidateRect(m_listBox->m_hWnd, nullptr, TRUE);
}

void TkWSLBEditorEx::DropNewEntry(int index) {
    if (!IsBlankRow(index)) m_listBox->DeleteString(index);
    AppendBlankRowIfNeeded();
}

void TkWSLBEditorEx::OnItemChanged(int index, const std::string& oldText, const std::string& newText) {
    if (!m_pDialog->IsValidName(newText)) {
        m_pDialog->ShowMessage(kInvalidWorkspaceNameText, MB_OK | MB_ICONEXCLAMATION);
        PutBack(index, oldText);
        return;
    }
    if (!m_pDialog->IsNameFree(newText, index)) {
        m_pDialog->ShowMessage(Format(kWorkspaceExistsFormat, newText.c_str()), MB_OK | MB_ICONEXCLAMATION);
        PutBack(index, oldText);
        return;
    }
    m_pDialog->OnEntryRenamed(index, newText);
}

void TkWSLBEditorEx::OnItemAdded(int index, const std::string& text) {
    if (!m_pDialog->IsValidName(text)) {
        m_pDialog->ShowMessage(kInvalidWorkspaceNameText, MB_OK | MB_ICONEXCLAMATION);
        DropNewEntry(index);
        return;
    }
    if (!m_pDialog->IsNameFree(text, -1)) {
        m_pDialog->ShowMessage(Format(kWorkspaceExistsFormat, text.c_str()), MB_OK | MB_ICONEXCLAMATION);
        DropNewEntry(index);
        return;
    }
    if (m_pDialog->ShowMessage(Format(kSaveNewWorkspaceFormat, text.c_str()), MB_YESNO | MB_ICONQUESTION) == IDYES) {
        // The new entry stays selected, so the posted Save picks it once editing has ended.
        ::vq::PostMessage(m_pDialog->m_hWnd, WM_COMMAND, IDC_TK_WORKSPACE_SAVE, 0);
        return;
    }
    DropNewEntry(index);
}

void TkWSLBEditorEx::OnItemMoved(int from, int to, const std::string& text, BOOL byDrag) {
    TkListBoxEditor::OnItemMoved(from, to, text, byDrag);
    const auto inLists = [&](int i) { return i >= 0 && std::size_t(i) < m_before.size() && std::size_t(i) < m_edited.size(); };
    if (from == to || !inLists(from) || !inLists(to)) return;
    // A drag can carry an entry past several others: the lists take the entry out and put it in
    // where the list box did, which for a move by one is the swap of the two.
    for (StringList* list : {&m_before, &m_edited}) {
        std::string moved = std::move((*list)[std::size_t(from)]);
        list->erase(list->begin() + from);
        list->insert(list->begin() + to, std::move(moved));
    }
}

BOOL TkWSLBEditorEx::OnDeletingItem(int index, const std::string&) {
    // The workspace goes by the key it has now, whatever the entry was renamed to; the entry
    // leaves both lists, so that they stay in step with the entries.
    if (index >= 0 && std::size_t(index) < m_before.size() && std::size_t(index) < m_edited.size()) {
        m_deleted.push_back(m_before[std::size_t(index)]);
        m_before.erase(m_before.begin() + index);
        m_edited.erase(m_edited.begin() + index);
    }
    return TRUE;
}

} // namespace vq
