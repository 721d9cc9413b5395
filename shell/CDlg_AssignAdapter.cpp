#include "shell/CDlg_AssignAdapter.h"

#include "capture/AdapterInfo.h"
#include "platform/gui/DialogManager.h"

namespace vq {
namespace {

CDlg_AssignAdapter::Script& TheScript() {
    static CDlg_AssignAdapter::Script script;
    return script;
}

} // namespace

bool CDlg_AssignAdapter::SettlesByItself() const {
    return m_Adapters.GetSize() == 1;
}

int CDlg_AssignAdapter::DoModal() {
    return TheScript() ? TheScript()(*this) : IDCANCEL;
}

void CDlg_AssignAdapter::SetScript(Script script) {
    TheScript() = std::move(script);
}

} // namespace vq
