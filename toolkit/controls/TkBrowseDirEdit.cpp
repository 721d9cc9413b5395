#include "toolkit/controls/TkBrowseDirEdit.h"

#include "platform/gui/DialogManager.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/controls/TkDirSelectDlg.h"
#include "toolkit/controls/TkFileSystem.h"
#include "toolkit/controls/TkImages.h"
#include "toolkit/controls/TkResources.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkBrowseDirEdit, TkBrowseEditBase)

TkBrowseDirEdit::TkBrowseDirEdit() {
    m_title = LoadToolkitText(IDS_TK_SELECT_DIRECTORY);
}

void TkBrowseDirEdit::SetBrowseStyle(std::uint16_t style) {
    m_style = std::uint16_t((m_style & ~3u) | (style & 3u));
    if ((GetVersion() & 0xFF) < 4) m_style |= 1;
}

bool TkBrowseDirEdit::IsDirectory(const std::string& text) {
    std::string path = text;
    // There are no drive roots here: "/" is the root and is a folder.
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    FileStatus status;
    return !path.empty() && TkFileSystem().GetFileStatus(path, status) &&
           (status.m_attribute & FileAttribute::Directory) != 0;
}

void TkBrowseDirEdit::OnBrowse() {
    std::string start = GetWindowText();
    if (!start.empty() && !IsDirectory(start)) start.clear();
    TkDirSelectDlg dialog(m_style, m_title, start, GetParent());
    if (dialog.DoModal() != IDOK) return;
    std::string path;
    dialog.GetPath(path);
    SetWindowText(path.c_str());
}

} // namespace vq
