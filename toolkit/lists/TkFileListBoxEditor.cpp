#include "toolkit/lists/TkFileListBoxEditor.h"

#include "platform/classlib/FileDialog.h"
#include "platform/gui/DialogManager.h"

namespace vq {

BOOL TkFileListBoxEditor::Initialize(CWnd* parent, UINT id, DWORD flags) {
    return TkListBoxEditor::Initialize(parent, id, flags | ListEditorBrowse);
}

void TkFileListBoxEditor::Browse() {
    TkListBoxEdit* edit = GetEdit();
    if (!edit || !edit->m_hWnd) return;
    const std::string start = m_fileName.empty() ? edit->GetWindowText() : m_fileName;
    CFileDialog dialog(TRUE, m_extension.empty() ? nullptr : m_extension.c_str(), start.c_str(),
                       OFN_HIDEREADONLY, m_filter.c_str(), this);
    if (dialog.DoModal() == IDOK) edit->SetWindowText(dialog.GetPathName().c_str());
    edit->SetSel(0, -1);
    SetFocus(edit->m_hWnd);
}

} // namespace vq
