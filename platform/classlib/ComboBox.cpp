#include "platform/classlib/ComboBox.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CComboBox, CWnd)

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    return CWnd::Create("ComboBox", "", style, rect, parent, id);
}

void* CComboBox::GetItemDataPtr(int index) const {
    const std::intptr_t data = GetItemData(index);
    return data == CB_ERR ? nullptr : reinterpret_cast<void*>(data);
}

std::string CComboBox::GetLBText(int index) const {
    const int length = GetLBTextLen(index);
    if (length < 0) return {};
    std::string text(std::size_t(length) + 1, '\0');
    text.resize(
        std::size_t(std::max<LRESULT>(SendMessage(CB_GETLBTEXT, WPARAM(index), LPARAM(text.data())), 0)));
    return text;
}

} // namespace vq
