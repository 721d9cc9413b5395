#pragma once

#include <functional>
#include <string>

namespace vq {

// The "Database Selection" dialog: the user confirms or edits the path of the configuration
// database, or asks for it to be created. Until its window is built the answer comes from a
// script; without one the dialog is cancelled.
class CDlg_DBPathName {
public:
    // The result that asks for the entered database to be created.
    static constexpr int kCreate = 1078;
    using Script = std::function<int(CDlg_DBPathName& dialog)>;

    explicit CDlg_DBPathName(std::string pathName) : m_PathName(std::move(pathName)) {}

    int DoModal();
    static void SetScript(Script script);

    std::string m_PathName;
};

} // namespace vq
