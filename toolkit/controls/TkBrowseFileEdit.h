#pragma once

#include "toolkit/controls/TkBrowseEditBase.h"

namespace vq {

// A browse edit whose button picks a file to open, starting in the field's folder or at its file.
class TkBrowseFileEdit : public TkBrowseEditBase {
    VQ_DECLARE_RUNTIME_CLASS(TkBrowseFileEdit)
public:
    TkBrowseFileEdit();
    // Answers the new flags.
    DWORD ModifyFlags(DWORD remove, DWORD add);
    DWORD GetFlags() const { return m_flags; }
    void SetFilter(const std::string& filter) { m_filter = filter; }
    void SetInitialFileName(const std::string& name) { m_initialName = name; }
    void SetDefaultExtension(const std::string& extension) { m_defaultExtension = extension; }
    void OnBrowse() override;

private:
    std::string m_filter = "All files (*.*)|*.*||";
    std::string m_initialName;
    std::string m_defaultExtension;
    DWORD m_flags = 12; // hide read-only, never change the current folder
};

} // namespace vq
