#pragma once

#include "toolkit/lists/TkListBoxEditor.h"

#include <string>

namespace vq {

// A list-box editor of files: "..." and F2 open the file-open dialog with the editor's filter and
// default extension, starting from the stored file name or else the edit's text.
class TkFileListBoxEditor : public TkListBoxEditor {
public:
    BOOL Initialize(CWnd* parent, UINT id, DWORD flags) override;
    void Browse() override;

    // "All files (*.*)|*.*||" unless set; "*.*" means every file.
    void SetFilter(const std::string& filter) { m_filter = filter; }
    // Without the dot; empty for none.
    void SetDefaultExtension(const std::string& extension) { m_extension = extension; }
    void SetFileName(const std::string& name) { m_fileName = name; }

private:
    std::string m_filter = "All files (*.*)|*.*||";
    std::string m_extension;
    std::string m_fileName;
};

} // namespace vq
