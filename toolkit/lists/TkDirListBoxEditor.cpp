#include "toolkit/lists/TkDirListBoxEditor.h"

#include "platform/gui/DialogManager.h"
#include "toolkit/controls/TkDirSelectDlg.h"
#include "toolkit/controls/TkImages.h"
#include "toolkit/controls/TkResources.h"

namespace vq {

BOOL TkDirListBoxEditor::Initialize(CWnd* parent, UINT id, DWORD flags) {
    return TkListBoxEditor::Initialize(parent, id, flags | ListEditorBrowse);
}

void TkDirListBoxEditor::Browse() {
    TkListBoxEdit* edit = GetEdit();
    if (!edit || !edit->m_hWnd) return;
    TkDirSelectDlg dialog(LoadToolkitText(IDS_TK_LIST_SELECT_DIRECTORY), this, edit->GetWindowText());
    if (dialog.DoModal() == IDOK) {
        std::string folder;
        dialog.GetPath(folder);
        edit->SetWindowText(folder.c_str());
    }
    edit->SetSel(0, -1);
    SetFocus(edit->m_hWnd);
}

} // namespace vq
