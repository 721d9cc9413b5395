#include "toolkit/controls/TkBrowseFileEdit.h"

#include "platform/classlib/FileDialog.h"
#include "platform/gui/DialogManager.h"
#include "toolkit/controls/TkBrowseDirEdit.h"
#include "toolkit/controls/TkFileSystem.h"
#include "toolkit/controls/TkImages.h"
#include "toolkit/controls/TkResources.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkBrowseFileEdit, TkBrowseEditBase)

TkBrowseFileEdit::TkBrowseFileEdit() {
    m_title = LoadToolkitText(IDS_TK_SELECT_FILE);
}

DWORD TkBrowseFileEdit::ModifyFlags(DWORD remove, DWORD add) {
    m_flags = (m_flags & ~remove) | add;
    return m_flags;
}

void TkBrowseFileEdit::OnBrowse() {
    std::string name = m_initialName.empty() ? GetWindowText() : m_initialName;
    // The dialog is told where to start: the process's current folder, which other threads
    // resolve relative paths against, never moves.
    std::string folder;
    if (!name.empty()) {
        if (TkBrowseDirEdit::IsDirectory(name)) {
            folder = name;
            name.clear();
        } else if (!TkFileSystem().FileExists(name)) {
            name.clear();
        }
    }
    CFileDialog dialog(TRUE, m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str(), name.c_str(),
                       m_flags, m_filter.c_str(), this);
    dialog.SetInitialDir(folder);
    dialog.SetTitle(m_title);
    if (dialog.DoModal() == IDOK) SetWindowText(dialog.GetPathName().c_str());
}

} // namespace vq
