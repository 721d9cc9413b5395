#include "platform/classlib/FileDialog.h"

#include "platform/gui/DialogManager.h"

#include <algorithm>
#include <cstring>

namespace vq {

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExtension, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_openFileDialog(openFileDialog), m_parent(parent), m_file(pathCapacity, '\0') {
    if (filter) {
        // The platform's list separates with NULs where the class's callers write "|".
        m_filter = filter;
        std::replace(m_filter.begin(), m_filter.end(), '|', '\0');
    }
    if (defaultExtension) m_defaultExtension = defaultExtension;
    if (fileName) std::strncpy(m_file.data(), fileName, pathCapacity - 1);
    m_ofn.Flags = flags;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = DWORD(pathCapacity);
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
}

void CFileDialog::SetInitialDir(const std::string& folder) {
    m_initialDir = folder;
    m_ofn.lpstrInitialDir = m_initialDir.empty() ? nullptr : m_initialDir.c_str();
}

void CFileDialog::SetTitle(const std::string& title) {
    m_title = title;
    m_ofn.lpstrTitle = m_title.empty() ? nullptr : m_title.c_str();
}

int CFileDialog::DoModal() {
    m_ofn.hwndOwner = m_parent ? m_parent->m_hWnd : 0;
    const BOOL chosen = m_openFileDialog ? GetOpenFileName(&m_ofn) : GetSaveFileName(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const {
    if (!m_ofn.lpstrFile) return {};
    return std::string(m_ofn.lpstrFile, strnlen(m_ofn.lpstrFile, m_ofn.nMaxFile));
}

} // namespace vq
