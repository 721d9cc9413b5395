#pragma once

#include "platform/classlib/FileDialog.h"

#include <cstdint>
#include <string>

namespace vq {

// Picks a folder. Either mode shows the folder picker: there is no old-style file dialog to strip
// down here. The chosen folder ends in "/".
class TkDirSelectDlg : public CFileDialog {
public:
    // Bit 0 of the style: the file-dialog mode, whose start falls back to the current folder.
    static constexpr std::uint16_t fileDialogMode = 1;

    TkDirSelectDlg(const std::string& title, CWnd* parent, const std::string& initialDir);
    TkDirSelectDlg(std::uint16_t style, const std::string& title, const std::string& initialDir,
                   CWnd* parent);

    // Answers the previous style.
    std::uint16_t SetBrowseStyle(std::uint16_t style);
    std::uint16_t GetBrowseStyle() const { return m_style; }
    void SetTitle(const std::string& title) { m_title = title; }
    void SetInitialDir(const std::string& folder) { m_initialDir = folder; }

    // IDOK with a folder chosen; IDCANCEL when cancelled, or in shell mode when the start is no
    // folder (then nothing is shown).
    int DoModal() override;
    void GetPath(std::string& path) const { path = m_path; }

    virtual BOOL BrowseForFolder(std::string& path);

private:
    std::uint16_t m_style = fileDialogMode;
    std::string m_title;
    std::string m_initialDir;
    std::string m_path;
};

} // namespace vq
