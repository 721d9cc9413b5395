#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/CommonDialogs.h"

#include <string>
#include <vector>

namespace vq {

// The file-open or file-save dialog: a filter list of "name|patterns|" pairs ending in "||",
// the question in `m_ofn`, and the chosen path. Paths are kept whole, however long.
class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, const char* defaultExtension = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);
    virtual ~CFileDialog() = default;
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK with a path chosen, IDCANCEL otherwise.
    virtual int DoModal();
    std::string GetPathName() const;
    void SetInitialDir(const std::string& folder);
    void SetTitle(const std::string& title);

    OPENFILENAME m_ofn;

protected:
    BOOL m_openFileDialog;
    CWnd* m_parent;

private:
    // The longest path the system's calls take, with its terminator.
    static constexpr std::size_t pathCapacity = 4096 + 1;

    std::string m_filter;
    std::string m_defaultExtension;
    std::string m_initialDir;
    std::string m_title;
    std::vector<char> m_file;
};

} // namespace vq
