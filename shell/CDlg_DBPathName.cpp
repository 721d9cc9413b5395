#include "shell/CDlg_DBPathName.h"

#include "platform/gui/DialogManager.h"

namespace vq {
namespace {

CDlg_DBPathName::Script& CurrentScript() {
    static CDlg_DBPathName::Script script;
    return script;
}

} // namespace

int CDlg_DBPathName::DoModal() {
    return CurrentScript() ? CurrentScript()(*this) : IDCANCEL;
}

void CDlg_DBPathName::SetScript(Script script) {
    CurrentScript() = std::move(script);
}

} // namespace vq
