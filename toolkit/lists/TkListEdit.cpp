#include "toolkit/lists/TkListEdit.h"

#include "platform/gui/Messages.h"

namespace vq {

LRESULT TkListEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        owner_->EndLabelEdit(FALSE);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == VK_RETURN && !owner_->IsWrapLabels()) {
        owner_->EndLabelEdit(TRUE);
        return 0;
    }
    // Enter and Escape also come as characters; the edit must not beep or insert them once ended.
    if (message == WM_CHAR && (wParam == 0x1B || (wParam == '\r' && !owner_->IsWrapLabels()))) return 0;
    return CEdit::WindowProc(message, wParam, lParam);
}

} // namespace vq
