#include "platform/classlib/TabCtrl.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CTabCtrl, CWnd)

BOOL CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    return CWnd::Create(WC_TABCONTROL, "", style, rect, parent, id);
}

int CTabCtrl::InsertItem(int index, const char* text) const {
    TCITEM item;
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(text);
    return int(SendMessage(TCM_INSERTITEM, WPARAM(std::intptr_t(index)), reinterpret_cast<LPARAM>(&item)));
}

int CTabCtrl::InsertItem(int index, const char* text, LPARAM data) const {
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<char*>(text);
    item.lParam = data;
    return int(SendMessage(TCM_INSERTITEM, WPARAM(std::intptr_t(index)), reinterpret_cast<LPARAM>(&item)));
}

} // namespace vq
