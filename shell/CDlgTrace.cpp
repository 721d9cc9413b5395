#include "shell/CDlgTrace.h"

#include <set>

namespace vq {
namespace {

std::set<const CDlgTrace*>& LiveDialogs() {
    static std::set<const CDlgTrace*> dialogs;
    return dialogs;
}

} // namespace

CDlgTrace::CDlgTrace() {
    LiveDialogs().insert(this);
}

CDlgTrace::~CDlgTrace() {
    LiveDialogs().erase(this);
}

bool CDlgTrace::HasWindow(const CDlgTrace* dialog) {
    return dialog && LiveDialogs().count(dialog) != 0 && dialog->m_hWnd && IsWindow(dialog->m_hWnd);
}

} // namespace vq
