#include "platform/classlib/ColorDialog.h"

#include "platform/gui/DialogManager.h"

namespace vq {

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : m_parent(parent) {
    m_cc.rgbResult = initial;
    m_cc.Flags = flags | (initial != 0 ? DWORD(CC_RGBINIT) : DWORD(0));
    m_cc.lpCustColors = m_custom.data();
}

int CColorDialog::DoModal() {
    if (!m_cc.hwndOwner && m_parent) m_cc.hwndOwner = m_parent->m_hWnd;
    return ChooseColor(&m_cc) ? IDOK : IDCANCEL;
}

} // namespace vq
