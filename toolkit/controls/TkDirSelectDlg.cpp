#include "toolkit/controls/TkDirSelectDlg.h"

#include "platform/gui/DialogManager.h"
#include "platform/gui/SystemColours.h"

#include <filesystem>

namespace vq {

namespace {

// Systems before the new shell had no folder browser, so only the file-dialog mode exists there.
bool NewShell() {
    return (GetVersion() & 0xFF) >= 4;
}

std::string CurrentFolder() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

} // namespace

TkDirSelectDlg::TkDirSelectDlg(const std::string& title, CWnd* parent, const std::string& initialDir)
    : TkDirSelectDlg(fileDialogMode, title, initialDir, parent) {}

TkDirSelectDlg::TkDirSelectDlg(std::uint16_t style, const std::string& title, const std::string& initialDir,
                               CWnd* parent)
    : CFileDialog(FALSE, nullptr, nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, nullptr, parent),
      m_title(title), m_initialDir(initialDir) {
    SetBrowseStyle(style);
}

std::uint16_t TkDirSelectDlg::SetBrowseStyle(std::uint16_t style) {
    const std::uint16_t previous = m_style;
    m_style &= std::uint16_t(~3u);
    m_style |= NewShell() ? style : std::uint16_t(style & fileDialogMode);
    return previous;
}

int TkDirSelectDlg::DoModal() {
    std::string start = m_initialDir;
    if (m_style & fileDialogMode) {
        // The file dialog opened in the current folder when it could not open where it was told.
        if (!start.empty() && !IsFolder(start)) start = CurrentFolder();
        const auto chosen = ::vq::BrowseForFolder(m_parent ? m_parent->m_hWnd : 0, m_title, start);
        if (!chosen) return IDCANCEL;
        m_path = *chosen;
        return IDOK;
    }
    if (!BrowseForFolder(start)) return IDCANCEL;
    m_path = start;
    return IDOK;
}

BOOL TkDirSelectDlg::BrowseForFolder(std::string& path) {
    // A start that is given but cannot be found shows nothing.
    const std::string start = path.empty() ? CurrentFolder() : path;
    const auto chosen = ::vq::BrowseForFolder(m_parent ? m_parent->m_hWnd : 0, m_title, start);
    if (!chosen) return FALSE;
    path = *chosen;
    return TRUE;
}

} // namespace vq
